// Writing a file whole: the bytes, the mode, nothing left beside it, and a
// failure at any step (made to happen through the fault seam) leaving the
// old file as it was and saying why.

#include "files/AtomicFile.h"
#include "files/FileFaults.h"
#include "support/TempDir.h"
#include "text/CpLiteral.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace velt;
using velt::test::TempDir;

namespace {

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

std::string Big() {
    std::string bytes;
    for (int i = 0; i < 100000; ++i) bytes += std::to_string(i) + "\r\n";
    return bytes;
}

}  // namespace

TEST(AtomicFile, WritesTheBytesWholeWithTheModeAskedAndLeavesNothingBeside) {
    TempDir dir;
    const std::string shared = dir.Path() + "raport.txt", secret = dir.Path() + "login";
    const std::string bytes = Big();
    ASSERT_EQ(WriteFileAtomically(shared, bytes), "");
    ASSERT_EQ(WriteFileAtomically(secret, "pwd=AB\n", kPrivateFileMode), "");
    EXPECT_EQ(TempDir::Read(shared), bytes);
    EXPECT_EQ(ModeOf(shared), 0644u);
    EXPECT_EQ(ModeOf(secret), 0600u);
    // Over an old file, and empty.
    ASSERT_EQ(WriteFileAtomically(shared, ""), "");
    EXPECT_EQ(TempDir::Read(shared), "");
    EXPECT_EQ(TempDir::List(dir.Path()).size(), 2u) << "no temporary is left";
}

TEST(AtomicFile, WritesThatTakeAFewBytesAtATimeStillWriteEverything) {
    TempDir dir;
    const std::string path = dir.Path() + "a.srp";
    FileFaultScope faults;
    InjectShortWrites();
    const std::string bytes = "Zażółć gęślą jaźń\r\n"_cp + std::string(1000, 'x');
    ASSERT_EQ(WriteFileAtomically(path, bytes), "");
    EXPECT_EQ(TempDir::Read(path), bytes);
}

TEST(AtomicFile, AFailureAtAnyStepLeavesTheOldFileAndSaysWhy) {
    const struct {
        const char* what;
        FileStep step;
        int nth;
        int error;
        bool shortWrites;
        std::string reason;
    } cases[] = {
        {"the temporary cannot be made", FileStep::Create, 1, ENOSPC, false, " (brak miejsca na dysku)"_cp},
        {"the first write", FileStep::Write, 1, ENOSPC, false, " (brak miejsca na dysku)"_cp},
        {"a write halfway", FileStep::Write, 50, ENOSPC, true, " (brak miejsca na dysku)"_cp},
        {"over the quota", FileStep::Write, 3, EDQUOT, true, " (brak miejsca na dysku)"_cp},
        {"flushing to the disk", FileStep::Sync, 1, EIO, false, ""},
        {"the rename", FileStep::Rename, 1, EACCES, false, " (brak uprawnień)"_cp},
        {"a read-only file system", FileStep::Rename, 1, EROFS, false, " (brak uprawnień)"_cp},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const std::string path = dir.Write("konfiguracja.ini", "[STARE]\r\nklucz=1\r\n");
        std::string error;
        {
            FileFaultScope fault(c.step, c.nth, c.error);
            if (c.shortWrites) InjectShortWrites();
            error = WriteFileAtomically(path, Big());
        }
        EXPECT_EQ(error, "Nie można zapisać pliku "_cp + path + c.reason);
        EXPECT_EQ(TempDir::Read(path), "[STARE]\r\nklucz=1\r\n");
        EXPECT_EQ(TempDir::List(dir.Path()), std::vector<std::string>{"konfiguracja.ini"}) << "the temporary is gone";
    }
}

TEST(AtomicFile, FaultsCountTheirStepsAndEndWithTheirScope) {
    TempDir dir;
    const std::string a = dir.Path() + "a", b = dir.Path() + "b";
    {
        FileFaultScope fault(FileStep::Rename, 2);
        EXPECT_EQ(WriteFileAtomically(a, "1"), "") << "the first rename passes";
        EXPECT_NE(WriteFileAtomically(b, "2"), "") << "the second fails";
        EXPECT_EQ(WriteFileAtomically(b, "3"), "") << "a fault happens once";
    }
    {
        FileFaultScope fault(FileStep::Write, 1);
    }
    EXPECT_EQ(WriteFileAtomically(a, "4"), "") << "a scope that ends clears its faults";
    EXPECT_EQ(TempDir::Read(a), "4");
    EXPECT_EQ(TempDir::Read(b), "3");
}

TEST(AtomicFile, AStreamIsPutInPlaceOnlyWhenCommitted) {
    TempDir dir;
    const std::string path = dir.Write("plik.pdf", "stary");
    {
        AtomicFile file(path);
        ASSERT_TRUE(file.Open());
        EXPECT_TRUE(file.Write("nowy, "));
        EXPECT_TRUE(file.Write("ale porzucony"));
        EXPECT_EQ(TempDir::List(dir.Path()).size(), 2u) << "the temporary is beside the target";
        EXPECT_EQ(file.TemporaryPath().rfind(path + ".", 0), 0u);
    }
    EXPECT_EQ(TempDir::Read(path), "stary") << "dropped without a commit";
    EXPECT_EQ(TempDir::List(dir.Path()).size(), 1u);

    // A writer that writes by name into the temporary (as a PDF printer does).
    AtomicFile byName(path);
    ASSERT_TRUE(byName.Open());
    std::ofstream(byName.TemporaryPath(), std::ios::binary | std::ios::trunc) << "%PDF nowy";
    EXPECT_EQ(byName.Commit(), "");
    EXPECT_EQ(TempDir::Read(path), "%PDF nowy");
    EXPECT_EQ(byName.TemporaryPath(), "");
    EXPECT_EQ(TempDir::List(dir.Path()).size(), 1u);

    // After a failed write nothing more is written and the commit says why.
    AtomicFile failing(path);
    {
        FileFaultScope fault(FileStep::Write, 1);
        EXPECT_FALSE(failing.Write("x"));
    }
    EXPECT_FALSE(failing.Open());
    EXPECT_FALSE(failing.Write("y"));
    EXPECT_EQ(failing.ErrorCode(), ENOSPC);
    EXPECT_EQ(failing.Commit(), "Nie można zapisać pliku "_cp + path + " (brak miejsca na dysku)"_cp);
    EXPECT_EQ(TempDir::Read(path), "%PDF nowy");
}

TEST(AtomicFile, NamesThatCannotBeWrittenAreRefusedWithTheirName) {
    TempDir dir;
    EXPECT_EQ(WriteFileAtomically(dir.Path() + "brak/x.txt", "x"), "Nie można zapisać pliku "_cp + dir.Path() + "brak/x.txt");
    EXPECT_NE(WriteFileAtomically(dir.Path(), "x"), "") << "a directory's name";
    EXPECT_NE(WriteFileAtomically("", "x"), "");
    // A directory in the target's place stays.
    const std::string sub = dir.Path() + "katalog";
    ::mkdir(sub.c_str(), 0755);
    EXPECT_NE(WriteFileAtomically(sub, "x"), "");
    EXPECT_TRUE(std::filesystem::is_directory(sub));
    EXPECT_EQ(TempDir::List(dir.Path()), std::vector<std::string>{"katalog"});
}

TEST(AtomicFile, MakeDirectoriesMakesTheMissingOnes) {
    TempDir dir;
    EXPECT_EQ(MakeDirectories(dir.Path() + "a/b/c"), 0);
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path() + "a/b/c"));
    EXPECT_EQ(ModeOf(dir.Path() + "a/b"), 0700u);
    EXPECT_EQ(MakeDirectories(dir.Path() + "a/b/c"), 0) << "being there is no failure";
    const std::string file = dir.Write("plik", "x");
    EXPECT_NE(MakeDirectories(file + "/pod"), 0);
}

TEST(AtomicFile, AFinishedFileIsMovedOverTheTargetOrCopiedFromAnotherFileSystem) {
    TempDir dir;
    const std::string target = dir.Write("eksport.csv", "stary");
    std::string work = dir.Write("report5.tmp", "a,b\r\n");
    ::chmod(work.c_str(), 0600);
    ASSERT_EQ(MoveFileOver(work, target), "");
    EXPECT_EQ(TempDir::Read(target), "a,b\r\n");
    EXPECT_EQ(ModeOf(target), 0644u) << "for others to read, as the work file was not";
    EXPECT_FALSE(TempDir::Exists(work));

    // Across file systems the rename fails with EXDEV: the bytes are copied.
    work = dir.Write("report6.tmp", Big());
    {
        FileFaultScope other(FileStep::Rename, 1, EXDEV);
        ASSERT_EQ(MoveFileOver(work, target), "");
    }
    EXPECT_EQ(TempDir::Read(target), Big());
    EXPECT_FALSE(TempDir::Exists(work));

    // A copy that finds the disk full keeps the old target and the work file.
    work = dir.Write("report7.tmp", "nowy");
    {
        FileFaultScope other(FileStep::Rename, 1, EXDEV);
        InjectFileFault(FileStep::Write, 1, ENOSPC);
        EXPECT_EQ(MoveFileOver(work, target), "Nie można zapisać pliku "_cp + target + " (brak miejsca na dysku)"_cp);
    }
    EXPECT_EQ(TempDir::Read(target), Big());
    EXPECT_EQ(TempDir::Read(work), "nowy");
    EXPECT_EQ(MoveFileOver(dir.Path() + "brak.tmp", target), "Nie można zapisać pliku "_cp + target);
    EXPECT_NE(MoveFileOver(work, dir.Path() + "brak/eksport.csv"), "");
    EXPECT_EQ(TempDir::Read(work), "nowy");
}
