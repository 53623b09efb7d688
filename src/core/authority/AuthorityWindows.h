#pragma once
// The authority lookups as the program's callers reach them (the main
// window's button, a search window's criterion, the record editor's script
// commands X, Y, I, R, W and V, the criteria panel), over the windows the gui
// implements and the core's own rules of which file a reference names.

#include "authority/RecordChooser.h"
#include "catalogue/DescriptorItems.h"

#include <string>

namespace velt {

class velt_files;

// The modal windows of the authority files (gui; headless in velt-cli and tests).
class AuthorityWindows {
public:
    virtual ~AuthorityWindows() = default;
    // The authority-file window on file in mode 'K' or 'F' from start; the
    // found term, empty when cancelled.
    virtual std::string Lookup(velt_files& files, const velt_KHW& file, char mode, const std::string& start) = 0;
    // The search window "Szukaj" on the value list of reference; the text, empty when cancelled.
    virtual std::string TermSearch(velt_files& files, const std::string& start, const std::string& reference) = 0;
    // The record chooser in list mode; in tree mode on the structure format of formatType.
    virtual ChosenRecord SelectRecord(velt_files& files, const std::string& startIdentifier,
                                      const std::string& startText, int indexPosition) = 0;
    virtual ChosenRecord SelectInStructure(velt_files& files, const std::string& startIdentifier,
                                           const std::string& formatType) = 0;
};

// "X": mode K on the file the reference names, else the search window.
std::string AuthorityKeyLookup(AuthorityWindows& windows, velt_files& files, const std::string& reference,
                               const std::string& text);
// "Y": mode F on the file the reference names, else on its value list.
std::string AuthorityFullLookup(AuthorityWindows& windows, velt_files& files, const std::string& reference,
                                const std::string& text);
// The main window's "Kartoteka wzorcowa" and a search criterion's button:
// mode K on the file whose Id (or, when byPrefix, one of whose index
// prefixes) is link, else the search window on fallbackReference (nothing
// when that is empty too).
std::string AuthorityForIndex(AuthorityWindows& windows, velt_files& files, const std::string& link, bool byPrefix,
                              const std::string& fallbackReference, const std::string& text);

}  // namespace velt
