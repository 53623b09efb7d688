// File transfers: the collection list of a remote collection (100/1 with
// report 0), the cover pictures (120/1) and record attachments (220 L, F, G,
// A, S, D). Files travel in chunks: the bytes still to come, the chunk's size
// and the chunk; the last chunk is the one whose size equals what remained;
// -1 in place of the remaining count aborts the transfer.

#include "CoverImages.h"
#include "UploadFile.h"
#include "Descriptor.h"
#include "Fold.h"
#include "ParameterForms.h"
#include "RecordReports.h"
#include "RecordStore.h"
#include "Session.h"
#include "TableReports.h"
#include "text/CpLiteral.h"

#include <algorithm>
#include <climits>

namespace velt::server {

namespace {

constexpr std::int32_t kMaxChunk = 50000;  // what the client's buffer holds

std::string Join(const std::vector<std::string>& parts) {
    std::string out;
    for (const auto& p : parts) out += (out.empty() ? "" : "|") + p;
    return out;
}

// Reads an upload chunk by chunk into keep (when given; otherwise the bytes
// are read off the wire and dropped), so that the server never holds more
// than one chunk of it. What a client promised must add up, or the
// connection ends before anything is stored. The size of the upload.
std::int64_t ReadUpload(Session& s, UploadFile* keep) {
    unsigned char chunk[kMaxChunk];
    std::int64_t expected = -1;
    std::int64_t total = 0;
    for (;;) {
        const std::int32_t remaining = s.in.Integer(0, static_cast<std::int32_t>(kMaxUpload), "upload size");
        const std::int32_t count = s.in.Integer(0, kMaxChunk, "chunk size");
        if (expected >= 0 && remaining != expected) throw ProtocolError("upload chunks do not add up");
        if (count > remaining) throw ProtocolError("chunk larger than the rest of the upload");
        if (count == 0 && remaining > 0) throw ProtocolError("empty chunk in an upload");
        s.in.Chunk(chunk, static_cast<std::size_t>(count));
        if (keep) keep->Append(chunk, static_cast<std::size_t>(count));
        total += count;
        if (remaining == count) return total;
        expected = remaining - count;
    }
}

bool ValidName(const std::string& name) {
    if (name.empty() || name.size() > 128) return false;
    for (const char c : name)
        if (static_cast<unsigned char>(c) < 32 || c == '|') return false;
    return true;
}

// The extension the client sent (at most 3 characters), in small letters;
// none when it is not letters and digits.
std::optional<std::string> Extension(const std::string& ext) {
    if (ext.size() > 3) return std::nullopt;
    std::string out;
    for (const char c : ext) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) return std::nullopt;
        out.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c);
    }
    return out;
}

std::string WithExtension(const std::string& name, const std::string& ext) {
    if (ext.empty()) return name;
    const std::string tail = "." + ext;
    if (name.size() > tail.size() && Fold(name.substr(name.size() - tail.size())) == Fold(tail)) return name;
    return name + tail;
}

std::string NoRecord(const std::string& id) { return "Nie ma rekordu "_cp + id; }

bool MayChange(const Session& s) { return s.HasRight("modyfikowanie"_cp); }

void Attachments(Session& s, std::uint8_t, char letter) {
    const std::string id = s.in.Text(256);
    const std::uint32_t number = s.ids.Parse(id);
    const bool exists = number && s.db.Exists(number);
    switch (letter) {
        case 'L':
            s.out.Answers({exists ? Join(s.db.AttachmentNames(number)) : std::string()});
            return;
        case 'F':
            s.out.Answers({exists ? Join(AttachmentKinds(s.ids.Letter(number))) : std::string()});
            return;
        case 'G': {
            const std::string name = s.in.Text(256);
            const auto data = exists ? s.db.Attachment(number, name) : std::nullopt;
            if (data) s.out.File(*data);
            else s.out.AbortFile();
            return;
        }
        case 'D': {
            const std::string name = s.in.Text(256);
            bool deleted = false;
            if (MayChange(s) && exists) UnderWriteLock([&] { deleted = s.db.DeleteAttachment(number, name); });
            if (!MayChange(s)) s.out.Answers({"Brak uprawnień do zmiany plików rekordu"_cp});
            else if (!exists) s.out.Answers({NoRecord(id)});
            else if (!deleted) s.out.Answers({"Rekord nie ma pliku "_cp + name});
            else s.out.Answers({""});
            return;
        }
        default: {  // 'A' and 'S': the file follows the request's texts
            const std::string name = letter == 'S' ? s.in.Text(256) : std::string();
            const std::string ext = s.in.Text(256);
            const auto extension = Extension(ext);
            // What can be refused is refused before the upload is kept: its
            // bytes are then only read off the wire.
            std::string refusal;
            if (!MayChange(s)) refusal = "Brak uprawnień do zmiany plików rekordu"_cp;
            else if (!exists) refusal = NoRecord(id);
            else if (!extension) refusal = "Niedozwolone rozszerzenie pliku: "_cp + ext;
            else if (letter == 'S' && !ValidName(name)) refusal = "Niedozwolona nazwa pliku"_cp;
            std::optional<UploadFile> file;
            if (refusal.empty()) file.emplace();
            const std::int64_t size = ReadUpload(s, file ? &*file : nullptr);
            if (refusal.empty() && size == 0) refusal = "Plik jest pusty albo nie dał się odczytać"_cp;
            if (refusal.empty() && !file->Good()) refusal = "Serwer nie może przyjąć pliku"_cp;
            if (!refusal.empty()) {
                s.out.Answers({refusal});
            } else {
                std::string stored = WithExtension(name, *extension);
                if (letter == 'A') {
                    const auto names = s.db.AttachmentNames(number);
                    for (int n = 1;; ++n) {
                        stored = WithExtension("załącznik "_cp + std::to_string(n), *extension);
                        if (std::find(names.begin(), names.end(), stored) == names.end()) break;
                    }
                }
                // Under the write lock, so that a record deleted meanwhile
                // gets no attachment left behind.
                std::string gone;
                UnderWriteLock([&] {
                    if (!s.db.Exists(number)) gone = NoRecord(id);
                    else s.db.PutAttachment(number, stored, *file);
                });
                s.out.Answers({gone});
            }
            return;
        }
    }
}

// The shown identifiers of a collection, one per CR LF line.
std::string CollectionList(Session& s, const std::vector<std::uint32_t>& numbers) {
    std::string text;
    for (const auto n : numbers) text += s.ids.Shown(n) + "\r\n";
    return text;
}

void Report(Session& s, std::uint8_t, char letter) {
    std::int32_t collection = 0;
    std::int32_t report = -1;
    std::string list, parameters;
    switch (letter) {
        case 1:
        case 6:
            collection = s.in.Integer();
            report = s.in.Integer(0, 65535, "report number");
            if (letter == 6) parameters = s.in.Text();
            break;
        case 2:
            report = s.in.Integer(0, 65535, "report number");
            list = s.in.Text();
            break;
        case 7:
            report = s.in.Integer(0, 65535, "report number");
            parameters = s.in.Text();
            list = s.in.Text();
            break;
        default: {  // 3: a report of parameters only
            report = s.in.Integer(0, 65535, "report number");
            parameters = s.in.Text();
            auto text = ParameterReportText(s, report, parameters);
            if (!text && report == kOrderedListReport) text = OrderedListText(s, parameters, nullptr);
            if (text) s.out.File(*text);
            else s.out.AbortFile();
            return;
        }
    }
    // Report 0 of a collection is its list of records; the other reports
    // are made of the collection's or the list's records.
    const auto it = s.collections.find(collection);
    const bool ofCollection = letter == 1 || letter == 6;
    if (letter == 1 && report == 0 && it != s.collections.end()) {
        s.out.File(CollectionList(s, it->second));
    } else if (ofCollection && it != s.collections.end()) {
        if (const auto text = RecordsReportText(s, report, parameters, it->second)) s.out.File(*text);
        else s.out.AbortFile();
    } else if (!ofCollection) {
        const auto numbers = ListedRecords(s, list);
        const auto text = numbers ? RecordsReportText(s, report, parameters, *numbers) : std::nullopt;
        if (text) s.out.File(*text);
        else s.out.AbortFile();
    } else {
        s.out.AbortFile();
    }
}

// Pictures by designation: "okladki/" and a book's shown identifier, ".jpg".
void FileByName(Session& s, std::uint8_t, char) {
    const std::string designation = s.in.Text(4096);
    const std::string folder = "okladki/";
    std::string_view picture;
    if (designation.size() > folder.size() + 4 && designation.compare(0, folder.size(), folder) == 0 &&
        designation.compare(designation.size() - 4, 4, ".jpg") == 0) {
        const std::string id = designation.substr(folder.size(), designation.size() - folder.size() - 4);
        const std::uint32_t number = s.ids.ParseShown(id);
        const auto record = number ? s.db.Record(number) : std::nullopt;
        if (record) picture = CoverPicture(record->cover, true);
    }
    if (picture.empty()) s.out.AbortFile();
    else s.out.File(picture);
}

}  // namespace

void RegisterFileRequests() {
    RegisterRequest(100, Report, std::string("\x01\x06\x02\x07\x03"));
    RegisterRequest(120, FileByName, "\x01");
    RegisterRequest(220, Attachments, "LFGASD");
}

}  // namespace velt::server
