#pragma once
// The field editors: one live control bound to one field of the record by
// its substituted field id, the conversions between the stored value and
// what the control shows, and the events towards the host.
//
// Opening a record never changes it: loading, normalising (spin, combo) and
// converting write nothing back, and on leaving a control its text is stored
// only when the user edited it since it was loaded, so a value the control
// cannot show exactly (a date "2003", a number wider than its mask, a memo
// holding escapes) stays as it was unless the user changes it.

#include "forms/FormConversions.h"
#include "forms/Substitution.h"
#include "forms/my_editor.h"

#include <string>
#include <vector>

namespace velt {

class my_formular;

// The shared behaviour of the editors with a field id: SHOW before the
// value is first read, ENTER on focus, CHANGE after every stored change,
// EXIT on leaving an editable control after storing and clearing the
// field's errors.
class FieldEditor : public my_editor {
public:
    FieldEditor(FormContext& context, FormControl& parent, std::string fieldId, PixelRect rect);
    ~FieldEditor() override;

    // Raises SHOW, creates the control, applies the read-only state, loads
    // the value and shows the control. Called once, after construction.
    void Create();

    void Refresh(const std::string& name) override;
    bool FocusFirst() override;
    void Controls(std::vector<FormControl*>& out) const override;
    bool HasFocus() const override;
    void Commit() override;
    const std::string* FieldId() const override { return &mFieldId; }
    const FormControl* MainControl() const override { return mControl.get(); }

protected:
    virtual ControlKind Kind() const = 0;
    // Settings of the control before its first load (limits, masks, fonts).
    virtual void Configure() {}
    // Makes the controls beside the main one.
    virtual void CreateExtras() {}
    virtual void ApplyReadOnly(bool readOnly);
    // Puts the record's value into the control.
    virtual void Load(bool creation);
    virtual std::string ToDisplay(const std::string& stored) const { return stored; }
    virtual std::string ToStore() const;
    // Checks the stored value on leaving, before EXIT (dates).
    virtual void Validate() {}
    // After EXIT (masked edits show the value again, a script may have changed it).
    virtual void AfterExit() {}
    // Editors that take the focus in FocusFirst and Refresh.
    virtual bool TakesFocus() const { return !mReadOnly; }
    // Editors that store on leaving (the input editors).
    virtual bool StoresOnLeave() const { return true; }

    void ControlChanged(FormControl& control) override;
    void ControlEntered(FormControl& control) override;
    void ControlLeft(FormControl& control) override;
    void DestroyControls() override;

    // Stores the control's text into the record.
    void Store();
    // The leaving of the control: store, clear errors, validate, EXIT.
    void Leave();
    // Shows the control's value again without it counting as an edit.
    void Reload(bool creation);

    bool IsReadOnly() const;
    FontSpec BaseFont(bool bold) const;

    std::string mFieldId;
    PixelRect mRect;
    std::unique_ptr<FormControl> mControl;
    std::vector<std::string> mShown;  // what SHOW returned at creation
    bool mReadOnly = false;
    bool mEdited = false;   // the user changed the content since it was loaded
    bool mLoading = false;
    bool mLeft = true;      // the last focus has been left (or committed)
};

// LABEL and NO: fixed text, no events.
class ed_label : public my_editor {
public:
    ed_label(FormContext& context, FormControl& parent, const std::string& text, PixelRect rect);
    ~ed_label() override;
    void Controls(std::vector<FormControl*>& out) const override;
    const char* ClassName() const override { return "ed_label"; }
    const FormControl* MainControl() const override { return mLabel.get(); }

protected:
    void DestroyControls() override { Drop(mLabel); }
    std::unique_ptr<FormControl> mLabel;
};

// TEXT: read-only formatted text supplied by the field's SHOW event.
class ed_text : public FieldEditor {
public:
    using FieldEditor::FieldEditor;
    ~ed_text() override;
    const char* ClassName() const override { return "ed_text"; }

protected:
    ControlKind Kind() const override { return ControlKind::FormattedText; }
    void Configure() override;
    void ApplyReadOnly(bool) override;
    void Load(bool creation) override;
    bool TakesFocus() const override { return false; }
    bool StoresOnLeave() const override { return false; }
    void ControlChanged(FormControl&) override {}
};

class ed_lineedit : public FieldEditor {
public:
    ed_lineedit(FormContext& context, FormControl& parent, std::string fieldId, PixelRect rect, int limit,
                bool password)
        : FieldEditor(context, parent, std::move(fieldId), rect), mLimit(limit), mPassword(password) {}
    ~ed_lineedit() override;
    const char* ClassName() const override { return "ed_lineedit"; }

protected:
    ControlKind Kind() const override { return ControlKind::LineEdit; }
    void Configure() override;
    int mLimit;
    bool mPassword;
};

// DICTIONARY: an edit with the authority lookup button beside it.
class ed_KHW_editor : public ed_lineedit {
public:
    ed_KHW_editor(FormContext& context, FormControl& parent, std::string fieldId, PixelRect edit, PixelRect button)
        : ed_lineedit(context, parent, std::move(fieldId), edit, 0, false), mButtonRect(button) {}
    ~ed_KHW_editor() override;
    void Controls(std::vector<FormControl*>& out) const override;
    const char* ClassName() const override { return "ed_KHW_editor"; }

protected:
    void CreateExtras() override;
    void ApplyReadOnly(bool readOnly) override;
    void ControlClicked(FormControl& control) override;
    void DestroyControls() override;

    PixelRect mButtonRect;
    std::unique_ptr<FormControl> mButton;
};

class ed_mask_editor : public FieldEditor {
public:
    ed_mask_editor(FormContext& context, FormControl& parent, std::string fieldId, PixelRect rect, std::string mask)
        : FieldEditor(context, parent, std::move(fieldId), rect), mMask(std::move(mask)) {}
    ~ed_mask_editor() override;
    const char* ClassName() const override { return "ed_mask_editor"; }

    // The stored value to the control's text (toDisplay) or back.
    virtual std::string Convert(const std::string& text, bool toDisplay) const;

protected:
    ControlKind Kind() const override { return ControlKind::MaskEdit; }
    void Configure() override;
    std::string ToDisplay(const std::string& stored) const override { return Convert(stored, true); }
    std::string ToStore() const override;
    void AfterExit() override { Reload(false); }
    std::string mMask;
};

class ed_date : public ed_mask_editor {
public:
    ed_date(FormContext& context, FormControl& parent, std::string fieldId, PixelRect rect);
    ~ed_date() override;
    const char* ClassName() const override { return "ed_date"; }
    std::string Convert(const std::string& text, bool toDisplay) const override;

protected:
    void Validate() override;
};

class ed_number : public ed_mask_editor {
public:
    ed_number(FormContext& context, FormControl& parent, std::string fieldId, PixelRect rect, int width,
              int decimals);
    ~ed_number() override;
    const char* ClassName() const override { return "ed_number"; }
    std::string Convert(const std::string& text, bool toDisplay) const override;

private:
    int mWidth, mDecimals;
};

class ed_spinedit : public FieldEditor {
public:
    ed_spinedit(FormContext& context, FormControl& parent, std::string fieldId, PixelRect rect, int width, int minimum,
                int maximum)
        : FieldEditor(context, parent, std::move(fieldId), rect), mWidth(width), mMinimum(minimum),
          mMaximum(maximum) {}
    ~ed_spinedit() override;
    const char* ClassName() const override { return "ed_spinedit"; }

protected:
    ControlKind Kind() const override { return ControlKind::SpinEdit; }
    void Configure() override;
    void Load(bool creation) override;
    std::string ToStore() const override;
    int mWidth, mMinimum, mMaximum;
};

class ed_memo_editor : public FieldEditor {
public:
    ed_memo_editor(FormContext& context, FormControl& parent, std::string fieldId, PixelRect rect, int limit,
                   bool multiline)
        : FieldEditor(context, parent, std::move(fieldId), rect), mLimit(limit), mMultiline(multiline) {}
    ~ed_memo_editor() override;
    const char* ClassName() const override { return "ed_memo_editor"; }

protected:
    ControlKind Kind() const override { return ControlKind::RichEdit; }
    void Configure() override;
    void Load(bool creation) override;
    std::string ToDisplay(const std::string& stored) const override { return MemoToDisplay(stored, mMultiline); }
    std::string ToStore() const override;
    int mLimit;
    bool mMultiline;
};

class ed_mark_editor : public FieldEditor {
public:
    ed_mark_editor(FormContext& context, FormControl& parent, std::string fieldId, PixelRect rect,
                   MarkerSpec markers, bool oneLine)
        : FieldEditor(context, parent, std::move(fieldId), rect), mSpec(std::move(markers)), mOneLine(oneLine) {}
    ~ed_mark_editor() override;
    const char* ClassName() const override { return "ed_mark_editor"; }

protected:
    ControlKind Kind() const override { return ControlKind::MarkerMemo; }
    void Configure() override;
    MarkerSpec mSpec;
    bool mOneLine;
};

class ed_combo_editor : public FieldEditor {
public:
    ed_combo_editor(FormContext& context, FormControl& parent, std::string fieldId, PixelRect rect,
                    std::vector<std::string> values, std::vector<std::string> labels)
        : FieldEditor(context, parent, std::move(fieldId), rect), mValues(std::move(values)),
          mLabels(std::move(labels)) {}
    ~ed_combo_editor() override;
    const char* ClassName() const override { return "ed_combo_editor"; }

protected:
    ControlKind Kind() const override { return ControlKind::ComboBox; }
    void Configure() override;
    void ApplyReadOnly(bool readOnly) override;
    void Load(bool creation) override;
    bool StoresOnLeave() const override { return false; }
    void ControlChanged(FormControl&) override {}
    void ControlChosen(FormControl& control, int index) override;
    std::vector<std::string> mValues, mLabels;
};

class ed_check_editor : public FieldEditor {
public:
    ed_check_editor(FormContext& context, FormControl& parent, std::string fieldId, PixelRect rect,
                    std::string caption)
        : FieldEditor(context, parent, std::move(fieldId), rect), mCaption(std::move(caption)) {}
    ~ed_check_editor() override;
    const char* ClassName() const override { return "ed_check_editor"; }

protected:
    ControlKind Kind() const override { return ControlKind::CheckBox; }
    void Configure() override;
    void ApplyReadOnly(bool readOnly) override;
    void Load(bool creation) override;
    bool StoresOnLeave() const override { return false; }
    void ControlChanged(FormControl&) override {}
    void ControlClicked(FormControl& control) override;
    std::string mCaption;
};

// BUTTON and SPEED: a click raises HELP, then EXIT, for the field id.
class ed_button : public FieldEditor {
public:
    ed_button(FormContext& context, FormControl& parent, std::string fieldId, PixelRect rect, std::string caption,
              bool isDefault)
        : FieldEditor(context, parent, std::move(fieldId), rect), mCaption(std::move(caption)),
          mDefault(isDefault) {}
    ~ed_button() override;
    bool FocusFirst() override { return false; }
    bool HasFocus() const override { return false; }
    void Commit() override {}
    const char* ClassName() const override { return "ed_button"; }

protected:
    ControlKind Kind() const override { return ControlKind::Button; }
    void Configure() override;
    void ApplyReadOnly(bool readOnly) override;
    void Load(bool) override {}
    bool TakesFocus() const override { return false; }
    bool StoresOnLeave() const override { return false; }
    void ControlChanged(FormControl&) override {}
    void ControlEntered(FormControl&) override {}
    void ControlLeft(FormControl&) override {}
    void ControlClicked(FormControl& control) override;
    std::string mCaption;
    bool mDefault;
};

class ed_speed : public ed_button {
public:
    ed_speed(FormContext& context, FormControl& parent, std::string fieldId, PixelRect rect, FormPicture picture)
        : ed_button(context, parent, std::move(fieldId), rect, std::string(), false), mPicture(std::move(picture)) {}
    ~ed_speed() override;
    const char* ClassName() const override { return "ed_speed"; }

protected:
    ControlKind Kind() const override { return ControlKind::SpeedButton; }
    void Configure() override;
    void ControlClicked(FormControl& control) override;
    FormPicture mPicture;
};

// MENU: an underlined caption or a picture popping up a menu whose items
// raise HELP with their ids.
class ed_menu : public my_editor {
public:
    ed_menu(FormContext& context, FormControl& parent, const std::string& spec, const Substitution& subst,
            const std::string& caption, const FormPicture* picture, PixelRect rect);
    ~ed_menu() override;
    void Controls(std::vector<FormControl*>& out) const override;
    const char* ClassName() const override { return "ed_menu"; }
    const FormControl* MainControl() const override { return mControl.get(); }
    // The substituted ids of the items, by their numbers.
    const std::vector<std::string>& ItemIds() const { return mItemIds; }

protected:
    void ControlClicked(FormControl& control) override;
    void ControlChosen(FormControl& control, int item) override;
    void DestroyControls() override { Drop(mControl); }

    std::unique_ptr<FormControl> mControl;
    std::vector<std::string> mItemIds;
};

}  // namespace velt
