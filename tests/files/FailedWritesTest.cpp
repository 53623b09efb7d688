// A full disk at the moment the program writes its files: the configuration,
// the stored login, a collection file, the kept records, a report and a
// printer's settings. Each write fails with its text and leaves the old file
// byte for byte as it was, whichever step fails.

#include "browse/CollectionFile.h"
#include "browse/VrCollection.h"
#include "editing/RecoveryFile.h"
#include "files/FileFaults.h"
#include "lang/ProfileFile.h"
#include "reports/PrinterChoice.h"
#include "reports/ReportFile.h"
#include "shell/StoredLogin.h"
#include "shell/VeltShell.h"
#include "text/CpLiteral.h"

#include "support/RecordingPrompts.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

using namespace velt;
using velt::test::TempDir;

namespace {

const std::string kFull = " (brak miejsca na dysku)"_cp;

// The steps a full disk can stop: the first write, a write after others
// (when the writes are short), the flush.
struct DiskFull {
    const char* what;
    FileStep step;
    int nth;
    bool shortWrites;
};
const DiskFull kDiskFull[] = {
    {"the first write", FileStep::Write, 1, false},
    {"a later write", FileStep::Write, 3, true},
    {"the flush", FileStep::Sync, 1, false},
};

// Writes with write() under each fault in turn: the error must be what
// (when not empty), and the file must keep old.
void ExpectEachFaultKeeps(const std::string& path, const std::string& old, const std::string& what,
                          const std::function<std::string()>& write) {
    const std::string directory = path.substr(0, path.find_last_of('/') + 1);
    const auto names = [&directory] {
        auto list = TempDir::List(directory);
        std::sort(list.begin(), list.end());
        return list;
    };
    const auto before = names();
    for (const DiskFull& f : kDiskFull) {
        SCOPED_TRACE(f.what);
        std::string error;
        {
            FileFaultScope fault(f.step, f.nth, ENOSPC);
            if (f.shortWrites) InjectShortWrites();
            error = write();
        }
        EXPECT_NE(error, "");
        if (!what.empty()) {
            EXPECT_EQ(error, what);
        }
        EXPECT_EQ(TempDir::Read(path), old);
        EXPECT_EQ(names(), before) << "no temporary is left beside it";
    }
}

struct NoView : ShellView {
    void ShowState(const ShellState&) override {}
    bool ShowLogin(velt_files&, const std::string&) override { return false; }
    MessageCallback SessionMessageCallback() override { return nullptr; }
};

struct ShellPrompts : test::RecordingPrompts, PasswordAsker {
    std::optional<std::string> AskPassword(const std::string&) override { return std::nullopt; }
};

}  // namespace

TEST(FailedWrites, TheConfigurationStaysAsItWasAndTheUserIsTold) {
    TempDir dir;
    const std::string old = "; konfiguracja\r\n[HISTORIA]\r\nid=X\r\n";
    const std::string path = dir.Write("VELT_TCP.INI", old);
    ExpectEachFaultKeeps(path, old, "Nie można zapisać pliku "_cp + path + kFull, [&] {
        ProfileFile ini(path);
        ini.WriteString("HISTORIA", "id", "KATALOG_Z");
        const std::string error = ini.Save();
        EXPECT_TRUE(ini.Modified()) << "what was not written is still to be written";
        return error;
    });
    // The program's own save says so once, in its words.
    NoView view;
    ShellPrompts prompts;
    VeltShell shell(view, prompts, prompts);
    shell.ReadConfiguration(path, dir.Path(), dir.Path());
    shell.Settings().LastCatalogue = "KATALOG_Q";
    {
        FileFaultScope fault(FileStep::Write, 1, ENOSPC);
        EXPECT_EQ(shell.Save(), "Nie można zapisać pliku "_cp + path + kFull);
    }
    ASSERT_FALSE(prompts.shown.empty());
    EXPECT_EQ(prompts.shown.back(), "plain:Błąd zapisu aktualnej konfiguracji programu"_cp);
    EXPECT_EQ(TempDir::Read(path), old);
    EXPECT_EQ(shell.Save(), "") << "with room again the change is written";
    EXPECT_NE(TempDir::Read(path).find("id=KATALOG_Q"), std::string::npos);
}

TEST(FailedWrites, TheStoredLoginKeepsTheOldServerAndPassword) {
    TempDir dir;
    const std::string path = dir.Path() + "velt/login";
    ASSERT_EQ(WriteStoredLogin(path, {"10.0.0.1", 8000, "stary", "haslo"}), "");
    const std::string old = TempDir::Read(path);
    ExpectEachFaultKeeps(path, old, "Nie można zapisać pliku "_cp + path + kFull,
                         [&] { return WriteStoredLogin(path, {"10.0.0.2", 8001, "nowy", "inne"}); });
    const auto login = ReadStoredLogin(path);
    ASSERT_TRUE(login);
    EXPECT_EQ(login->User, "stary");
    EXPECT_EQ(login->Password, "haslo");
}

TEST(FailedWrites, ACollectionFileKeepsItsRecords) {
    TempDir dir;
    const IdentifierRules rules(kVelt2, "KOT");
    const std::string path = dir.Write("zbior.num", "K1\r\nK2\r\n");
    VrCollection collection(dir.Path());
    for (std::int64_t n = 1; n <= 5000; ++n) collection.Include(n);
    ExpectEachFaultKeeps(path, "K1\r\nK2\r\n", "Błąd zapisu do pliku "_cp + path + kFull,
                         [&] { return SaveCollectionFile(path, collection, rules); });
}

TEST(FailedWrites, TheKeptRecordsStayForTheNextLogin) {
    TempDir dir;
    const std::string path = RecoveryFileName(dir.Path());
    KeptSheet sheet;
    sheet.host = "127.0.0.1";
    sheet.port = 8000;
    sheet.user = "bibliotekarz";
    sheet.code = "K";
    sheet.identifier = sheet.source = "K1";
    sheet.fields.push_back({"250Z.1.1.1.1", 0, "stare", "wpisane"});
    ASSERT_EQ(WriteRecoveryFile(path, {sheet}), "");
    const std::string old = TempDir::Read(path);
    KeptSheet other = sheet;
    other.identifier = other.source = "K2";
    ExpectEachFaultKeeps(path, old, "Nie można zapisać pliku "_cp + path + kFull,
                         [&] { return WriteRecoveryFile(path, {sheet, other}); });
    ASSERT_EQ(ReadRecoveryFile(path).size(), 1u);
}

TEST(FailedWrites, AReportFileAndPrinterSettingsStayAsTheyWere) {
    TempDir dir;
    const std::string report = dir.Write("lista.csv", "stara;lista\r\n");
    ExpectEachFaultKeeps(report, "stara;lista\r\n", "Nie można zapisać pliku "_cp + report + kFull,
                         [&] { return WriteReportFile(report, std::string(100000, 'x')); });

    const std::string settings = dir.Path() + "drukarka-Biuro.prs";
    PrinterSettings biuro;
    biuro.printer = "Biuro";
    ASSERT_EQ(SavePrinterSettings(settings, biuro), "");
    const std::string old = TempDir::Read(settings);
    PrinterSettings changed = biuro;
    changed.copies = 7;
    changed.orientation = 2;
    ExpectEachFaultKeeps(settings, old, "Nie można zapisać pliku "_cp + settings + kFull,
                         [&] { return SavePrinterSettings(settings, changed); });
    const LoadedPrinterSettings back = LoadPrinterSettings(settings, {"Biuro"});
    ASSERT_TRUE(back.settings) << back.failure;
    EXPECT_EQ(back.settings->copies, 1);
}
