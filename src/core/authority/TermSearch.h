#pragma once
// The older search window ("Szukaj") without the window: the value list of
// one reference browsed from a typed text, every change of the text seeking
// at once; a click copies an entry's heading into the text, a double click
// takes it and closes. The result is the text as edited.

#include "authority/KHWserwer.h"

#include <string>

namespace velt {

class velt_files;

class TermSearchView {
public:
    virtual ~TermSearchView() = default;
    // "Podaj początkowy fragment szukanego hasła:" gets text (the model's own write).
    virtual void ShowSearchText(const std::string& text) = 0;
    // The browser selects key and shows the list from it.
    virtual void ShowEntry(const std::string& key) = 0;
    // The window closes with OK.
    virtual void Accept() = 0;
};

class TermSearch {
public:
    TermSearch(velt_files& files, std::string reference, TermSearchView& view);

    KHWserwer& Source() { return mSource; }
    // Starts at text (which the field gets, and which seeks once).
    void Start(const std::string& text);
    // The field's text changed: it is sought at once unless the model wrote it.
    void TextChanged(const std::string& text);
    int Action(const std::string& key, const std::string& command);
    // The result on OK: the field's text.
    const std::string& Text() const { return mText; }

private:
    void Seek(const std::string& text);

    velt_files& mFiles;
    std::string mReference;
    TermSearchView& mView;
    KHWserwer mSource;
    char mGuard = ' ';
    std::string mText;
};

}  // namespace velt
