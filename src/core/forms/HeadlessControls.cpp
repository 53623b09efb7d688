// Controls without a window, for velt-cli and the tests.

#include "forms/HeadlessControls.h"

#include "forms/FormConversions.h"
#include "forms/FormExpression.h"

#include <algorithm>

namespace velt {

HeadlessControl::HeadlessControl(HeadlessControls& owner, ControlKind kind, HeadlessControl* parent)
    : mOwner(owner), mKind(kind), mParentControl(parent) {
    mIndex = owner.mAll.size();
    owner.mAll.push_back(this);
    if (parent) parent->mChildControls.push_back(this);
    mWordWrap = kind != ControlKind::LineEdit;
}

HeadlessControl::~HeadlessControl() {
    *mAlive = false;
    for (HeadlessControl* child : mChildControls) child->mParentControl = nullptr;
    if (mParentControl) std::erase(mParentControl->mChildControls, this);
    mOwner.Forget(this);
}

void HeadlessControl::Notify(const std::function<void(ControlListener&)>& call) {
    if (mListener) call(*mListener);
}

void HeadlessControl::SetVisible(bool visible) {
    mVisible = visible;
    // A control that is hidden loses the focus without a word.
    if (!visible && mOwner.mFocused) {
        for (HeadlessControl* c = mOwner.mFocused; c; c = c->mParentControl) {
            if (c == this) {
                mOwner.mFocused = nullptr;
                break;
            }
        }
    }
}

void HeadlessControl::SetReadOnly(bool readOnly) {
    mReadOnly = readOnly;
    mMarkerText.SetReadOnly(readOnly);
}

bool HeadlessControl::ShownInTree() const {
    for (const HeadlessControl* c = this; c; c = c->mParentControl) {
        if (c->mKind == ControlKind::PopupWindow) return true;
        if (!c->mVisible || !c->mEnabled) return false;
        if (c->mKind == ControlKind::TabSheet && c->mParentControl) {
            // Only the active page of a page control is shown.
            int index = 0;
            for (const HeadlessControl* sibling : c->mParentControl->mChildControls) {
                if (sibling == c) break;
                if (sibling->mKind == ControlKind::TabSheet) ++index;
            }
            if (index != c->mParentControl->mActivePage) return false;
        }
    }
    return true;
}

bool HeadlessControl::CanFocus() const {
    if (mKind == ControlKind::Label || mKind == ControlKind::ListMarker) return false;
    return ShownInTree();
}

void HeadlessControl::SetFocus() {
    if (CanFocus()) mOwner.MoveFocus(this);
}

bool HeadlessControl::HasFocus() const {
    for (const HeadlessControl* c = mOwner.mFocused; c; c = c->mParentControl)
        if (c == this) return true;
    return false;
}

void HeadlessControl::SetText(const std::string& text) {
    switch (mKind) {
    case ControlKind::MaskEdit: mMask.SetText(text); break;
    case ControlKind::MarkerMemo: mMarkerText.LoadText(text); break;
    default: mText = text; break;
    }
}

std::string HeadlessControl::Text() const {
    switch (mKind) {
    case ControlKind::MaskEdit: return mMask.Text();
    case ControlKind::MarkerMemo: return mMarkerText.StoredText();
    case ControlKind::SpinEdit: return std::to_string(mValue);
    case ControlKind::ComboBox:
        return mValue >= 0 && mValue < static_cast<int>(mItems.size()) ? mItems[static_cast<std::size_t>(mValue)]
                                                                        : std::string();
    case ControlKind::FormattedText: return PlainTextOf(mRuns);
    default: return mText;
    }
}

std::string HeadlessControl::ShownText() const {
    switch (mKind) {
    case ControlKind::MaskEdit: return mMask.Display();
    case ControlKind::MarkerMemo: return mMarkerText.ShownText();
    case ControlKind::LineEdit: return mPassword ? std::string(mText.size(), '*') : mText;
    case ControlKind::CheckBox: return std::string(mChecked ? "[x] " : "[ ] ") + mText;
    case ControlKind::ScrollBar: return std::to_string(mValue);
    default: return Text();
    }
}

void HeadlessControl::SetMarkers(char markerChar, const std::vector<TSequence>& markers) {
    mMarkerText.SetMarkerChar(markerChar);
    for (const TSequence& m : markers) mMarkerText.AddMarker(m);
}

bool HeadlessControl::ScrollVertically(int pixels) {
    int content = 0;
    for (const HeadlessControl* c : mChildControls)
        if (c->mVisible) content = std::max(content, SatAdd(c->mRect.top, c->mRect.height));
    if (content <= mRect.height) return false;
    mScrollOffset = std::clamp(SatAdd(mScrollOffset, -static_cast<std::int64_t>(pixels)), 0, SatAdd(content, -static_cast<std::int64_t>(mRect.height)));
    return true;
}

void HeadlessControl::ShowModal() {
    const auto alive = mAlive;
    mVisible = true;
    mModal = true;
    if (mOwner.onModal) mOwner.onModal(*this);
    if (!*alive) return;
    mVisible = false;
    mModal = false;
}

void HeadlessControl::ScreenPosition(int& x, int& y) const {
    x = y = 0;
    for (const HeadlessControl* c = this; c; c = c->mParentControl) {
        x = SatAdd(x, c->mRect.left);
        y = SatAdd(y, c->mRect.top);
        if (c->mKind == ControlKind::PopupWindow) break;
    }
}

void HeadlessControl::UserFocus() { mOwner.MoveFocus(this); }

void HeadlessControl::UserType(const std::string& text) {
    if (!CanFocus()) return;
    if (!HasFocus()) {
        const auto alive = mAlive;
        UserFocus();
        if (!*alive) return;
    }
    if (mReadOnly) return;
    switch (mKind) {
    case ControlKind::MaskEdit:
        mMask.Erase(0, mMask.Size());
        mMask.SetCursor(0);
        for (char c : text) mMask.Type(c);
        break;
    case ControlKind::MarkerMemo:
        mMarkerText.Select(0, mMarkerText.ShownLength(), true);
        mMarkerText.DeleteSelection();
        for (char c : text) mMarkerText.Type(c);
        break;
    case ControlKind::SpinEdit:
        if (const auto v = ParseSpinValue(text)) mValue = ClampSpin(*v, mMinimum, mMaximum);
        break;
    default: {
        std::string typed;
        for (char c : text)
            if ((c != '\r' && c != '\n') || mAcceptsReturn) typed.push_back(c);
        if (mMaxLength > 0 && typed.size() > static_cast<std::size_t>(mMaxLength)) typed.resize(static_cast<std::size_t>(mMaxLength));
        mText = typed;
        break;
    }
    }
    Notify([this](ControlListener& l) { l.ControlChanged(*this); });
}

void HeadlessControl::UserPaste(const std::string& text) {
    if (!CanFocus() || mReadOnly) return;
    if (!HasFocus()) {
        const auto alive = mAlive;
        UserFocus();
        if (!*alive) return;
    }
    if (mKind == ControlKind::MarkerMemo) {
        if (!mMarkerText.Paste(text)) return;
    } else if (mKind == ControlKind::MaskEdit) {
        if (!mMask.Paste(text)) return;
    } else {
        mText += mAcceptsReturn ? text : PastedAsOneLine(text);
    }
    Notify([this](ControlListener& l) { l.ControlChanged(*this); });
}

void HeadlessControl::UserClick() {
    if (!mEnabled || !ShownInTree()) return;
    if (mKind == ControlKind::CheckBox) {
        const auto alive = mAlive;
        if (!HasFocus()) UserFocus();
        if (!*alive) return;
        mChecked = !mChecked;
    }
    Notify([this](ControlListener& l) { l.ControlClicked(*this); });
}

void HeadlessControl::UserChoose(int index) {
    if (!mEnabled) return;
    if (mKind == ControlKind::ComboBox) {
        const auto alive = mAlive;
        if (!HasFocus()) UserFocus();
        if (!*alive) return;
        mValue = index;
    }
    Notify([this, index](ControlListener& l) { l.ControlChosen(*this, index); });
}

void HeadlessControl::UserScroll(int position) {
    mValue = std::clamp(position, mMinimum, std::max(mMinimum, mMaximum));
    const int v = mValue;
    Notify([this, v](ControlListener& l) { l.ControlScrolled(*this, v); });
}

void HeadlessControl::UserShowPage(int index) {
    mActivePage = index;
    Notify([this, index](ControlListener& l) { l.ControlPageShown(*this, index); });
}

void HeadlessControl::UserChanged() {
    Notify([this](ControlListener& l) { l.ControlChanged(*this); });
}

HeadlessControls::~HeadlessControls() = default;

std::unique_ptr<FormControl> HeadlessControls::Create(ControlKind kind, FormControl& parent) {
    return std::make_unique<HeadlessControl>(*this, kind, dynamic_cast<HeadlessControl*>(&parent));
}

std::unique_ptr<HeadlessControl> HeadlessControls::MakeRoot(PixelRect rect) {
    auto root = std::make_unique<HeadlessControl>(*this, ControlKind::Panel, nullptr);
    root->SetGeometry(rect);
    root->SetVisible(true);
    return root;
}

void HeadlessControls::RunPosted() {
    while (!mPosted.empty()) {
        std::function<void()> task = std::move(mPosted.front());
        mPosted.pop_front();
        task();
    }
}

void HeadlessControls::MoveFocus(HeadlessControl* to) {
    if (to == mFocused) return;
    HeadlessControl* old = mFocused;
    mFocused = to;
    const auto alive = to ? to->mAlive : nullptr;
    if (old) old->Notify([old](ControlListener& l) { l.ControlLeft(*old); });
    // What the old control's listener did may have moved the focus again, or
    // destroyed the control that was to get it.
    if (to && *alive && mFocused == to) to->Notify([to](ControlListener& l) { l.ControlEntered(*to); });
}

const std::vector<HeadlessControl*>& HeadlessControls::All() const {
    if (mDead) {
        std::erase(mAll, nullptr);
        for (std::size_t i = 0; i < mAll.size(); ++i) mAll[i]->mIndex = i;
        mDead = 0;
    }
    return mAll;
}

std::vector<HeadlessControl*> HeadlessControls::OfKind(ControlKind kind) const {
    std::vector<HeadlessControl*> out;
    for (HeadlessControl* c : All())
        if (c->Kind() == kind) out.push_back(c);
    return out;
}

void HeadlessControls::Forget(HeadlessControl* control) {
    if (mFocused == control) mFocused = nullptr;
    if (control->mIndex < mAll.size() && mAll[control->mIndex] == control) {
        mAll[control->mIndex] = nullptr;
        ++mDead;
    }
}

}  // namespace velt
