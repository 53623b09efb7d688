#include "editing/edit_sheet.h"

#include "catalogue/velt_files.h"
#include "forms/FormExpression.h"
#include "text/CpLiteral.h"
#include "text/FieldKey.h"

#include <algorithm>

namespace velt {

edit_sheet::edit_sheet(Setup setup, my_record record, std::unique_ptr<SheetView> view)
    : mSetup(std::move(setup)), mView(std::move(view)), mRecord(std::move(record)),
      mHost(mSetup.kind->script, mSetup.identifier, mSetup.services, mSetup.messages) {
    mHost.SetCatalogue(mSetup.catalogue);
    mHost.SetErrorsChanged([this] { ShowErrors(); });
    mView->SetCaption(mSetup.caption);
}

edit_sheet::~edit_sheet() { DestroyForm(); }

void edit_sheet::DestroyForm() {
    mHost.SetForm(nullptr);
    mForm.reset();
    mContext.reset();
}

void edit_sheet::Layout(const FormSettings& settings, bool focusFirst) {
    DestroyForm();
    const my_formular& model = *mSetup.kind->form;
    mContext = std::make_unique<FormContext>(mRecord, mHost, mView->Controls(), settings);
    FormSettings& s = mContext->settings;
    // While the sheet is laid out, a written 469 is its visible height in form units.
    s.sheetHeight = static_cast<std::int32_t>(RoundHalfEven(mView->ClientHeight() / s.zoom - 2));
    mView->SetFormSize(model.RightEdge(s), model.BottomEdge(s));
    mForm = std::make_unique<my_editor>(*mContext, mView->FormParent());
    mHost.SetForm(mForm.get());
    model.Build(*mForm, 0, {}, 0);
    s.sheetHeight = FormExpression::kSheetHeight;
    if (focusFirst) mForm->FocusFirst();
    ShowErrors();
}

void edit_sheet::Relayout(const FormSettings& settings) {
    if (mForm) mForm->Commit();
    mView->SetPageVisible(false);
    Layout(settings, false);
    mView->SetPageVisible(true);
}

void edit_sheet::Commit() {
    if (mForm) mForm->Commit();
}

std::vector<std::string> edit_sheet::Event(int event, const std::string& field) {
    return mHost.FieldEvent(event, mRecord, field);
}

void edit_sheet::Refresh(const std::string& key) {
    if (mForm) mForm->Refresh(key);
}

bool edit_sheet::Wheel(int steps) { return mForm && mForm->Wheel(steps); }

void edit_sheet::ShowErrors() {
    std::vector<std::string> lines;
    for (const my_error& e : mRecord.errors()) {
        if (lines.size() >= kMaxShownErrors) break;
        lines.push_back(e.message.substr(0, e.message.find('\x1b')));
    }
    mView->ShowErrors(lines);
}

void edit_sheet::ShowHelp(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < text.size() && lines.size() < kMaxHelpLines) {
        std::size_t end = text.find('\r', at);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(at, end - at);
        while (!line.empty() && line.back() == ' ') line.remove_suffix(1);
        lines.emplace_back(line);
        at = end + 1;
    }
    // Only empty lines: nothing to show.
    if (std::all_of(lines.begin(), lines.end(), [](const std::string& l) { return l.empty(); })) lines.clear();
    mView->ShowHelp(lines);
}

std::string edit_sheet::ChangedFieldsText() const {
    std::string names;
    for (const my_field& f : mRecord.fields()) {
        // The form's working fields ("#EGZ") are no change of the record, as for IsModified.
        if (f.value == f.loaded || IsWorkingKey(f.key)) continue;
        if (!names.empty()) names += ", ";
        names += f.key;
    }
    return names.empty() ? "Rekord nie został zmodyfikowany"_cp : "Zmieniono pola: " + names;
}

}  // namespace velt
