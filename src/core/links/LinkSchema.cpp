#include "links/LinkSchema.h"

#include "browse/CellMarkup.h"
#include "browse/TBlobChange.h"
#include "browse/VrCollection.h"
#include "catalogue/velt_files.h"
#include "editing/TEdycja.h"
#include "files/WorkFile.h"
#include "links/LinkEditing.h"
#include "net/FileRequests.h"
#include "text/CpLiteral.h"
#include "text/PipeList.h"
#include "text/Trim.h"
#include "text/converter.h"

#include <set>

namespace velt {

namespace {

// Counts the window's own operations: the editor's word of a change they
// make waits until they are over, and the tree is built once.
class OwnWork {
public:
    explicit OwnWork(int& count) : mCount(count) { ++mCount; }
    ~OwnWork() { --mCount; }
    OwnWork(const OwnWork&) = delete;
    OwnWork& operator=(const OwnWork&) = delete;

private:
    int& mCount;
};

std::string LeadingSpacesOff(std::string_view s) {
    const auto first = s.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string() : std::string(s.substr(first));
}

LinkEditing::Hooks HooksOf(TEdycja& editing) {
    LinkEditing::Hooks hooks;
    hooks.isOpen = [&editing](const std::string& id) { return editing.IsOpen(id); };
    hooks.changed = [&editing](const std::string& shown) { editing.RecordChanged(shown, shown); };
    return hooks;
}

}  // namespace

LinkSchema::LinkSchema(velt_files& files, LinkSchemaView& view, LinkSchemaHost& host, Prompts& prompts,
                       LongOperations& longOps)
    : mFiles(files), mView(view), mHost(host), mPrompts(prompts), mLongOps(longOps) {}

std::string LinkSchema::Shown(const std::string& stored) const { return mFiles.ShownIdentifier(stored); }

const std::vector<std::string>& LinkSchema::SortKeys() const { return mFiles.ComponentSortKeys; }

bool LinkSchema::InCollection(const std::string& identifier) {
    VrCollection* c = mHost.LocalCollection();
    const std::int32_t n = mFiles.RecordNumber(identifier);
    return c && n > 0 && c->Contains(n);
}

void LinkSchema::ShowLinks(const std::string& identifier, const std::string& structureType) {
    const std::string type = structureType.empty() ? std::string(kDefaultStructure) : structureType;
    mStructureFormat = mFiles.FormatByType(type);
    const bool velt1 = mFiles.DatabaseKind == kVelt1;
    if (!velt1 && mStructureFormat == 0) {
        mPrompts.plain_message("Niedostępne dla tej wersji serwera"_cp);
        return;
    }
    std::string caption;
    if (const velt_format* f = velt1 ? nullptr : mFiles.FormatById(static_cast<std::int32_t>(mStructureFormat))) {
        caption = f->Name;
        if (!caption.empty()) caption = UpperTable.Convert(caption.substr(0, 1)) + caption.substr(1);
    } else {
        caption = "Schemat powiązań (rekord "_cp + std::string(TrimSpaces(identifier)) + ")";
    }
    mView.SetCaption(caption);
    mRoot.clear();
    Build(identifier, identifier);
    mView.ShowWindow();
    mView.ShowIdentifier(Shown(identifier));
    Display(identifier);
}

void LinkSchema::RefreshLinks(const std::string& identifier) {
    if (mOwnWork > 0 || !mView.WindowShown()) return;
    Build(mRoot.empty() ? identifier : mRoot, identifier);
    mView.ShowIdentifier(Shown(identifier));
    Display(identifier);
}

void LinkSchema::SetAccessMode(LinksAccessMode mode) {
    mMode = mode;
    mView.ApplyAccess(AccessFor(mode, mFiles.DatabaseKind));
}

void LinkSchema::Build(const std::string& from, const std::string& identifier) {
    LinkTreeBuild build;
    mLongOps.run_with_progress("Pobieranie danych...", [&] {
        build = mStructureFormat != 0 ? TreeFromStructure(mFiles, mStructureFormat, from)
                                      : TreeByWalk(mFiles, mCaptionFormat, from);
    });
    mNodes = std::move(build.nodes);
    mRoot = build.root;
    mSelected = -1;
    for (std::size_t i = 0; i < mNodes.size(); ++i) {
        mNodes[i].inCollection = InCollection(mNodes[i].identifier);
        if (mSelected < 0 && SameIdentifier(mNodes[i].identifier, identifier)) mSelected = static_cast<int>(i);
    }
    mView.ShowTree(mNodes, mSelected);
    if (!build.problem.empty()) mPrompts.show_error(build.problem);
}

void LinkSchema::Display(const std::string& identifier) {
    mDisplayed = identifier;
    std::vector<std::string> lines;
    if (!identifier.empty()) {
        const std::int32_t kind = mFiles.DatabaseKind == kVelt1 ? 1 : 21;
        if (const RecordPtr entry = mFiles.IndexFrom(kind, 1, mFiles.CurrentFormat, identifier)) {
            const int item = velt_files::DisplayItem(entry->Kind);
            if (item > 0) lines = SplitDisplayLines(entry->Item(item));
        }
        if (InCollection(identifier)) lines.push_back(CollectionButtonLine(identifier));
    }
    mView.ShowRecord(lines);
}

void LinkSchema::ShowSelected() {
    const std::string& id = mNodes[static_cast<std::size_t>(mSelected)].identifier;
    mView.ShowIdentifier(LeadingSpacesOff(Shown(id)));
    Display(id);
}

void LinkSchema::NodeSelected(int i) {
    if (i < 0 || i >= static_cast<int>(mNodes.size())) return;
    mSelected = i;
    ShowSelected();
}

void LinkSchema::NodeRightClicked(int i) {
    if (i < 0 || i >= static_cast<int>(mNodes.size())) return;
    mView.SelectNode(i);
    NodeSelected(i);
    const std::int32_t kind = mFiles.DatabaseKind == kVelt1 ? 1 : 21;
    const RecordPtr entry = mFiles.IndexFrom(kind, 1, mFiles.CurrentFormat, mDisplayed);
    if (!entry) return;
    const int item = velt_files::DisplayItem(entry->Kind);
    const std::vector<ReportItem> items = item > 0 ? ReportItems(entry->Item(item)) : std::vector<ReportItem>{};
    if (!items.empty()) mView.PopUpItems(items);
}

void LinkSchema::NodeDoubleClicked(int i) {
    if (i < 0 || i >= static_cast<int>(mNodes.size())) return;
    mSelected = i;
    const std::string id = mNodes[static_cast<std::size_t>(i)].identifier;
    VrCollection* c = mHost.LocalCollection();
    const std::int32_t n = mFiles.RecordNumber(id);
    if (!c || n <= 0) return;
    bool now = false;
    if (c->Contains(n)) {
        c->Exclude(n);
        mHost.ShowInLocal(0);
    } else {
        if (!c->Include(n)) return;
        now = true;
        mHost.ShowInLocal(n);
    }
    for (std::size_t k = 0; k < mNodes.size(); ++k)
        if (mFiles.RecordNumber(mNodes[k].identifier) == n) {
            mNodes[k].inCollection = now;
            mView.NodeChanged(static_cast<int>(k));
        }
    mView.ShowIdentifier(LeadingSpacesOff(Shown(id)));
    Display(id);
}

void LinkSchema::Search(const std::string& text) {
    const int found = FindNode(mNodes, text, mSelected);
    if (found < 0) return;
    mSelected = found;
    mView.SelectNode(found);
    ShowSelected();
}

void LinkSchema::GoTo(const std::string& typed) {
    if (mHost.GoTo(typed)) mView.CloseWindow();
}

void LinkSchema::OpenRecord(const std::string& typed) {
    TEdycja* editing = mHost.Editing();
    if (!editing || typed.empty()) return;
    // The kind is the identifier's first character; a VELT1 number has none.
    std::string code = typed.substr(0, 1);
    if (mFiles.DatabaseKind == kVelt1 && (code[0] == ' ' || (code[0] >= '0' && code[0] <= '9'))) code.clear();
    editing->OpenRecord(code, typed);
}

void LinkSchema::AddRecord() {
    TEdycja* editing = mHost.Editing();
    if (!editing || mSelected < 0) return;
    const int parent = mSelected;
    std::string added;
    {
        OwnWork own(mOwnWork);
        LinkEditing links(mFiles, editing->Requests(), mPrompts, HooksOf(*editing));
        added = links.AddLinkedRecord(mNodes[static_cast<std::size_t>(parent)].identifier);
    }
    if (added.empty()) return;
    LinkNode node;
    node.caption = "Nowy rekord";
    node.identifier = added;
    node.parent = parent;
    node.level = mNodes[static_cast<std::size_t>(parent)].level + 1;
    mNodes.push_back(std::move(node));
    mView.ShowTree(mNodes, mSelected);
}

void LinkSchema::ShowEditor() {
    if (TEdycja* editing = mHost.Editing()) editing->ShowEditor();
}

void LinkSchema::DeleteRecord() {
    TEdycja* editing = mHost.Editing();
    if (!editing || mSelected < 0) return;
    const LinkNode gone = mNodes[static_cast<std::size_t>(mSelected)];
    {
        OwnWork own(mOwnWork);
        if (!editing->DeleteRecord(Shown(gone.identifier))) return;
    }
    // Its components are still there (as roots of their own, when it was
    // the root): the tree is built again rather than cut.
    std::string from = mRoot, select;
    if (gone.parent >= 0) select = mNodes[static_cast<std::size_t>(gone.parent)].identifier;
    bool left = false;
    for (const LinkNode& n : mNodes) {
        if (SameIdentifier(n.identifier, gone.identifier)) continue;
        if (!left && SameIdentifier(mRoot, gone.identifier)) from = n.identifier;
        left = true;
    }
    if (!left) {
        Closed();
        mView.CloseWindow();
        return;
    }
    if (select.empty()) select = from;
    Build(from, select);
    mView.ShowIdentifier(LeadingSpacesOff(Shown(select)));
    Display(select);
}

void LinkSchema::AttachCollection() {
    TEdycja* editing = mHost.Editing();
    if (!editing || mSelected < 0) return;
    const std::string parent = mNodes[static_cast<std::size_t>(mSelected)].identifier;
    VrCollection* collection = mHost.LocalCollection();
    const std::int64_t count = collection ? collection->CountNumbers() : 0;
    if (count <= 0) {
        mPrompts.show_error("Kolekcja jest pusta!");
        return;
    }
    if (mPrompts.ask_question("Kolekcja zawiera "_cp + std::to_string(count) + " rekordów.\r\r"_cp +
                              "Czy rzeczywiście dołączyć je do struktury?"_cp) != kYes)
        return;
    // The node's record and those above it would end up under themselves.
    std::set<std::int32_t> above;
    for (int i = mSelected; i >= 0; i = mNodes[static_cast<std::size_t>(i)].parent)
        above.insert(mFiles.RecordNumber(mNodes[static_cast<std::size_t>(i)].identifier));
    {
        OwnWork own(mOwnWork);
        LinkEditing links(mFiles, editing->Requests(), mPrompts, HooksOf(*editing));
        for (std::int64_t n = collection->FirstNumber(); n > 0; n = collection->NextNumber(n)) {
            const auto number = static_cast<std::int32_t>(n);
            const bool refused = above.count(number) > 0 ||
                                 !links.LinkRecord(mFiles.RecordIdentifier(number), parent).empty();
            if (mFiles.Broken()) break;
            if (refused) mPrompts.show_error("Rokord "_cp + std::to_string(n) + " został odrzucony"_cp);
        }
    }
    Build(parent, parent);
    mView.ShowIdentifier(LeadingSpacesOff(Shown(parent)));
    Display(parent);
}

void LinkSchema::Detach() {
    TEdycja* editing = mHost.Editing();
    if (!editing || mSelected < 0) return;
    LinkEditing links(mFiles, editing->Requests(), mPrompts, HooksOf(*editing));
    const std::string error = links.LinkRecord(mNodes[static_cast<std::size_t>(mSelected)].identifier, {});
    if (!error.empty() && !mFiles.Broken()) mPrompts.show_error(error);
}

void LinkSchema::SortComponents(const std::string& key) {
    TEdycja* editing = mHost.Editing();
    if (!editing || mSelected < 0) return;
    const std::string id = mNodes[static_cast<std::size_t>(mSelected)].identifier;
    LinkEditing links(mFiles, editing->Requests(), mPrompts, HooksOf(*editing));
    const std::string error = links.SortComponents(id, key);
    if (mFiles.Broken()) return;
    if (!error.empty()) {
        mPrompts.show_error(error);
        return;
    }
    Build(id, id);
}

std::string LinkSchema::IndexName(const std::string& index) const {
    if (mFiles.DatabaseKind == kVelt1) return index;
    for (const auto& i : mFiles.Indexes)
        if (std::string(TrimSpaces(i->Prefix)) == index) return i->Name;
    return index;
}

void LinkSchema::DisplayCommandPicture(const std::string& designation) {
    // A name of its own for every fetch: two programs may share the directory.
    WorkFile picture(mHost.WorkingDirectory(), "tmp-", "jpg");
    if (!picture.Made()) {
        mPrompts.show_error("Brak dostępu do folderu roboczego"_cp);
        return;
    }
    bool ok = false;
    mLongOps.run_with_gauge([&](const GaugeFunction& gauge) {
        ok = GetFile(mFiles.Connection(), designation, picture.Path(),
                     [&](std::int64_t done, std::int64_t total) { gauge(done, total); });
    });
    if (ok) mHost.ShowPicture(picture.Release());
}

void LinkSchema::DisplayCommandAttachment(const std::string& name) {
    if (mDisplayed.empty()) return;
    TBlobChange blobs(mLongOps);
    std::string problem;
    const std::string path = blobs.FetchToWorkFile(mFiles.Connection(), mHost.WorkingDirectory(), mDisplayed, name, problem);
    if (path.empty()) {
        if (!problem.empty()) mPrompts.show_error(problem);
        return;
    }
    if (UpperTable.Convert(AttachmentFileExtension(name)) == "JPG")
        mHost.ShowPicture(path);
    else
        mHost.OpenFile(path);
}

void LinkSchema::Command(const std::string& text) {
    const LinkCommand c = ClassifyLinkCommand(text);
    using K = LinkCommandKind;
    switch (c.kind) {
        case K::Picture:
            DisplayCommandPicture(c.argument);
            return;
        case K::Attachment:
            DisplayCommandAttachment(c.argument);
            return;
        case K::Labels:
            mHost.PrintLabels(c.argument);
            return;
        case K::Program: {
            const PipeSplit p = SplitAtPipe(c.argument);
            mHost.StartProgram(std::string(p.head), std::string(p.tail));
            return;
        }
        case K::Order:
            if (mHost.PlaceOrder(c.argument)) {
                if (!mDisplayed.empty()) mHost.RecordChanged(Shown(mDisplayed));
                Display(mDisplayed);
            }
            return;
        case K::Report: {
            const std::string name(TrimSpaces(SplitAtPipe(c.argument).head));
            for (const velt_report& r : mFiles.Reports)
                if (r.Name == name && r.Language == "TABELA" && !r.NoParameterForm) {
                    mHost.RunTableReport(c.argument);
                    return;
                }
            return;
        }
        case K::Operation: {
            const std::string name(TrimSpaces(SplitAtPipe(c.argument).head));
            bool known = false;
            for (const velt_programm& p : mFiles.Programs) known |= p.Options.empty() && (p.Name == name || p.Call == name);
            if (known && mHost.RunOperation(c.argument) && !mDisplayed.empty()) RefreshLinks(mDisplayed);
            return;
        }
        case K::Record: {
            std::string record, index;
            SplitRecordCommand(c.argument, record, index);
            mView.CloseWindow();
            mHost.GoToRecordInIndex(record, IndexName(index));
            return;
        }
        case K::Collection: {
            // The pane's own button: the displayed record leaves the collection.
            const std::string id = c.argument;
            for (std::size_t i = 0; i < mNodes.size(); ++i)
                if (SameIdentifier(mNodes[i].identifier, id)) {
                    mView.SelectNode(static_cast<int>(i));
                    NodeDoubleClicked(static_cast<int>(i));
                    return;
                }
            VrCollection* coll = mHost.LocalCollection();
            const std::int32_t n = mFiles.RecordNumber(id);
            if (coll && n > 0 && coll->Contains(n)) {
                coll->Exclude(n);
                mHost.ShowInLocal(0);
                Display(id);
            }
            return;
        }
        case K::IndexText: {
            const PipeSplit p = SplitAtPipe(c.argument);
            mView.CloseWindow();
            mHost.FindInIndex(IndexName(std::string(p.head)), std::string(p.tail));
            return;
        }
        case K::Other:
            return;
    }
}

void LinkSchema::Closed() {
    mNodes.clear();
    mSelected = -1;
    mRoot.clear();
    mDisplayed.clear();
    mView.ShowTree(mNodes, -1);
}

}  // namespace velt
