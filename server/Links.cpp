#include "Links.h"

#include "ParameterForms.h"
#include "RecordChanges.h"
#include "RecordLocks.h"
#include "RecordStore.h"
#include "RecordText.h"
#include "Session.h"
#include "text/CpLiteral.h"

#include <functional>
#include <set>

namespace velt::server {

namespace {

const std::string kRightEdit = "modyfikowanie"_cp;

std::string G(const std::string& name, const std::string& value) { return "{" + name + "=" + value + "}"; }

std::string Trim(std::string_view t) {
    const auto b = t.find_first_not_of(' ');
    if (b == std::string_view::npos) return {};
    return std::string(t.substr(b, t.find_last_not_of(' ') - b + 1));
}

std::string Printable(std::string_view t) {
    std::string out;
    for (const char c : t.substr(0, 40)) out.push_back(static_cast<unsigned char>(c) < 32 ? '?' : c);
    return out;
}

// The form of the program as "&Operacja" runs it for one record: the
// superior's identifier (empty: detached).
const FormItem& LinksForm() {
    static const FormItem item{
        "Powiązania"_cp,
        "BEGIN\r"
        "LABEL 'Rekord nadrzędny:' ON 8, 12\r"
        "FIELD 'DOK_IDO' LIMIT 12 ON 130, 10, 110\r"
        "LABEL '(puste pole: rekord zostanie odłączony)' ON 8, 40\r"
        "END\r"_cp,
        ""};
    return item;
}

// The records of a "child|child|" list; why not when one is not a record.
std::optional<std::vector<std::uint32_t>> Children(Session& s, const std::string& records, std::string& error) {
    std::vector<std::uint32_t> out;
    std::size_t at = 0;
    while (at < records.size()) {
        auto bar = records.find('|', at);
        if (bar == std::string::npos) bar = records.size();
        const std::string id = Trim(std::string_view(records).substr(at, bar - at));
        at = bar + 1;
        if (id.empty()) continue;
        const std::uint32_t n = s.ids.Parse(id);
        if (!n || !s.db.Exists(n)) {
            error = "Nie ma rekordu "_cp + Printable(id);
            return std::nullopt;
        }
        out.push_back(n);
    }
    if (out.empty()) error = "Nie wskazano rekordu do powiązania"_cp;
    if (out.empty()) return std::nullopt;
    return out;
}

std::string Link(Session& s, const std::string& parameters, const std::string& records) {
    if (!s.LoggedIn()) return "Najpierw należy się zalogować"_cp;
    if (!s.HasRight(kRightEdit)) return "Brak uprawnień do modyfikowania rekordów"_cp;
    std::optional<std::string> parent;
    for (const auto& [name, value] : ReadParameterPairs(parameters))
        if (name == "DOK_IDO") parent = Trim(value);
    if (!parent) return "Brak parametru DOK_IDO"_cp;
    // The superior as users see it; what does not read as a record is left
    // as written for the checks to refuse.
    std::string value = *parent;
    if (!value.empty())
        if (const std::uint32_t p = s.ids.Parse(value)) value = s.ids.Shown(p);
    std::string error;
    const auto children = Children(s, records, error);
    if (!children) return error;
    for (const std::uint32_t n : *children) {
        const WriteOutcome outcome = WriteRecord(
            s.db, s.ids, 0, n, {},
            [&s, n]() -> std::string {
                const auto holder = SharedLocks().Holder(n);
                if (holder && holder->session != s.id) return HeldMessage(s.ids.Shown(n), *holder);
                return {};
            },
            [&value](std::vector<RecordField>& fields) { return ApplyChanges(fields, {{"DOK_IDO", value}}); }, true);
        if (!outcome.refusal.empty()) return outcome.refusal;
        if (!outcome.errors.empty()) return s.ids.Shown(n) + ": " + outcome.errors.front().message;
    }
    return {};
}

}  // namespace

std::vector<std::uint32_t> OrderedParts(Catalogue& db, const Identifiers& ids, std::uint32_t number) {
    std::vector<std::uint32_t> parts = db.Children(number);
    if (parts.size() < 2) return parts;
    const auto record = db.Record(number);
    const std::string order = record ? RecordText::Parse(record->text).Attribute("DOK_SKL") : std::string();
    if (order.empty()) return parts;
    const std::set<std::uint32_t> present(parts.begin(), parts.end());
    std::vector<std::uint32_t> out;
    std::set<std::uint32_t> placed;
    std::size_t at = 0;
    while (at < order.size()) {
        auto bar = order.find('|', at);
        if (bar == std::string::npos) bar = order.size();
        const std::uint32_t n = ids.Parse(Trim(std::string_view(order).substr(at, bar - at)));
        at = bar + 1;
        if (n && present.count(n) && placed.insert(n).second) out.push_back(n);
    }
    for (const std::uint32_t n : parts)
        if (!placed.count(n)) out.push_back(n);
    return out;
}

bool InHierarchy(Catalogue& db, std::uint32_t number) {
    return db.Parent(number) != 0 || !db.Children(number).empty();
}

std::string StructureText(Catalogue& db, const Identifiers& ids, std::uint32_t number,
                          const std::function<std::string(const RecordRow&)>& caption) {
    // Up to the root; a chain that came back (the checks forbid it) stops there.
    std::set<std::uint32_t> seen{number};
    std::uint32_t root = number;
    for (std::uint32_t up = db.Parent(root); up != 0 && seen.insert(up).second; up = db.Parent(up)) root = up;
    // Depth first, without recursion: each level keeps the parts still to come.
    std::string text;
    std::size_t lines = 0;
    struct Level {
        std::vector<std::uint32_t> parts;
        std::size_t next = 0;
    };
    std::vector<Level> stack;
    seen = {};
    const auto line = [&](std::uint32_t n, std::size_t depth) {
        const auto row = db.Record(n);
        if (!row) return false;
        if (!text.empty()) text += "\r";
        text += std::string(depth, ' ') + "|" + ids.Shown(n) + "|" + caption(*row);
        ++lines;
        return true;
    };
    if (!line(root, 0)) return {};
    seen.insert(root);
    stack.push_back({OrderedParts(db, ids, root), 0});
    while (!stack.empty() && lines < kMaxStructureLines) {
        Level& level = stack.back();
        if (level.next >= level.parts.size() || stack.size() >= 64) {
            stack.pop_back();
            continue;
        }
        const std::uint32_t n = level.parts[level.next++];
        if (!seen.insert(n).second) continue;
        if (!line(n, stack.size())) continue;
        stack.push_back({OrderedParts(db, ids, n), 0});
    }
    return text;
}

std::string LinksProgramGroup(const Session& s) {
    if (!s.LoggedIn() || !s.HasRight(kRightEdit)) return {};
    return G("p", G("nam", LinksForm().name) + G("id", std::to_string(kLinksProgram)) + G("opt", "S") +
                      G("cal", "WIAZANIE|DOK_IDO") + G("par", LinksForm().form));
}

std::optional<std::string> LinksProgram(Session& s, const std::string& id, char letter, const std::string& parameters,
                                        const std::string& records) {
    if (id != std::to_string(kLinksProgram)) return std::nullopt;
    if (letter == 'D') {
        if (!s.LoggedIn()) return "Najpierw należy się zalogować"_cp;
        if (!s.HasRight(kRightEdit)) return "Brak uprawnień do modyfikowania rekordów"_cp;
        return std::string();
    }
    return Link(s, parameters, records);
}

}  // namespace velt::server
