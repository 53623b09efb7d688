#pragma once
// The link schema window of the current catalogue ("Schemat powiązań")
// without the window: the tree of a record's hierarchy, the record of the
// selected node in the display pane, and every command of the window —
// searching the captions, going to a record, opening, adding and deleting
// records, attaching the local collection under a node, detaching, sorting
// components, the display's element commands and its right-click menu, and
// a node's record put into or out of the local collection.
//
// Beyond the plain flows:
// - deleting a record rebuilds the tree (its components still exist and
//   show again), and the window closes only when no record is left;
// - attaching the local collection skips the node's own record and its
//   ancestors (each would end up under itself) and tells of each record
//   refused; the tree is built once, at the end;
// - a new record that was saved but could not be linked is named, and no
//   node stands for it;
// - the display pane's own button of a record in the local collection
//   ("kolekcja|" and the identifier) takes it out of the collection.

#include "common/Prompts.h"
#include "links/LinkCommands.h"
#include "links/LinkTree.h"
#include "links/LinksAccess.h"

#include <cstdint>
#include <string>
#include <vector>

namespace velt {

class TEdycja;
class VrCollection;
class velt_files;

// What the model asks of its window.
class LinkSchemaView {
public:
    virtual ~LinkSchemaView() = default;
    virtual void SetCaption(const std::string& caption) = 0;
    // The tree afresh, every node expanded, node selected (-1: none) in view.
    virtual void ShowTree(const std::vector<LinkNode>& nodes, int selected) = 0;
    // Node i changed its picture.
    virtual void NodeChanged(int i) = 0;
    virtual void SelectNode(int i) = 0;
    // The identifier field ("Edit1").
    virtual void ShowIdentifier(const std::string& shown) = 0;
    // The display pane: a record's display lines.
    virtual void ShowRecord(const std::vector<std::string>& lines) = 0;
    // The window shown (maximised) with the tree focused; hidden again.
    virtual void ShowWindow() = 0;
    virtual void CloseWindow() = 0;
    virtual bool WindowShown() const = 0;
    // What the access mode shows and enables.
    virtual void ApplyAccess(const LinksAccess& access) = 0;
    // The right-click menu of a node's reports and operations, at the mouse.
    virtual void PopUpItems(const std::vector<ReportItem>& items) = 0;
};

// What the model asks of the program around it.
class LinkSchemaHost {
public:
    virtual ~LinkSchemaHost() = default;
    // The local collection; none without one.
    virtual VrCollection* LocalCollection() = 0;
    // The local collection's browser at a record number (0: its first entry),
    // its check marks and counts refreshed.
    virtual void ShowInLocal(std::int64_t number) = 0;
    // The main window goes to a typed identifier; true when found.
    virtual bool GoTo(const std::string& typed) = 0;
    // The main window goes to a record in the index of that name, or finds a text there.
    virtual void GoToRecordInIndex(const std::string& record, const std::string& index) = 0;
    virtual void FindInIndex(const std::string& index, const std::string& text) = 0;
    virtual void ShowPicture(const std::string& path) = 0;
    virtual void OpenFile(const std::string& path) = 0;
    virtual void StartProgram(const std::string& program, const std::string& parameters) = 0;
    // "BAR": the labels of the pairs printed.
    virtual void PrintLabels(const std::string& pairs) = 0;
    // "&": a reader's order; true when placed.
    virtual bool PlaceOrder(const std::string& command) = 0;
    // "RAPORT": the table report with its parameter form (values merged with the remembered ones).
    virtual void RunTableReport(const std::string& argument) = 0;
    // "OPERACJA": the program's form and run until it succeeds (true) or is cancelled.
    virtual bool RunOperation(const std::string& argument) = 0;
    // The record (as users see it) changed: the tabs show it again.
    virtual void RecordChanged(const std::string& shown) = 0;
    // The edit session; none while nobody is logged in.
    virtual TEdycja* Editing() = 0;
    // The working directory (ends with "/").
    virtual std::string WorkingDirectory() = 0;
};

class LinkSchema {
public:
    LinkSchema(velt_files& files, LinkSchemaView& view, LinkSchemaHost& host, Prompts& prompts,
               LongOperations& longOps);

    // The window for a record (stored form) and a structure type (empty:
    // "struktura"). A VELT2 or VELT3 server without that format says so and
    // the window stays closed.
    void ShowLinks(const std::string& identifier, const std::string& structureType);
    // When the window is shown: the tree again from its root, the record's
    // node selected and displayed.
    void RefreshLinks(const std::string& identifier);
    void SetAccessMode(LinksAccessMode mode);
    // The format of type "drzewo" for the captions of a walked tree.
    void SetCaptionFormat(std::int32_t format) { mCaptionFormat = format; }

    // The user's doings.
    void NodeSelected(int i);
    void NodeRightClicked(int i);
    void NodeDoubleClicked(int i);
    void Search(const std::string& text);       // "Wyszukaj"
    void GoTo(const std::string& typed);        // "Idź do"
    void OpenRecord(const std::string& typed);  // "Otwórz rekord"
    void AddRecord();                           // "Dodaj rekord"
    void ShowEditor();                          // "Pokaż otwarte rekordy"
    void DeleteRecord();                        // "Usuń rekord"
    void AttachCollection();                    // "Dodaj powiązania"
    void Detach();                              // "Usuń z powiązań"
    void SortComponents(const std::string& key);
    // An element command of the display pane (or of the right-click menu).
    void Command(const std::string& command);
    // The window closes: the tree goes.
    void Closed();

    const std::vector<LinkNode>& Nodes() const { return mNodes; }
    int Selected() const { return mSelected; }
    const std::string& Root() const { return mRoot; }
    const std::string& Displayed() const { return mDisplayed; }
    std::int32_t StructureFormat() const { return mStructureFormat; }
    LinksAccessMode AccessMode() const { return mMode; }
    // The component sort keys of the descriptor ("Sortuj składniki").
    const std::vector<std::string>& SortKeys() const;

private:
    // Builds the tree for identifier from `from`, selects identifier's node.
    void Build(const std::string& from, const std::string& identifier);
    void Display(const std::string& identifier);
    void ShowSelected();
    std::string Shown(const std::string& stored) const;
    bool InCollection(const std::string& identifier);
    std::string IndexName(const std::string& index) const;
    void DisplayCommandPicture(const std::string& designation);
    void DisplayCommandAttachment(const std::string& name);

    velt_files& mFiles;
    LinkSchemaView& mView;
    LinkSchemaHost& mHost;
    Prompts& mPrompts;
    LongOperations& mLongOps;
    std::int32_t mStructureFormat = 0;
    std::int32_t mCaptionFormat = 0;
    LinksAccessMode mMode = LinksAccessMode::NotLoggedIn;
    std::vector<LinkNode> mNodes;
    int mSelected = -1;
    std::string mRoot;
    std::string mDisplayed;
    int mOwnWork = 0;  // the window's own operation runs: the editor's word waits for it
};

}  // namespace velt
