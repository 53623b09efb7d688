// The run-time editor base: the plain container of a laid-out form.

#include "forms/my_editor.h"

#include "forms/FormExpression.h"

namespace velt {

const FormPicture& FormContext::DeletePicture() {
    if (!mDeleteLoaded) {
        mDeleteLoaded = true;
        mDeletePicture = LoadPicture(settings.pictureDirectory, "usun.bmp");
    }
    return mDeletePicture;
}

int FormContext::Px(double units) const { return RoundHalfEven(units * settings.zoom); }

my_editor::my_editor(FormContext& context, FormControl& parent) : mContext(context), mParent(parent) {
    ++mContext.mEditors;
}

my_editor::~my_editor() {
    *mAlive = false;
    DestroyChildren();
    --mContext.mEditors;
}

void my_editor::DestroyChildren() {
    // The last child first, so that nothing points at a destroyed sibling.
    while (!mChildren.empty()) {
        std::unique_ptr<my_editor> child = std::move(mChildren.back());
        mChildren.pop_back();
        child.reset();
    }
}

void my_editor::Destroy() {
    DestroyChildren();
    DestroyControls();
}

my_editor& my_editor::Add(std::unique_ptr<my_editor> child) {
    mChildren.push_back(std::move(child));
    return *mChildren.back();
}

void my_editor::Refresh(const std::string& name) {
    // A refresh may reach a sub-form that opens its window; the list of
    // children is walked by index so that nothing is invalidated meanwhile.
    const auto alive = mAlive;
    for (std::size_t i = 0; i < mChildren.size() && *alive; ++i) mChildren[i]->Refresh(name);
}

bool my_editor::FocusFirst() {
    for (const auto& child : mChildren)
        if (child->FocusFirst()) return true;
    return false;
}

void my_editor::Controls(std::vector<FormControl*>& out) const {
    for (const auto& child : mChildren) child->Controls(out);
}

bool my_editor::HasFocus() const {
    for (const auto& child : mChildren)
        if (child->HasFocus()) return true;
    return false;
}

bool my_editor::Wheel(int steps) {
    for (const auto& child : mChildren)
        if (child->HasFocus()) return child->Wheel(steps);
    return false;
}

void my_editor::Commit() {
    const auto alive = mAlive;
    for (std::size_t i = 0; i < mChildren.size() && *alive; ++i) mChildren[i]->Commit();
}

void my_editor::Walk(const std::function<void(const my_editor&, int)>& visit, int depth) const {
    visit(*this, depth);
    for (const auto& child : mChildren) child->Walk(visit, depth + 1);
}

std::unique_ptr<FormControl> my_editor::MakeControl(ControlKind kind, FormControl& parent) {
    std::unique_ptr<FormControl> control = mContext.controls.Create(kind, parent);
    control->SetListener(this);
    return control;
}

PixelRect my_editor::Rect(double left, double top, double width, double height) const {
    return {mContext.Px(left), mContext.Px(top), mContext.Px(width), mContext.Px(height)};
}

bool my_editor::Raise(int event, const std::string& field) {
    const auto alive = mAlive;
    mContext.host.FieldEvent(event, mContext.record, field);
    return *alive;
}

std::vector<std::string> my_editor::RaiseShow(const std::string& field) {
    return mContext.host.FieldEvent(kFormShow, mContext.record, field);
}

void my_editor::Drop(std::unique_ptr<FormControl>& control) {
    if (!control) return;
    control->SetListener(nullptr);
    control.reset();
}

}  // namespace velt
