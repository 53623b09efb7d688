#pragma once
// The administrator's modification programs, without their window: the
// program text the run keeps between openings of "Program globalnej
// modyfikacji" (TOknoGlobalne), its program files ("*.apr"), the request
// that has the server run a program over the remote collection, the local
// collection or one record, and the window's model. The client does not
// interpret a program: it edits it, keeps it, loads and saves it and sends
// it; the server runs it and answers an error text or nothing.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace velt {

class LongOperations;
class Prompts;
class VrCollection;
class velt_files;

// What a program runs over; the numbers are the window's modes.
enum class ModificationMode { RemoteCollection = 0, LocalCollection = 1, Record = 2 };

// The longest program and the longest program file the program takes.
inline constexpr std::size_t kMaxModificationProgram = std::size_t{16} << 20;

// The program text of the whole run, lines parted by CR LF; "begin\r\nend"
// at first.
const std::string& ProgramText();
void SetProgramText(std::string text);

// The lines of a text (CR LF, LF or a lone CR between them; a line end at
// the very end adds no line), and the text of lines, parted by CR LF.
std::vector<std::string> TextLines(std::string_view text);
std::string JoinLines(const std::vector<std::string>& lines);
// What the server is sent: every line followed by CR.
std::string ProgramForServer(const std::vector<std::string>& lines);

// The records of the local collection as the list request names them: the
// shown identifier of each, in ascending order, each followed by "|".
std::string LocalRecordList(VrCollection& local, const velt_files& files);

// Has the server run the program: over the remote collection number (mode
// 0) or over the records of list (modes 1 and 2). Only the connection is
// touched, so it may run on the progress window's worker. The result: empty
// when the server took it; its first text; "Bład odpowiedzi" for an answer
// of no texts; the session's error text when the connection broke.
std::string SendModification(velt_files& files, ModificationMode mode, std::int32_t collection,
                             const std::string& list, const std::string& program);

// A program file read: its lines (those read before a failure, too), and
// whether it was read whole. A file longer than kMaxModificationProgram is read up to
// that bound and is a failure.
struct ProgramFile {
    bool ok = false;
    std::vector<std::string> lines;
};
ProgramFile ReadProgramFile(const std::string& path);
// Writes the lines, each ended by CR LF, over the file through the files
// layer (the old file stays whole on a failure): empty, or "Błąd zapisu
// pliku " and the name with the cause the user can act upon.
std::string WriteProgramFile(const std::string& path, const std::vector<std::string>& lines);

// The model of "Program globalnej modyfikacji" for one command: its mode,
// the record of mode 2, the result of the last run and the buttons' work.
class GlobalProgram {
public:
    // local: the local collection of mode 1; redisplay: what "Wykonaj" does
    // after the server took the program (the record box's record shown again
    // in every tab).
    GlobalProgram(velt_files& files, Prompts& prompts, LongOperations& longOps, ModificationMode mode,
                  std::string record, VrCollection* local, std::function<void()> redisplay);

    ModificationMode Mode() const { return mMode; }
    const std::string& Record() const { return mRecord; }
    // The result of the last "Wykonaj": empty when it succeeded.
    const std::string& Result() const { return mResult; }

    // "Wykonaj": the program and its record list are made here, on the
    // calling thread, and sent behind "Wykonywanie programu". True when the
    // server took it (the tabs were shown again, with the busy cursor): the
    // window closes accepted. Otherwise the failure was shown (once: a
    // broken connection's by the session) and the window stays.
    bool Execute(const std::vector<std::string>& memoLines);
    // "Otwórz": the file's lines for the memo; those read before a failure
    // too, which is shown ("Błąd czytania pliku " and the name).
    std::vector<std::string> Open(const std::string& path);
    // "Zapisz": false when the file could not be written (shown).
    bool Save(const std::string& path, const std::vector<std::string>& memoLines);

private:
    velt_files& mFiles;
    Prompts& mPrompts;
    LongOperations& mLongOps;
    ModificationMode mMode;
    std::string mRecord;
    VrCollection* mLocal;
    std::function<void()> mRedisplay;
    std::string mResult;
};

// What the model asks of the window "Program globalnej modyfikacji".
class GlobalProgramWindow {
public:
    virtual ~GlobalProgramWindow() = default;
    // Makes the window for program, its memo holding lines, shows it
    // modally and frees it; the memo's lines when it closed, however.
    virtual std::vector<std::string> ShowModal(GlobalProgram& program, const std::vector<std::string>& lines) = 0;
};

}  // namespace velt
