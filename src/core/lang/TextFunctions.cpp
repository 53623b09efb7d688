// The host-free built-in functions of the formatting language.
//
// Arithmetic is done in 128 bits and written out exactly, so a sum or a
// product of two 64-bit numbers never wraps around; a result beyond 64 bits
// simply is no number for the next function that reads it.

#include "lang/TextFunctions.h"

#include "text/CpLiteral.h"
#include "text/Trim.h"
#include "text/Wildcard.h"
#include "text/converter.h"

#include <algorithm>
#include <array>
#include <climits>
#include <map>
#include <tuple>
#include <cstring>
#include <cstdio>
#include <ctime>
#include <vector>

namespace velt {
namespace {

using Wide = __int128;

constexpr std::int32_t kMaxDivPlaces = 1000;  // decimals DIV writes at most

std::string WideText(Wide v) {
    if (v == 0) return "0";
    const bool negative = v < 0;
    unsigned __int128 m = negative ? static_cast<unsigned __int128>(-(v + 1)) + 1 : static_cast<unsigned __int128>(v);
    std::string digits;
    while (m > 0) {
        digits.push_back(static_cast<char>('0' + static_cast<int>(m % 10)));
        m /= 10;
    }
    if (negative) digits.push_back('-');
    std::reverse(digits.begin(), digits.end());
    return digits;
}

std::int64_t NumberOrZero(std::string_view text) { return ParseNumber(text).value_or(0); }

const std::string kFalse = "N";

std::string Truth(bool value) { return value ? std::string() : kFalse; }

// The first occurrence of needle in text at or after from. memmem searches
// in linear time however the two texts are made, where a plain search can
// take the product of their lengths.
std::size_t FindText(std::string_view text, std::string_view needle, std::size_t from = 0) {
    if (from > text.size()) return std::string_view::npos;
    if (needle.empty()) return from;
    const void* hit = ::memmem(text.data() + from, text.size() - from, needle.data(), needle.size());
    return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text.data()) : std::string_view::npos;
}

}  // namespace

std::optional<std::int64_t> ParseNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= text.size()) return std::nullopt;
    unsigned __int128 value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return std::nullopt;
        value = value * base + static_cast<unsigned>(digit);
        if (value > (static_cast<unsigned __int128>(1) << 63)) return std::nullopt;
    }
    if (!negative && value == (static_cast<unsigned __int128>(1) << 63)) return std::nullopt;
    const Wide signedValue = negative ? -static_cast<Wide>(value) : static_cast<Wide>(value);
    return static_cast<std::int64_t>(signedValue);
}

std::int32_t RequireInteger(std::string_view text) {
    const auto n = ParseNumber(text);
    if (!n || *n < INT32_MIN || *n > INT32_MAX)
        throw ScriptFailure("'" + std::string(text) + "' is not a valid integer value");
    return static_cast<std::int32_t>(*n);
}

std::string Head(std::string_view a, std::string_view b) {
    if (b.empty()) return {};
    const auto p = FindText(a, b);
    return p == std::string_view::npos ? std::string() : std::string(a.substr(0, p));
}

std::string Tail(std::string_view a, std::string_view b) {
    if (b.empty()) return std::string(a);
    const auto p = FindText(a, b);
    return p == std::string_view::npos ? std::string(a) : std::string(a.substr(p + b.size()));
}

std::string Sep(std::string_view a, std::string_view b, std::string_view c) {
    if (a.empty()) return std::string(c);
    if (!c.empty()) return std::string(a) + std::string(b) + std::string(c);
    return std::string(a);
}

std::string Reverse(std::string_view a) {
    if (a.empty()) return {};
    std::string_view rest = a;
    std::string_view tail;
    if (a.back() == ']') {
        // Only a tail that really opens with "[" is set aside.
        auto open = a.rfind('[');
        if (open != std::string_view::npos) {
            while (open > 0 && a[open - 1] == ' ') --open;
            rest = a.substr(0, open);
            tail = a.substr(open);
        }
    }
    auto cut = rest.find(',');
    if (cut == std::string_view::npos) cut = rest.find(' ');
    std::string out;
    if (cut == std::string_view::npos) {
        out = std::string(rest);
    } else {
        std::string_view after = rest.substr(cut + 1);
        while (!after.empty() && after.front() == ' ') after.remove_prefix(1);
        out = std::string(after) + " " + std::string(rest.substr(0, cut));
    }
    out.append(tail);
    return out;
}

std::string Matches(std::string_view a, std::string_view pattern) { return Truth(MatchWildcard(pattern, a)); }

std::string Position(std::string_view a, std::string_view b) {
    if (a.empty()) return {};
    const auto p = FindText(b, a);
    return p == std::string_view::npos ? std::string() : std::to_string(p + 1);
}

std::string Succ(std::string_view a) {
    const auto n = ParseNumber(a);
    return n ? WideText(static_cast<Wide>(*n) + 1) : "0";
}

std::string Add(std::string_view a, std::string_view b) {
    return WideText(static_cast<Wide>(NumberOrZero(a)) + NumberOrZero(b));
}

std::string Mul(std::string_view a, std::string_view b) {
    const auto x = ParseNumber(a), y = ParseNumber(b);
    if (!x || !y) return "0";
    return WideText(static_cast<Wide>(*x) * *y);
}

std::string Div(std::string_view a, std::string_view b, std::string_view decimals) {
    const auto x = ParseNumber(a), y = ParseNumber(b);
    if (!x || !y || *y == 0) return "-";
    // A count that is not a number is a failure; fewer places than none are
    // none, and the places are bounded so that a script cannot ask for a
    // text of billions of digits.
    const std::int32_t places = std::clamp(RequireInteger(decimals), 0, kMaxDivPlaces);
    const bool negative = (*x < 0) != (*y < 0);
    const Wide num = *x < 0 ? -static_cast<Wide>(*x) : static_cast<Wide>(*x);
    const Wide den = *y < 0 ? -static_cast<Wide>(*y) : static_cast<Wide>(*y);
    Wide q = num / den;
    Wide r = num % den;
    if (places == 0) {
        // The nearest integer, a half going to the even neighbour.
        if (2 * r > den || (2 * r == den && (q % 2) != 0)) ++q;
        return (negative && q != 0 ? "-" : "") + WideText(q);
    }
    // Long division, the last place rounded half away from zero.
    std::string fraction;
    fraction.reserve(static_cast<std::size_t>(places));
    for (int i = 0; i < places; ++i) {
        r *= 10;
        fraction.push_back(static_cast<char>('0' + static_cast<int>(r / den)));
        r %= den;
    }
    if (2 * r >= den) {
        int i = places - 1;
        while (i >= 0 && fraction[static_cast<std::size_t>(i)] == '9') fraction[static_cast<std::size_t>(i--)] = '0';
        if (i >= 0)
            ++fraction[static_cast<std::size_t>(i)];
        else
            ++q;
    }
    const bool zero = q == 0 && fraction.find_first_not_of('0') == std::string::npos;
    return (negative && !zero ? "-" : "") + WideText(q) + "," + fraction;
}

std::string Gt(std::string_view a, std::string_view b) { return Truth(NumberOrZero(a) > NumberOrZero(b)); }
std::string Ge(std::string_view a, std::string_view b) { return Truth(NumberOrZero(a) >= NumberOrZero(b)); }

std::string Ascii(std::string_view a) {
    return a.empty() ? "0" : std::to_string(static_cast<unsigned char>(a.front()));
}

std::string Chr(std::string_view a) {
    const std::int32_t n = RequireInteger(a);
    return std::string(1, static_cast<char>(static_cast<unsigned char>(((n % 256) + 256) % 256)));
}

ScriptFailure TooLong(std::size_t limit) {
    return ScriptFailure("tekst dłuższy niż "_cp + std::to_string(limit) + " bajtów"_cp);
}

std::string Replace(std::string_view a, std::string_view b, std::string_view c, std::size_t limit) {
    if (b.empty()) return std::string(a);
    std::string out;
    std::size_t pos = 0;
    for (;;) {
        const auto p = FindText(a, b, pos);
        if (p == std::string_view::npos) break;
        if (out.size() + (p - pos) + c.size() > limit) throw TooLong(limit);
        out.append(a.substr(pos, p - pos));
        out.append(c);
        pos = p + b.size();
    }
    out.append(a.substr(pos));
    return out;
}

std::string Trim(std::string_view a) { return std::string(TrimSpaces(a)); }

namespace {

// One of the up to three numbers of an AGREGATE item, counted from the right.
struct ItemNumber {
    std::string_view prefix;  // all text before the digit run
    std::string_view suffix;  // all text after it
    std::int64_t value = 0;
    bool valid = false;       // false for a digit run too long for 64 bits
};

struct AgregateItem {
    std::string text;
    std::vector<ItemNumber> numbers;
    std::array<int, 3> pred{-1, -1, -1};
    std::array<int, 3> succ{-1, -1, -1};

    int LinkedPosition() const {
        for (int k = 0; k < 3; ++k)
            if (pred[k] >= 0 || succ[k] >= 0) return k;
        return -1;
    }
};

void FindNumbers(AgregateItem& item) {
    const std::string_view t = item.text;
    std::size_t end = t.size();
    while (item.numbers.size() < 3) {
        while (end > 0 && !(t[end - 1] >= '0' && t[end - 1] <= '9')) --end;
        if (end == 0) break;
        std::size_t start = end;
        while (start > 0 && t[start - 1] >= '0' && t[start - 1] <= '9') --start;
        ItemNumber n;
        n.prefix = t.substr(0, start);
        n.suffix = t.substr(end);
        const auto digits = t.substr(start, end - start);
        std::size_t first = 0;
        while (first + 1 < digits.size() && digits[first] == '0') ++first;
        n.valid = digits.size() - first <= 18;
        for (std::size_t i = first; n.valid && i < digits.size(); ++i) n.value = n.value * 10 + (digits[i] - '0');
        item.numbers.push_back(n);
        end = start;
    }
}

}  // namespace

std::string Agregate(std::string_view a, std::string_view separator) {
    std::vector<AgregateItem> items;
    auto take = [&](std::string_view piece) {
        std::string trimmed = Trim(piece);
        if (trimmed.empty()) return;
        items.emplace_back();
        items.back().text = std::move(trimmed);
    };
    std::size_t pos = 0;
    if (!separator.empty()) {
        for (auto p = FindText(a, separator); p != std::string_view::npos; p = FindText(a, separator, pos)) {
            take(a.substr(pos, p - pos));
            pos = p + separator.size();
        }
    }
    take(a.substr(pos));
    std::stable_sort(items.begin(), items.end(),
                     [](const AgregateItem& x, const AgregateItem& y) { return x.text < y.text; });
    for (auto& item : items) FindNumbers(item);

    // Links between items whose numbers at one position differ by one and
    // whose texts around that number are the same. Taken pair by pair in
    // list order, a pair links when the earlier item's slot and the later
    // one's are both free; at one position that is, for each item x in
    // order, the first later item of value + 1 whose predecessor is free
    // and the first later item of value - 1 whose successor is free. Items
    // of one (prefix, suffix, value) are kept in lists with "next free"
    // pointers, so the whole takes near-linear time.
    const int count = static_cast<int>(items.size());
    for (std::size_t k = 0; k < 3; ++k) {
        struct Run {
            std::vector<int> members;    // item indices, ascending
            std::vector<int> predFree;   // next member (>= i) whose pred is free; union-find
            std::vector<int> succFree;
        };
        std::map<std::tuple<std::string_view, std::string_view, std::int64_t>, Run> runs;
        std::vector<std::pair<Run*, int>> place(static_cast<std::size_t>(count), {nullptr, 0});
        for (int x = 0; x < count; ++x) {
            const auto& numbers = items[static_cast<std::size_t>(x)].numbers;
            if (numbers.size() <= k || !numbers[k].valid) continue;
            Run& run = runs[{numbers[k].prefix, numbers[k].suffix, numbers[k].value}];
            place[static_cast<std::size_t>(x)] = {&run, static_cast<int>(run.members.size())};
            run.members.push_back(x);
        }
        for (auto& [key, run] : runs) {
            const int n = static_cast<int>(run.members.size());
            run.predFree.resize(static_cast<std::size_t>(n) + 1);
            run.succFree.resize(static_cast<std::size_t>(n) + 1);
            for (int i = 0; i <= n; ++i) run.predFree[static_cast<std::size_t>(i)] = run.succFree[static_cast<std::size_t>(i)] = i;
        }
        auto find = [](std::vector<int>& next, int i) {
            int root = i;
            while (next[static_cast<std::size_t>(root)] != root) root = next[static_cast<std::size_t>(root)];
            while (next[static_cast<std::size_t>(i)] != root) {
                const int up = next[static_cast<std::size_t>(i)];
                next[static_cast<std::size_t>(i)] = root;
                i = up;
            }
            return root;
        };
        // The first member of the neighbour run after item x whose slot is free.
        auto firstFree = [&](Run& run, bool pred, int x) -> int {
            const auto after = std::upper_bound(run.members.begin(), run.members.end(), x);
            const int from = static_cast<int>(after - run.members.begin());
            const int i = find(pred ? run.predFree : run.succFree, from);
            return i < static_cast<int>(run.members.size()) ? i : -1;
        };
        auto take = [&](int item, bool pred) {
            auto [run, i] = place[static_cast<std::size_t>(item)];
            (pred ? run->predFree : run->succFree)[static_cast<std::size_t>(i)] = i + 1;
        };
        for (int x = 0; x < count; ++x) {
            if (!place[static_cast<std::size_t>(x)].first) continue;
            AgregateItem& item = items[static_cast<std::size_t>(x)];
            const ItemNumber& n = item.numbers[k];
            if (item.succ[k] < 0 && n.value < INT64_MAX) {
                const auto it = runs.find({n.prefix, n.suffix, n.value + 1});
                if (it != runs.end()) {
                    if (const int i = firstFree(it->second, true, x); i >= 0) {
                        const int y = it->second.members[static_cast<std::size_t>(i)];
                        item.succ[k] = y;
                        items[static_cast<std::size_t>(y)].pred[k] = x;
                        take(x, false);
                        take(y, true);
                    }
                }
            }
            if (item.pred[k] < 0 && n.value > 0) {
                const auto it = runs.find({n.prefix, n.suffix, n.value - 1});
                if (it != runs.end()) {
                    if (const int i = firstFree(it->second, false, x); i >= 0) {
                        const int z = it->second.members[static_cast<std::size_t>(i)];
                        item.pred[k] = z;
                        items[static_cast<std::size_t>(z)].succ[k] = x;
                        take(x, true);
                        take(z, false);
                    }
                }
            }
        }
    }
    // An item keeps only the links at its lowest linked position.
    for (auto& item : items) {
        const int low = item.LinkedPosition();
        if (low < 0) continue;
        for (int k = low + 1; k < 3; ++k) {
            if (item.succ[k] >= 0) items[static_cast<std::size_t>(item.succ[k])].pred[k] = -1;
            if (item.pred[k] >= 0) items[static_cast<std::size_t>(item.pred[k])].succ[k] = -1;
            item.succ[k] = item.pred[k] = -1;
        }
    }
    std::string out;
    for (const auto& item : items) {
        const int k = item.LinkedPosition();
        if (k < 0) {
            out.append(item.text);
        } else if (item.pred[k] < 0) {
            const AgregateItem* last = &item;
            while (last->succ[k] >= 0) last = &items[static_cast<std::size_t>(last->succ[k])];
            const ItemNumber& n = item.numbers[static_cast<std::size_t>(k)];
            out.append(n.prefix).append(std::to_string(n.value)).append(n.suffix);
            out.append(" - ");
            out.append(n.prefix).append(std::to_string(last->numbers[static_cast<std::size_t>(k)].value)).append(n.suffix);
        } else {
            continue;
        }
        out.append(separator);
    }
    return out;
}

std::string Form(std::string_view a, std::string_view mask) {
    std::string out;
    std::size_t i = 0;
    for (const char m : mask) {
        if (m == 'A' || m == '\\') {
            if (i >= a.size()) break;
            if (m == 'A') out.push_back(a[i]);
            ++i;
        } else {
            out.push_back(m);
        }
    }
    return out;
}

std::string RForm(std::string_view a, std::string_view mask) {
    std::string reversed;
    std::size_t j = a.size();
    for (auto k = mask.size(); k-- > 0;) {
        const char m = mask[k];
        if (m == 'A' || m == '\\') {
            if (j == 0) break;
            --j;
            if (m == 'A') reversed.push_back(a[j]);
        } else {
            reversed.push_back(m);
        }
    }
    std::reverse(reversed.begin(), reversed.end());
    return reversed;
}

// Days since 1970-01-01 (the civil-calendar algorithm over the proleptic
// Gregorian calendar).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

std::string CivilText(std::int64_t z) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    y += m <= 2;
    if (y < 1 || y > 9999) throw ScriptFailure("Data poza zakresem lat 1-9999"_cp);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d%02u%02u", static_cast<int>(y), m, d);
    return buf;
}

std::int64_t TodayDays() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return DaysFromCivil(local.tm_year + 1900, static_cast<unsigned>(local.tm_mon + 1),
                         static_cast<unsigned>(local.tm_mday));
}

std::string DatePlus(std::string_view a, std::int64_t todayDays) {
    const std::int64_t offset = a.empty() ? 0 : RequireInteger(a);
    return CivilText(todayDays + offset);
}

namespace {

std::optional<std::int64_t> DateDays(std::string_view t) {
    if (t.size() != 8 || !std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const int y = std::stoi(std::string(t.substr(0, 4)));
    const unsigned m = static_cast<unsigned>(std::stoi(std::string(t.substr(4, 2))));
    const unsigned d = static_cast<unsigned>(std::stoi(std::string(t.substr(6, 2))));
    static constexpr std::array<unsigned, 12> kLength = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (y < 1 || m < 1 || m > 12 || d < 1 || d > kLength[m - 1]) return std::nullopt;
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    if (m == 2 && d == 29 && !leap) return std::nullopt;
    return DaysFromCivil(y, m, d);
}

}  // namespace

std::string Days(std::string_view a, std::string_view b, std::int64_t todayDays) {
    const std::int64_t from = DateDays(a).value_or(todayDays);
    const std::int64_t to = DateDays(b).value_or(todayDays);
    return std::to_string(to - from);
}

std::string Sort(std::string_view a, std::string_view separator) {
    // Nothing can be cut at an empty separator, and the text after the last
    // separator is dropped: so nothing remains.
    if (separator.empty()) return {};
    std::vector<std::string_view> items;
    std::size_t pos = 0;
    for (;;) {
        const auto p = FindText(a, separator, pos);
        if (p == std::string_view::npos) break;
        items.push_back(a.substr(pos, p - pos));
        pos = p + separator.size();
    }
    // The order of selection sort, as the catalogue's scripts have always
    // had it: step i swaps the first least item of i..n-1 into place i. Items
    // that collate equal end up in the order those swaps leave them, so the
    // same steps are taken, with a tree of range minima finding each least
    // item in logarithmic time.
    const std::size_t n = items.size();
    std::size_t width = 1;
    while (width < n) width *= 2;
    std::vector<std::size_t> tree(2 * width, SIZE_MAX);  // position of the first least item of the range
    auto better = [&items](std::size_t a, std::size_t b) {
        if (a == SIZE_MAX) return b;
        if (b == SIZE_MAX) return a;
        return CollationTable.Compare(items[b], items[a]) < 0 ? b : a;
    };
    auto update = [&](std::size_t p, std::size_t value) {
        p += width;
        tree[p] = value;
        for (p /= 2; p >= 1; p /= 2) tree[p] = better(tree[2 * p], tree[2 * p + 1]);
    };
    for (std::size_t i = 0; i < n; ++i) tree[width + i] = i;
    for (std::size_t p = width - 1; p >= 1; --p) tree[p] = better(tree[2 * p], tree[2 * p + 1]);
    for (std::size_t i = 0; i + 1 < n; ++i) {
        const std::size_t least = tree[1];
        if (least != i) {
            std::swap(items[i], items[least]);
            update(least, least);
        }
        update(i, SIZE_MAX);  // place i is final
    }
    std::string out;
    for (const auto& item : items) {
        out.append(item);
        out.append(separator);
    }
    return out;
}

std::string Omit(std::string_view a, char marker) {
    std::string out;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] == marker) {
            ++i;  // the marker and the character after it
            continue;
        }
        out.push_back(a[i]);
    }
    return out;
}

std::string Subfield(std::string_view a, std::string_view code, char marker) {
    std::string key(1, marker);
    key.append(code);
    const auto p = FindText(a, key);
    if (p == std::string_view::npos) return {};
    const auto start = p + key.size();
    const auto end = a.find(marker, start);
    return std::string(a.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
}

std::string MarkerOf(std::string_view a, char marker) {
    const auto p = a.find(marker);
    if (p == std::string_view::npos || p + 1 >= a.size()) return {};
    return std::string(1, a[p + 1]);
}

namespace {

struct MakRule {
    char selector;
    const char* letters;  // letters with a result of their own
    std::string results;  // their results, one byte each (Windows-1250)
    bool keepOthers;      // other letters: kept, or removed
};

const std::vector<MakRule>& MakRules() {
    static const std::vector<MakRule> rules = {
        {'\'', "ACENRSUYacenrsuy", "ÁĆÉŃŔŚÚÝáćéńŕśúý"_cp, false},
        {',', "CSTcst", "ÇŞŢçşţ"_cp, true},
        {'9', "CSTcst", "ÇŞŢçşţ"_cp, true},
        {'1', "AIOaio", "ÂÎÔâîô"_cp, true},
        {'2', "Cc", "Ćć"_cp, true},
        {'4', "Aa", "Ăă"_cp, true},
        {'5', "CENRSXZcenrsxz", "ČĚŇŘŠŽŽčěňřšžž"_cp, true},
        {':', "AOUaeioru", "ÄÖÜäëőörü"_cp, false},
        {'0', "", "", true},
        {'3', "", "", true},
        {'6', "", "", true},
        {'7', "", "", true},
        {'8', "", "", true},
        {'^', "GSnKTWabmsu", "AAAEEEaaCce", false},
        {'s', "s", "ß"_cp, true},
    };
    return rules;
}

}  // namespace

std::string Mak(std::string_view a) {
    std::string text(a);
    // Every replacement makes the text shorter, and nothing before the place
    // of a replacement holds a "~": so one walk from the left is enough.
    std::size_t p = text.find('~');
    while (p != std::string::npos) {
        if (p + 1 >= text.size()) {
            text.erase(p, 1);
            break;
        }
        const char selector = text[p + 1];
        const MakRule* rule = nullptr;
        for (const auto& r : MakRules())
            if (r.selector == selector) rule = &r;
        if (rule) {
            if (p + 2 >= text.size()) {
                text.erase(p, 2);
                break;
            }
            const char letter = text[p + 2];
            const char* hit = std::strchr(rule->letters, letter);
            if (hit && letter != '\0')
                text.replace(p, 3, 1, rule->results[static_cast<std::size_t>(hit - rule->letters)]);
            else if (rule->keepOthers)
                text.erase(p, 2);
            else
                text.erase(p, 3);
        } else if (selector == 'D' || selector == 'E' || selector == 'G' || selector == 'M' || selector == 'P') {
            text.replace(p, 2, 1, '"');
            ++p;
        } else {
            text.erase(p, 1);
        }
        p = text.find('~', p);
    }
    return text;
}

std::string Uri(std::string_view a) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char ch : a) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == 26 || c == 27) {
            out.push_back(ch);
        } else {
            out.push_back('%');
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 15]);
        }
    }
    return out;
}

}  // namespace velt
