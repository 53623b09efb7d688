#include "links/LinkChoice.h"

#include "browse/CellMarkup.h"
#include "catalogue/velt_files.h"
#include "text/CpLiteral.h"

namespace velt {

namespace {

std::string LeadingSpacesOff(std::string_view s) {
    const auto first = s.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string() : std::string(s.substr(first));
}

// The display text of a record's own entry in a format; empty without one.
std::string EntryDisplay(velt_files& files, const std::string& identifier, std::int32_t format) {
    const std::int32_t kind = files.DatabaseKind == kVelt1 ? 1 : 21;
    const RecordPtr entry = files.IndexFrom(kind, 1, format, identifier);
    if (!entry) return {};
    const int item = velt_files::DisplayItem(entry->Kind);
    return item > 0 ? entry->Item(item) : std::string();
}

}  // namespace

LinkChoice::LinkChoice(LinkChoiceView& view, Prompts& prompts, LongOperations& longOps)
    : mView(view), mPrompts(prompts), mLongOps(longOps) {}

bool LinkChoice::Start(velt_files& files, LinkChoiceMode mode, const std::string& identifier,
                       const std::string& structure) {
    mFiles = &files;
    mMode = mode;
    mNodes.clear();
    mSelected = -1;
    mComponents.clear();
    mResult.clear();
    mStructureFormat = files.FormatByType(structure.empty() ? std::string(kDefaultStructure) : structure);
    mCaptionFormat = files.FormatByType("drzewo");
    if (files.DatabaseKind != kVelt1 && mStructureFormat == 0) {
        mPrompts.plain_message("Niedostępne dla tej wersji serwera"_cp);
        return false;
    }
    mView.SetMode(mode, static_cast<bool>(mFetch), static_cast<bool>(mConvert));
    LinkTreeBuild build;
    mLongOps.run_with_progress("Pobieranie danych...", [&] {
        build = mStructureFormat != 0 ? TreeFromStructure(files, mStructureFormat, identifier)
                                      : TreeByWalk(files, mCaptionFormat, identifier);
    });
    mNodes = std::move(build.nodes);
    mSelected = build.selected;
    mView.ShowTree(mNodes, mSelected);
    mView.ShowIdentifier(LeadingSpacesOff(files.ShownIdentifier(identifier)));
    if (!build.problem.empty()) mPrompts.show_error(build.problem);
    if (mSelected >= 0) ShowNode();
    return true;
}

std::string LinkChoice::Finish() {
    mView.Run();
    mNodes.clear();
    mComponents.clear();
    mSelected = -1;
    mPick = mGoTo = mConvert = mFetch = nullptr;
    mFiles = nullptr;
    return mResult;
}

std::string LinkChoice::ChooseInList(velt_files& files, const std::string& identifier, const std::string& structure,
                                     LinkCallback pick, LinkCallback goTo) {
    mPick = std::move(pick);
    mGoTo = std::move(goTo);
    mConvert = mFetch = nullptr;
    if (!Start(files, LinkChoiceMode::List, identifier, structure)) return {};
    return Finish();
}

std::string LinkChoice::ChooseInTree(velt_files& files, const std::string& identifier, const std::string& structure,
                                     LinkCallback pick, LinkCallback goTo, std::int32_t componentFormat) {
    mPick = std::move(pick);
    mGoTo = std::move(goTo);
    mConvert = mFetch = nullptr;
    mComponentFormat = componentFormat;
    if (!Start(files, LinkChoiceMode::Tree, identifier, structure)) return {};
    return Finish();
}

std::string LinkChoice::ChooseForImport(velt_files& files, const std::string& identifier,
                                        const std::string& structure, LinkCallback convert, LinkCallback fetch) {
    mPick = mGoTo = nullptr;
    mConvert = std::move(convert);
    mFetch = std::move(fetch);
    if (!Start(files, LinkChoiceMode::Import, identifier, structure)) return {};
    return Finish();
}

void LinkChoice::ShowNode() {
    const std::string& id = mNodes[static_cast<std::size_t>(mSelected)].identifier;
    mView.ShowIdentifier(LeadingSpacesOff(mFiles->ShownIdentifier(id)));
    if (mMode == LinkChoiceMode::Tree) {
        // The components: "+" opens a level, "-" a leaf, "/" closes; caption "|" value.
        mComponents = mComponentFormat != 0 ? ParseStructureText(EntryDisplay(*mFiles, id, mComponentFormat))
                                            : std::vector<StructureNode>{};
        mView.ShowComponents(mComponents);
        return;
    }
    mView.ShowRecord(SplitDisplayLines(EntryDisplay(*mFiles, id, mFiles->CurrentFormat)));
}

void LinkChoice::NodeSelected(int i) {
    if (!mFiles || i < 0 || i >= static_cast<int>(mNodes.size())) return;
    mSelected = i;
    ShowNode();
}

void LinkChoice::Search(const std::string& text) {
    const int found = FindNode(mNodes, text, mSelected);
    if (found < 0) return;
    mSelected = found;
    mView.SelectNode(found);
    ShowNode();
}

void LinkChoice::Call(const LinkCallback& callback, const std::string& text) {
    if (callback && callback(text)) {
        mResult = text;
        mView.Close();
    }
}

void LinkChoice::GoTo(const std::string& text) {
    if (!mGoTo) {
        // Import mode: the identifier is what the window gives back.
        mResult = text;
        mView.Close();
        return;
    }
    Call(mGoTo, text);
}

void LinkChoice::ComponentChosen(int i) {
    if (mMode != LinkChoiceMode::Tree) return;
    if (i < 0 || i >= static_cast<int>(mComponents.size())) {
        mPrompts.plain_message("Najpierw trzeba zaznaczyć wiersz"_cp);
        return;
    }
    Call(mPick, mComponents[static_cast<std::size_t>(i)].identifier);
}

void LinkChoice::Fetch(const std::string& text) { Call(mFetch, text); }

void LinkChoice::Convert(const std::string& text) { Call(mConvert, text); }

}  // namespace velt
