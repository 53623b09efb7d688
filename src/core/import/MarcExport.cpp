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
bool ReadKey(const std::string& key, std::string& tag, char& part, int& occurrence) {
    if (key.size() < 12 || !Alnum(key[0]) || !Alnum(key[1]) || !Alnum(key[2])) return false;
    if (key[3] < 'A' || key[3] > 'Z' || key.compare(4, 5, ".1.1.") != 0 || key.compare(key.size() - 2, 2, ".1") != 0)
        return false;
    const std::string digits = key.substr(9, key.size() - 11);
    if (digits.empty() || digits.size() > 4 || digits.find_first_not_of("0123456789") != std::string::npos) return false;
    occurrence = std::stoi(digits);
    if (occurrence < 1) return false;
    tag = key.substr(0, 3);
    part = key[3];
    return true;
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
        char ind1 = ' ', ind2 = ' ';
        std::string tag;  // the 1XX field's own tag ("R")
        std::string data;
        std::vector<MarcSubfield> more;
        bool hasData = false;
    };
    std::map<std::pair<std::string, int>, Parts> fields;
    MarcData out;
    for (const my_field& f : record.fields()) {
        if (f.key == "L.1") {
            out.leader = f.value;
            continue;
        }
        std::string tag;
        char part = 0;
        int n = 0;
        if (!ReadKey(f.key, tag, part, n) || f.value.empty()) continue;
        Parts& p = fields[{tag, n}];
        switch (part) {
            case 'A': p.ind1 = f.value[0]; break;
            case 'B': p.ind2 = f.value[0]; break;
            case 'R':
                if (f.value.size() == 3 && Alnum(f.value[0]) && Alnum(f.value[1]) && Alnum(f.value[2])) p.tag = f.value;
                break;
            case 'Z':
                p.data = f.value;
                p.hasData = true;
                break;
            default: p.more.push_back({static_cast<char>(part - 'A' + 'a'), f.value});
        }
    }
    if (out.leader.size() != 24) out.leader = DefaultLeader(record.kind.empty() ? 'U' : record.kind[0]);
    std::vector<MarcField> list;
    for (auto& [where, p] : fields) {
        MarcField field;
        field.tag = p.tag.empty() ? where.first : p.tag;
        field.ind1 = p.ind1;
        field.ind2 = p.ind2;
        if (field.IsControl()) {
            field.data = p.data;
        } else {
            field.subfields = Subfields(p.data);
            for (MarcSubfield& s : p.more) field.subfields.push_back(std::move(s));
            if (field.subfields.empty()) continue;
        }
        if (field.IsControl() && field.data.empty()) continue;
        list.push_back(std::move(field));
    }
    const bool has001 = std::any_of(list.begin(), list.end(), [](const MarcField& f) { return f.tag == "001"; });
    if (!has001 && !identifier.empty()) list.push_back({"001", ' ', ' ', identifier, {}});
    // The tags' order; a 1XX field's own tag keeps it among the 1XX.
    std::stable_sort(list.begin(), list.end(), [](const MarcField& a, const MarcField& b) { return a.tag < b.tag; });
    out.fields = std::move(list);
    return out;
}

MarcFileWriter::MarcFileWriter(MarcFileFormat format) : mFormat(format) {
    if (mFormat == MarcFileFormat::MarcXml) mBytes = MarcXmlCollectionStart();
}

bool MarcFileWriter::Add(const MarcData& record) {
    if (mFormat == MarcFileFormat::MarcXml) {
        MarcData utf = ConvertMarcData(record, WinUtf());
        if (utf.leader.size() >= 10) utf.leader[9] = 'a';
        mBytes += MarcXmlRecord(utf, false);
        ++mCount;
        return true;
    }
    const bool utf8 = mFormat == MarcFileFormat::Marc21;
    const auto octets = utf8 ? WriteIso2709(ConvertMarcData(record, WinUtf()), 'a')
                             : WriteIso2709(ConvertMarcData(record, WinAla()), ' ');
    if (!octets) {
        mError = "Rekord MARC jest zbyt długi"_cp;
        return false;
    }
    mBytes += *octets;
    ++mCount;
    return true;
}

std::string MarcFileWriter::Bytes() const {
    return mFormat == MarcFileFormat::MarcXml ? mBytes + MarcXmlCollectionEnd() : mBytes;
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
