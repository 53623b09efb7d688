// Searching: the search request (15) evaluates a query into a new remote
// collection of this connection, the release request (6) frees one, and the
// filter requests (202 G, 202 S) read and set the connection's result filters.

#include "Descriptor.h"
#include "RecordIndex.h"
#include "Fold.h"
#include "Indexes.h"
#include "ParameterForms.h"
#include "QueryParser.h"
#include "Seeder.h"
#include "Session.h"
#include "text/CpLiteral.h"

#include <algorithm>
#include <charconv>

namespace velt::server {

namespace {

// Live remote collections per connection. A long working day makes many; the
// client releases those it drops, and past the limit the oldest one goes.
constexpr std::size_t kMaxCollections = 10000;

using Numbers = std::vector<std::uint32_t>;

struct SearchError {
    std::string text;
};

void SortUnique(Numbers& n) {
    std::sort(n.begin(), n.end());
    n.erase(std::unique(n.begin(), n.end()), n.end());
}

Numbers Combine(char op, Numbers a, Numbers b) {
    SortUnique(a);
    SortUnique(b);
    Numbers out;
    if (op == '+') std::set_union(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(out));
    else if (op == '*') std::set_intersection(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(out));
    else std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(out));
    return out;
}

// A wildcard pattern over a folded heading: "*" any run, "?" one letter (a
// Polish letter is its base and the 7F bytes after it), a backslash makes the
// next character literal.
bool Matches(std::string_view p, std::string_view t) {
    std::size_t pi = 0, ti = 0, starP = std::string_view::npos, starT = 0;
    auto letterEnd = [&t](std::size_t i) {
        ++i;
        while (i < t.size() && t[i] == '\x7F') ++i;
        return i;
    };
    while (ti < t.size()) {
        if (pi < p.size() && p[pi] == '*') {
            starP = ++pi;
            starT = ti;
            continue;
        }
        if (pi < p.size() && p[pi] == '?') {
            ++pi;
            ti = letterEnd(ti);
            continue;
        }
        if (pi < p.size()) {
            std::size_t q = pi;
            if (p[q] == '\\' && q + 1 < p.size()) ++q;
            if (p[q] == t[ti]) {
                pi = q + 1;
                ++ti;
                continue;
            }
        }
        if (starP == std::string_view::npos) return false;
        pi = starP;
        ti = starT = letterEnd(starT);
    }
    while (pi < p.size() && p[pi] == '*') ++pi;
    return pi == p.size();
}

// The heading part of a stored key.
std::string_view HeadingPart(std::string_view key) { return key.substr(0, key.rfind('\x01')); }

class Evaluator {
public:
    explicit Evaluator(Session& s) : mS(s) {}

    Numbers Eval(const QueryNode& n) {
        switch (n.type) {
            case QueryNode::Type::Binary:
                return Combine(n.op, Eval(*n.left), Eval(*n.right));
            case QueryNode::Type::Collection: {
                const auto it = mS.collections.find(static_cast<std::int32_t>(n.collection));
                if (it == mS.collections.end())
                    throw SearchError{"Nie ma kolekcji zdalnej numer "_cp + std::to_string(n.collection)};
                return it->second;
            }
            case QueryNode::Type::RecordList:
                return RecordList(n.text);
            case QueryNode::Type::Any:
                Index(n.index);
                return AllBooks();
            case QueryNode::Type::Match:
                return Match(Index(n.index), n.kind, n.text);
            case QueryNode::Type::Criterion:
                return Criterion(n);
        }
        return {};
    }

private:
    const IndexDef& Index(const std::string& name) {
        const IndexDef* index = IndexByName(name);
        if (!index || index->kind != IndexKind::Catalogue) throw SearchError{"Nieznany indeks \""_cp + name + "\""};
        return *index;
    }

    Numbers AllBooks() {
        return BibliographicNumbers(mS.db, mS.ids);
    }

    Numbers Range(const IndexDef& index, const std::string& lo, const std::string& hi) {
        Numbers out;
        mS.db.EntryRange(index.id, lo, hi, [&out](std::string_view, std::uint32_t n) {
            out.push_back(n);
            return true;
        });
        SortUnique(out);
        return out;
    }

    Numbers Match(const IndexDef& index, MatchKind kind, const std::string& text) {
        const std::string key = HeadingKey(index, text);
        switch (kind) {
            case MatchKind::Equal:
                return Range(index, key + '\x01', key + '\x02');
            case MatchKind::Prefix:
                return Range(index, key, key + "\xFF\xFF\xFF\xFF");
            case MatchKind::Word:
                return Words(index, text);
            case MatchKind::Number:
                return NumberRange(index, text);
            case MatchKind::Pattern:
                return Pattern(index, text);
        }
        return {};
    }

    Numbers Words(const IndexDef& index, const std::string& text) {
        if (!index.words) return Match(index, MatchKind::Prefix, text);
        const auto words = FoldedWords(text);
        if (words.empty()) return Match(index, MatchKind::Prefix, text);
        Numbers result;
        for (std::size_t i = 0; i < words.size(); ++i) {
            Numbers found;
            mS.db.WordRange(index.id, words[i], words[i] + "\xFF\xFF\xFF\xFF", found);
            SortUnique(found);
            result = i == 0 ? std::move(found) : Combine('*', std::move(result), std::move(found));
        }
        return result;
    }

    // "a-b", "a", "a-" or "-b": headings whose leading number lies in the range.
    Numbers NumberRange(const IndexDef& index, const std::string& text) {
        std::string t;
        for (const char c : text)
            if (c != ' ') t.push_back(c);
        const auto dash = t.find('-');
        const std::string a = dash == std::string::npos ? t : t.substr(0, dash);
        const std::string b = dash == std::string::npos ? t : t.substr(dash + 1);
        auto read = [&text](const std::string& s, std::uint64_t fallback) {
            if (s.empty()) return fallback;
            std::uint64_t v = 0;
            const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
            if (r.ec != std::errc() || r.ptr != s.data() + s.size() || s.size() > 12)
                throw SearchError{"Niepoprawny zakres liczb \""_cp + text + "\""};
            return v;
        };
        const std::uint64_t lo = read(a, 0);
        const std::uint64_t hi = read(b, 999999999999ull);
        if (t.empty() || lo > hi) throw SearchError{"Niepoprawny zakres liczb \""_cp + text + "\""};
        Numbers out;
        // Headings that begin with digits: those of each length lie together.
        for (std::size_t len = std::to_string(lo).size(); len <= std::to_string(hi).size(); ++len) {
            const std::string first = len == std::to_string(lo).size() ? std::to_string(lo) : "1" + std::string(len - 1, '0');
            const std::string last = len == std::to_string(hi).size() ? std::to_string(hi) : std::string(len, '9');
            mS.db.EntryRange(index.id, first, last + "\xFF", [&](std::string_view key, std::uint32_t n) {
                const std::string_view h = HeadingPart(key);
                std::size_t d = 0;
                while (d < h.size() && h[d] >= '0' && h[d] <= '9') ++d;
                if (d == len) {
                    std::uint64_t v = 0;
                    std::from_chars(h.data(), h.data() + d, v);
                    if (v >= lo && v <= hi) out.push_back(n);
                }
                return true;
            });
        }
        SortUnique(out);
        return out;
    }

    Numbers Pattern(const IndexDef& index, const std::string& text) {
        // Fold the literal parts; keep the wildcards and escaped wildcards.
        auto fold = [&index](const std::string& l) { return index.compact ? FoldCompact(l) : Fold(l); };
        std::string pattern, literal, prefix;
        bool wild = false;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char c = text[i];
            if (c == '\\' && i + 1 < text.size()) {
                const char e = text[++i];
                if (e == '*' || e == '?' || e == '\\') {
                    pattern += fold(literal);
                    literal.clear();
                    pattern += '\\';
                    pattern += e;
                } else {
                    literal.push_back(e);
                }
                continue;
            }
            if (c == '*' || c == '?') {
                pattern += fold(literal);
                literal.clear();
                if (!wild) prefix = pattern;
                wild = true;
                pattern.push_back(c);
                continue;
            }
            literal.push_back(c);
        }
        pattern += fold(literal);
        if (!wild) return Match(index, MatchKind::Equal, text);
        // Escapes in the prefix would stop the range short: search from the first one.
        const auto esc = prefix.find('\\');
        if (esc != std::string::npos) prefix.resize(esc);
        Numbers out;
        mS.db.EntryRange(index.id, prefix, prefix + "\xFF\xFF\xFF\xFF", [&](std::string_view key, std::uint32_t n) {
            if (Matches(pattern, HeadingPart(key))) out.push_back(n);
            return true;
        });
        SortUnique(out);
        return out;
    }

    Numbers RecordList(const std::string& text) {
        Numbers out;
        std::size_t at = 0;
        while (at <= text.size()) {
            const auto bar = text.find('|', at);
            const std::string item = text.substr(at, bar == std::string::npos ? std::string::npos : bar - at);
            std::uint32_t n = mS.ids.ParseShown(item);
            if (!n) n = mS.ids.Parse(item);
            if (n && mS.db.Exists(n) && std::find(out.begin(), out.end(), n) == out.end()) out.push_back(n);
            if (bar == std::string::npos) break;
            at = bar + 1;
        }
        return out;
    }

    Numbers Criterion(const QueryNode& n) {
        std::string error;
        if (auto found = CriterionWithParameters(mS, n.index, n.text, error)) {
            if (!error.empty()) throw SearchError{error};
            return *std::move(found);
        }
        if (Fold(n.index) == Fold(CriterionCovers()))
            return mS.db.Numbers("SELECT num FROM records WHERE cover > 0 ORDER BY num");
        if (Fold(n.index) == Fold(CriterionRecent()))
            return mS.db.Numbers("SELECT num FROM records WHERE year >= 2020 ORDER BY num");
        const IndexDef* index = IndexByName(n.index);
        if (index && index->kind == IndexKind::Catalogue) {
            if (!n.hasParameters) throw SearchError{"Brak warunku dla indeksu \""_cp + n.index + "\""};
            return Match(*index, MatchKind::Prefix, n.text);
        }
        throw SearchError{"Nieznane kryterium \""_cp + n.index + "\""};
    }

    Session& mS;
};

// Applies the connection's filters; returns how many records they removed.
std::size_t ApplyFilters(Session& s, Numbers& result) {
    const std::size_t before = result.size();
    auto on = [&s](std::size_t i) { return i < s.filters.size() && (s.filters[i] == 'T' || s.filters[i] == 't'); };
    auto keepOnly = [&result](Numbers allowed) {
        Numbers kept;
        for (const auto n : result)
            if (std::binary_search(allowed.begin(), allowed.end(), n)) kept.push_back(n);
        result.swap(kept);
    };
    if (on(2)) {
        Numbers kept;
        for (const auto n : result)
            if (IsBibliographic(s.ids.Letter(n))) kept.push_back(n);
        result.swap(kept);
    }
    if (on(0) && !result.empty()) keepOnly(s.db.Numbers("SELECT num FROM records WHERE year > 2000 ORDER BY num"));
    if (on(1) && !result.empty()) keepOnly(s.db.Numbers("SELECT num FROM records WHERE cover > 0 ORDER BY num"));
    // Filter 4 has no records to hold back in this catalogue.
    return before - result.size();
}

void Sort(Session& s, const SortKey& key, Numbers& result) {
    if (result.size() > 20000) {
        // Large results: walk the sort column's index and keep the members.
        std::vector<bool> member;
        for (const auto n : result) {
            if (n >= member.size()) member.resize(static_cast<std::size_t>(n) + 1);
            member[n] = true;
        }
        Numbers sorted;
        sorted.reserve(result.size());
        s.db.SortedScan(key.column, key.descending, [&](std::uint32_t n) {
            if (n < member.size() && member[n]) sorted.push_back(n);
        });
        result.swap(sorted);
        return;
    }
    std::vector<std::pair<std::string, std::uint32_t>> keyed;
    keyed.reserve(result.size());
    for (const auto n : result) {
        std::string v = s.db.SortValue(key.column, n);
        if (key.column == "year") v = std::string(12 - std::min<std::size_t>(12, v.size()), '0') + v;
        keyed.emplace_back(std::move(v), n);
    }
    std::stable_sort(keyed.begin(), keyed.end(), [&key](const auto& a, const auto& b) {
        if (a.first != b.first) return key.descending ? a.first > b.first : a.first < b.first;
        return a.second < b.second;
    });
    for (std::size_t i = 0; i < keyed.size(); ++i) result[i] = keyed[i].second;
}

void SearchRequest(Session& s, std::uint8_t, char) {
    const std::string text = s.in.Text();
    ParsedQuery q = ParseQuery(text);
    if (!q.error.empty()) {
        s.out.Record({q.error});
        return;
    }
    const SortKey* sortKey = nullptr;
    if (q.sorted && !q.sortKey.empty()) {
        for (const auto& k : SortKeys())
            if (Fold(k.name) == Fold(q.sortKey)) sortKey = &k;
        if (!sortKey) {
            s.out.Record({"Nieznany klucz sortowania \""_cp + q.sortKey + "\""});
            return;
        }
    }
    while (s.collections.size() >= kMaxCollections) s.collections.erase(s.collections.begin());
    Numbers result;
    try {
        result = Evaluator(s).Eval(*q.root);
    } catch (const SearchError& e) {
        s.out.Record({e.text});
        return;
    }
    const std::size_t filtered = ApplyFilters(s, result);
    if (sortKey) Sort(s, *sortKey, result);
    const std::int32_t number = s.nextCollection++;
    const std::string count = std::to_string(result.size());
    s.collections[number] = std::move(result);
    if (filtered > 0)
        s.out.Record({std::to_string(number), count, "Filtry pominęły rekordów: "_cp + std::to_string(filtered)});
    else
        s.out.Record({std::to_string(number), count});
}

void ReleaseRequest(Session& s, std::uint8_t, char) {
    const std::int32_t number = s.in.Integer();
    s.collections.erase(number);
    s.out.Record({});
}

void FilterRequest(Session& s, std::uint8_t, char letter) {
    if (letter == 'G') {
        s.out.Answers({"", s.filters});
        return;
    }
    const std::string flags = s.in.Text(1024);
    const auto& filters = Filters();
    if (flags.size() != filters.size() || flags.find_first_not_of("TNtn") != std::string::npos) {
        s.out.Answers({"Niepoprawne ustawienie filtrów"_cp});
        return;
    }
    for (std::size_t i = 0; i < flags.size(); ++i) {
        const char now = s.filters[i];
        const bool fixed = now == 't' || now == 'n';
        if ((fixed && flags[i] != now) || (!fixed && (flags[i] == 't' || flags[i] == 'n'))) {
            s.out.Answers({"Filtr \""_cp + filters[i].name + "\" nie może być zmieniony"_cp});
            return;
        }
    }
    s.filters = flags;
    s.out.Answers({""});
}

}  // namespace

// For the tests of the pattern matcher.
bool PatternMatches(std::string_view foldedPattern, std::string_view foldedText) {
    return Matches(foldedPattern, foldedText);
}

void RegisterSearchRequests() {
    RegisterRequest(15, SearchRequest);
    RegisterRequest(6, ReleaseRequest);
    RegisterRequest(202, FilterRequest, "GS");
}

}  // namespace velt::server
