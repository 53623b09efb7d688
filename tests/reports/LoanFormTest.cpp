// The loan form's data line: the date and time as the form shows them, the
// description without its escape sequences, every "&" escaped so the line
// keeps its fields; the PLIK report's proposed file name.

#include "reports/LoanForm.h"
#include "reports/ReportMacros.h"

#include <gtest/gtest.h>

using namespace velt;

TEST(LoanFormTest, FieldsReadBackAsTheyWereGiven) {
    LoanFormData d;
    d.id = "K7";
    d.card = "C123";
    d.readerName = "Kowalski & syn";
    d.dateTime = "2005031012:30:4*";
    d.description = "  Pan \x1b" "B1\x1a" "Tadeusz\r& inne\x1bX\r ";
    d.shelfmark = "II 100&A\n";
    d.sn = "5";
    d.label1 = "Biblioteka";
    d.label2 = "Filia 2";
    const std::string line = LoanFormLine(d);
    EXPECT_EQ(line.find('\n'), std::string::npos);
    const struct {
        const char* field;
        const char* value;
    } cases[] = {
        {"id", "K7"},           {"karta", "C123"},
        {"data", "10.03.2005"}, {"godz", "12:30:40 (*)"},
        {"nalepka1", "Biblioteka"}, {"nalepka2", "Filia 2"},
        {"nazwisko", "Kowalski & syn"}, {"sn", "5"},
        {"sygnatura", "II 100&A "}, {"opis", "Pan Tadeusz & inne"},
    };
    for (const auto& c : cases) EXPECT_EQ(DataField(line, c.field), c.value) << c.field << " in " << line;

    d.dateTime = "2005031012:30:45";
    EXPECT_EQ(DataField(LoanFormLine(d), "godz"), "12:30:45");
    d.dateTime = "2005";
    EXPECT_EQ(DataField(LoanFormLine(d), "godz"), "");
}

TEST(LoanFormTest, PlikReportsProposeTheirPattern) {
    EXPECT_EQ(PlikDefaultName("Dokument|*.rtf"), "raport.rtf");
    EXPECT_EQ(PlikDefaultName("Dokument"), "raport");
    EXPECT_EQ(PlikDefaultName("|wynik_*_*.csv"), "wynik_raport_raport.csv");
    EXPECT_EQ(PlikDefaultName(""), "raport");
}
