#include "import/MarcData.h"

#include "text/CpLiteral.h"

#include <cstdio>

namespace velt {

namespace {

constexpr char kFieldEnd = 0x1E;
constexpr char kRecordEnd = 0x1D;
constexpr char kDelimiter = 0x1F;

bool TagIsSound(std::string_view tag) {
    if (tag.size() != 3) return false;
    for (const char c : tag)
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) return false;
    return true;
}

std::string Digits(std::size_t n, int width) {
    std::string s(static_cast<std::size_t>(width), '0');
    for (int i = width - 1; i >= 0 && n > 0; --i, n /= 10) s[static_cast<std::size_t>(i)] = static_cast<char>('0' + n % 10);
    return s;
}

// The number of the digits; -1 when one is not a digit.
long Number(std::string_view text) {
    if (text.empty()) return -1;
    long n = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return -1;
        n = n * 10 + (c - '0');
    }
    return n;
}

void AppendXmlText(std::string& out, std::string_view text) {
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default:
                // XML 1.0 carries no control character but tab and line ends.
                if (u < 0x20 && c != '\t' && c != '\n' && c != '\r') break;
                out.push_back(c);
        }
    }
}

}  // namespace

std::optional<std::string> WriteIso2709(const MarcData& record, char charset) {
    std::string directory, data;
    for (const MarcField& f : record.fields) {
        if (!TagIsSound(f.tag)) return std::nullopt;
        const std::size_t start = data.size();
        if (f.IsControl()) {
            data += f.data;
        } else {
            data.push_back(f.ind1);
            data.push_back(f.ind2);
            for (const MarcSubfield& s : f.subfields) {
                data.push_back(kDelimiter);
                data.push_back(s.code);
                data += s.data;
            }
        }
        data.push_back(kFieldEnd);
        const std::size_t length = data.size() - start;
        if (length > 9999 || start > 99999) return std::nullopt;
        directory += f.tag + Digits(length, 4) + Digits(start, 5);
    }
    directory.push_back(kFieldEnd);
    const std::size_t base = 24 + directory.size();
    const std::size_t total = base + data.size() + 1;
    if (total > kIso2709MaxLength) return std::nullopt;
    std::string leader = record.leader;
    leader.resize(24, ' ');
    leader.replace(0, 5, Digits(total, 5));
    leader[9] = charset;
    leader[10] = '2';
    leader[11] = '2';
    leader.replace(12, 5, Digits(base, 5));
    leader.replace(20, 4, "4500");
    std::string out;
    out.reserve(total);
    out += leader;
    out += directory;
    out += data;
    out.push_back(kRecordEnd);
    return out;
}

std::optional<MarcData> ReadIso2709(std::string_view octets, std::string& error) {
    auto broken = [&error](const std::string& why) {
        error = "Błędna struktura rekordu MARC: "_cp + why;
        return std::nullopt;
    };
    if (octets.size() < 25) return broken("za krótki"_cp);
    const long length = Number(octets.substr(0, 5));
    const long base = Number(octets.substr(12, 5));
    if (length < 25 || static_cast<std::size_t>(length) > octets.size()) return broken("długość rekordu"_cp);
    octets = octets.substr(0, static_cast<std::size_t>(length));
    if (base < 25 || base > length) return broken("adres danych"_cp);
    MarcData record;
    record.leader = std::string(octets.substr(0, 24));
    const std::string_view data = octets.substr(static_cast<std::size_t>(base));
    for (std::size_t at = 24; at < static_cast<std::size_t>(base) && octets[at] != kFieldEnd; at += 12) {
        if (at + 12 > static_cast<std::size_t>(base)) return broken("katalog pól"_cp);
        const std::string_view entry = octets.substr(at, 12);
        const long size = Number(entry.substr(3, 4)), start = Number(entry.substr(7, 5));
        if (size < 1 || start < 0 || static_cast<std::size_t>(start) + static_cast<std::size_t>(size) > data.size())
            return broken("pole "_cp + std::string(entry.substr(0, 3)));
        std::string_view body = data.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(size));
        if (!body.empty() && body.back() == kFieldEnd) body.remove_suffix(1);
        MarcField f;
        f.tag = std::string(entry.substr(0, 3));
        if (f.IsControl()) {
            f.data = std::string(body);
        } else {
            if (body.size() >= 2 && body[0] != kDelimiter) {
                f.ind1 = body[0];
                f.ind2 = body[1];
                body.remove_prefix(2);
            }
            for (std::size_t d = body.find(kDelimiter); d != std::string_view::npos;) {
                const std::size_t next = body.find(kDelimiter, d + 1);
                const std::string_view part = body.substr(d + 1, next == std::string_view::npos ? std::string_view::npos : next - d - 1);
                if (!part.empty()) f.subfields.push_back({part[0], std::string(part.substr(1))});
                d = next;
            }
        }
        record.fields.push_back(std::move(f));
    }
    return record;
}

std::string MarcXmlRecord(const MarcData& record, bool withNamespace) {
    std::string out = withNamespace ? "<record xmlns=\"http://www.loc.gov/MARC21/slim\">\n" : "<record>\n";
    out += "  <leader>";
    std::string leader = record.leader;
    leader.resize(24, ' ');
    AppendXmlText(out, leader);
    out += "</leader>\n";
    for (const MarcField& f : record.fields) {
        if (f.IsControl()) {
            out += "  <controlfield tag=\"";
            AppendXmlText(out, f.tag);
            out += "\">";
            AppendXmlText(out, f.data);
            out += "</controlfield>\n";
            continue;
        }
        out += "  <datafield tag=\"";
        AppendXmlText(out, f.tag);
        out += "\" ind1=\"";
        AppendXmlText(out, std::string_view(&f.ind1, 1));
        out += "\" ind2=\"";
        AppendXmlText(out, std::string_view(&f.ind2, 1));
        out += "\">\n";
        for (const MarcSubfield& s : f.subfields) {
            out += "    <subfield code=\"";
            AppendXmlText(out, std::string_view(&s.code, 1));
            out += "\">";
            AppendXmlText(out, s.data);
            out += "</subfield>\n";
        }
        out += "  </datafield>\n";
    }
    out += "</record>\n";
    return out;
}

std::string MarcXmlCollectionStart() {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<collection xmlns=\"http://www.loc.gov/MARC21/slim\">\n";
}

std::string MarcXmlCollectionEnd() { return "</collection>\n"; }

MarcData ConvertMarcData(const MarcData& record, const converter& convert) {
    MarcData out = record;
    for (MarcField& f : out.fields) {
        f.data = convert.Convert(f.data);
        for (MarcSubfield& s : f.subfields) s.data = convert.Convert(s.data);
    }
    return out;
}

}  // namespace velt
