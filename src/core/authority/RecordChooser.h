#pragma once
// The record chooser ("Wybierz rekord") without the window: a record picked
// from the catalogue's indexes in list mode (the identifier), or a node of a
// record's structure in tree mode. The history keeps the records chosen,
// newest first; a double click in list mode takes the record when its kind
// letter is the one expected. Cell commands show pictures, start programs
// (after asking), go to records and follow a record's links.

#include "browse/CollectionSources.h"
#include "browse/StructureTree.h"
#include "catalogue/velt_order.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velt {

class LongOperations;
class Prompts;
class velt_files;

// What the chooser hands the record-links window: the record, the structure
// named by the cell's command, the mode (in tree mode with the chooser's
// structure format for the components), and the two callbacks (true: the
// links window closes).
struct ChooserLinks {
    velt_files* files = nullptr;
    std::string identifier;
    std::string structure;
    bool tree = false;
    std::int32_t componentFormat = 0;
    // A component's value (tree mode) or a text picked: the chooser closes with it.
    std::function<bool(const std::string& text)> pick;
    // An identifier as users see it: list mode takes it, tree mode goes to it.
    std::function<bool(const std::string& shown)> goTo;
};

class RecordChooserView {
public:
    virtual ~RecordChooserView() = default;
    // The tab of index i is the current one.
    virtual void ShowIndex(int i) = 0;
    // The browser starts again on the source's list.
    virtual void ListChanged() = 0;
    // The browser selects key and shows the list from it.
    virtual void ShowEntry(const std::string& key) = 0;
    // The history box: its items (newest first), item 0 selected when any.
    virtual void ShowHistory(const std::vector<std::string>& items) = 0;
    // The tree of the current record (tree mode).
    virtual void ShowTree(const std::vector<StructureNode>& nodes) = 0;
    // The window closes with OK.
    virtual void Accept() = 0;
    // The picture viewer shows a file (it takes the file over).
    virtual void ShowPicture(const std::string& path) = 0;
    // A program a cell names, with its parameters: the user sees both and
    // is asked before anything runs.
    virtual void StartProgram(const std::string& program, const std::string& parameters) = 0;
    // The record-links window for the chooser's record (what it needs: ChooserLinks).
    virtual void ShowLinks(const ChooserLinks& links) = 0;
};

// What a chooser returns: whether the user chose, and what.
struct ChosenRecord {
    bool chosen = false;
    std::string identifier;
};

class RecordChooser {
public:
    // Steps of a walk to a record at the most (the progress window shows them).
    static constexpr int kMaxWalk = 10000;

    RecordChooser(velt_files& files, RecordChooserView& view, Prompts& prompts, LongOperations& longOps,
                  std::string workingDirectory);
    ~RecordChooser();

    // List mode: the index at position n; the start text is sought, else the
    // start identifier located; the expected kind letter is its first.
    void StartList(const std::string& startIdentifier, const std::string& startText, int indexPosition);
    // Tree mode: the structure format of formatType, the start record shown.
    void StartTree(const std::string& startIdentifier, const std::string& formatType);
    // The format in use before the chooser changed it is restored.
    void Finish();

    // The browser's source: it stays the same object while the index changes.
    Vrserwer& ListSource() { return mForward; }
    chooser::velt_serwer* Source() { return mSource.get(); }
    // The indexes' names (the tabs), and the presentation formats ("Format").
    std::vector<std::string> IndexNames() const;
    std::vector<std::string> FormatNames() const;
    int Index() const { return mIndex; }
    const std::vector<std::string>& History() const { return mHistory; }
    const std::vector<StructureNode>& Tree() const { return mTree; }
    bool TreeMode() const { return mTreeMode; }

    void ChooseIndex(int i);
    void ChooseFormat(int i);
    // "Szukaj": the text in the current index.
    void Search(const std::string& text);
    // The source's callback: 33 "!" and 42 "*" with a record, 76 a command.
    void Picked(int code, const std::string& text, const std::string& key);
    // "OK" in list mode; in tree mode with the node selected (-1: none).
    void Ok();
    void TreeOk(int node);
    // What the window returns.
    ChosenRecord Result() const { return mResult; }
    // The links window's callbacks: a text picked closes the chooser (tree
    // mode with the text, list mode with the start identifier); an
    // identifier gone to closes a list with it, or moves the tree mode's
    // browser to its record (false when it is not found).
    bool LinkPicked(const std::string& text);
    bool LinkGoTo(const std::string& shown);

private:
    // Passes the browser's questions to the source of the current index.
    class Forward : public Vrserwer {
    public:
        explicit Forward(RecordChooser& owner) : mOwner(owner) {}
        std::string First() override { return mOwner.mSource ? mOwner.mSource->First() : std::string(); }
        std::string Last() override { return mOwner.mSource ? mOwner.mSource->Last() : std::string(); }
        std::string Next(const std::string& k) override { return mOwner.mSource ? mOwner.mSource->Next(k) : std::string(); }
        std::string Prior(const std::string& k) override { return mOwner.mSource ? mOwner.mSource->Prior(k) : std::string(); }
        std::optional<std::vector<std::string>> Lines(const std::string& k) override {
            return mOwner.mSource ? mOwner.mSource->Lines(k) : std::nullopt;
        }
        int Action(const std::string& k, const std::string& c) override {
            return mOwner.mSource ? mOwner.mSource->Action(k, c) : 0;
        }
        bool IsChecked(const std::string& k, const std::string& t) override {
            return mOwner.mSource && mOwner.mSource->IsChecked(k, t);
        }

    private:
        RecordChooser& mOwner;
    };

    void MakeSource(int i);
    void ToTop(const std::string& identifier);
    bool KindFits(const std::string& identifier) const;
    void Accept(std::string identifier);
    void BuildTree();
    int IndexNamed(const std::string& name) const;
    void Command(const std::string& command);

    velt_files& mFiles;
    RecordChooserView& mView;
    Prompts& mPrompts;
    LongOperations& mLongOps;
    std::string mWorkingDirectory;
    std::unique_ptr<velt_order> mCursor;
    std::unique_ptr<chooser::velt_serwer> mSource;
    Forward mForward{*this};
    int mIndex = 0;
    bool mTreeMode = false;
    std::int32_t mStructureFormat = 0;
    std::int32_t mFormatBefore = 0;
    std::string mStart;
    char mExpected = ' ';
    std::vector<std::string> mHistory;
    std::vector<StructureNode> mTree;
    ChosenRecord mResult;
};

}  // namespace velt
