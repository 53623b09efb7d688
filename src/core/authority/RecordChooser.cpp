#include "authority/RecordChooser.h"

#include "browse/CellMarkup.h"
#include "catalogue/velt_files.h"
#include "common/Prompts.h"
#include "files/WorkFile.h"
#include "net/FileRequests.h"
#include "text/CpLiteral.h"
#include "text/PipeList.h"
#include "text/Trim.h"
#include "text/converter.h"

#include <algorithm>

namespace velt {

RecordChooser::RecordChooser(velt_files& files, RecordChooserView& view, Prompts& prompts, LongOperations& longOps,
                             std::string workingDirectory)
    : mFiles(files), mView(view), mPrompts(prompts), mLongOps(longOps), mWorkingDirectory(std::move(workingDirectory)) {
    mFormatBefore = mFiles.CurrentFormat;
}

RecordChooser::~RecordChooser() { Finish(); }

void RecordChooser::Finish() {
    // The main window's "&Format" shows the format it chose: the chooser's
    // choice was for its own run.
    if (mFiles.CurrentFormat != mFormatBefore) mFiles.SetFormat(mFormatBefore);
}

std::vector<std::string> RecordChooser::IndexNames() const {
    std::vector<std::string> names;
    for (const auto& i : mFiles.Indexes) names.push_back(i->Name);
    return names;
}

std::vector<std::string> RecordChooser::FormatNames() const {
    std::vector<std::string> names;
    for (const velt_format& f : mFiles.Formats)
        if (f.Type == "prezentacja") names.push_back(f.Name);
    return names;
}

void RecordChooser::MakeSource(int i) {
    if (mFiles.Indexes.empty()) return;
    if (i < 0 || i >= static_cast<int>(mFiles.Indexes.size())) i = 0;
    mIndex = i;
    const velt_order& index = *mFiles.Indexes[static_cast<std::size_t>(i)];
    mCursor = std::make_unique<velt_order>(&mFiles.Connection(), index.Prefix, index.Parameter, index.Kind, index.Name,
                                           index.AuthorityLink);
    mCursor->Format = mFiles.CurrentFormat;
    mSource = std::make_unique<chooser::velt_serwer>(
        mFiles, *mCursor, [this](int code, const std::string& text, const std::string& key) { Picked(code, text, key); });
    mView.ShowIndex(i);
    mView.ListChanged();
}

void RecordChooser::StartList(const std::string& startIdentifier, const std::string& startText, int indexPosition) {
    mTreeMode = false;
    mStart = startIdentifier;
    mResult = {};
    mExpected = startIdentifier.empty() ? ' ' : startIdentifier[0];
    MakeSource(indexPosition);
    if (!mSource) return;
    if (!startText.empty()) {
        std::string key;
        mLongOps.run_with_progress("Pobieranie danych...", [&] {
            mCursor->Seek(startText);
            key = mCursor->CurrentKey();
        });
        if (!key.empty()) mView.ShowEntry(key);
    } else if (startIdentifier.size() >= 2) {
        mHistory = {startIdentifier};
        mView.ShowHistory(mHistory);
        std::string key;
        mLongOps.run_with_progress("Pobieranie danych...", [&] { key = mSource->LocateRecord(startIdentifier); });
        if (!key.empty()) mView.ShowEntry(key);
    } else {
        mHistory.clear();
        mView.ShowHistory(mHistory);
    }
}

void RecordChooser::StartTree(const std::string& startIdentifier, const std::string& formatType) {
    mTreeMode = true;
    mStart = startIdentifier;
    mResult = {};
    mExpected = startIdentifier.empty() ? ' ' : startIdentifier[0];
    mStructureFormat = mFiles.FormatByType(formatType);
    MakeSource(0);
    if (!mSource) return;
    if (startIdentifier.size() >= 2) {
        mHistory = {startIdentifier};
        const std::string key = mSource->LocateRecord(startIdentifier);
        if (!key.empty()) mView.ShowEntry(key);
    } else {
        mHistory.clear();
    }
    mView.ShowHistory(mHistory);
    BuildTree();
}

void RecordChooser::ChooseIndex(int i) {
    MakeSource(i);
    if (!mSource) return;
    std::string key;
    if (!mHistory.empty()) key = mSource->LocateRecord(mHistory.front());
    if (key.empty()) key = mSource->First();
    if (!key.empty()) mView.ShowEntry(key);
}

void RecordChooser::ChooseFormat(int i) {
    int n = -1;
    for (const velt_format& f : mFiles.Formats) {
        if (f.Type != "prezentacja" || ++n != i) continue;
        mFiles.SetFormat(f.Id);
        if (mCursor) mCursor->Format = f.Id;
        mView.ListChanged();
        return;
    }
}

void RecordChooser::Search(const std::string& text) {
    if (!mCursor) return;
    mCursor->Seek(text);
    const std::string key = mCursor->CurrentKey();
    if (!key.empty()) mView.ShowEntry(key);
    if (mTreeMode) BuildTree();
}

void RecordChooser::ToTop(const std::string& identifier) {
    mHistory.erase(std::remove(mHistory.begin(), mHistory.end(), identifier), mHistory.end());
    mHistory.insert(mHistory.begin(), identifier);
    mView.ShowHistory(mHistory);
}

bool RecordChooser::KindFits(const std::string& identifier) const {
    return mExpected == ' ' || (!identifier.empty() && identifier[0] == mExpected) || mFiles.DatabaseKind == kVelt1;
}

void RecordChooser::Accept(std::string identifier) {
    mResult = {true, std::move(identifier)};
    mView.Accept();
}

void RecordChooser::Picked(int code, const std::string& text, const std::string& key) {
    if (code == 33 || code == 42) {
        ToTop(text);
        // The browser has the entry selected already (a selection reports
        // itself here): the tree follows it.
        if (mTreeMode) {
            BuildTree();
            return;
        }
        if (code == 42) {
            if (KindFits(text))
                Accept(text);
            else
                mPrompts.plain_message("Rodzaj wskazanego rekordu nie jest odpowiedni");
        }
        return;
    }
    Command(text);
}

int RecordChooser::IndexNamed(const std::string& name) const {
    for (std::size_t i = 0; i < mFiles.Indexes.size(); ++i) {
        const velt_order& x = *mFiles.Indexes[i];
        const bool match = mFiles.DatabaseKind == kVelt1
                               ? UpperTable.Convert(x.Name) == UpperTable.Convert(name)
                               : std::string(TrimSpaces(x.Prefix)) == name;
        if (match) return static_cast<int>(i);
    }
    return -1;
}

void RecordChooser::Command(const std::string& command) {
    if (command.rfind("JPG", 0) == 0 && command.size() > 4) {
        WorkFile picture(mWorkingDirectory, "tmp-", "jpg");
        if (!picture.Made()) {
            mPrompts.show_error("Brak dostępu do folderu roboczego"_cp);
            return;
        }
        bool ok = false;
        mLongOps.run_with_gauge([&](const GaugeFunction& gauge) {
            ok = GetFile(mFiles.Connection(), command.substr(4), picture.Path(),
                         [&](std::int64_t done, std::int64_t total) { gauge(done, total); });
        });
        if (ok) mView.ShowPicture(picture.Release());
        return;
    }
    if (command.rfind("@", 0) == 0) {
        const PipeSplit parts = SplitAtPipe(std::string_view(command).substr(1));
        mView.StartProgram(std::string(parts.head), std::string(parts.tail));
        return;
    }
    if (command.rfind("rekord", 0) == 0) {
        const std::string rest(TrimSpaces(command.substr(6)));
        const auto space = rest.find(' ');
        const std::string id(TrimSpaces(rest.substr(0, space)));
        const std::string index = space == std::string::npos ? std::string() : std::string(TrimSpaces(rest.substr(space + 1)));
        const int i = IndexNamed(index);
        if (i < 0) return;
        MakeSource(i);
        const std::string key = mSource->LocateRecord(id);
        if (!key.empty()) mView.ShowEntry(key);
        return;
    }
    if (command.rfind("powiazania", 0) == 0) {
        const std::string structure(TrimSpaces(command.size() > 10 ? command.substr(10) : std::string()));
        if (mHistory.empty()) return;
        ChooserLinks links;
        links.files = &mFiles;
        links.identifier = mHistory.front();
        links.structure = structure.empty() ? "struktura" : structure;
        links.tree = mTreeMode;
        links.componentFormat = mTreeMode ? mStructureFormat : 0;
        links.pick = [this](const std::string& text) { return LinkPicked(text); };
        links.goTo = [this](const std::string& shown) { return LinkGoTo(shown); };
        mView.ShowLinks(links);
        return;
    }
    const auto bar = command.find('|');
    if (bar == std::string::npos) return;
    const int i = IndexNamed(command.substr(0, bar));
    if (i < 0) return;
    MakeSource(i);
    Search(command.substr(bar + 1));
}

bool RecordChooser::LinkPicked(const std::string& text) {
    if (text.empty()) return false;
    Accept(mTreeMode ? text : mStart);
    return true;
}

bool RecordChooser::LinkGoTo(const std::string& shown) {
    const std::string typed(TrimSpaces(shown));
    if (typed.empty()) return false;
    // The history holds identifiers as the indexes give them (stored).
    const std::string identifier = mFiles.StoredIdentifier(typed);
    if (!mTreeMode) {
        ToTop(identifier);
        Accept(identifier);
        return true;
    }
    const std::string key = mSource ? mSource->LocateRecord(typed) : std::string();
    if (key.empty()) return false;
    ToTop(identifier);
    mView.ShowEntry(key);
    BuildTree();
    return true;
}

void RecordChooser::Ok() {
    if (mHistory.empty()) {
        mPrompts.plain_message("Najpierw trzeba zaznaczyć rekord"_cp);
        return;
    }
    if (!KindFits(mHistory.front())) {
        mPrompts.plain_message("Rodzaj wskazanego rekordu nie jest odpowiedni");
        return;
    }
    Accept(mHistory.front());
}

void RecordChooser::TreeOk(int node) {
    if (node < 0 || node >= static_cast<int>(mTree.size())) {
        mPrompts.plain_message("Najpierw trzeba zaznaczyć wiersz"_cp);
        return;
    }
    Accept(mTree[static_cast<std::size_t>(node)].identifier);
}

void RecordChooser::BuildTree() {
    mTree.clear();
    if (mCursor && mCursor->Current && mStructureFormat != 0) {
        // The current entry through the structure format, for a moment.
        const std::int32_t format = mCursor->Format;
        mCursor->Format = mStructureFormat;
        const std::string key = mCursor->CurrentKey();
        mCursor->Find(key);
        const TVeltRecord* entry = mCursor->Current.get();
        const int item = entry ? velt_files::DisplayItem(entry->Kind) : 0;
        if (entry && item > 0) mTree = ParseStructureText(SplitDisplayLines(entry->Item(item)));
        mCursor->Format = format;
    }
    mView.ShowTree(mTree);
}

}  // namespace velt
