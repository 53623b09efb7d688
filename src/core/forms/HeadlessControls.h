#pragma once
// Controls without a window: every control keeps its state (place, text,
// value, visibility, focus) in memory, so that a form can be laid out and
// edited where there is no display — velt-cli form --layout and the tests,
// which act as the user through the User... operations. Masked edits and
// marker memos keep their content in the same models the windows use.

#include "forms/EditMask.h"
#include "forms/FormControls.h"
#include "forms/MarkerText.h"

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velt {

class HeadlessControls;

class HeadlessControl : public FormControl {
public:
    HeadlessControl(HeadlessControls& owner, ControlKind kind, HeadlessControl* parent);
    ~HeadlessControl() override;

    ControlKind Kind() const override { return mKind; }
    void SetGeometry(const PixelRect& rect) override { mRect = rect; }
    PixelRect Geometry() const override { return mRect; }
    void SetVisible(bool visible) override;
    bool IsVisible() const override { return mVisible; }
    void SetEnabled(bool enabled) override { mEnabled = enabled; }
    bool IsEnabled() const override { return mEnabled; }
    void SetReadOnly(bool readOnly) override;
    void SetFont(const FontSpec& font) override { mFont = font; }
    void SetHint(const std::string& hint) override { mHint = hint; }
    bool CanFocus() const override;
    void SetFocus() override;
    bool HasFocus() const override;
    void SetText(const std::string& text) override;
    std::string Text() const override;
    std::string ShownText() const override;
    void SetMaxLength(int n) override { mMaxLength = n; }
    void SetPassword(bool p) override { mPassword = p; }
    void SetMask(const std::string& mask) override { mMask = EditMask(mask); }
    void SetMultiline(bool acceptsReturn, bool wordWrap) override {
        mAcceptsReturn = acceptsReturn;
        mWordWrap = wordWrap;
    }
    void SetRange(int minimum, int maximum) override {
        mMinimum = minimum;
        mMaximum = maximum;
    }
    void SetValue(int value) override { mValue = value; }
    int Value() const override { return mValue; }
    void SetItems(const std::vector<std::string>& items) override { mItems = items; }
    void SetChecked(bool checked) override { mChecked = checked; }
    bool IsChecked() const override { return mChecked; }
    void SetDefault(bool d) override { mDefault = d; }
    void SetPicture(const FormPicture& picture) override { mPicture = picture; }
    void SetRuns(const std::vector<TextRun>& runs) override { mRuns = runs; }
    void SetMenu(const std::vector<MenuEntry>& menu) override { mMenu = menu; }
    void SetMarkers(char markerChar, const std::vector<TSequence>& markers) override;
    void SetAutoScroll(bool on) override { mAutoScroll = on; }
    void ScrollIntoView(FormControl& control) override { mScrolledTo = &control; }
    bool ScrollVertically(int pixels) override;
    int ActivePage() const override { return mActivePage; }
    void SetClientSize(int w, int h) override {
        mRect.width = w;
        mRect.height = h;
    }
    void MoveTo(int x, int y) override {
        mRect.left = x;
        mRect.top = y;
    }
    void ShowModal() override;
    void Close() override { mVisible = false; mModal = false; }
    void ScreenPosition(int& x, int& y) const override;

    // What the tests and velt-cli read.
    HeadlessControl* ParentControl() const { return mParentControl; }
    const FontSpec& Font() const { return mFont; }
    const std::string& Hint() const { return mHint; }
    bool ReadOnly() const { return mReadOnly; }
    int MaxLength() const { return mMaxLength; }
    bool Password() const { return mPassword; }
    bool AcceptsReturn() const { return mAcceptsReturn; }
    bool WordWrap() const { return mWordWrap; }
    int Minimum() const { return mMinimum; }
    int Maximum() const { return mMaximum; }
    const std::vector<std::string>& Items() const { return mItems; }
    bool IsDefault() const { return mDefault; }
    const FormPicture& Picture() const { return mPicture; }
    const std::vector<TextRun>& Runs() const { return mRuns; }
    const std::vector<MenuEntry>& Menu() const { return mMenu; }
    bool AutoScroll() const { return mAutoScroll; }
    const FormControl* ScrolledTo() const { return mScrolledTo; }
    int ScrollOffset() const { return mScrollOffset; }
    bool Modal() const { return mModal; }
    EditMask& Mask() { return mMask; }
    MarkerText& Markers() { return mMarkerText; }

    // The user at work: each reports as the live control would.
    void UserFocus();
    // Replaces the whole content as if typed (a masked edit types it character by character).
    void UserType(const std::string& text);
    // Pastes into a memo: without line breaks allowed, every line end becomes a space.
    void UserPaste(const std::string& text);
    void UserClick();                 // a check box toggles first
    void UserChoose(int index);       // a combo entry or a menu item
    void UserScroll(int position);    // a scroll bar
    void UserShowPage(int index);     // a page control
    // Reports a change made through Markers() or Mask().
    void UserChanged();
    // Whether it and every container above it is shown (pop-up windows count as shown).
    bool ShownInTree() const;

private:
    friend class HeadlessControls;
    void Notify(const std::function<void(ControlListener&)>& call);

    HeadlessControls& mOwner;
    ControlKind mKind;
    HeadlessControl* mParentControl;
    std::vector<HeadlessControl*> mChildControls;
    std::size_t mIndex = 0;  // in the owner's list
    std::shared_ptr<bool> mAlive = std::make_shared<bool>(true);
    PixelRect mRect;
    bool mVisible = false, mEnabled = true, mReadOnly = false;
    FontSpec mFont;
    std::string mHint, mText;
    int mMaxLength = 0;
    bool mPassword = false, mAcceptsReturn = false, mWordWrap = true;
    EditMask mMask;
    MarkerText mMarkerText;
    int mMinimum = 0, mMaximum = 0, mValue = 0;
    std::vector<std::string> mItems;
    bool mChecked = false, mDefault = false;
    FormPicture mPicture;
    std::vector<TextRun> mRuns;
    std::vector<MenuEntry> mMenu;
    bool mAutoScroll = false;
    FormControl* mScrolledTo = nullptr;
    int mScrollOffset = 0;
    int mActivePage = 0;
    bool mModal = false;
};

class HeadlessControls : public ControlFactory {
public:
    HeadlessControls() = default;
    ~HeadlessControls() override;

    std::unique_ptr<FormControl> Create(ControlKind kind, FormControl& parent) override;
    void Post(std::function<void()> task) override { mPosted.push_back(std::move(task)); }

    // A root container for a host (a sheet, a window's panel), shown.
    std::unique_ptr<HeadlessControl> MakeRoot(PixelRect rect = {0, 0, 800, 600});
    // Runs the posted tasks, and those they post, as the event loop would.
    void RunPosted();
    std::size_t PostedCount() const { return mPosted.size(); }

    // The control with the focus, or none.
    HeadlessControl* Focused() const { return mFocused; }
    // Moves the focus: the old control hears it leave, then the new one.
    void MoveFocus(HeadlessControl* to);
    // Every live control in the order of creation.
    const std::vector<HeadlessControl*>& All() const;
    // Live controls of a kind, in the order of creation.
    std::vector<HeadlessControl*> OfKind(ControlKind kind) const;

    // What a modal pop-up does while it is shown (the test acts as the user);
    // without one it closes at once.
    std::function<void(HeadlessControl& window)> onModal;

private:
    friend class HeadlessControl;
    void Forget(HeadlessControl* control);

    mutable std::vector<HeadlessControl*> mAll;  // destroyed ones are left as null until All() is asked
    mutable std::size_t mDead = 0;
    std::deque<std::function<void()>> mPosted;
    HeadlessControl* mFocused = nullptr;
};

}  // namespace velt
