#include "admin/GlobalModification.h"

#include "browse/VrCollection.h"
#include "catalogue/velt_files.h"
#include "common/Prompts.h"
#include "editing/EditRequests.h"
#include "files/AtomicFile.h"
#include "net/RecordRequests.h"
#include "text/CpLiteral.h"

#include <fstream>

namespace velt {

namespace {

std::string& Kept() {
    static std::string text = "begin\r\nend";
    return text;
}

}  // namespace

const std::string& ProgramText() { return Kept(); }

void SetProgramText(std::string text) { Kept() = std::move(text); }

std::vector<std::string> TextLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = std::min(text.find_first_of("\r\n", at), text.size());
        lines.emplace_back(text.substr(at, end - at));
        at = end;
        // CR LF is one line end, as are a lone CR and a lone LF.
        if (at < text.size() && text[at] == '\r') ++at;
        if (at < text.size() && text[at] == '\n') ++at;
    }
    return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) text += (i ? "\r\n" : "") + lines[i];
    return text;
}

std::string ProgramForServer(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r";
    return text;
}

std::string LocalRecordList(VrCollection& local, const velt_files& files) {
    std::string list;
    for (std::int64_t n = local.FirstNumber(); n > 0; n = local.NextNumber(n))
        list += files.ShownIdentifier(files.RecordIdentifier(static_cast<std::int32_t>(n))) + "|";
    return list;
}

std::string SendModification(velt_files& files, ModificationMode mode, std::int32_t collection,
                             const std::string& list, const std::string& program) {
    TVeltClient& session = files.Connection();
    const Answers answer = mode == ModificationMode::RemoteCollection ? EditRequestG(session, collection, program)
                                                                      : EditRequest(session, 'L', {list, program});
    if (session.Broken()) return session.ErrorText();
    // An answer of no texts is no success.
    if (!answer.Answered()) return EditRequests::MalformedText();
    return answer[1];
}

ProgramFile ReadProgramFile(const std::string& path) {
    ProgramFile file;
    std::ifstream in(path, std::ios::binary);
    if (!in) return file;
    std::string text(kMaxModificationProgram + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    const bool whole = in.eof() && !in.bad() && text.size() <= kMaxModificationProgram;
    if (text.size() > kMaxModificationProgram) {
        // The lines that fit stay; the one cut at the bound does not.
        text.resize(kMaxModificationProgram);
        const auto end = text.find_last_of("\r\n");
        text.resize(end == std::string::npos ? 0 : end);
    }
    file.lines = TextLines(text);
    file.ok = whole;
    return file;
}

std::string WriteProgramFile(const std::string& path, const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    AtomicFile file(path);
    if (file.Open() && file.Write(text) && file.Commit().empty()) return {};
    return "Błąd zapisu pliku "_cp + path + WriteFailureReason(file.ErrorCode());
}

GlobalProgram::GlobalProgram(velt_files& files, Prompts& prompts, LongOperations& longOps, ModificationMode mode,
                             std::string record, VrCollection* local, std::function<void()> redisplay)
    : mFiles(files),
      mPrompts(prompts),
      mLongOps(longOps),
      mMode(mode),
      mRecord(std::move(record)),
      mLocal(local),
      mRedisplay(std::move(redisplay)) {}

bool GlobalProgram::Execute(const std::vector<std::string>& memoLines) {
    // Everything the worker sends is made here: it never reads the window
    // or the local collection.
    const std::string program = ProgramForServer(memoLines);
    std::string list;
    if (mMode == ModificationMode::LocalCollection && mLocal) list = LocalRecordList(*mLocal, mFiles);
    if (mMode == ModificationMode::Record) list = mRecord + "|";
    const std::int32_t collection = mFiles.RemoteCollection;
    std::string result;
    mLongOps.run_with_progress("Wykonywanie programu",
                               [&] { result = SendModification(mFiles, mMode, collection, list, program); });
    mResult = result;
    if (!result.empty()) {
        // A broken connection has been told by the session, once.
        if (!mFiles.Connection().FailureReported()) mPrompts.show_error(result);
        return false;
    }
    BusyCursor busy(mPrompts);
    if (mRedisplay) mRedisplay();
    return true;
}

std::vector<std::string> GlobalProgram::Open(const std::string& path) {
    ProgramFile file = ReadProgramFile(path);
    if (!file.ok) mPrompts.show_error("Błąd czytania pliku "_cp + path);
    return std::move(file.lines);
}

bool GlobalProgram::Save(const std::string& path, const std::vector<std::string>& memoLines) {
    const std::string error = WriteProgramFile(path, memoLines);
    if (error.empty()) return true;
    mPrompts.show_error(error);
    return false;
}

}  // namespace velt
