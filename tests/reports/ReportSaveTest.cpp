// The savers: an SRP file reads back as the report it was written from,
// always with [END]; the CSV columns and the quoting of its values.

#include "reports/my_save.h"
#include "reports/tbl_report.h"
#include "text/CpLiteral.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

using namespace velt;

namespace {

class ReportSaveTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/velt_report_save_XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        mDir = pattern;
    }
    void TearDown() override { std::system(("rm -rf '" + mDir + "'").c_str()); }

    std::string Path(const std::string& name) const { return mDir + "/" + name; }
    static std::string Bytes(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }

    std::string mDir;
};

}  // namespace

TEST_F(ReportSaveTest, SrpReadsBackAsItWasWrittenWithEnd) {
    const std::vector<std::vector<std::string>> descriptions = {
        {"[REPORT 950]", "[LINE 50]", "TEXT &a 0 0", "[END]"},
        {"[REPORT 950]", "[LINE 50]", "TEXT &a 0 0"},  // without [END]
        {"[REPORT 950]", "[LINE 50]", "TEXT &a 0 0", "[END]", "ignored after the end"},
    };
    const std::vector<std::string> data = {"&a=Zażółć", "*&a=x\x1b" "1y", "", "&a=[END]"};
    for (const auto& description : descriptions) {
        tbl_report r("T", description, data);
        save_as_velt saver;
        const std::string file = Path("z.srp");
        ASSERT_EQ(saver.Save(r, file), "");
        const std::string bytes = Bytes(file);
        EXPECT_EQ(bytes.substr(0, 14), "[REPORT 950]\r\n");
        EXPECT_NE(bytes.find("TEXT &a 0 0\r\n[END]\r\n&a="), std::string::npos) << bytes;
        tbl_report back = tbl_report::FromSrpFile("T", file);
        EXPECT_EQ(back.description(),
                  (std::vector<std::string>{"[REPORT 950]", "[LINE 50]", "TEXT &a 0 0", "[END]"}));
        EXPECT_EQ(back.data(), data);
        EXPECT_TRUE(back.Messages().empty()) << back.Messages().front();
        EXPECT_EQ(back.lineCount, 4);
        EXPECT_TRUE(back.IsGroupEnd(2));
    }
}

TEST_F(ReportSaveTest, SrpLinesWithLineBreaksStayOneLineEach) {
    tbl_report r("T", {"[REPORT 950]", "[END]"}, {"&a=1\r\n&b=2", "&c=3\n"});
    const std::string file = Path("breaks.srp");
    ASSERT_EQ(save_as_velt().Save(r, file), "");
    tbl_report back = tbl_report::FromSrpFile("T", file);
    EXPECT_EQ(back.data(), (std::vector<std::string>{"&a=1  &b=2", "&c=3 "}));
}

TEST_F(ReportSaveTest, CsvQuotesValuesAndTakesColumnsFromTheLineTexts) {
    tbl_report r("T",
                 {"[REPORT 950]", "[HEADER 10]", "TEXT &naglowek 0 0", "[LINE 50]", "TEXT &a#_-_&b 0 0",
                  "BOX 0 0 1 1", "TEXT &a 10 0", "BAR &kod 0 0 1 1", "[FOOTER 10]", "TEXT &stopka 0 0", "[END]"},
                 {"&a=say \"hi\"&b=x\x1b" "1y", "*&b=tylko", ""});
    EXPECT_EQ(CsvColumns(r), (std::vector<std::string>{"a", "b", "a"}));
    const std::string file = Path("t.csv");
    ASSERT_EQ(save_as_csv().Save(r, file), "");
    EXPECT_EQ(Bytes(file),
              "a,b,a\r\n"
              "\"say 'hi'\",\"x&y\",\"say 'hi'\"\r\n"
              "\"\",\"tylko\",\"\"\r\n"
              "\"\",\"\",\"\"\r\n");
}

TEST_F(ReportSaveTest, SaversRefuseOtherReportsAndNameTheirFilters) {
    my_report plain;
    EXPECT_EQ(save_as_velt().Save(plain, Path("x.srp")), "Niedostępne dla tego zestawienia"_cp);
    EXPECT_EQ(save_as_csv().Save(plain, Path("x.csv")), "Niedostępne dla tego zestawienia"_cp);
    EXPECT_EQ(access(Path("x.srp").c_str(), F_OK), -1);
    EXPECT_EQ(save_as_velt().Filter(), "Zestawienie VELT (SRP)|*.srp");
    EXPECT_EQ(save_as_csv().Filter(), "Tabela tekstowa (CSV)|*.csv");
    tbl_report r("T", {"[REPORT 950]", "[END]"}, {});
    EXPECT_FALSE(save_as_velt().Save(r, "/nonexistent/dir/x.srp").empty());
}
