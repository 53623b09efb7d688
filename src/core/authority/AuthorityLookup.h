#pragma once
// The authority-file window without the window: one authority file browsed
// through the tabs of its indexes, a heading found by typing (one seek per
// pause in typing), chosen with a click, and handed back in result mode K
// (the entry's "key", else its heading) or F (its "full"). The record
// buttons open, delete or add the authority records behind the heading.
//
// A guard keeps the search field and the browser from setting each other
// off: while the model writes the field no search starts, and while it
// moves the browser after typing the selection writes nothing back.

#include "authority/KHWserwer.h"
#include "catalogue/DescriptorItems.h"

#include <memory>
#include <string>
#include <vector>

namespace velt {

class Prompts;
class velt_files;

// What the model asks of its window.
class AuthorityLookupView {
public:
    virtual ~AuthorityLookupView() = default;
    // The search field "Początek szukanego hasła" gets text (the model's own write).
    virtual void ShowSearchText(const std::string& text) = 0;
    // "Znalezione hasło".
    virtual void ShowFoundTerm(const std::string& text) = 0;
    // The browser selects key and shows the list from it (empty: from the first entry).
    virtual void ShowEntry(const std::string& key) = 0;
    // The browser starts again on the source's new list.
    virtual void ListChanged() = 0;
    // The window closes with OK, or with no result.
    virtual void Accept() = 0;
    virtual void Reject() = 0;
};

// The record editor's part the record buttons use.
class AuthorityEditing {
public:
    virtual ~AuthorityEditing() = default;
    // Whether records of the kind letter can be edited.
    virtual bool CanEdit(const std::string& kindLetter) = 0;
    virtual void OpenRecord(const std::string& code, const std::string& identifier) = 0;
    virtual void DeleteRecord(const std::string& identifier) = 0;
    virtual void NewRecord(const std::string& code) = 0;
    virtual void ShowEditor() = 0;
};

class AuthorityLookup {
public:
    // Result modes.
    static constexpr char kKey = 'K';
    static constexpr char kFull = 'F';
    // Entries the kind-0 walk of the record buttons looks at, at most.
    static constexpr int kMaxWalk = 10000;

    AuthorityLookup(velt_files& files, velt_KHW file, char mode, AuthorityLookupView& view, Prompts& prompts,
                    AuthorityEditing* editing);

    const velt_KHW& File() const { return mFile; }
    KHWserwer& Source() { return mSource; }
    // Whether the four record buttons are enabled (the editor edits this kind).
    bool RecordButtons() const { return mRecordButtons; }

    // Starts on the first index at text (the search field gets it, no search starts).
    void Start(const std::string& text);
    // The user typed into the search field: true when the pause timer is to
    // start again (false while the model writes the field itself).
    bool Typed() const { return mGuard == ' '; }
    // The pause timer fired: one seek of the field's text.
    void TypingPaused(const std::string& text);
    // The tab of index i was chosen.
    void ChooseIndex(int i);
    int Index() const { return mIndex; }
    // The source's actions: "!" a click, "*" a double click, "name|text" a seek.
    int Action(const std::string& key, const std::string& command);

    // The record buttons; each closes the window when it acts.
    void OpenRecords();
    void DeleteRecords();
    void NewRecord();
    void ShowOpenRecords();
    // The identifiers of the records behind the chosen heading.
    std::vector<std::string> RecordIdentifiers();

    // What the window returns on OK: the found term.
    const std::string& Result() const { return mFound; }
    // The seeks the typing made (tests and the benchmark).
    int Seeks() const { return mSeeks; }

private:
    void Seek(const std::string& text);

    velt_files& mFiles;
    velt_KHW mFile;
    char mMode;
    AuthorityLookupView& mView;
    Prompts& mPrompts;
    AuthorityEditing* mEditing;
    KHWserwer mSource;
    bool mRecordButtons = false;
    int mIndex = 0;
    char mGuard = ' ';     // ' ' idle, 'L' the model writes the field, 'C' it moves the browser
    std::string mOpen;     // the "open" value of the entry chosen last
    std::string mFound;    // "Znalezione hasło"
    int mSeeks = 0;
};

}  // namespace velt
