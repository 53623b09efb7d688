#include "authority/AuthorityWindows.h"

#include "authority/AuthorityEntries.h"
#include "catalogue/velt_files.h"
#include "text/Trim.h"

namespace velt {

std::string AuthorityKeyLookup(AuthorityWindows& windows, velt_files& files, const std::string& reference,
                               const std::string& text) {
    if (const velt_KHW* file = FindAuthorityFile(files, reference)) {
        const velt_KHW copy = *file;  // the descriptor may be reloaded while the window is open
        return windows.Lookup(files, copy, 'K', text);
    }
    return windows.TermSearch(files, text, reference);
}

std::string AuthorityFullLookup(AuthorityWindows& windows, velt_files& files, const std::string& reference,
                                const std::string& text) {
    const velt_KHW* found = FindAuthorityFile(files, reference);
    const velt_KHW file = found ? *found : ValueListFile(reference);
    return windows.Lookup(files, file, 'F', text);
}

std::string AuthorityForIndex(AuthorityWindows& windows, velt_files& files, const std::string& link, bool byPrefix,
                              const std::string& fallbackReference, const std::string& text) {
    if (!link.empty()) {
        for (const velt_KHW& f : files.AuthorityFiles) {
            bool match = !byPrefix && f.Id == link;
            for (const velt_KHW_index& i : f.Indexes) match = match || (byPrefix && i.Prefix == link);
            if (!match) continue;
            const velt_KHW copy = f;
            return windows.Lookup(files, copy, 'K', text);
        }
    }
    if (fallbackReference.empty()) return {};
    return windows.TermSearch(files, text, fallbackReference);
}

}  // namespace velt
