#include "Indexes.h"

#include "Fold.h"
#include "text/CpLiteral.h"

#include <charconv>
#include <cstdio>

namespace velt::server {

const std::vector<IndexDef>& AllIndexes() {
    static const std::vector<IndexDef> all = {
        {1, "AU", "autor"_cp, IndexKind::Catalogue, 'K', "O", true, false},
        {2, "TY", "tytuł"_cp, IndexKind::Catalogue, 'K', "", true, false},
        {3, "TE", "temat"_cp, IndexKind::Catalogue, 'K', "T", true, false},
        {4, "WY", "wydawca"_cp, IndexKind::Catalogue, 'K', "", true, false},
        {5, "IS", "ISBN"_cp, IndexKind::Catalogue, 'K', "", false, true},
        {6, "SY", "sygnatura"_cp, IndexKind::Catalogue, 'K', "", false, false},
        {7, "RW", "rok wydania"_cp, IndexKind::Catalogue, 'K', "", false, false},
        {8, "NR", "numer rekordu"_cp, IndexKind::Catalogue, 'K', "", false, false},
        {9, "OS", "nazwisko"_cp, IndexKind::Authority, 'O', "", false, false},
        {10, "TH", "hasło przedmiotowe"_cp, IndexKind::Authority, 'T', "", false, false},
        // Not offered as a tab: the form scripts walk it for the next inventory number.
        {11, "IN", "inwentarz", IndexKind::Inventory, 'K', "", false, false},
        // The language of the text (041 ^a), for the criterion "Język tekstu".
        {12, "JE", "język"_cp, IndexKind::Internal, 'K', "", false, false},
    };
    return all;
}

const IndexDef* IndexByCode(std::string_view code) {
    for (const auto& i : AllIndexes())
        if (i.code == code) return &i;
    return nullptr;
}

const IndexDef* IndexByName(std::string_view name) {
    for (const auto& i : AllIndexes())
        if (i.name == name) return &i;
    // Names compare as users type them: letter case and Polish letters aside.
    const std::string folded = Fold(name);
    for (const auto& i : AllIndexes())
        if (Fold(i.name) == folded) return &i;
    return nullptr;
}

const IndexDef* IndexById(int id) {
    for (const auto& i : AllIndexes())
        if (i.id == id) return &i;
    return nullptr;
}

std::vector<std::string> Headings(const IndexDef& index, const RecordText& record, const std::string& shown) {
    std::vector<std::string> out;
    auto add = [&out](std::string h) {
        if (h.empty()) return;
        for (const auto& o : out)
            if (o == h) return;
        out.push_back(std::move(h));
    };
    // Where each index takes its headings from: field tag and subfield code.
    struct Source {
        const char* code;
        const char* tag;
        char subfield;
    };
    static constexpr Source kSources[] = {
        {"AU", "100", 'a'}, {"AU", "700", 'a'}, {"TY", "245", 'a'}, {"TE", "650", 'a'}, {"WY", "260", 'b'},
        {"IS", "020", 'a'}, {"SY", "852", 'h'}, {"RW", "260", 'c'}, {"OS", "100", 'a'}, {"OS", "110", 'a'},
        {"TH", "150", 'a'}, {"WY", "264", 'b'}, {"RW", "264", 'c'}, {"JE", "041", 'a'},
        // The see-references of authority records are entries of the same
        // indexes: a reader looking under the other form finds the record.
        {"OS", "400", 'a'}, {"OS", "410", 'a'}, {"TH", "450", 'a'},
    };
    if (index.code == "NR") add(shown);
    if (index.code == "IN") {
        // The copies' inventory numbers: 876I of every occurrence.
        static constexpr std::string_view kCopy = "876I.1.1.";
        for (const auto& f : record.Fields())
            if (f.key.compare(0, kCopy.size(), kCopy) == 0) add(f.value);
    }
    for (const Source& source : kSources)
        if (index.code == source.code)
            for (const auto& v : record.Values(source.tag)) add(Subfield(v, source.subfield));
    return out;
}

std::string HeadingKey(const IndexDef& index, std::string_view heading) {
    std::string key = index.compact ? FoldCompact(heading) : Fold(heading);
    // Long headings sort by their first 200 bytes.
    if (key.size() > 200) key.resize(200);
    return key;
}

std::string StoredKey(const IndexDef& index, std::string_view heading, std::uint32_t number) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "\x01%010u", number);
    return HeadingKey(index, heading) + digits;
}

std::string WireKey(const IndexDef& index, std::string_view storedKey) {
    std::string key(storedKey);
    key += '\x01';
    key += index.code;
    return key;
}

ClientKey ReadClientKey(const IndexDef* index, std::string_view key) {
    const auto first = key.find('\x01');
    if (first != std::string_view::npos) {
        const auto second = key.find('\x01', first + 1);
        if (second != std::string_view::npos)
            return {std::string(key.substr(0, second)), std::string(key.substr(second + 1))};
        return {std::string(key), {}};
    }
    return {index ? HeadingKey(*index, key) : std::string(key), {}};
}

std::uint32_t KeyNumber(std::string_view storedKey) {
    const auto at = storedKey.rfind('\x01');
    if (at == std::string_view::npos) return 0;
    std::uint32_t n = 0;
    const auto digits = storedKey.substr(at + 1);
    const auto r = std::from_chars(digits.data(), digits.data() + digits.size(), n);
    if (r.ec != std::errc() || r.ptr != digits.data() + digits.size()) return 0;
    return n;
}

}  // namespace velt::server
