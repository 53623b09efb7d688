#include "import/usmarc.h"

#include "browse/CellMarkup.h"
#include "text/CpLiteral.h"
#include "text/ala.h"
#include "text/utf.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <array>
#include <cstdint>

namespace velt {

namespace {

constexpr char kFieldEnd = 0x1E;
constexpr char kRecordEnd = 0x1D;
constexpr char kDelimiter = 0x1F;

// The number written in the digits of text; -1 when one is not a digit.
long Digits(std::string_view text) {
    if (text.empty()) return -1;
    long n = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return -1;
        n = n * 10 + (c - '0');
    }
    return n;
}

std::string Pad5(long n) {
    std::string s(5, '0');
    for (int i = 4; i >= 0 && n > 0; --i, n /= 10) s[static_cast<std::size_t>(i)] = static_cast<char>('0' + n % 10);
    return s;
}

bool IsAscii(std::string_view s) {
    std::size_t i = 0;
    for (; i + 8 <= s.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, s.data() + i, 8);
        if (word & 0x8080808080808080ull) return false;
    }
    for (; i < s.size(); ++i)
        if (static_cast<unsigned char>(s[i]) >= 0x80) return false;
    return true;
}

bool TagIsSound(std::string_view tag) {
    for (char c : tag)
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) return false;
    return true;
}

// Subfield delimiters as " ^": a space and delimiter become " ^"; when some
// delimiter had no space before it, every delimiter becomes " ^" instead.
std::string RewriteDelimiters(std::string_view s, std::string_view prefix = {}) {
    // Written for the usual case (some delimiter without a space before it)
    // while looking; redone in the rare case that every one had its space.
    std::string out;
    out.reserve(prefix.size() + s.size() + 8);
    out.append(prefix);
    bool allSpaced = true;
    std::size_t from = 0;
    for (std::size_t i = s.find(kDelimiter); i != std::string_view::npos; i = s.find(kDelimiter, i + 1)) {
        if (i == 0 || s[i - 1] != ' ') allSpaced = false;
        out.append(s.substr(from, i - from));
        out.append(" ^");
        from = i + 1;
    }
    out.append(s.substr(from));
    if (!allSpaced || from == 0) return out;
    out.assign(prefix);
    from = 0;
    for (std::size_t i = s.find(kDelimiter); i != std::string_view::npos; i = s.find(kDelimiter, i + 1)) {
        out.append(s.substr(from, i - from));
        out.push_back('^');
        from = i + 1;
    }
    out.append(s.substr(from));
    return out;
}

// The highest occurrence stored per tag: a table for the numeric tags (of
// the thread, cleared again entry by entry), a short list for the others.
class Occurrences {
public:
    Occurrences() { sTouched.clear(); }
    ~Occurrences() {
        for (std::uint16_t i : sTouched) sNumeric[i] = 0;
    }
    int& operator[](std::string_view tag) {
        if (IsDigit(tag[0]) && IsDigit(tag[1]) && IsDigit(tag[2])) {
            const auto i = static_cast<std::uint16_t>((tag[0] - '0') * 100 + (tag[1] - '0') * 10 + (tag[2] - '0'));
            int& n = sNumeric[i];
            if (n == 0) sTouched.push_back(i);
            return n;
        }
        const std::uint32_t code = (static_cast<std::uint32_t>(static_cast<unsigned char>(tag[0])) << 16) |
                                   (static_cast<std::uint32_t>(static_cast<unsigned char>(tag[1])) << 8) |
                                   static_cast<unsigned char>(tag[2]);
        for (auto& [c, n] : mOthers)
            if (c == code) return n;
        return mOthers.emplace_back(code, 0).second;
    }

private:
    static bool IsDigit(char c) { return c >= '0' && c <= '9'; }
    static thread_local std::array<int, 1000> sNumeric;
    static thread_local std::vector<std::uint16_t> sTouched;
    std::vector<std::pair<std::uint32_t, int>> mOthers;
};

thread_local std::array<int, 1000> Occurrences::sNumeric{};
thread_local std::vector<std::uint16_t> Occurrences::sTouched;

// Appends ".1.1." n ".1" to key.
void AppendOccurrence(std::string& key, int n) {
    char digits[12];
    int k = 0;
    do {
        digits[k++] = static_cast<char>('0' + n % 10);
        n /= 10;
    } while (n > 0);
    key.append(".1.1.");
    while (k > 0) key.push_back(digits[--k]);
    key.append(".1");
}

std::string Broken(const std::string& reason) { return "Błędna struktura rekordu MARC: "_cp + reason; }

struct DirectoryEntry {
    std::string_view tag;
    std::size_t start;   // offset of the field's first character in the record
    std::size_t length;  // with its terminator
    bool oneXX;          // a 1XX field
    bool winner = false; // the 1XX field that stays under its filed tag
};

}  // namespace

const converter& MarcCharsetOf(std::string_view octets) {
    if (octets.size() > 9 && octets[9] == 'a') return UtfVeltwin();
    return AlaWin();
}

my_record ParseMarc(std::string_view octets, const MarcOptions& options) {
    my_record record;
    const converter& conv = options.presentation ? *options.presentation : MarcCharsetOf(octets);
    if (octets.size() < 5) {
        if (!octets.empty() && Digits(octets) != 0) record.AddError(Broken("rekord krótszy niż nagłówek"_cp), "*");
        return record;
    }
    const long length = Digits(octets.substr(0, 5));
    if (length == 0) return record;
    if (length < 0) {
        record.AddError(Broken("długość rekordu nie jest liczbą"_cp), "*");
        return record;
    }
    if (octets.size() < 24 || length < 24) {
        record.AddError(Broken("rekord krótszy niż nagłówek"_cp), "*");
        return record;
    }
    // Reads never go past the record's own length nor past what was received.
    const std::string_view r = octets.substr(0, std::min<std::size_t>(octets.size(), static_cast<std::size_t>(length)));
    const long base = Digits(r.substr(12, 5));
    record.Reserve(static_cast<std::size_t>(std::max(0L, std::min<long>((base - 25) / 12, kMarcMaxFields))) * 2 + 2);
    std::string leader = Pad5(length);
    leader.append(r.substr(5, 7));
    leader += base < 0 ? std::string(r.substr(12, 5)) : Pad5(base);
    leader.append(r.substr(17, 7));
    const bool asciiSafe = &conv == &AlaWin() || &conv == &UtfVeltwin() || &conv == &UtfWin();
    record.AddField("L.1", asciiSafe && IsAscii(leader) ? std::move(leader) : conv.Convert(leader), 0);

    auto finish = [&](const std::string& error) {
        if (!error.empty()) record.AddError(error, "*");
        record.kind = std::string(1, RecordKindLetter(record));
        return std::move(record);
    };

    if (base < 0) return finish(Broken("adres danych nie jest liczbą"_cp));
    if (base < 25 || static_cast<std::size_t>(base) > r.size())
        return finish(Broken("adres danych poza rekordem"_cp));
    const long entries = (base - 25) / 12;
    if (entries > kMarcMaxFields) return finish("Za dużo pól - błąd struktury pliku!"_cp);
    if (r[static_cast<std::size_t>(base) - 1] != kFieldEnd)
        return finish(Broken("katalog nie kończy się znakiem końca pola"_cp));

    // The thread's directory table, reused from record to record.
    static thread_local std::vector<DirectoryEntry> directory;
    directory.clear();
    directory.reserve(static_cast<std::size_t>(entries));
    for (long i = 0; i < entries; ++i) {
        const std::string_view e = r.substr(24 + static_cast<std::size_t>(i) * 12, 12);
        const long len = Digits(e.substr(3, 4)), start = Digits(e.substr(7, 5));
        const std::string_view tag = e.substr(0, 3);
        if (len < 0 || start < 0 || !TagIsSound(tag))
            return finish(Broken("błędny wpis katalogu nr "_cp + std::to_string(i + 1)));
        const std::size_t from = static_cast<std::size_t>(base) + static_cast<std::size_t>(start);
        if (len < 1 || from + static_cast<std::size_t>(len) > r.size())
            return finish(Broken("pole "_cp + std::string(tag) + " poza rekordem"_cp));
        if (r[from + static_cast<std::size_t>(len) - 1] != kFieldEnd)
            return finish(Broken("pole "_cp + std::string(tag) + " bez znaku końca pola"_cp));
        directory.push_back({tag, from, static_cast<std::size_t>(len), false});
    }

    // The field with the separator before it, without its own terminator.
    auto fieldText = [&](const DirectoryEntry& d, std::string& converted) {
        const std::string_view raw = r.substr(d.start - 1, d.length);
        if (asciiSafe && IsAscii(raw)) return raw;
        converted = conv.Convert(raw);
        return std::string_view(converted);
    };
    // 1XX fields all take occurrence 1, so of those filed under one tag only
    // the last one with content stays (and nothing of the earlier ones).
    {
        std::vector<std::pair<std::string_view, std::size_t>> last;  // filed tag, entry
        std::string converted;
        for (std::size_t i = 0; i < directory.size(); ++i) {
            DirectoryEntry& d = directory[i];
            if (d.tag < "100" || d.tag >= "200") continue;
            d.oneXX = true;
            if (fieldText(d, converted).size() <= 2) continue;
            const std::string_view filed = options.format ? d.tag : std::string_view("100");
            auto it = std::find_if(last.begin(), last.end(), [&](const auto& p) { return p.first == filed; });
            if (it == last.end())
                last.emplace_back(filed, i);
            else
                it->second = i;
        }
        for (const auto& [filed, i] : last) directory[i].winner = true;
    }

    Occurrences highest;
    // The occurrences beyond the limit, by tag: the record says they are gone.
    std::vector<std::pair<std::string, int>> dropped;
    std::string converted, key;
    for (const DirectoryEntry& d : directory) {
        if (d.oneXX && !d.winner) continue;
        const std::string_view f = fieldText(d, converted);
        if (f.size() <= 2) continue;
        std::string_view tag = d.tag;
        int n = 1;
        int* highestOfTag = nullptr;
        if (!d.oneXX) {
            highestOfTag = &highest[tag];
            n = *highestOfTag + 1;
        } else if (!options.format) {
            record.AddField("100R.1.1.1.1", std::string(tag), 0);
            tag = "100";
        }
        if (n > kMarcMaxOccurrences) {
            auto it = std::find_if(dropped.begin(), dropped.end(), [&](const auto& d) { return d.first == tag; });
            if (it == dropped.end()) dropped.emplace_back(std::string(tag), 1);
            else ++it->second;
            continue;
        }
        // One warning for every tag that reaches the limit.
        if (n == kMarcMaxOccurrences) record.AddError("Za duża liczba wystąpień pola "_cp + std::string(tag), "*");
        auto store = [&](char part, std::string value) {
            key.assign(tag);
            key.push_back(part);
            AppendOccurrence(key, n);
            record.AddField(key, std::move(value), 0);
        };
        bool stored = false;
        if (tag.compare(0, 2, "00") != 0) {
            if (f[1] != ' ') {
                store('A', std::string(1, f[1]));
                stored = true;
            }
            if (f[2] != ' ') {
                store('B', std::string(1, f[2]));
                stored = true;
            }
            if (f.size() > 3) {
                std::string data;
                if (f[3] != kDelimiter) {
                    std::string_view rest = f.substr(3);
                    // Leading spaces go (the delimiter rule still sees them).
                    data = RewriteDelimiters(rest);
                    const std::size_t first = data.find_first_not_of(' ');
                    data.erase(0, first == std::string::npos ? data.size() : first);
                } else {
                    data = RewriteDelimiters(f.substr(4), "^");
                }
                store('Z', std::move(data));
                stored = true;
            }
        } else {
            // Two blanks before a delimiter go; every delimiter goes with its code.
            std::size_t from = 0;
            std::string kept;
            kept.reserve(f.size());
            if (f.size() >= 4 && f[1] == ' ' && f[2] == ' ' && f[3] == kDelimiter) {
                kept.push_back(f[0]);
                from = 3;
            }
            for (std::size_t i = f.find(kDelimiter, from); i != std::string_view::npos; i = f.find(kDelimiter, from)) {
                kept.append(f.substr(from, i - from));
                from = std::min(f.size(), i + 2);
            }
            kept.append(f.substr(from));
            if (kept.size() > 1) {
                store('Z', kept.substr(1));
                stored = true;
            }
        }
        if (stored && highestOfTag) *highestOfTag = std::max(*highestOfTag, n);
    }
    for (const auto& [tag, count] : dropped)
        record.AddError("Pominięto wystąpienia pola "_cp + tag + " ponad "_cp + std::to_string(kMarcMaxOccurrences) +
                            ": " + std::to_string(count),
                        tag + "*");
    return finish({});
}

char RecordKindLetter(const my_record& record) {
    const std::string& leader = record.GetValue("L.1");
    if (leader.size() < 8) return 'U';
    if (leader[6] == 'z') return leader[7] == 'u' || leader[7] == 'x' ? 'C' : 'A';
    return 'U';
}

std::vector<std::string> MarcDisplayLines(std::string_view octets, const MarcOptions& options,
                                          const MarcFormatter& formatter) {
    const my_record parsed = ParseMarc(octets, options);
    // The record comes from outside: its bytes must not act as cell markup.
    my_record record(parsed.kind);
    record.Reserve(parsed.fields().size());
    for (const my_field& f : parsed.fields()) record.AddField(f.key, NeutraliseMarkup(f.value), f.readonly);
    for (const my_error& e : parsed.errors()) record.AddError(NeutraliseMarkup(e.message), e.keys);
    const char kind = RecordKindLetter(record);
    if (formatter) return formatter(record, kind);
    return MarcFieldLines(record);
}

std::vector<std::string> MarcFieldLines(const my_record& record) {
    std::vector<std::string> lines;
    lines.reserve(record.fields().size() + record.errors().size());
    for (const my_field& f : record.fields()) {
        std::string line = f.key + "=" + f.value;
        for (char& c : line)
            if (c == '\r' || c == '\n') c = ' ';
        lines.push_back(std::move(line));
    }
    for (const my_error& e : record.errors()) lines.push_back(e.message);
    return lines;
}

std::vector<std::string_view> SplitMarcFile(std::string_view bytes) {
    std::vector<std::string_view> records;
    std::size_t p = 0;
    while (p < bytes.size()) {
        // Line breaks, padding and stray terminators between records.
        const char c = bytes[p];
        if (c == '\n' || c == '\r' || c == ' ' || c == '\0' || c == kRecordEnd) {
            ++p;
            continue;
        }
        const long length = p + 5 <= bytes.size() ? Digits(bytes.substr(p, 5)) : -1;
        if (length >= 24 && p + static_cast<std::size_t>(length) <= bytes.size() &&
            bytes[p + static_cast<std::size_t>(length) - 1] == kRecordEnd) {
            records.push_back(bytes.substr(p, static_cast<std::size_t>(length)));
            p += static_cast<std::size_t>(length);
            continue;
        }
        const std::size_t end = bytes.find(kRecordEnd, p);
        const std::size_t stop = end == std::string_view::npos ? bytes.size() : end + 1;
        records.push_back(bytes.substr(p, stop - p));
        p = stop;
    }
    return records;
}

}  // namespace velt
