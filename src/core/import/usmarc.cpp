#include "import/usmarc.h"

#include "text/CpLiteral.h"
#include "text/ala.h"
#include "text/utf.h"

#include <cstdio>
#include <unordered_map>

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
    char buf[16];
    std::snprintf(buf, sizeof buf, "%05ld", n);
    return buf;
}

bool TagIsSound(std::string_view tag) {
    for (char c : tag)
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) return false;
    return true;
}

std::string ReplaceAll(std::string_view s, std::string_view what, std::string_view with) {
    std::string out;
    out.reserve(s.size() + 8);
    std::size_t i = 0;
    for (;;) {
        const std::size_t at = s.find(what, i);
        if (at == std::string_view::npos) break;
        out.append(s.substr(i, at - i));
        out.append(with);
        i = at + what.size();
    }
    out.append(s.substr(i));
    return out;
}

// Subfield delimiters as " ^": a space and delimiter become " ^"; when some
// delimiter had no space before it, every delimiter becomes " ^" instead.
std::string RewriteDelimiters(std::string_view s) {
    std::string r = ReplaceAll(s, std::string_view(" \x1F", 2), " ^");
    if (r.find(kDelimiter) == std::string::npos) return r;
    return ReplaceAll(s, std::string_view("\x1F", 1), " ^");
}

// The fields being made, in order, with removal (a later 1XX replaces the
// indicators of an earlier one).
class FieldList {
public:
    void Set(const std::string& key, std::string value) {
        const auto it = mIndex.find(key);
        if (it != mIndex.end() && mFields[it->second].alive) {
            mFields[it->second].value = std::move(value);
            return;
        }
        mIndex[key] = mFields.size();
        mFields.push_back({key, std::move(value), true});
    }
    void Remove(const std::string& key) {
        const auto it = mIndex.find(key);
        if (it == mIndex.end()) return;
        mFields[it->second].alive = false;
        mIndex.erase(it);
    }
    void MoveInto(my_record& record) {
        for (auto& f : mFields)
            if (f.alive) record.AddField(std::move(f.key), std::move(f.value), 0);
    }

private:
    struct Entry {
        std::string key, value;
        bool alive;
    };
    std::vector<Entry> mFields;
    std::unordered_map<std::string, std::size_t> mIndex;
};

std::string Broken(const std::string& reason) { return "Błędna struktura rekordu MARC: "_cp + reason; }

struct DirectoryEntry {
    std::string tag;
    std::size_t start;   // offset of the field's first character in the record
    std::size_t length;  // with its terminator
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
    FieldList out;
    std::string leader = Pad5(length);
    leader.append(r.substr(5, 7));
    leader += base < 0 ? std::string(r.substr(12, 5)) : Pad5(base);
    leader.append(r.substr(17, 7));
    out.Set("L.1", conv.Convert(leader));

    auto finish = [&](const std::string& error) {
        out.MoveInto(record);
        if (!error.empty()) record.AddError(error, "*");
        record.kind = std::string(1, RecordKindLetter(record));
        return record;
    };

    if (base < 0) return finish(Broken("adres danych nie jest liczbą"_cp));
    if (base < 25 || static_cast<std::size_t>(base) > r.size())
        return finish(Broken("adres danych poza rekordem"_cp));
    const long entries = (base - 25) / 12;
    if (entries > kMarcMaxFields) return finish("Za dużo pól - błąd struktury pliku!"_cp);
    if (r[static_cast<std::size_t>(base) - 1] != kFieldEnd)
        return finish(Broken("katalog nie kończy się znakiem końca pola"_cp));

    std::vector<DirectoryEntry> directory;
    directory.reserve(static_cast<std::size_t>(entries));
    for (long i = 0; i < entries; ++i) {
        const std::string_view e = r.substr(24 + static_cast<std::size_t>(i) * 12, 12);
        const long len = Digits(e.substr(3, 4)), start = Digits(e.substr(7, 5));
        const std::string tag(e.substr(0, 3));
        if (len < 0 || start < 0 || !TagIsSound(tag))
            return finish(Broken("błędny wpis katalogu nr "_cp + std::to_string(i + 1)));
        const std::size_t from = static_cast<std::size_t>(base) + static_cast<std::size_t>(start);
        if (len < 1 || from + static_cast<std::size_t>(len) > r.size())
            return finish(Broken("pole "_cp + tag + " poza rekordem"_cp));
        if (r[from + static_cast<std::size_t>(len) - 1] != kFieldEnd)
            return finish(Broken("pole "_cp + tag + " bez znaku końca pola"_cp));
        directory.push_back({tag, from, static_cast<std::size_t>(len)});
    }

    std::unordered_map<std::string, int> highest;  // occurrences stored per tag
    std::string warning;
    for (const DirectoryEntry& d : directory) {
        // The field with the separator before it, without its own terminator.
        std::string f = conv.Convert(r.substr(d.start - 1, d.length));
        if (f.size() <= 2) continue;
        std::string tag = d.tag;
        int n;
        if (tag < "100" || tag >= "200") {
            n = highest[tag] + 1;
        } else {
            n = 1;
            if (!options.format) {
                out.Set("100R.1.1.1.1", tag);
                tag = "100";
                // The indicators are this field's alone.
                out.Remove("100A.1.1.1.1");
                out.Remove("100B.1.1.1.1");
            }
        }
        if (n > kMarcMaxOccurrences) continue;
        if (n == kMarcMaxOccurrences && warning.empty()) warning = "Za duża liczba wystąpień pola "_cp + tag;
        const std::string occ = ".1.1." + std::to_string(n) + ".1";
        bool stored = false;
        if (tag.compare(0, 2, "00") != 0) {
            if (f[1] != ' ') {
                out.Set(tag + "A" + occ, std::string(1, f[1]));
                stored = true;
            }
            if (f[2] != ' ') {
                out.Set(tag + "B" + occ, std::string(1, f[2]));
                stored = true;
            }
            if (f.size() > 3) {
                std::string data;
                if (f[3] != kDelimiter) {
                    data = RewriteDelimiters(std::string_view(f).substr(3));
                    data.erase(0, data.find_first_not_of(' ') == std::string::npos ? data.size()
                                                                                   : data.find_first_not_of(' '));
                } else {
                    data = "^" + RewriteDelimiters(std::string_view(f).substr(4));
                }
                out.Set(tag + "Z" + occ, std::move(data));
                stored = true;
            }
        } else {
            if (f.size() >= 4 && f[1] == ' ' && f[2] == ' ' && f[3] == kDelimiter) f.erase(1, 2);
            std::string kept;
            kept.reserve(f.size());
            for (std::size_t i = 0; i < f.size(); ++i) {
                if (f[i] == kDelimiter) {
                    ++i;  // the subfield code goes with it
                    continue;
                }
                kept.push_back(f[i]);
            }
            if (kept.size() > 1) {
                out.Set(tag + "Z" + occ, kept.substr(1));
                stored = true;
            }
        }
        if (stored) highest[tag] = std::max(highest[tag], n);
    }
    return finish(warning);
}

char RecordKindLetter(const my_record& record) {
    const std::string& leader = record.GetValue("L.1");
    if (leader.size() < 8) return 'U';
    if (leader[6] == 'z') return leader[7] == 'u' || leader[7] == 'x' ? 'C' : 'A';
    return 'U';
}

std::vector<std::string> MarcDisplayLines(std::string_view octets, const MarcOptions& options,
                                          const MarcFormatter& formatter) {
    const my_record record = ParseMarc(octets, options);
    const char kind = RecordKindLetter(record);
    if (formatter) return formatter(record, kind);
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
