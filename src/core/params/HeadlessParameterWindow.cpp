// The parameter window over headless controls.

#include "params/HeadlessParameterWindow.h"

#include "forms/my_formular.h"

namespace velt {

bool HeadlessParameterWindow::ShowParameters(ParameterDialog& dialog) {
    ++shown;
    titles.push_back(dialog.Title());
    settings.push_back(dialog.Settings());
    offers.push_back(dialog.Sort());
    mDialog = &dialog;
    mClosed = false;
    mRoot = mControls.MakeRoot();
    mContext = std::make_unique<FormContext>(dialog.Record(), dialog.Host(), mControls, dialog.Settings());
    mForm = std::make_unique<my_editor>(*mContext, *mRoot);
    dialog.Form().Build(*mForm, 0, {}, 0);
    mControls.RunPosted();
    dialog.Attach(mForm.get());
    mForm->FocusFirst();
    if (user) user(*this);
    else Execute();
    if (!dialog.Sort().items.empty() && sortChoice >= 0) dialog.SetChosenSort(sortChoice);
    dialog.Attach(nullptr);
    mForm.reset();
    mContext.reset();
    mRoot.reset();
    mDialog = nullptr;
    return mClosed;
}

bool HeadlessParameterWindow::Execute() {
    if (!mDialog || mClosed) return mClosed;
    std::vector<std::string> found = mDialog->Execute();
    mControls.RunPosted();
    if (found.empty()) {
        mClosed = true;
    } else {
        errors.push_back(std::move(found));
    }
    return mClosed;
}

const my_editor* HeadlessParameterWindow::Editor(const std::string& field) const {
    if (!mForm) return nullptr;
    const my_editor* found = nullptr;
    mForm->Walk([&](const my_editor& e, int) {
        if (!found && e.FieldId() && *e.FieldId() == field) found = &e;
    });
    return found;
}

HeadlessControl* HeadlessParameterWindow::Control(const std::string& field) const {
    const my_editor* e = Editor(field);
    const FormControl* main = e ? e->MainControl() : nullptr;
    return const_cast<HeadlessControl*>(static_cast<const HeadlessControl*>(main));
}

void HeadlessParameterWindow::ShowFormMessages(const std::vector<FormMessage>& list) {
    for (const FormMessage& m : list) {
        messages.push_back(m.text);
        if (!m.line.empty()) messages.push_back(m.line);
    }
}

std::string HeadlessParameterWindow::ChooseFile(const std::string& fileName, const std::string& filter) {
    return chooser ? chooser(fileName, filter) : std::string();
}

}  // namespace velt
