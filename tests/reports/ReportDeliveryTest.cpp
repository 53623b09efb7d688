// What becomes of a report's work file by its kind, and the "&Zestawienie"
// menu made from a descriptor's reports, without any window.

#include "catalogue/DescriptorItems.h"
#include "params/ProgramLauncher.h"
#include "reports/ReportDelivery.h"
#include "reports/ReportMenu.h"
#include "reports/tbl_report.h"
#include "text/CpLiteral.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace velt;
using test::TempDir;

namespace {

struct Viewer : ReportViewer {
    std::vector<std::string> seen;
    void ShowText(const std::string& title, const std::string& text) override { seen.push_back(title + ":" + text); }
    void ShowFormatted(const std::string& title, const std::vector<std::string>& lines) override {
        seen.push_back(title + ":" + std::to_string(lines.size()) + " lines");
    }
    void ShowTable(std::unique_ptr<tbl_report> table) override { seen.push_back("table:" + table->title); }
    void OpenFile(const std::string& path) override { seen.push_back("open:" + path); }
    void ShowError(const std::string& text) override { seen.push_back("error:" + text); }
};

struct Launcher : ProgramLauncher {
    std::vector<std::string> started;
    bool works = true;
    bool Start(const std::string& program, const std::vector<std::string>& arguments, const std::string& directory,
               std::string& why) override {
        std::string line = program + " in " + directory;
        for (const auto& a : arguments) line += " [" + a + "]";
        started.push_back(line);
        if (!works) why = "no such file";
        return works;
    }
};

velt_report Report(const std::string& name, const std::string& language) {
    velt_report r;
    r.Name = name;
    r.Language = language;
    return r;
}

}  // namespace

TEST(ReportDelivery, EachKindIsParsedOnceAndOtherLanguagesAreUnknown) {
    const std::pair<const char*, ReportKind> kinds[] = {
        {"FORMAT", ReportKind::Format}, {"KARTA", ReportKind::Karta},       {"TEXT", ReportKind::Text},
        {"ETYKIETA", ReportKind::Etykieta}, {"TABELA", ReportKind::Tabela}, {"PLIK", ReportKind::Plik},
        {"tabela", ReportKind::Unknown}, {"", ReportKind::Unknown},         {"TABELA ", ReportKind::Unknown}};
    for (const auto& [text, kind] : kinds) EXPECT_EQ(ParseReportKind(text), kind) << text;
}

TEST(ReportDelivery, TheMenuKeepsTheDescriptorsOrderGroupsAndShowableKindsOnly) {
    std::vector<velt_report> reports = {Report("Lista", "TABELA"), Report("Obcy", "XML"), Report("Opis", "FORMAT"),
                                        Report("Karty", "KARTA"), Report("Eksport", "PLIK")};
    reports[0].Group = "Wykazy";
    reports[2].Group = "Opisy";
    reports[3].Group = "Wykazy";
    reports[2].NoParameterForm = false;
    reports[4].Icon = "plik.bmp";
    const auto entries = ReportMenuEntries(reports);
    ASSERT_EQ(entries.size(), 4u) << "a language the program does not show is no item";
    EXPECT_EQ(entries[0].report, 0u);
    EXPECT_EQ(entries[1].report, 2u);
    EXPECT_EQ(entries[3].report, 4u);
    EXPECT_TRUE(entries[1].withForm);
    EXPECT_FALSE(entries[0].withForm);
    EXPECT_EQ(entries[3].icon, "plik.bmp");
    EXPECT_EQ(ReportMenuGroups(entries), (std::vector<std::string>{"Wykazy", "Opisy"}));
    ASSERT_EQ(ReportScopeItems().size(), 3u);
    EXPECT_EQ(ReportScopeItems()[2].second, "Wyróżniony rekord"_cp);
    EXPECT_EQ(ReportScopeItems()[0].first, ReportScope::RemoteCollection);
}

TEST(ReportDelivery, TextAndFormatReachTheViewerAndTheWorkFileGoes) {
    TempDir dir;
    Viewer viewer;
    ReportDelivery how;
    const std::string text = dir.Write("r1.tmp", "wiersz 1\r\nwiersz 2\r\n");
    EXPECT_TRUE(DeliverReport(Report("Tekst", "TEXT"), text, how, viewer));
    const std::string format = dir.Write("r2.tmp", "[PARAGRAF 0 0 0]\r\nakapit\r\n");
    EXPECT_TRUE(DeliverReport(Report("Opis", "FORMAT"), format, how, viewer));
    EXPECT_EQ(viewer.seen, (std::vector<std::string>{"Tekst:wiersz 1\r\nwiersz 2\r\n", "Opis:2 lines"}));
    EXPECT_FALSE(TempDir::Exists(text));
    EXPECT_FALSE(TempDir::Exists(format));
    DeliverReport(Report("Tekst", "TEXT"), dir.Path() + "brak.tmp", how, viewer);
    DeliverReport(Report("Opis", "FORMAT"), dir.Path() + "brak.tmp", how, viewer);
    DeliverReport(Report("Etykiety", "ETYKIETA"), dir.Path() + "brak.tmp", how, viewer);
    EXPECT_EQ(std::vector<std::string>(viewer.seen.begin() + 2, viewer.seen.end()),
              (std::vector<std::string>{"error:TEXT_REPORT: Brak pliku roboczego zestawienia",
                                        "error:SPEC_REPORT: Brak pliku roboczego zestawienia",
                                        "error:BARC_REPORT: Brak pliku roboczego zestawienia"}));
}

TEST(ReportDelivery, LabelsGoIntoTheLabelFileAndTheConfiguredProgramGetsUtf8Texts) {
    TempDir dir;
    Viewer viewer;
    Launcher launcher;
    ReportDelivery how;
    how.labelFile = dir.Path() + "NAKLEJKI.DAT";
    how.labelProgram = "/usr/bin/etykiety";
    how.label1 = "Biblioteka Główna"_cp;
    how.launcher = &launcher;
    const std::string work = dir.Write("r3.tmp", "II 10|Biblioteka\r\n");
    EXPECT_TRUE(DeliverReport(Report("Etykiety", "ETYKIETA"), work, how, viewer));
    EXPECT_EQ(TempDir::Read(how.labelFile), "II 10|Biblioteka\r\n");
    ASSERT_EQ(launcher.started.size(), 1u);
    EXPECT_EQ(launcher.started[0], "/usr/bin/etykiety in " + dir.Path() + " [NAKLEJKI.DAT] [Biblioteka Główna] []");
    EXPECT_TRUE(viewer.seen.empty());
    // A program that does not start is named; no lines, no program.
    launcher.works = false;
    DeliverLabels({"A|B"}, how, viewer);
    EXPECT_EQ(viewer.seen, std::vector<std::string>{"error:Błąd uruchomienia programu \"/usr/bin/etykiety\""_cp});
    DeliverLabels({}, how, viewer);
    EXPECT_EQ(launcher.started.size(), 2u);
    // Without a program nothing is started.
    how.labelProgram.clear();
    DeliverLabels({"C|D"}, how, viewer);
    EXPECT_EQ(launcher.started.size(), 2u);
    EXPECT_EQ(TempDir::Read(how.labelFile), "II 10|Biblioteka\r\nA|B\r\nC|D\r\n");
}

TEST(ReportDelivery, APlikReportReplacesTheChosenFileWholeOrKeepsIt) {
    TempDir dir;
    Viewer viewer;
    ReportDelivery how;
    how.plikTarget = dir.Write("eksport.csv", "stary");
    const std::string work = dir.Write("r4.tmp", "a;b\r\n");
    EXPECT_TRUE(DeliverReport(Report("Eksport", "PLIK"), work, how, viewer));
    EXPECT_EQ(TempDir::Read(how.plikTarget), "a;b\r\n");
    EXPECT_EQ(viewer.seen, std::vector<std::string>{"open:" + how.plikTarget});
    // A target that cannot be written: said once, the work file removed.
    how.plikTarget = dir.Path() + "brak/eksport.csv";
    const std::string second = dir.Write("r5.tmp", "x");
    DeliverReport(Report("Eksport", "PLIK"), second, how, viewer);
    EXPECT_EQ(viewer.seen.back(), "error:Nie można zapisać pliku "_cp + how.plikTarget);
    EXPECT_FALSE(TempDir::Exists(second));
    // No target chosen: nothing is kept.
    how.plikTarget.clear();
    const std::string third = dir.Write("r6.tmp", "x");
    DeliverReport(Report("Eksport", "PLIK"), third, how, viewer);
    EXPECT_FALSE(TempDir::Exists(third));
    EXPECT_EQ(viewer.seen.size(), 2u);
}

TEST(ReportDelivery, CardsUnknownKindsAndRefusedTablesAreSaidAndLeaveNoWorkFile) {
    TempDir dir;
    Viewer viewer;
    ReportDelivery how;
    const std::string card = dir.Write("r7.tmp", "[KARTA]\r\n");
    EXPECT_FALSE(DeliverReport(Report("Karta", "KARTA"), card, how, viewer)) << "no card window: the caller says so";
    EXPECT_FALSE(TempDir::Exists(card));
    const std::string odd = dir.Write("r8.tmp", "x");
    EXPECT_TRUE(DeliverReport(Report("Dziwny", "XML"), odd, how, viewer));
    EXPECT_FALSE(TempDir::Exists(odd));
    const std::string table = dir.Write("r9.tmp", "bez opisu\r\n");
    EXPECT_TRUE(DeliverReport(Report("Lista", "TABELA"), table, how, viewer));
    EXPECT_FALSE(TempDir::Exists(table));
    ASSERT_EQ(viewer.seen.size(), 2u);
    EXPECT_EQ(viewer.seen[0], "error:Nieznany typ zestawienia \"XML\"");
    EXPECT_EQ(viewer.seen[1].rfind("error:", 0), 0u) << viewer.seen[1];
}
