// External converter modules: loading, finding and translating through the
// example module of the tree, and what the client does with modules that
// misbehave.

#include "support/TempDir.h"
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

// With "tryb=katalog" the example module makes a catalogue book of a MARC
// record: the catalogue's keys, no leader, control fields or indicators,
// the ISBN without its qualifier, the contents a part an occurrence, no
// "^9" of another catalogue, the language of 008.
TEST_F(ConverterModulesTest, ExampleModuleMakesCatalogueRecordsOfMarc) {
    test::TempDir dir;
    const std::string config = dir.Write("katalog.ini", "[KONWERTER_KAT]\nrodzaj=K\ntryb=katalog\n");
    ConverterModules modules;
    modules.Load({{"KONWERTER_KAT", VELT_EXAMPLE_MODULE, "U", "K"}}, config, Collect());
    const dll_converter* m = modules.FindConverterModule("U", "K");
    ASSERT_NE(m, nullptr);
    std::vector<my_record> in(1);
    my_record& r = in[0];
    r.kind = "U";
    r.AddField("L.1", "01369cam  2200265 i 4500", 0);
    r.AddField("001Z.1.1.1.1", "73090924", 0);
    r.AddField("008Z.1.1.1.1", "760609s1974    nyua     b    10110 pol  ", 0);
    r.AddField("020Z.1.1.1.1", "^a0821211064 (pbk.)", 0);
    r.AddField("100A.1.1.1.1", "1", 0);
    r.AddField("100Z.1.1.1.1", "^aLarson, Kenneth B.,", 0);
    r.AddField("245Z.1.1.1.1", "^aComputer processing : ^bthe proceedings / ^cedited by K. Larson.", 0);
    r.AddField("264Z.1.1.1.1", "^aNew York : ^bSociety, ^c[c1974]", 0);
    r.AddField("300Z.1.1.1.1", "^axiv, 391 p. : ^bill. ; ^c24 cm.", 0);
    r.AddField("504Z.1.1.1.1", "^aIncludes bibliographical references.", 0);
    r.AddField("505Z.1.1.1.1", "^aWstęp -- Rozdział pierwszy -- Zakończenie"_cp, 0);
    r.AddField("650Z.1.1.1.1", "^aRadioisotope scanning ^xData processing ^9X77", 0);
    r.AddField("650Z.1.1.2.1", "^aScintillation cameras", 0);
    r.AddField("710Z.1.1.1.1", "^aWashington University.", 0);
    std::vector<my_record> out;
    ASSERT_TRUE(m->Translate(in, out, Collect()));
    ASSERT_EQ(out.size(), 1u);
    const my_record& k = out[0];
    EXPECT_EQ(k.kind, "K");
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"041Z.1.1.1.1", "^apol"},
        {"020Z.1.1.1.1", "^a0821211064"},
        {"100Z.1.1.1.1", "^aLarson, Kenneth B."},
        {"245Z.1.1.1.1", "^aComputer processing ^bthe proceedings ^cedited by K. Larson."},
        {"260Z.1.1.1.1", "^aNew York ^bSociety ^c[c1974]"},
        {"300Z.1.1.1.1", "^axiv, 391 p. ^bill. ^c24 cm."},
        {"500Z.1.1.1.1", "Includes bibliographical references."},
        {"505Z.1.1.1.1", "Wstęp"_cp},
        {"505Z.1.1.2.1", "Rozdział pierwszy"_cp},
        {"505Z.1.1.3.1", "Zakończenie"_cp},
        {"650Z.1.1.1.1", "^aRadioisotope scanning ^xData processing"},
        {"650Z.1.1.2.1", "^aScintillation cameras"},
        {"700Z.1.1.1.1", "^aWashington University."},
        {"DOK_TYP", "KONWERTER_KAT"},
    };
    std::vector<std::pair<std::string, std::string>> got;
    for (const my_field& f : k.fields()) got.emplace_back(f.key, f.value);
    EXPECT_EQ(got, expected);
    EXPECT_TRUE(mReports.empty());
}
