// External converter modules: loading, finding and translating through the
// example module of the tree, and what the client does with modules that
// misbehave.

#include "text/CpLiteral.h"
#include "text/dll_converter.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <vector>

using namespace velt;

namespace {

class ConverterModulesTest : public ::testing::Test {
protected:
    void SetUp() override {
        char name[] = "/tmp/velt-konwerter-XXXXXX";
        const int fd = ::mkstemp(name);
        ASSERT_GE(fd, 0);
        const std::string ini = "[GLOBAL]\nx=1\n[KONWERTER_MARC]\ndll=ignored here\nrodzaj=C\n";
        ASSERT_EQ(::write(fd, ini.data(), ini.size()), static_cast<ssize_t>(ini.size()));
        ::close(fd);
        mConfig = name;
    }
    void TearDown() override { ::unlink(mConfig.c_str()); }

    ReportSink Collect() {
        return [this](const std::string& m) { mReports.push_back(m); };
    }

    std::string mConfig;
    std::vector<std::string> mReports;
};

}  // namespace

TEST_F(ConverterModulesTest, LoadsTheSectionsInOrderAndReportsMissingModules) {
    ConverterModules modules;
    modules.Load({{"KONWERTER_MARC", VELT_EXAMPLE_MODULE, "U", "AC"},
                  {"KONWERTER_PUSTY", "", "U", "A"},
                  {"KONWERTER_BRAK", "/nonexistent/brak.so", "U", "A"},
                  {"KONWERTER_BEZ_INIT", "libm.so.6", "U", "A"},
                  {"KONWERTER_INIT", VELT_INIT_ONLY_MODULE, "U", "A"},
                  {"KONWERTER_ODMOWA", VELT_FAULTY_MODULE, "U", "A"}},
                 mConfig, Collect());
    EXPECT_EQ(mReports, (std::vector<std::string>{"Brak modułu /nonexistent/brak.so"_cp, "odmowa"}));
    ASSERT_EQ(modules.size(), 2u);
    EXPECT_TRUE(modules.at(0).CanTranslate());
    EXPECT_FALSE(modules.at(1).CanTranslate());  // registered without "translate"
    EXPECT_EQ(modules.FindConverterModule("U", "A"), &modules.at(0));
}

TEST_F(ConverterModulesTest, NeverReturnsAModuleWithoutTranslate) {
    ConverterModules modules;
    modules.Load({{"KONWERTER_INIT", VELT_INIT_ONLY_MODULE, "U", "A"}}, mConfig, Collect());
    ASSERT_EQ(modules.size(), 1u);
    EXPECT_EQ(modules.FindConverterModule("U", "A"), nullptr);
}

TEST_F(ConverterModulesTest, FindsTheFirstModuleWhoseLettersMatch) {
    ConverterModules modules;
    modules.Load({{"KONWERTER_MARC", VELT_EXAMPLE_MODULE, "U", "A"},
                  {"KONWERTER_MARC", VELT_EXAMPLE_MODULE, "", ""},
                  {"KONWERTER_MARC", VELT_EXAMPLE_MODULE, "UM", "BC"}},
                 mConfig, Collect());
    ASSERT_EQ(modules.size(), 3u);
    struct Case {
        const char* from;
        const char* to;
        int index;  // -1: none
    } cases[] = {
        {"U", "A", 0}, {"", "", 1}, {"M", "B", 2}, {"U", "B", 2}, {"XU", "CA", 0},
        {"", "A", -1}, {"U", "", -1}, {"X", "A", -1}, {"M", "A", -1},
    };
    for (const auto& c : cases) {
        const dll_converter* found = modules.FindConverterModule(c.from, c.to);
        const dll_converter* expected = c.index < 0 ? nullptr : &modules.at(static_cast<std::size_t>(c.index));
        EXPECT_EQ(found, expected) << '"' << c.from << "\" -> \"" << c.to << '"';
    }
}

TEST_F(ConverterModulesTest, ExampleModuleTranslatesARecord) {
    ConverterModules modules;
    modules.Load({{"KONWERTER_MARC", VELT_EXAMPLE_MODULE, "U", "C"}}, mConfig, Collect());
    const dll_converter* m = modules.FindConverterModule("U", "C");
    ASSERT_NE(m, nullptr);

    std::vector<my_record> in(2);
    in[0].kind = "U";
    in[0].AddField("L.1", "00000nam  2200000   4500", 1);
    in[0].AddField("245Z.1.1.1.1", " ^aŁódź"_cp, 0);
    in[0].AddField("A#1.1", "roboczy", 0);
    in[1].kind = "X";
    std::vector<my_record> out(1);
    ASSERT_TRUE(m->Translate(in, out, Collect()));
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].kind, "C");
    ASSERT_EQ(out[0].fields().size(), 3u);
    EXPECT_EQ(out[0].GetValue("L.1"), "00000nam  2200000   4500");
    EXPECT_EQ(out[0].IsReadOnly("L.1"), 1);
    EXPECT_EQ(out[0].GetValue("245Z.1.1.1.1"), " ^aŁódź"_cp);
    EXPECT_EQ(out[0].Find("A#1.1"), nullptr);
    EXPECT_EQ(out[0].GetValue("DOK_TYP"), "KONWERTER_MARC");
    EXPECT_EQ(mReports, (std::vector<std::string>{"Pominięto rekord 2: to nie USMARC"_cp}));
}

TEST_F(ConverterModulesTest, ExampleModuleRefusesAnUnreadableConfiguration) {
    ConverterModules modules;
    modules.Load({{"KONWERTER_MARC", VELT_EXAMPLE_MODULE, "U", "C"}}, "/nonexistent/velt.ini", Collect());
    EXPECT_EQ(modules.size(), 0u);
    EXPECT_EQ(mReports, (std::vector<std::string>{"Konwerter: nie można odczytać pliku /nonexistent/velt.ini"_cp}));
}

// What a faulty module hands back is never read outside the memory the client
// gave it, and a failed translation leaves no records.
TEST_F(ConverterModulesTest, FaultyModulesYieldNoRecords) {
    struct Case {
        const char* section;
        std::vector<std::string> reports;
    } cases[] = {
        {"KONWERTER_PORAZKA", {"porazka"}},
        {"KONWERTER_OBCY", {"Moduł konwertera zwrócił rekordy spoza pamięci przydzielonej przez program"_cp}},
        {"KONWERTER_ZA_DUZO", {"Moduł konwertera zwrócił rekordy spoza pamięci przydzielonej przez program"_cp}},
    };
    for (const auto& c : cases) {
        mReports.clear();
        ConverterModules modules;
        modules.Load({{c.section, VELT_FAULTY_MODULE, "U", "A"}}, mConfig, Collect());
        const dll_converter* m = modules.FindConverterModule("U", "A");
        ASSERT_NE(m, nullptr) << c.section;
        std::vector<my_record> in(1), out(3);
        in[0].kind = "U";
        EXPECT_FALSE(m->Translate(in, out, Collect())) << c.section;
        EXPECT_TRUE(out.empty()) << c.section;
        EXPECT_EQ(mReports, c.reports) << c.section;
    }
}
