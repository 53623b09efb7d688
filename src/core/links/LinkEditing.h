#pragma once
// Linking records through the edit session: a new record made under a
// parent, a record attached to a parent or detached from it, a record's
// components sorted. On VELT2 and VELT3 servers the links program does the
// linking (the descriptor's program whose call begins with "WIAZANIE"); on
// VELT1 servers the record's "DOK_IDO" field names its parent and is stored
// with the save request.

#include "catalogue/DescriptorItems.h"
#include "common/Prompts.h"

#include <functional>
#include <string>

namespace velt {

class EditRequests;
class velt_files;

// The links program of the descriptor, or none.
const velt_programm* LinksItem(const velt_files& files);
// Its parameters for a parent as users see it (empty: none, to detach): the
// call text from its tenth character (after "WIAZANIE|"), "|", parent, "|".
std::string LinksParameters(const velt_programm& item, const std::string& parentShown);
// "Serwer nie realizuje tej funkcji".
std::string NotOfferedText();
// The parent value of a record without one on VELT1 servers.
inline constexpr const char* kNoParent = "         0";

class LinkEditing {
public:
    struct Hooks {
        // Whether a sheet of the editor holds the record: it is never stored over.
        std::function<bool(const std::string& identifier)> isOpen;
        // The record (as users see it) changed: the editor's host hears it.
        std::function<void(const std::string& shown)> changed;
    };

    LinkEditing(velt_files& files, EditRequests& requests, Prompts& prompts, Hooks hooks = {});

    // A new record of the parent's kind, made from the server's initial
    // record and linked under parent (stored form). Its stored identifier,
    // or empty: nothing was made, or the record was saved but could not be
    // linked (Orphan() names it then and the user was told).
    std::string AddLinkedRecord(const std::string& parent);
    // The record the last AddLinkedRecord saved but did not link; empty when none.
    const std::string& Orphan() const { return mOrphan; }

    // The child (stored form) under parent (stored form; empty: detached).
    // Why not, or empty when done.
    std::string LinkRecord(const std::string& child, const std::string& parent);

    // The component-sort request: the record's components in the order of
    // key. Why not, or empty when done.
    std::string SortComponents(const std::string& identifier, const std::string& key);

private:
    std::string Shown(const std::string& stored) const;
    // The links program run for child under parent (both shown).
    std::string RunLinks(const velt_programm& item, const std::string& childShown, const std::string& parentShown);

    velt_files& mFiles;
    EditRequests& mRequests;
    Prompts& mPrompts;
    Hooks mHooks;
    std::string mOrphan;
};

}  // namespace velt
