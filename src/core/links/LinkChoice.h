#pragma once
// "Powiązania rekordów VELT" without the window: the link schema of a record
// of any catalogue (the current one or another), to choose from. Three
// modes: list (the display pane shows the selected record), tree (the lower
// pane shows the selected record's components, one of which is picked), and
// import (the import panel's buttons hand the identifier to the import from
// other catalogues). Nodes are not marked for the local collection, and the
// display's element commands do nothing here.

#include "browse/StructureTree.h"
#include "common/Prompts.h"
#include "links/LinkTree.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace velt {

class velt_files;

enum class LinkChoiceMode { List = 0, Tree = 1, Import = 2 };

// A callback of the window: true closes it.
using LinkCallback = std::function<bool(const std::string& text)>;

class LinkChoiceView {
public:
    virtual ~LinkChoiceView() = default;
    // The panes and buttons of the mode; the import buttons enabled as given.
    virtual void SetMode(LinkChoiceMode mode, bool fetchEnabled, bool convertEnabled) = 0;
    virtual void ShowTree(const std::vector<LinkNode>& nodes, int selected) = 0;
    virtual void SelectNode(int i) = 0;
    virtual void ShowIdentifier(const std::string& shown) = 0;
    virtual void ShowRecord(const std::vector<std::string>& lines) = 0;
    // The components pane, fully expanded.
    virtual void ShowComponents(const std::vector<StructureNode>& nodes) = 0;
    // Shows the window and returns when it closes.
    virtual void Run() = 0;
    virtual void Close() = 0;
};

// The window's own interface for the other windows (the record chooser, the
// import from other catalogues). Each returns the window's result text.
class LinkWindows {
public:
    virtual ~LinkWindows() = default;
    virtual std::string ChooseInList(velt_files& files, const std::string& identifier, const std::string& structure,
                                     LinkCallback pick, LinkCallback goTo) = 0;
    virtual std::string ChooseInTree(velt_files& files, const std::string& identifier, const std::string& structure,
                                     LinkCallback pick, LinkCallback goTo, std::int32_t componentFormat) = 0;
    virtual std::string ChooseForImport(velt_files& files, const std::string& identifier,
                                        const std::string& structure, LinkCallback convert, LinkCallback fetch) = 0;
};

class LinkChoice {
public:
    LinkChoice(LinkChoiceView& view, Prompts& prompts, LongOperations& longOps);

    std::string ChooseInList(velt_files& files, const std::string& identifier, const std::string& structure,
                             LinkCallback pick, LinkCallback goTo);
    std::string ChooseInTree(velt_files& files, const std::string& identifier, const std::string& structure,
                             LinkCallback pick, LinkCallback goTo, std::int32_t componentFormat);
    std::string ChooseForImport(velt_files& files, const std::string& identifier, const std::string& structure,
                                LinkCallback convert, LinkCallback fetch);

    // The user's doings while the window is shown.
    void NodeSelected(int i);
    // A double click on a node, or "Idź do" with the identifier field's text.
    void GoTo(const std::string& text);
    void Search(const std::string& text);
    // "OK" (-1: no component selected) or a double click on a component.
    void ComponentChosen(int i);
    // The import panel's buttons with the identifier field's text.
    void Fetch(const std::string& text);
    void Convert(const std::string& text);

    LinkChoiceMode Mode() const { return mMode; }
    const std::vector<LinkNode>& Nodes() const { return mNodes; }
    int Selected() const { return mSelected; }
    const std::vector<StructureNode>& Components() const { return mComponents; }
    const std::string& Result() const { return mResult; }

private:
    // False when the catalogue cannot give the tree (the user was told).
    bool Start(velt_files& files, LinkChoiceMode mode, const std::string& identifier, const std::string& structure);
    std::string Finish();
    void ShowNode();
    void Call(const LinkCallback& callback, const std::string& text);

    LinkChoiceView& mView;
    Prompts& mPrompts;
    LongOperations& mLongOps;
    velt_files* mFiles = nullptr;
    LinkChoiceMode mMode = LinkChoiceMode::List;
    std::int32_t mStructureFormat = 0;
    std::int32_t mCaptionFormat = 0;
    std::int32_t mComponentFormat = 0;
    LinkCallback mPick, mGoTo, mConvert, mFetch;
    std::vector<LinkNode> mNodes;
    int mSelected = -1;
    std::vector<StructureNode> mComponents;
    std::string mResult;
};

}  // namespace velt
