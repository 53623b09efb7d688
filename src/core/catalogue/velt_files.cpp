#include "catalogue/velt_files.h"

#include <atomic>
#include "net/IndexRequests.h"

#include "catalogue/DescriptorText.h"
#include "text/CpLiteral.h"
#include "text/Trim.h"

#include <charconv>
#include <optional>

namespace velt {

namespace {

// A walk of a server table ends at its last entry; one that does not
// advance, or runs past this many entries, is cut short.
constexpr int kMaxTableEntries = 100000;

// A decimal integer within [lo, hi]; none for anything else, so that the item
// holding it is skipped rather than given a wrapped number.
std::optional<std::int64_t> Number(std::string_view text, std::int64_t lo, std::int64_t hi) {
    const std::string t(TrimSpaces(text));
    std::int64_t v = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
    if (t.empty() || ec != std::errc() || end != t.data() + t.size() || v < lo || v > hi) return std::nullopt;
    return v;
}

// The leading decimal number of a text (0 when there is none).
std::int64_t LeadingNumber(std::string_view text) {
    const std::string t(TrimSpaces(text));
    std::int64_t v = 0;
    std::size_t i = 0;
    for (; i < t.size() && i < 9 && t[i] >= '0' && t[i] <= '9'; ++i) v = v * 10 + (t[i] - '0');
    return v;
}

}  // namespace

velt_files::velt_files(const std::string& host, MessageCallback onMessage, bool loadDescriptor, int port)
    : Host(host), Port(port) {
    mSession = std::make_unique<TVeltClient>(host, std::move(onMessage), port);
    Start(loadDescriptor);
}

velt_files::velt_files(std::unique_ptr<TVeltClient> session, bool loadDescriptor) : mSession(std::move(session)) {
    Host = mSession->Host();
    Port = mSession->Port();
    Start(loadDescriptor);
}

velt_files::~velt_files() {
    mSession.reset();
    Ready = false;
    ClearDescriptor();
}

void velt_files::Start(bool loadDescriptor) {
    if (mSession->Broken()) {
        ErrorText = mSession->ErrorText();
        return;
    }
    const std::string kind = mSession->Status().substr(0, 5);
    if (kind == "VELT1") {
        DatabaseKind = kVelt1;
    } else if (kind == "VELT2") {
        DatabaseKind = kVelt2;
    } else if (kind == "VELT3") {
        DatabaseKind = kVelt3;
    } else {
        ErrorText = "Nieznany typ bazy VELT"_cp;
        return;
    }
    if (loadDescriptor) LoadDescriptor();
    if (const auto level = Number(mSession->Parameter("edycja"), INT32_MIN, INT32_MAX)) EditLevel = static_cast<std::int32_t>(*level);
    Ready = true;
}

IdentifierRules velt_files::Rules() const {
    std::string letters;
    {
        // The prefix letters: at most 255 characters after "&rekordy=", to the next "&".
        const std::string& status = mSession->Status();
        const auto at = status.find("&rekordy=");
        if (at != std::string::npos) {
            letters = status.substr(at + 9, 255);
            letters = letters.substr(0, letters.find('&'));
        }
    }
    return IdentifierRules(DatabaseKind, letters);
}

void velt_files::ClearDescriptor() {
    Indexes.clear();
    Criteria.clear();
    SortKeys.clear();
    ComponentSortKeys.clear();
    Formats.clear();
    Reports.clear();
    Programs.clear();
    Filters.clear();
    AuthorityFiles.clear();
    Attachments.clear();
}

template <typename Visit>
void velt_files::WalkTable(std::uint8_t kind, std::int32_t parameter, const std::string& prefix, Visit visit) {
    velt_order cursor(mSession.get(), prefix, parameter, kind, prefix);
    cursor.First();
    std::string previous;
    for (int n = 0; cursor.Current && n < kMaxTableEntries; ++n) {
        if (n > 0 && cursor.CurrentKey() == previous) break;
        previous = cursor.CurrentKey();
        visit(*cursor.Current);
        cursor.Next();
    }
}

void velt_files::LoadDescriptor() {
    static std::atomic<std::uint64_t> generations{0};
    mGeneration = ++generations;
    ClearDescriptor();
    const std::string text = mSession->Descriptor();
    const auto top = ParseGroups(text);
    const bool described = !text.empty();
    TVeltClient* s = mSession.get();
    auto addIndex = [&](std::string name, std::uint8_t kind, std::int32_t parameter, std::string prefix,
                        std::string khw = {}) {
        Indexes.push_back(std::make_unique<velt_order>(s, std::move(prefix), parameter, kind, std::move(name), std::move(khw)));
        Indexes.back()->Format = CurrentFormat;
    };

    // Indexes.
    if (described) {
        for (const auto& item : GroupValues(top, "x")) {
            const auto f = ParseGroups(item);
            const auto kind = Number(GroupValue(f, "tab"), 0, 255);
            const auto parameter = Number(GroupValue(f, "ind"), INT32_MIN, INT32_MAX);
            if (!kind || !parameter) continue;
            addIndex(GroupValue(f, "nam"), static_cast<std::uint8_t>(*kind), static_cast<std::int32_t>(*parameter),
                     GroupValue(f, "pre"), GroupValue(f, "khw"));
        }
    } else if (DatabaseKind == kVelt1) {
        addIndex("autor", 2, 2, "");
        addIndex("tytuł"_cp, 3, 2, "");
        WalkTable(8, 1, "051", [&](const TVeltRecord& e) {
            addIndex(std::string(TrimSpaces(e.Item(3))), 4, 2, e.Item(2).substr(0, 1));
        });
        addIndex("impreza", 13, 2, "");
        addIndex("wydawca", 7, 2, "");
        addIndex("identyfikator", 6, 3, "");
        addIndex("sygnatura", 6, 4, "");
        addIndex("numer", 1, 1, "");
    } else {
        WalkTable(20, 1, "Indeksy", [&](const TVeltRecord& e) { addIndex(std::string(TrimSpaces(e.Item(3))), 21, 5, e.Item(2)); });
    }

    // Authority files.
    for (const auto& item : GroupValues(top, "w")) {
        const auto f = ParseGroups(item);
        velt_KHW khw{GroupValue(f, "nam"), GroupValue(f, "id"), {}};
        for (const auto& x : GroupValues(f, "x")) {
            const auto g = ParseGroups(x);
            const auto kind = Number(GroupValue(g, "tab"), 0, 255);
            const auto parameter = Number(GroupValue(g, "ind"), INT32_MIN, INT32_MAX);
            if (!kind || !parameter) continue;
            khw.Indexes.push_back({GroupValue(g, "nam"), static_cast<std::uint8_t>(*kind),
                                   static_cast<std::int32_t>(*parameter), GroupValue(g, "pre")});
        }
        AuthorityFiles.push_back(std::move(khw));
    }
    NewKHW = mSession->Status().substr(0, 5) == "VELT1" && mSession->VersionAtLeast("2003.11.25");

    // Criteria and sort keys.
    if (described) {
        for (const auto& item : GroupValues(top, "q")) {
            const auto f = ParseGroups(item);
            Criteria.push_back({GroupValue(f, "nam"), GroupValue(f, "typ"), GroupValue(f, "khw"), GroupValue(f, "par"),
                                GroupValue(f, "act"), GroupValue(f, "opt")});
        }
        for (const auto& item : GroupValues(top, "s")) SortKeys.push_back(GroupValue(ParseGroups(item), "nam"));
        for (const auto& item : GroupValues(top, "sd")) ComponentSortKeys.push_back(GroupValue(ParseGroups(item), "nam"));
    } else {
        WalkTable(98, 1, "CRI", [&](const TVeltRecord& e) {
            Criteria.push_back({e.Item(2), "INDEX", e.Item(3), "", "", ""});
        });
    }
    if (!Criteria.empty()) addIndex("Kolekcja zdalna", 99, RemoteCollection, "");

    // Formats.
    if (described) {
        for (const auto& item : GroupValues(top, "f")) {
            const auto f = ParseGroups(item);
            const auto id = Number(GroupValue(f, "id"), 0, 65535);
            if (!id) continue;
            Formats.push_back({static_cast<std::uint16_t>(*id), GroupValue(f, "nam"), GroupValue(f, "typ")});
        }
    } else {
        WalkTable(11, 1, "FRM", [&](const TVeltRecord& e) {
            const std::int64_t id = LeadingNumber(e.Item(1));
            if (id <= 65535) Formats.push_back({static_cast<std::uint16_t>(id), e.Item(3), e.Item(2)});
        });
    }

    // Reports.
    if (described) {
        for (const auto& item : GroupValues(top, "r")) {
            const auto f = ParseGroups(item);
            const auto id = Number(GroupValue(f, "id"), 0, 65535);
            if (!id) continue;
            velt_report r;
            r.Id = static_cast<std::uint16_t>(*id);
            r.Name = GroupValue(f, "nam");
            r.Group = GroupValue(f, "fat");
            const std::string par = GroupValue(f, "par");
            r.NoParameterForm = par.empty();
            r.Language = GroupValue(f, "lan");
            r.Icon = GroupValue(f, "ico");
            r.Form = par.empty() ? GroupValue(f, "win") : par;
            r.Action = GroupValue(f, "act");
            r.Options = GroupValue(f, "opt");
            Reports.push_back(std::move(r));
        }
    } else {
        WalkTable(97, 1, "REP", [&](const TVeltRecord& e) {
            const auto id = Number(e.Item(1), 0, 65535);
            if (!id) return;
            velt_report r;
            r.Id = static_cast<std::uint16_t>(*id);
            r.Name = e.Item(2);
            r.Language = e.Item(3);
            r.Icon = e.Item(4);
            r.Form = e.Item(5);
            r.NoParameterForm = r.Form.empty();
            if (e.Count > 5) r.Options = e.Item(6);
            Reports.push_back(std::move(r));
        });
    }

    // Programs, filters and attachment names exist only in a descriptor text.
    for (const auto& item : GroupValues(top, "p")) {
        const auto f = ParseGroups(item);
        Programs.push_back({GroupValue(f, "nam"), GroupValue(f, "id"), GroupValue(f, "par"), GroupValue(f, "act"),
                            GroupValue(f, "opt"), GroupValue(f, "cal")});
    }
    for (const auto& item : GroupValues(top, "c")) {
        const auto f = ParseGroups(item);
        Filters.push_back({GroupValue(f, "nam"), GroupValue(f, "id")});
    }
    for (const auto& item : GroupValues(top, "blob")) {
        const auto f = ParseGroups(item);
        Attachments.push_back({GroupValue(f, "id"), GroupValues(f, "nam")});
    }
}

void velt_files::SetFormat(std::int32_t format) {
    for (auto& i : Indexes) i->Format = format;
    CurrentFormat = format;
}

RecordPtr velt_files::IndexFrom(std::int32_t kind, std::int32_t parameter, std::int32_t format,
                                const std::string& prefix) {
    return velt::IndexFrom(*mSession, kind, format, parameter, prefix, "");
}

RecordPtr velt_files::IndexSeek(std::int32_t kind, std::int32_t parameter, std::int32_t format,
                                const std::string& key, const std::string& prefix) {
    return velt::IndexFrom(*mSession, kind, format, parameter, prefix, key);
}

RecordPtr velt_files::IndexNext(std::int32_t parameter, const TVeltRecord* record, std::int32_t format,
                                const std::string& prefix) {
    if (!record) return nullptr;
    return velt::IndexNext(*mSession, static_cast<std::int32_t>(record->Kind), format, parameter, prefix, record->Item(1));
}

RecordPtr velt_files::IndexPrior(std::int32_t parameter, const TVeltRecord* record, std::int32_t format,
                                 const std::string& prefix) {
    if (!record) return nullptr;
    return velt::IndexPrior(*mSession, static_cast<std::int32_t>(record->Kind), format, parameter, prefix, record->Item(1));
}

RecordPtr velt_files::IndexLast(std::int32_t kind, std::int32_t parameter, std::int32_t format,
                                const std::string& prefix) {
    return velt::IndexLast(*mSession, kind, format, parameter, prefix);
}

std::int32_t velt_files::FormatByType(const std::string& type) const {
    for (const auto& f : Formats)
        if (f.Type == type) return f.Id;
    return 0;
}

const velt_format* velt_files::FormatById(std::int32_t id) const {
    for (const auto& f : Formats)
        if (f.Id == id) return &f;
    return nullptr;
}

const velt_programm* velt_files::ProgramByCall(const std::string& name) const {
    for (const auto& p : Programs)
        if (p.Call == name || p.Call.rfind(name + "|", 0) == 0) return &p;
    return nullptr;
}

velt_order* velt_files::IndexByName(const std::string& name) const {
    for (const auto& i : Indexes)
        if (i->Name == name) return i.get();
    return nullptr;
}

std::string velt_files::EntryText(const TVeltRecord* r) const {
    if (!r) return {};
    switch (r->Kind & 0x7F) {
    case 1: case 2: case 3: case 4: case 40: case 41: case 42: case 50: case 51: case 52: case 53:
    case 70: case 80: case 81: case 82:
        return r->Item(2);
    case 6: case 7: case 13:
        return r->Item(2).substr(0, 10);
    case 15:
        return r->Item(3);
    case 16:
        return r->Item(4);
    case 21:
        return r->Item(2) + r->Item(3);
    case 99: {
        const std::string& id = r->Item(2);
        const bool fits = DatabaseKind == kVelt1 ? id.size() == 10 : DatabaseKind == kVelt2 ? id.size() == 6 : true;
        return fits ? id : std::string();
    }
    default:
        return {};
    }
}

int velt_files::DisplayItem(std::uint32_t kind) {
    switch (kind & 0x7F) {
    case 1: case 13: case 16: case 17: case 21: return 7;
    case 2: case 3: case 18: return 6;
    case 4: case 7: return 5;
    case 6: return 14;
    case 9: case 41: case 42: return 4;
    case 15: return 9;
    case 19: case 70: return 8;
    case 40: case 50: case 51: case 52: case 53: case 82: case 99: return 3;
    case 80: return 12;
    case 81: return 10;
    default: return 0;
    }
}

}  // namespace velt
