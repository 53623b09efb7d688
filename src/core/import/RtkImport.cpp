// The import from other catalogues without its window.

#include "import/RtkImport.h"

#include "browse/TBlobChange.h"
#include "catalogue/velt_files.h"
#include "files/AtomicFile.h"
#include "net/FileRequests.h"
#include "net/HttpGet.h"
#include "net/SearchRequests.h"
#include "search/QueryHistory.h"
#include "text/CpLiteral.h"
#include "text/Trim.h"
#include "text/PipeList.h"
#include "text/converter.h"
#include "text/dll_converter.h"

#include <cmath>
#include <set>

namespace velt {

namespace {

std::string Trimmed(std::string_view t) { return std::string(TrimSpaces(t)); }

std::string NoSourceRecord(const std::string& key) { return "Brak rekordu źródłowego "_cp + Trimmed(key); }

bool IsPicture(std::string_view file) {
    const auto dot = file.rfind('.');
    if (dot == std::string_view::npos) return false;
    const std::string ext = UpperTable.Convert(file.substr(dot + 1));
    return ext == "JPG" || ext == "JPEG";
}

// The extension a fetched file should have by what it holds: pictures and
// documents the desktop opens by their extension.
std::string ExtensionOf(const std::string& file) {
    std::FILE* f = std::fopen(file.c_str(), "rb");
    if (!f) return {};
    unsigned char head[8] = {};
    const std::size_t n = std::fread(head, 1, sizeof head, f);
    std::fclose(f);
    if (n >= 3 && head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF) return "jpg";
    if (n >= 8 && head[0] == 0x89 && head[1] == 'P' && head[2] == 'N' && head[3] == 'G') return "png";
    if (n >= 4 && std::string_view(reinterpret_cast<const char*>(head), 4) == "%PDF") return "pdf";
    if (n >= 4 && std::string_view(reinterpret_cast<const char*>(head), 4) == "GIF8") return "gif";
    return {};
}

}  // namespace

std::string RtkImport::TextNotConnected() { return "Nie połączony"_cp; }

RtkImport::RtkImport(RtkView& view, RtkHost& host, Prompts& prompts, LongOperations& longOps)
    : mView(view), mHost(host), mPrompts(prompts), mLongOps(longOps) {}

RtkImport::~RtkImport() { Disconnect(); }

void RtkImport::Disconnect() {
    mView.ShowSource(nullptr);
    mChooser.reset();
    mCursor = nullptr;
    if (mSource && mCollection) ReleaseCollection(mSource->Connection(), mCollection);
    mCollection = 0;
    mSource.reset();
    mFormats.clear();
}

void RtkImport::Open() {
    velt_files* local = mHost.Local();
    if (local && local->Ready && local->DatabaseKind == kVelt1) mCodeTables = ReadCodeTables(*local, mSettings.Countries());
    const int chosen = mSettings.ChosenSource();
    if (mCurrent < 0 && chosen >= 0) mCurrent = chosen;
    if (!mSource && mCurrent >= 0 &&
        mPrompts.ask_question("Połączyć z \""_cp + mSettings.FullName(mCurrent) + "\"?") == kYes)
        Connect(mCurrent);
    if (!mSource) mView.ShowCaption(TextNotConnected());
}

void RtkImport::Close() {
    Disconnect();
    mView.ShowMenus({}, {}, false);
    mView.EnableButtons(false, false);
    mView.ShowCaption(TextNotConnected());
}

bool RtkImport::Connect(int source) {
    if (source < 0 || source >= static_cast<int>(mSettings.Sources().size())) return false;
    const RtkSource& s = mSettings.Sources()[static_cast<std::size_t>(source)];
    mSettings.SetCurrentSection(s.section);
    const bool connected = ConnectTo(s);
    mCurrent = source;
    if (connected) mView.ShowCaption(mSettings.FullName(source));
    return connected;
}

bool RtkImport::ConnectTo(const RtkSource& s) {
    Disconnect();
    mView.EnableButtons(false, false);
    mCurrent = -1;
    mPrompts.busy(true);
    auto files = std::make_unique<velt_files>(
        s.host,
        [this](const std::string& text, SessionText kind) {
            if (kind == SessionText::Failure) mPrompts.show_error(text);
        },
        true, s.port);
    mPrompts.busy(false);
    if (!files->Ready) {
        if (!files->ErrorReported()) mPrompts.show_error(files->ErrorText);
        mView.ShowCaption(TextNotConnected());
        mView.ShowMenus({}, {}, false);
        return false;
    }
    mSource = std::move(files);
    std::vector<std::string> indexes, formats;
    for (const auto& index : mSource->Indexes) indexes.push_back(index->Name);
    for (const velt_format& f : mSource->Formats)
        if (f.Type == "prezentacja") {
            formats.push_back(f.Name);
            mFormats.push_back(static_cast<std::int32_t>(f.Id));
        }
    if (!mFormats.empty()) mSource->SetFormat(mFormats.front());
    mView.ShowMenus(indexes, formats, !mSource->Criteria.empty());
    mView.ShowCaption(s.name);
    SelectIndex(0);
    return true;
}

void RtkImport::SelectIndex(int index) {
    if (!mSource || index < 0 || index >= static_cast<int>(mSource->Indexes.size())) return;
    mView.ShowSource(nullptr);
    mCursor = mSource->Indexes[static_cast<std::size_t>(index)].get();
    mChooser = std::make_unique<chooser::velt_serwer>(
        *mSource, *mCursor, [this](int code, const std::string& text, const std::string& key) { CellAction(code, text, key); });
    mView.ShowSource(mChooser.get());
}

void RtkImport::SelectFormat(int index) {
    if (!mSource || index < 0 || index >= static_cast<int>(mFormats.size())) return;
    mSource->SetFormat(mFormats[static_cast<std::size_t>(index)]);
    mView.Redraw();
}

void RtkImport::Seek(const std::string& text) {
    if (!mSource || !mCursor) return;
    mCursor->Seek(text);
    if (mCursor->Current) mView.ShowFrom(mCursor->CurrentKey());
}

void RtkImport::Query() {
    if (!mSource) return;
    int sort = mSettings.Sort();
    const std::string query = mHost.AskCriteria(*mSource, sort);
    mSettings.SetSort(sort);
    if (query.empty()) return;
    SearchOutcome outcome;
    mLongOps.run_with_progress("Trwa wyszukiwanie", [&] {
        const RecordPtr reply = Search(mSource->Connection(), query);
        outcome = InterpretSearchReply(reply.get());
    });
    if (mSource->Broken()) return;
    if (!outcome.error.empty()) {
        mPrompts.show_error(outcome.error);
        return;
    }
    if (outcome.collection == 0) {
        mPrompts.show_error("Zła postać odpowiedzi serwera"_cp);
        return;
    }
    if (!outcome.notice.empty()) mPrompts.show_notice(outcome.notice);
    mPrompts.plain_message(outcome.Text());
    // The source's previous collection is no longer shown: the server frees it.
    if (mCollection && mCollection != outcome.collection) ReleaseCollection(mSource->Connection(), mCollection);
    mCollection = outcome.collection;
    for (std::size_t i = 0; i < mSource->Indexes.size(); ++i)
        if (UpperTable.Convert(mSource->Indexes[i]->Name) == UpperTable.Convert("Kolekcja zdalna")) {
            mSource->Indexes[i]->Parameter = outcome.collection;
            SelectIndex(static_cast<int>(i));
            return;
        }
}

bool RtkImport::CanTake(const std::string& identifier) const {
    velt_files* local = const_cast<RtkHost&>(mHost).Local();
    ImportEditor* editor = const_cast<RtkHost&>(mHost).Editor();
    if (!mSource || !local || !local->Ready || !editor || identifier.empty()) return false;
    if (mSource->FormatByType("export") == 0) return false;
    const bool sourceVelt1 = mSource->DatabaseKind == kVelt1, localVelt1 = local->DatabaseKind == kVelt1;
    if (!sourceVelt1 && !localVelt1) return editor->CanEdit(identifier.substr(0, 1));
    if (sourceVelt1 && localVelt1) return editor->CanEdit("");
    return false;
}

const dll_converter* RtkImport::ConverterFor(const std::string& identifier) const {
    velt_files* local = const_cast<RtkHost&>(mHost).Local();
    const ConverterModules* modules = const_cast<RtkHost&>(mHost).Converters();
    if (!mSource || !local || !local->Ready || !modules || identifier.empty()) return nullptr;
    if (mSource->FormatByType("export") == 0) return nullptr;
    const std::string from = mSource->DatabaseKind == kVelt1 ? std::string() : identifier.substr(0, 1);
    const std::string to = local->DatabaseKind == kVelt1 ? std::string() : local->Parameter("rekordy");
    const dll_converter* module = modules->FindConverterModule(from, to);
    if (!module && from == "S") module = modules->FindConverterModule("", to);
    return module;
}

std::string RtkImport::SelectedIdentifier() {
    if (!mChooser) return {};
    const std::string key = mView.SelectedKey();
    return key.empty() ? std::string() : mChooser->EntryIdentifier(key);
}

void RtkImport::CellAction(int code, const std::string& text, const std::string& key) {
    if (!mSource) return;
    if (code == 33) {
        const std::string id = mSource->StoredIdentifier(text);
        mView.EnableButtons(CanTake(id), ConverterFor(id) != nullptr);
        return;
    }
    if (code != 76) return;
    const std::string id = mChooser ? mChooser->EntryIdentifier(key) : std::string();
    if (text.rfind("powiazania", 0) == 0) {
        std::string structure = Trimmed(text.size() > 10 ? std::string_view(text).substr(10) : std::string_view());
        if (structure.empty()) structure = "struktura";
        mView.ShowFrom(key);
        if (id.empty()) return;
        std::function<void(const std::string&)> take, convert;
        if (CanTake(id)) take = [this](const std::string& shown) { TakeRecord(mSource->StoredIdentifier(shown)); };
        if (ConverterFor(id)) convert = [this](const std::string& shown) { ConvertRecord(mSource->StoredIdentifier(shown)); };
        mHost.ChooseForImport(*mSource, id, structure, take, convert);
    } else if (text.rfind("BLOB", 0) == 0) {
        mView.ShowFrom(key);
        mView.PopUpAttachmentMenu(AttachmentTargets(text.substr(4), id));
    }
}

// --- taking ---

std::vector<std::string> RtkImport::ParentChain(const std::string& key, bool notice) {
    if (notice && mSource->IndexFrom(1, 2, 0, key))
        mPrompts.show_notice("Istnieją rekordy podrzędne, które nie są przenoszone"_cp);
    std::vector<std::string> chain;
    std::set<std::string> seen;
    std::string current = key;
    for (;;) {
        // A parent met twice, or a chain past any real depth: the source is inconsistent.
        if (!seen.insert(Trimmed(current)).second || static_cast<int>(chain.size()) >= kMaxParents) {
            mPrompts.show_error("Wykryto niespójność bazy: rekordy nadrzędne tworzą cykl lub zbyt długi łańcuch"_cp);
            return {};
        }
        const RecordPtr e = mSource->IndexFrom(1, 1, 0, current);
        if (!e) {
            mPrompts.show_error(NoSourceRecord(current));
            return chain;
        }
        chain.push_back(current);
        const std::string parent = Trimmed(e->Item(3));
        if (parent.empty() || parent == "0") return chain;
        current = parent;
    }
}

std::optional<my_record> RtkImport::Velt1Record(const std::string& key) {
    const RecordPtr e = mSource->IndexFrom(1, 1, mSource->FormatByType("export"), key);
    if (!e) {
        mPrompts.show_error(NoSourceRecord(key));
        return std::nullopt;
    }
    std::string error;
    auto records = ReadExportText(e->Item(7), true, error);
    if (!records) {
        mPrompts.show_error(error);
        return std::nullopt;
    }
    return std::move(records->front().record);
}

std::vector<my_record> RtkImport::RecordsFor(const std::string& identifier, bool forConversion) {
    std::vector<my_record> out;
    if (!mSource || identifier.empty()) return out;
    if (mSource->DatabaseKind != kVelt1) {
        const RecordPtr e = mSource->IndexFrom(21, 1, mSource->FormatByType("export"), identifier);
        if (!e) {
            mPrompts.show_error(NoSourceRecord(identifier));
            return out;
        }
        std::string error;
        auto records = ReadExportText(e->Item(7), false, error);
        if (!records) {
            mPrompts.show_error(error);
            return out;
        }
        ImportEditor* editor = mHost.Editor();
        for (ExportRecord& r : *records) {
            if (forConversion) {
                out.push_back(std::move(r.record));
                continue;
            }
            // A new record of this catalogue, the taken fields over it.
            const std::string code = r.identifier.substr(0, 1);
            std::optional<my_record> initial = editor ? editor->InitialRecord(code) : std::nullopt;
            my_record base = initial ? std::move(*initial) : my_record(code);
            base.kind = code;
            out.push_back(RecordForHere(base, r.record));
            out.back().kind = r.identifier;
        }
        return out;
    }
    // A VELT1 source: the record's parents first, from the top down.
    const std::vector<std::string> chain = ParentChain(identifier, true);
    std::string previousKey;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        std::optional<my_record> r = Velt1Record(*it);
        if (!r) {
            if (forConversion) continue;
            break;
        }
        if (forConversion) {
            r->SetValue("DOK_IDO", previousKey);
        } else {
            ReplaceCodes(mCodeTables, *r, mSettings.Countries());
            r->SetValue("DOK_IDO", "");  // set to the record before it when opened
        }
        previousKey = *it;
        out.push_back(std::move(*r));
    }
    return out;
}

void RtkImport::Take() { TakeRecord(SelectedIdentifier()); }

void RtkImport::TakeRecord(const std::string& identifier) {
    velt_files* local = mHost.Local();
    ImportEditor* editor = mHost.Editor();
    if (identifier.empty() || !local || !editor || !mSource) return;
    std::vector<my_record> records = RecordsFor(identifier, false);
    if (records.empty()) return;
    std::string passed;
    if (mSource->DatabaseKind == kVelt1) {
        OpenImportedRecords(records, *editor, *local, mPrompts, passed);
        return;
    }
    for (my_record& r : records) {
        const std::string code = r.kind.substr(0, 1);
        if (!editor->CanEdit(code)) {
            mPrompts.show_error("Rekordów rodzaju \""_cp + code + "\" nie można edytować w tym katalogu; rekord pominięto"_cp);
            continue;
        }
        editor->ImportRecord("#" + r.kind, code, r);
    }
}

void RtkImport::Convert() { ConvertRecord(SelectedIdentifier()); }

void RtkImport::ConvertRecord(const std::string& identifier) {
    velt_files* local = mHost.Local();
    ImportEditor* editor = mHost.Editor();
    if (identifier.empty() || !local || !editor || !mSource) return;
    const dll_converter* module = ConverterFor(identifier);
    if (!module) {
        mPrompts.show_error("Nie ma konwertera dla wskazanego rekordu"_cp);
        return;
    }
    const std::vector<my_record> in = RecordsFor(identifier, true);
    std::vector<my_record> out;
    if (!module->Translate(in, out, [this](const std::string& m) { mPrompts.show_error(m); })) return;
    if (local->DatabaseKind != kVelt1) {
        // Each a new record of its kind, made by this catalogue's server first.
        for (my_record& r : out) {
            const std::string code = r.kind.substr(0, 1);
            if (code.empty() || !editor->CanEdit(code)) {
                mPrompts.show_error("Rekordów rodzaju \""_cp + r.kind + "\" nie można edytować w tym katalogu; rekord pominięto"_cp);
                continue;
            }
            std::optional<my_record> initial = editor->InitialRecord(code);
            my_record made = initial ? std::move(*initial) : my_record(code);
            for (const my_field& f : r.fields()) made.SetValue(f.key, f.value);
            editor->ImportRecord("#" + r.kind, code, made);
        }
        return;
    }
    std::string passed;
    OpenImportedRecords(out, *editor, *local, mPrompts, passed);
}

// --- attachments ---

// An attachment that did not arrive is said once: the broken source has said it already.
void RtkImport::ReportFetchFailure(const std::string& problem) {
    if (!problem.empty())
        mPrompts.show_error(problem);
    else if (!mSource->Broken())
        mPrompts.show_error("Nie można pobrać pliku \""_cp + mAttachment + "\" rekordu "_cp +
                            mSource->ShownIdentifier(mAttachmentRecord));
}

std::vector<std::string> RtkImport::AttachmentTargets(const std::string& attachment, const std::string& sourceRecord) {
    PrepareCopyTargets(attachment, sourceRecord);
    std::vector<std::string> captions;
    for (const CopyTarget& t : mTargets) captions.push_back(t.name.empty() ? "załącznik do rekordu"_cp : t.name);
    return captions;
}

void RtkImport::PrepareCopyTargets(const std::string& attachment, const std::string& sourceRecord) {
    mAttachment = attachment;
    mAttachmentRecord = sourceRecord;
    mTargets.clear();
    velt_files* local = mHost.Local();
    // The record box names the record; trimmed, in the stored form.
    std::string target = Trimmed(mHost.RecordBoxText());
    if (target.empty() || !local || !local->Ready) return;
    target = local->StoredIdentifier(target);
    std::vector<std::string> names;
    for (const AttachmentNames& a : local->Attachments)
        if (!a.Prefix.empty() && a.Prefix[0] == target[0]) {
            names = a.Names;
            break;
        }
    if (names.empty() && local->VersionAtLeast("2007.10.30")) {
        // The kinds outlive the loop: its pieces are views into them.
        const std::string kinds = AttachmentKinds(local->Connection(), target);
        for (const std::string_view n : SplitPipeList(kinds))
            if (!n.empty()) names.emplace_back(n);
    }
    for (const std::string& n : names) mTargets.push_back({target, n});
    if (names.empty()) mTargets.push_back({target, {}});
}

void RtkImport::FetchAttachment() {
    if (!mSource || mAttachmentRecord.empty()) return;
    TBlobChange blobs(mLongOps);
    std::string problem;
    const std::string file =
        blobs.FetchToWorkFile(mSource->Connection(), mHost.WorkingDirectory(), mAttachmentRecord, mAttachment, problem);
    if (file.empty()) {
        ReportFetchFailure(problem);
        return;
    }
    // The file's extension from what it holds: a cover named "okładka" is still a picture.
    std::string shown = file;
    if (const std::string ext = ExtensionOf(file); !ext.empty() && !shown.ends_with("." + ext)) {
        const std::string renamed = file.substr(0, file.rfind('.')) + "." + ext;
        if (std::rename(file.c_str(), renamed.c_str()) == 0) shown = renamed;
    }
    if (IsPicture(shown))
        mHost.ShowPicture(shown);
    else
        mHost.OpenFile(shown);
}

void RtkImport::CopyAttachment(int target) {
    if (!mSource || target < 0 || target >= static_cast<int>(mTargets.size())) return;
    velt_files* local = mHost.Local();
    if (!local || !local->Ready) return;
    const CopyTarget t = mTargets[static_cast<std::size_t>(target)];
    // An attachment of that name may be there already: replacing it is the user's choice.
    if (!t.name.empty()) {
        // The list outlives the loop: its pieces are views into it.
        const std::string names = AttachmentList(local->Connection(), t.record);
        for (const std::string_view n : SplitPipeList(names))
            // The server keeps the name with the file's extension ("okładka" as "okładka.jpg").
            if ((n == t.name || (n.size() > t.name.size() && n.starts_with(t.name) && n[t.name.size()] == '.')) &&
                mPrompts.ask_question("Rekord "_cp + local->ShownIdentifier(t.record) + " ma już załącznik \"" +
                                                     t.name + "\". Zastąpić go?"_cp) != kYes)
                return;
    } else if (mPrompts.ask_question("Dodać plik \""_cp + mAttachment + "\" do rekordu "_cp + local->ShownIdentifier(t.record) + "?") != kYes) {
        return;
    }
    TBlobChange blobs(mLongOps);
    std::string problem;
    const std::string file =
        blobs.FetchToWorkFile(mSource->Connection(), mHost.WorkingDirectory(), mAttachmentRecord, mAttachment, problem);
    if (file.empty()) {
        ReportFetchFailure(problem);
        return;
    }
    const std::string answer = t.name.empty() ? blobs.AddAttachment(local->Connection(), t.record, file)
                                              : blobs.AddAttachmentAs(local->Connection(), t.record, file, t.name);
    std::remove(file.c_str());
    if (!answer.empty()) {
        mPrompts.show_error(answer);
        return;
    }
    mHost.RecordChanged(local->ShownIdentifier(t.record));
}

// --- the list of sources ---

std::string RtkImport::DownloadList() {
    const std::optional<HttpAddress> address = ReadHttpAddress(mSettings.ListAddress());
    if (!address) return "Zły adres listy katalogów \""_cp + mSettings.ListAddress() + "\"";
    const HttpResponse answer = HttpGet(*address);
    if (!answer.error.empty()) return answer.error;
    std::string error;
    const std::optional<std::string> file = CatalogueListFile(answer.body, error);
    if (!file) return error;
    // Whole or not at all: the file the configuration includes stays as it was on any failure.
    if (!WriteFileAtomically(mSettings.ListFile(), *file).empty())
        return "Nie można zmienić zawartości pliku \""_cp + mSettings.ListFile() + "\"";
    return {};
}

void RtkImport::Update() {
    if (!mSettings.CanUpdate()) return;
    if (mPrompts.ask_question("Czy chcesz zaktualizować listę katalogów źródłowych?"_cp) != kYes) return;
    std::string error;
    mLongOps.run_with_progress("Trwa pobieranie danych", [&] { error = DownloadList(); });
    if (!error.empty()) {
        mPrompts.show_error(error);
        return;
    }
    mHost.ReloadConfiguration();
}

int RtkImport::Zoom(double factor) {
    mCellHeight = std::max(20, std::min(2000, static_cast<int>(std::lround(mCellHeight * factor))));
    mView.Redraw();
    return mCellHeight;
}

}  // namespace velt
