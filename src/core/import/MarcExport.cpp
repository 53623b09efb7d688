#include "import/MarcExport.h"

#include "browse/CollectionCommands.h"
#include "browse/CollectionFile.h"
#include "catalogue/velt_files.h"
#include "files/AtomicFile.h"
#include "files/WorkFile.h"
#include "import/RtkRecords.h"
#include "text/CpLiteral.h"
#include "text/ala.h"
#include "text/utf.h"

#include <algorithm>
#include <map>
#include <tuple>

namespace velt {

namespace {

bool Alnum(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// A key of a field's part: TAG part ".1.1." n ".1"; false for any other key.
bool ReadKey(std::string_view key, std::string_view& tag, char& part, int& occurrence) {
    if (key.size() < 12 || key.size() > 15 || !Alnum(key[0]) || !Alnum(key[1]) || !Alnum(key[2])) return false;
    if (key[3] < 'A' || key[3] > 'Z' || key.substr(4, 5) != ".1.1." || key.substr(key.size() - 2) != ".1") return false;
    occurrence = 0;
    for (const char c : key.substr(9, key.size() - 11)) {
        if (c < '0' || c > '9') return false;
        occurrence = occurrence * 10 + (c - '0');
    }
    if (occurrence < 1) return false;
    tag = key.substr(0, 3);
    part = key[3];
    return true;
}

// The texts through the converter, in place; ASCII needs none.
void Convert(MarcData& record, const converter& convert) {
    auto one = [&convert](std::string& text) {
        if (std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80 && c != 0x1B; }))
            return;
        text = convert.Convert(text);
    };
    for (MarcField& f : record.fields) {
        one(f.data);
        for (MarcSubfield& s : f.subfields) one(s.data);
    }
}

// The subfields of a data text: "^" and its code open a subfield; the one
// blank the catalogue puts before a mark is not the subfield's.
std::vector<MarcSubfield> Subfields(const std::string& data) {
    std::vector<MarcSubfield> out;
    if (data.empty()) return out;
    if (data[0] != '^') {
        out.push_back({'a', {}});
    }
    for (std::size_t i = 0; i < data.size();) {
        if (data[i] == '^' && i + 1 < data.size()) {
            if (!out.empty() && !out.back().data.empty() && out.back().data.back() == ' ') out.back().data.pop_back();
            out.push_back({data[i + 1], {}});
            i += 2;
            continue;
        }
        if (out.empty()) out.push_back({'a', {}});
        out.back().data.push_back(data[i]);
        ++i;
    }
    return out;
}

std::string DefaultLeader(char kind) {
    // Authority records ("A", "C") and the rest (bibliographic, a book).
    return kind == 'A' || kind == 'C' ? "00000nz  a2200000n  4500" : "00000nam a2200000 i 4500";
}

}  // namespace

std::optional<MarcFileFormat> MarcFileFormatOf(const std::string& name) {
    if (name == "marc") return MarcFileFormat::Marc21;
    if (name == "marc8") return MarcFileFormat::Marc8;
    if (name == "marcxml") return MarcFileFormat::MarcXml;
    return std::nullopt;
}

MarcData MarcDataOfRecord(const my_record& record, const std::string& identifier) {
    struct Parts {
        std::string tag;      // the key's tag
        int occurrence = 0;
        std::string ownTag;   // the 1XX field's own tag ("R")
        char ind1 = ' ', ind2 = ' ';
        const std::string* data = nullptr;
        std::vector<MarcSubfield> more;
    };
    // A record holds a few dozen fields: a list searched from its end (the
    // parts of a field come together) is quicker than a map.
    std::vector<Parts> fields;
    fields.reserve(record.fields().size());
    MarcData out;
    for (const my_field& f : record.fields()) {
        if (f.key == "L.1") {
            out.leader = f.value;
            continue;
        }
        std::string_view tag;
        char part = 0;
        int n = 0;
        if (f.value.empty() || !ReadKey(f.key, tag, part, n)) continue;
        auto it = std::find_if(fields.rbegin(), fields.rend(),
                               [&](const Parts& p) { return p.occurrence == n && p.tag == tag; });
        if (it == fields.rend()) {
            fields.emplace_back();
            fields.back().tag = std::string(tag);
            fields.back().occurrence = n;
            it = fields.rbegin();
        }
        Parts& p = *it;
        switch (part) {
            case 'A': p.ind1 = f.value[0]; break;
            case 'B': p.ind2 = f.value[0]; break;
            case 'R':
                if (f.value.size() == 3 && Alnum(f.value[0]) && Alnum(f.value[1]) && Alnum(f.value[2])) p.ownTag = f.value;
                break;
            case 'Z': p.data = &f.value; break;
            default: p.more.push_back({static_cast<char>(part - 'A' + 'a'), f.value});
        }
    }
    if (out.leader.size() != 24) out.leader = DefaultLeader(record.kind.empty() ? 'U' : record.kind[0]);
    std::stable_sort(fields.begin(), fields.end(), [](const Parts& a, const Parts& b) {
        return a.tag != b.tag ? a.tag < b.tag : a.occurrence < b.occurrence;
    });
    out.fields.reserve(fields.size() + 1);
    for (Parts& p : fields) {
        MarcField field;
        field.tag = p.ownTag.empty() ? std::move(p.tag) : std::move(p.ownTag);
        field.ind1 = p.ind1;
        field.ind2 = p.ind2;
        if (field.IsControl()) {
            if (!p.data) continue;
            field.data = *p.data;
        } else {
            if (p.data) field.subfields = Subfields(*p.data);
            for (MarcSubfield& s : p.more) field.subfields.push_back(std::move(s));
            if (field.subfields.empty()) continue;
        }
        out.fields.push_back(std::move(field));
    }
    const bool has001 = std::any_of(out.fields.begin(), out.fields.end(), [](const MarcField& f) { return f.tag == "001"; });
    if (!has001 && !identifier.empty()) out.fields.push_back({"001", ' ', ' ', identifier, {}});
    // The tags' order; a 1XX field's own tag keeps it among the 1XX.
    std::stable_sort(out.fields.begin(), out.fields.end(), [](const MarcField& a, const MarcField& b) { return a.tag < b.tag; });
    return out;
}

MarcFileWriter::MarcFileWriter(MarcFileFormat format) : mFormat(format) {
    if (mFormat == MarcFileFormat::MarcXml) mBytes = MarcXmlCollectionStart();
}

bool MarcFileWriter::Add(MarcData record) {
    if (mFormat == MarcFileFormat::MarcXml) {
        Convert(record, WinUtf());
        if (record.leader.size() >= 10) record.leader[9] = 'a';
        mBytes += MarcXmlRecord(record, false);
        ++mCount;
        return true;
    }
    const bool utf8 = mFormat == MarcFileFormat::Marc21;
    Convert(record, utf8 ? static_cast<const converter&>(WinUtf()) : WinAla());
    const auto octets = WriteIso2709(record, utf8 ? 'a' : ' ');
    if (!octets) {
        mError = "Rekord MARC jest zbyt długi"_cp;
        return false;
    }
    mBytes += *octets;
    ++mCount;
    return true;
}

const std::string& MarcFileWriter::Bytes() {
    if (mFormat == MarcFileFormat::MarcXml && !mClosed) mBytes += MarcXmlCollectionEnd();
    mClosed = true;
    return mBytes;
}

MarcExportResult ExportRecords(velt_files& files, const std::vector<std::string>& shown, MarcFileFormat format,
                               const std::string& path, const std::function<bool(std::size_t, std::size_t)>& progress) {
    MarcExportResult result;
    MarcFileWriter writer(format);
    const bool velt1 = files.DatabaseKind == kVelt1;
    const std::int32_t exportFormat = files.FormatByType("export");
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (progress && !progress(i, shown.size())) {
            result.error = "Przerwano eksport"_cp;
            return result;
        }
        const std::string stored = files.StoredIdentifier(shown[i]);
        const RecordPtr e = files.IndexFrom(velt1 ? 1 : 21, 1, exportFormat, stored);
        if (files.Broken()) {
            result.error = files.ErrorText.empty() ? "Przerwane połączenie"_cp : files.ErrorText;
            return result;
        }
        std::string error;
        auto records = e ? ReadExportText(e->Item(7), velt1, error) : std::nullopt;
        if (!records || records->empty()) {
            result.skipped.push_back(shown[i] + ": " + (e ? error : "Brak rekordu"_cp));
            continue;
        }
        ExportRecord& r = records->front();
        if (!writer.Add(MarcDataOfRecord(r.record, shown[i]))) result.skipped.push_back(shown[i] + ": " + writer.Error());
    }
    if (progress) progress(shown.size(), shown.size());
    if (writer.Count() == 0) {
        result.error = "Brak rekordów do eksportu"_cp;
        return result;
    }
    if (std::string error = WriteFileAtomically(path, writer.Bytes()); !error.empty()) {
        result.error = error;
        return result;
    }
    result.written = writer.Count();
    return result;
}

std::vector<std::string> RemoteCollectionIdentifiers(velt_files& files, const std::string& workingDirectory,
                                                     std::string& error) {
    if (files.RemoteCollection == 0) {
        error = "Kolekcja zdalna jest pusta"_cp;
        return {};
    }
    const WorkFile work(workingDirectory, "EXP.");
    if (!work.Made()) {
        error = "Błąd otwarcia pliku "_cp + workingDirectory + "EXP.TMP";
        return {};
    }
    bool wrote = false;
    error = SaveRemoteCollection(files, work.Path(), wrote);
    if (!error.empty()) return {};
    if (!wrote) {
        error = files.Broken() ? files.ErrorText : "Wystąpił błąd systemowy!"_cp;
        return {};
    }
    const CollectionFileLines lines = ReadCollectionFile(work.Path());
    if (!lines.opened) {
        error = "Błąd otwarcia pliku "_cp + work.Path();
        return {};
    }
    return lines.lines;
}

}  // namespace velt
