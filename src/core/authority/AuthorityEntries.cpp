#include "authority/AuthorityEntries.h"

#include "catalogue/velt_files.h"
#include "catalogue/velt_order.h"
#include "net/IndexRequests.h"
#include "text/CpLiteral.h"
#include "text/PipeList.h"
#include "text/Trim.h"

#include <algorithm>

namespace velt {

AuthorityItems ItemsOfKind(std::uint32_t kind) {
    switch (kind & 0x7F) {
        case 9: return {3, 4};
        case 22: return {4, 5};
        case 40:
        case 51: return {2, 3};
        default: return {};
    }
}

std::string EntryTerm(const TVeltRecord& entry) {
    const int item = ItemsOfKind(entry.Kind).term;
    return item ? entry.Item(item) : std::string();
}

std::string EntryDisplay(const TVeltRecord& entry) {
    const int item = ItemsOfKind(entry.Kind).display;
    return item ? entry.Item(item) : std::string();
}

std::optional<std::string> EntryTag(std::string_view display, std::string_view name) {
    const std::string mark = "\x1B&" + std::string(name) + "=";
    const auto at = display.find(mark);
    if (at == std::string_view::npos) return std::nullopt;
    const auto from = at + mark.size();
    const auto end = display.find_first_of("\x1A\r", from);
    return std::string(display.substr(from, end == std::string_view::npos ? std::string_view::npos : end - from));
}

std::vector<std::string> OpenIdentifiers(std::string_view open) {
    std::vector<std::string> ids;
    for (const std::string_view part : SplitPipeList(open)) {
        const std::string id(TrimSpaces(part));
        // The server's value ends in "|": no empty identifier, none twice.
        if (!id.empty() && std::find(ids.begin(), ids.end(), id) == ids.end()) ids.push_back(id);
    }
    return ids;
}

const velt_KHW* FindAuthorityFile(const velt_files& files, std::string_view reference) {
    if (reference.substr(0, 3) == "KHW") {
        const std::string_view id = reference.substr(3);
        for (const velt_KHW& f : files.AuthorityFiles)
            if (f.Id == id) return &f;
        return nullptr;
    }
    for (const velt_KHW& f : files.AuthorityFiles)
        for (const velt_KHW_index& i : f.Indexes)
            if (TrimSpaces(i.Prefix) == reference) return &f;
    return nullptr;
}

velt_KHW ValueListFile(const std::string& reference) {
    velt_KHW file;
    file.Name = "Lista wartości"_cp;
    file.Indexes.push_back({"indeks " + reference, 22, 2, reference});
    return file;
}

std::uint8_t TermListKind(const velt_files& files) { return files.DatabaseKind == kVelt1 ? 9 : 22; }

std::string ExactAuthorityTerm(velt_files& files, const std::string& formatType, const std::string& prefix,
                               const std::string& term) {
    const std::int32_t format = files.FormatByType(formatType);
    if (format == 0) return {};
    velt_order cursor(&files.Connection(), prefix + term, 2, TermListKind(files), "KHW");
    cursor.Format = format;
    cursor.First();
    if (!cursor.Current || EntryTerm(*cursor.Current) != term) return {};
    return EntryDisplay(*cursor.Current);
}

std::string ReferenceText(velt_files& files, const std::string& identifier, const std::string& formatType) {
    if (identifier.empty()) return {};
    const std::int32_t format = files.FormatByType(formatType);
    if (format == 0) return "** " + identifier + " **";
    const std::int32_t kind = files.DatabaseKind == kVelt1 ? 1 : 21;
    const RecordPtr r = IndexFrom(files.Connection(), kind, format, 1, files.StoredIdentifier(identifier), "");
    return r ? r->Item(7) : std::string();
}

std::string HeadingText(const std::string& result) {
    if (result.rfind("^a", 0) != 0) return result;
    const auto end = result.find('^', 2);
    return std::string(TrimSpaces(result.substr(2, end == std::string::npos ? std::string::npos : end - 2)));
}

}  // namespace velt
