#include "catalogue/velt_order.h"
#include "net/IndexRequests.h"

#include "text/Trim.h"

namespace velt {

namespace {

// Characters from..to (1-based, inclusive) of s, or what there is of them.
std::string Chars(const std::string& s, std::size_t from, std::size_t to) {
    if (from < 1 || from > s.size() || to < from) return {};
    return s.substr(from - 1, to - from + 1);
}

}  // namespace

velt_order::velt_order(TVeltClient* session, std::string prefix, std::int32_t parameter, std::uint8_t kind,
                       std::string name, std::string authorityLink)
    : Name(std::move(name)),
      Session(session),
      Kind(kind),
      Parameter(parameter),
      Prefix(std::move(prefix)),
      AuthorityLink(std::move(authorityLink)) {}

std::string velt_order::CurrentKey() const { return Current ? Current->Item(1) : std::string(); }

RecordPtr velt_order::From(const std::string& prefix, std::int32_t format, std::int32_t parameter,
                           const std::string& key) {
    return IndexFrom(*Session, Kind, format, parameter, prefix, key);
}

RecordPtr velt_order::FindRequest(std::uint8_t kind, std::int32_t format, std::int32_t parameter,
                                  const std::string& key) {
    return IndexFind(*Session, kind, format, parameter, key);
}

bool velt_order::Find(const std::string& key) {
    if (key.empty()) return false;
    if (Current && CurrentKey() == key && Format == CurrentFormat) return true;
    CurrentFormat = Format;
    RecordPtr r = FindRequest(Kind, Format, Parameter, key);
    if (!r) return false;
    Current = std::move(r);
    return true;
}

void velt_order::First() {
    CurrentFormat = Format;
    Current.reset();
    Current = From(Prefix, Format, Parameter);
}

void velt_order::Seek(const std::string& given) {
    // The key may be a text of the entry that is let go here.
    const std::string key = given;
    CurrentFormat = Format;
    Current.reset();
    Current = From(Prefix, Format, Parameter, key);
}

void velt_order::Last() {
    CurrentFormat = Format;
    Current.reset();
    Current = IndexLast(*Session, Kind, Format, Parameter, Prefix);
}

void velt_order::Next() {
    if (!Current) return;
    CurrentFormat = Format;
    const std::string key = CurrentKey();
    Current = IndexNext(*Session, Kind, Format, Parameter, Prefix, key);
}

void velt_order::Prior() {
    if (!Current) return;
    CurrentFormat = Format;
    const std::string key = CurrentKey();
    Current = IndexPrior(*Session, Kind, Format, Parameter, Prefix, key);
}

void velt_order::Locate(const std::string& typed) {
    CurrentFormat = Format;
    Current.reset();
    const std::string t(TrimSpaces(typed));
    const std::uint8_t kind = Kind & 0x7F;
    switch (kind) {
    case 1: case 2: case 3: case 5: case 6: case 7: case 13: {
        RecordPtr e = From(typed, 0, 1);
        if (e) Current = FindRequest(Kind, Format, Parameter, e->Item(1));
        break;
    }
    case 4: {
        RecordPtr e = From(typed, Format, 1);
        // The walk stops at the first entry of the cursor's own prefix; an
        // index that never reaches it ends when the server has no more.
        while (e && e->Item(3) != Prefix) e = IndexNext(*Session, Kind, Format, 1, typed, e->Item(1));
        Current = std::move(e);
        break;
    }
    case 21:
        Current = From(typed + "X" + Prefix, Format, 4);
        break;
    case 40:
        if (!t.empty() && t[0] == 'd') {
            std::string p = Chars(t, 2, 5);
            for (char& c : p)
                if (c == ' ') c = '0';
            while (p.size() < 4) p.insert(p.begin(), '0');
            Current = From(p, Format, 2);
        }
        break;
    case 41:
        if (!t.empty() && t[0] == 'w') {
            RecordPtr e = FindRequest(Kind, Format, Parameter, Chars(t, 2, 11));
            if (e && e->Item(3).substr(0, 1) == Prefix) Current = std::move(e);
        }
        break;
    case 42:
        if (!t.empty() && t[0] == 'w' && Parameter == 5) {
            RecordPtr e = FindRequest(41, 0, 1, Chars(t, 2, 11));
            if (e) {
                const std::string& x = e->Item(3);
                Current = From(Prefix + Chars(x, 1, 1) + Chars(x, 6, 9) + Chars(x, 2, 5), Format, Parameter);
            }
        }
        break;
    case 50:
        if (!t.empty() && t[0] == 'c') {
            auto unzero = [](std::string s) {
                for (char& c : s) {
                    if (c != '0') break;
                    c = ' ';
                }
                return s;
            };
            Current = From(unzero(Chars(t, 2, 5)) + unzero(Chars(t, 6, 10)), Format, 2);
        }
        break;
    case 51:
        if (!t.empty() && t[0] == 'z') Current = FindRequest(Kind, Format, Parameter, t.substr(1));
        break;
    case 52:
        if (!t.empty() && (t[0] == 'r' || t[0] == 'p')) Current = From(t.substr(1), Format, 1);
        break;
    case 80: {
        RecordPtr e = From(typed, 0, 1);
        if (e && e->Item(4).substr(0, 1) == Prefix)
            Current = FindRequest(Kind, Format, Parameter, e->Item(1));
        break;
    }
    case 99:
        Current = From(typed, Format, Parameter);
        break;
    default:
        break;
    }
}

}  // namespace velt
