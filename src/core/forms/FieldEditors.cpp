// The field editors.

#include "forms/FieldEditors.h"

#include "forms/my_formular.h"
#include "text/CpLiteral.h"
#include "text/my_record.h"

#include <algorithm>

namespace velt {

FieldEditor::FieldEditor(FormContext& context, FormControl& parent, std::string fieldId, PixelRect rect)
    : my_editor(context, parent), mFieldId(std::move(fieldId)), mRect(rect) {}

FieldEditor::~FieldEditor() {
    DestroyChildren();
    FieldEditor::DestroyControls();
}

void FieldEditor::DestroyControls() { Drop(mControl); }

bool FieldEditor::IsReadOnly() const { return mContext.record.IsReadOnly(mFieldId) != 0; }

FontSpec FieldEditor::BaseFont(bool bold) const {
    FontSpec font;
    font.height = ZoomedFontHeight(mContext.settings.baseFontHeight, mContext.settings.zoom);
    font.bold = bold;
    return font;
}

void FieldEditor::Create() {
    if (!mFieldId.empty()) mShown = RaiseShow(mFieldId);
    mControl = MakeControl(Kind(), mParent);
    mControl->SetGeometry(mRect);
    mControl->SetFont(BaseFont(true));
    Configure();
    CreateExtras();
    mReadOnly = IsReadOnly();
    ApplyReadOnly(mReadOnly);
    Reload(true);
    mControl->SetVisible(true);
}

void FieldEditor::ApplyReadOnly(bool readOnly) { mControl->SetReadOnly(readOnly); }

void FieldEditor::Load(bool) { mControl->SetText(ToDisplay(mContext.record.GetValue(mFieldId))); }

void FieldEditor::Reload(bool creation) {
    mLoading = true;
    Load(creation);
    mLoading = false;
    mEdited = false;
}

std::string FieldEditor::ToStore() const { return mControl->Text(); }

void FieldEditor::Store() { mContext.record.SetValue(mFieldId, ToStore()); }

void FieldEditor::Refresh(const std::string& name) {
    if (name != mFieldId || !mControl) return;
    mReadOnly = IsReadOnly();
    ApplyReadOnly(mReadOnly);
    Reload(false);
    if (TakesFocus() && mControl->CanFocus()) mControl->SetFocus();
}

bool FieldEditor::FocusFirst() {
    if (!mControl || !TakesFocus() || !mControl->CanFocus()) return false;
    mControl->SetFocus();
    return true;
}

void FieldEditor::Controls(std::vector<FormControl*>& out) const {
    if (mControl) out.push_back(mControl.get());
}

bool FieldEditor::HasFocus() const { return mControl && mControl->HasFocus(); }

void FieldEditor::Commit() {
    if (HasFocus()) Leave();
}

void FieldEditor::ControlChanged(FormControl&) {
    if (mLoading || mReadOnly) return;
    mEdited = true;
    mLeft = false;
    Store();
    Raise(kFormChange, mFieldId);
}

void FieldEditor::ControlEntered(FormControl&) {
    mLeft = false;
    Raise(kFormEnter, mFieldId);
}

void FieldEditor::ControlLeft(FormControl&) { Leave(); }

void FieldEditor::Leave() {
    if (mLeft) return;  // committed already: hiding the form afterwards says nothing
    mLeft = true;
    if (mReadOnly) return;
    if (StoresOnLeave()) {
        if (mEdited) Store();
        mContext.record.ClearErrorsFor(mFieldId);
        Validate();
    }
    if (!Raise(kFormExit, mFieldId)) return;
    AfterExit();
}

// ---- LABEL, NO

ed_label::ed_label(FormContext& context, FormControl& parent, const std::string& text, PixelRect rect)
    : my_editor(context, parent) {
    mLabel = MakeControl(ControlKind::Label, parent);
    mLabel->SetGeometry(rect);
    FontSpec font;
    font.height = ZoomedFontHeight(context.settings.baseFontHeight, context.settings.zoom);
    mLabel->SetFont(font);
    mLabel->SetText(text);
    mLabel->SetVisible(true);
}

ed_label::~ed_label() {
    DestroyChildren();
    Drop(mLabel);
}

void ed_label::Controls(std::vector<FormControl*>& out) const { out.push_back(mLabel.get()); }

// ---- TEXT

ed_text::~ed_text() = default;

void ed_text::Configure() { mControl->SetMultiline(false, true); }

void ed_text::ApplyReadOnly(bool) { mControl->SetReadOnly(true); }

void ed_text::Load(bool creation) {
    // The content is what the field's SHOW event printed; a refresh asks again.
    const std::vector<std::string> lines = creation ? mShown : RaiseShow(mFieldId);
    mControl->SetRuns(FormatTextLines(lines));
}

// ---- FIELD

ed_lineedit::~ed_lineedit() = default;

void ed_lineedit::Configure() {
    mControl->SetMaxLength(std::max(mLimit, 0));
    mControl->SetPassword(mPassword);
}

// ---- DICTIONARY

ed_KHW_editor::~ed_KHW_editor() {
    DestroyChildren();
    ed_KHW_editor::DestroyControls();
}

void ed_KHW_editor::DestroyControls() {
    Drop(mButton);
    FieldEditor::DestroyControls();
}

void ed_KHW_editor::CreateExtras() {
    mButton = MakeControl(ControlKind::LookupButton, mParent);
    mButton->SetGeometry(mButtonRect);
    mButton->SetHint("Wyszukaj w kartotece wzorcowej"_cp);
    mButton->SetVisible(true);
}

void ed_KHW_editor::ApplyReadOnly(bool readOnly) {
    FieldEditor::ApplyReadOnly(readOnly);
    if (mButton) mButton->SetEnabled(!readOnly);
}

void ed_KHW_editor::Controls(std::vector<FormControl*>& out) const {
    FieldEditor::Controls(out);
    if (mButton) out.push_back(mButton.get());
}

void ed_KHW_editor::ControlClicked(FormControl& control) {
    if (&control != mButton.get() || mReadOnly) return;
    if (mEdited) Store();
    // The field's HELP script looks the term up and writes the field.
    if (!Raise(kFormHelp, mFieldId)) return;
    Reload(false);
    if (mControl->CanFocus()) mControl->SetFocus();
}

// ---- FIELD ... MASK, DATE, NUMBER

ed_mask_editor::~ed_mask_editor() = default;

void ed_mask_editor::Configure() {
    mControl->SetMask(mMask);
    const FormSettings& s = mContext.settings;
    mControl->SetFont(MaskFont(s.maskFont, s.zoom, s.baseFontHeight));
}

std::string ed_mask_editor::Convert(const std::string& text, bool) const { return text; }

std::string ed_mask_editor::ToStore() const {
    std::string text = mControl->Text();
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return Convert(text, false);
}

ed_date::ed_date(FormContext& context, FormControl& parent, std::string fieldId, PixelRect rect)
    : ed_mask_editor(context, parent, std::move(fieldId), rect, my_date::kMask) {}
ed_date::~ed_date() = default;

std::string ed_date::Convert(const std::string& text, bool toDisplay) const {
    return toDisplay ? DateToDisplay(text) : DateToStore(text);
}

void ed_date::Validate() {
    const std::string error = DateError(mContext.record.GetValue(mFieldId));
    if (!error.empty()) mContext.record.AddError(error, mFieldId);
}

ed_number::ed_number(FormContext& context, FormControl& parent, std::string fieldId, PixelRect rect, int width,
                     int decimals)
    : ed_mask_editor(context, parent, std::move(fieldId), rect, NumberMask(width, decimals)), mWidth(width),
      mDecimals(decimals) {}
ed_number::~ed_number() = default;

std::string ed_number::Convert(const std::string& text, bool toDisplay) const {
    const char separator = mContext.settings.decimalSeparator;
    return toDisplay ? NumberToDisplay(text, mWidth, mDecimals, separator)
                     : NumberToStore(text, mWidth, mDecimals, separator);
}

// ---- SPIN

ed_spinedit::~ed_spinedit() = default;

void ed_spinedit::Configure() { mControl->SetRange(mMinimum, mMaximum); }

void ed_spinedit::Load(bool creation) {
    // The control shows a number in its range; the record keeps its value
    // until the user changes the number.
    const std::string& stored = mContext.record.GetValue(mFieldId);
    const int shown = SpinShownValue(stored, mMinimum, mMaximum, creation);
    mControl->SetValue(shown);
    if (creation && mContext.settings.storeShownValues && !mReadOnly && ParseSpinValue(stored) != shown)
        mContext.record.SetValue(mFieldId, SpinStored(shown, mWidth));
}

std::string ed_spinedit::ToStore() const { return SpinStored(mControl->Value(), mWidth); }

// ---- MEMO

ed_memo_editor::~ed_memo_editor() = default;

void ed_memo_editor::Configure() {
    mControl->SetMultiline(mMultiline, true);
    mControl->SetMaxLength(std::max(mLimit, 0));
}

void ed_memo_editor::Load(bool creation) {
    FieldEditor::Load(creation);
    if (creation) mControl->ClearUndo();
}

std::string ed_memo_editor::ToStore() const { return MemoToStore(mControl->Text(), mMultiline); }

// ---- MARKERS

ed_mark_editor::~ed_mark_editor() = default;

void ed_mark_editor::Configure() {
    mControl->SetMarkers(mSpec.markerChar, mSpec.markers);
    mControl->SetMultiline(false, !mOneLine);
}

// ---- COMBO

ed_combo_editor::~ed_combo_editor() = default;

void ed_combo_editor::Configure() { mControl->SetItems(mLabels); }

void ed_combo_editor::ApplyReadOnly(bool readOnly) {
    mControl->SetReadOnly(readOnly);
    mControl->SetEnabled(!readOnly);
}

void ed_combo_editor::Load(bool creation) {
    // A value not in the list shows the first entry; the record keeps it
    // until the user chooses.
    const std::string& value = mContext.record.GetValue(mFieldId);
    const auto it = std::find(mValues.begin(), mValues.end(), value);
    mControl->SetValue(it == mValues.end() ? 0 : static_cast<int>(it - mValues.begin()));
    if (creation && it == mValues.end() && mContext.settings.storeShownValues && !mReadOnly && !mValues.empty())
        mContext.record.SetValue(mFieldId, mValues[0]);
}

void ed_combo_editor::ControlChosen(FormControl&, int index) {
    if (mLoading || mReadOnly || index < 0 || index >= static_cast<int>(mValues.size())) return;
    mLeft = false;
    mContext.record.SetValue(mFieldId, mValues[static_cast<std::size_t>(index)]);
    mContext.record.ClearErrorsFor(mFieldId);
    Raise(kFormChange, mFieldId);
}

// ---- CHECK

ed_check_editor::~ed_check_editor() = default;

void ed_check_editor::Configure() { mControl->SetText(mCaption); }

void ed_check_editor::ApplyReadOnly(bool readOnly) { mControl->SetEnabled(!readOnly); }

void ed_check_editor::Load(bool) { mControl->SetChecked(CheckState(mContext.record.GetValue(mFieldId))); }

void ed_check_editor::ControlClicked(FormControl&) {
    if (mLoading || mReadOnly) return;
    mLeft = false;
    mContext.record.SetValue(mFieldId, CheckValue(mControl->IsChecked()));
    mContext.record.ClearErrorsFor(mFieldId);
    Raise(kFormChange, mFieldId);
}

// ---- BUTTON, SPEED

ed_button::~ed_button() = default;

void ed_button::Configure() {
    mControl->SetText(mCaption);
    mControl->SetDefault(mDefault);
}

void ed_button::ApplyReadOnly(bool readOnly) { mControl->SetEnabled(!readOnly); }

void ed_button::ControlClicked(FormControl&) {
    if (mReadOnly) return;
    if (!Raise(kFormHelp, mFieldId)) return;
    Raise(kFormExit, mFieldId);
}

ed_speed::~ed_speed() = default;

void ed_speed::Configure() { mControl->SetPicture(mPicture); }

void ed_speed::ControlClicked(FormControl&) {
    if (mReadOnly) return;
    if (mParent.CanFocus()) mParent.SetFocus();
    const auto alive = mAlive;
    if (!*alive || !Raise(kFormHelp, mFieldId)) return;
    Raise(kFormExit, mFieldId);
}

// ---- MENU

ed_menu::ed_menu(FormContext& context, FormControl& parent, const std::string& spec, const Substitution& subst,
                 const std::string& caption, const FormPicture* picture, PixelRect rect)
    : my_editor(context, parent) {
    std::vector<MenuEntry> entries = ParseMenuSpec(spec, mItemIds);
    for (std::string& id : mItemIds) id = subst.Apply(id);
    mControl = MakeControl(picture ? ControlKind::MenuPicture : ControlKind::MenuLabel, parent);
    mControl->SetGeometry(rect);
    if (picture) {
        mControl->SetPicture(*picture);
    } else {
        FontSpec font;
        font.height = ZoomedFontHeight(context.settings.baseFontHeight, context.settings.zoom);
        font.bold = true;
        font.underline = true;
        mControl->SetFont(font);
        mControl->SetText(caption);
    }
    mControl->SetMenu(entries);
    mControl->SetVisible(true);
}

ed_menu::~ed_menu() {
    DestroyChildren();
    Drop(mControl);
}

void ed_menu::Controls(std::vector<FormControl*>& out) const { out.push_back(mControl.get()); }

void ed_menu::ControlClicked(FormControl&) {
    // The pop-up menu follows; the edit being left stores its text first.
    if (mParent.CanFocus()) mParent.SetFocus();
}

void ed_menu::ControlChosen(FormControl&, int item) {
    if (item < 0 || item >= static_cast<int>(mItemIds.size())) return;
    Raise(kFormHelp, mItemIds[static_cast<std::size_t>(item)]);
}

}  // namespace velt
