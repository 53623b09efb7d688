#include "authority/HeadlessAuthority.h"

#include "authority/AuthorityLookup.h"
#include "authority/TermSearch.h"

namespace velt {

namespace {

// A window nobody sees: it remembers whether it was accepted.
struct Closing {
    bool accepted = false;
};

struct LookupView : AuthorityLookupView, Closing {
    void ShowSearchText(const std::string&) override {}
    void ShowFoundTerm(const std::string&) override {}
    void ShowEntry(const std::string&) override {}
    void ListChanged() override {}
    void Accept() override { accepted = true; }
    void Reject() override {}
};

struct SearchView : TermSearchView, Closing {
    void ShowSearchText(const std::string&) override {}
    void ShowEntry(const std::string&) override {}
    void Accept() override { accepted = true; }
};

struct ChooserView : RecordChooserView, Closing {
    void ShowIndex(int) override {}
    void ListChanged() override {}
    void ShowEntry(const std::string&) override {}
    void ShowHistory(const std::vector<std::string>&) override {}
    void ShowTree(const std::vector<StructureNode>&) override {}
    void Accept() override { accepted = true; }
    void ShowPicture(const std::string&) override {}
    void StartProgram(const std::string&, const std::string&) override {}
    void ShowLinks(const ChooserLinks&) override {}
};

// The key of the n-th entry at or after the cursor's current one.
std::string Nth(Vrserwer& source, const std::string& at, int n) {
    std::string key = at;
    for (int i = 1; i < n && !key.empty(); ++i) key = source.Next(key);
    return key;
}

}  // namespace

std::string HeadlessAuthority::Lookup(velt_files& files, const velt_KHW& file, char mode, const std::string& start) {
    LookupView view;
    AuthorityLookup model(files, file, mode, view, mPrompts, nullptr);
    model.Start(start);
    if (pick <= 0) return {};
    // Nothing at or after the start text: nothing to choose.
    const std::string at = start.empty() ? model.Source().First() : model.Source().Cursor().CurrentKey();
    const std::string key = Nth(model.Source(), at, pick);
    if (key.empty()) return {};
    model.Action(key, "*");
    return view.accepted ? model.Result() : std::string();
}

std::string HeadlessAuthority::TermSearch(velt_files& files, const std::string& start, const std::string& reference) {
    SearchView view;
    velt::TermSearch model(files, reference, view);
    model.Start(start);
    if (pick <= 0) return {};
    const std::string at = start.empty() ? model.Source().First() : model.Source().Cursor().CurrentKey();
    const std::string key = Nth(model.Source(), at, pick);
    if (key.empty()) return {};
    model.Action(key, "*");
    return view.accepted ? model.Text() : std::string();
}

ChosenRecord HeadlessAuthority::SelectRecord(velt_files& files, const std::string& startIdentifier,
                                             const std::string& startText, int indexPosition) {
    ChooserView view;
    RecordChooser model(files, view, mPrompts, mLongOps, mWorkingDirectory);
    model.StartList(startIdentifier, startText, indexPosition);
    if (pick <= 0 || !model.Source()) return {};
    std::string at = startText.empty() && startIdentifier.size() >= 2
                         ? model.Source()->LocateRecord(startIdentifier)
                         : std::string();
    if (at.empty()) at = model.ListSource().First();
    const std::string key = Nth(model.ListSource(), at, pick);
    if (key.empty()) return {};
    model.ListSource().Action(key, "*");
    return model.Result();
}

ChosenRecord HeadlessAuthority::SelectInStructure(velt_files& files, const std::string& startIdentifier,
                                                  const std::string& formatType) {
    ChooserView view;
    RecordChooser model(files, view, mPrompts, mLongOps, mWorkingDirectory);
    model.StartTree(startIdentifier, formatType);
    if (pick <= 0) return {};
    // The n-th node of the record's structure.
    model.TreeOk(pick - 1);
    return model.Result();
}

}  // namespace velt
