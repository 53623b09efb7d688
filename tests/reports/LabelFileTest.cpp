// The label file: lines appended with CR LF, texts that cannot break a line
// or add a column, bounded waiting while another program holds the file.

#include "reports/LabelFile.h"
#include "support/TempDir.h"
#include "text/CpLiteral.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using namespace velt;

TEST(LabelFileTest, LinesAreAppendedAndTextsCannotCorruptThem) {
    EXPECT_EQ(LabelLine("II 10|5\r\n", "Biblioteka\nGłówna"_cp), "II 10 5  |Biblioteka Główna"_cp);
    test::TempDir dir;
    const std::string file = dir.Path() + "NAKLEJKI.DAT";
    ASSERT_EQ(AppendLabelLines(file, {LabelLine("A", "B")}), "");
    ASSERT_EQ(AppendLabelLines(file, {"C|D", "E\rF|G"}), "");
    EXPECT_EQ(test::TempDir::Read(file), "A|B\r\nC|D\r\nE F|G\r\n");
}

TEST(LabelFileTest, AHeldFileIsWaitedForABoundedTime) {
    test::TempDir dir;
    const std::string file = dir.Path() + "NAKLEJKI.DAT";
    const int holder = ::open(file.c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);
    const auto start = std::chrono::steady_clock::now();
    const std::string error = AppendLabelLines(file, {"A|B"}, 3, std::chrono::milliseconds(20));
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(error.rfind("Błąd otwarcia pliku naklejek nr "_cp, 0), 0u) << error;
    EXPECT_GE(waited, std::chrono::milliseconds(40));
    EXPECT_LT(waited, std::chrono::seconds(2));
    EXPECT_EQ(test::TempDir::Read(file), "");
    ::flock(holder, LOCK_UN);
    ::close(holder);
    EXPECT_EQ(AppendLabelLines(file, {"A|B"}, 3, std::chrono::milliseconds(20)), "");
    EXPECT_NE(AppendLabelLines(dir.Path() + "missing/NAKLEJKI.DAT", {"A|B"}), "");
}

TEST(LabelFileTest, AnElementsPairsGiveOneLabelEachWithAnIdentifier) {
    const std::string E = "\x1B";
    struct Case {
        std::string text;
        std::vector<std::string> lines;
    } cases[] = {
        {"  K12" + E + "II 10  ", {"K12|II 10"}},
        {"Sygnatura" + E + "II 10" + E + "ISBN" + E + "83-1", {"Sygnatura|II 10", "ISBN|83-1"}},
        {E + "bez identyfikatora" + E + "K3" + E + "x", {"K3|x"}},  // a pair without its first text gives nothing
        {"K4", {"K4|"}},                                         // a last text without its partner
        {"K5" + E + "a|b\r\nc", {"K5|a b  c"}},                   // a text cannot add a column or a line
        {"", {}},
        {"   ", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(ElementLabelLines(c.text), c.lines) << c.text;
}
