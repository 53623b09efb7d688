// The printer of a printout: settings files checked when read back, this
// run's store, SelectPrinter and ChoosePrinter over a fake platform.

#include "reports/PrinterChoice.h"
#include "text/CpLiteral.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace velt;

namespace {

struct FakePrinters : PrinterSystem {
    std::vector<std::string> installed{"Biuro", "Rewersy on serwer-druku", "Etykiety"};
    std::string byDefault = "Biuro";
    int dialogs = 0;
    PrinterSettings presetSeen;
    PrintPages pagesSeen;
    std::function<bool(PrinterSettings&, PrintPages*)> answer = [](PrinterSettings&, PrintPages*) { return true; };
    std::vector<std::string> InstalledPrinters() override { return installed; }
    std::string DefaultPrinter() override { return byDefault; }
    PrinterSettings DefaultSettings(const std::string& printer) override {
        PrinterSettings s;
        s.printer = printer;
        return s;
    }
    bool PrintDialog(PrinterSettings& settings, PrintPages* pages) override {
        ++dialogs;
        presetSeen = settings;
        if (pages) pagesSeen = *pages;
        return answer(settings, pages);
    }
};

PrinterSettings Landscape(const std::string& printer) {
    PrinterSettings s;
    s.printer = printer;
    s.paper = "A5";
    s.orientation = 2;
    s.copies = 3;
    s.duplex = 1;
    s.colour = false;
    s.resolution = 600;
    return s;
}

}  // namespace

TEST(PrinterSettingsFile, RoundTripsAndRefusesWhatItDidNotWrite) {
    test::TempDir dir;
    const std::string path = dir.Path() + "rewersy.prs";
    const FakePrinters printers;
    ASSERT_EQ(SavePrinterSettings(path, Landscape("Etykiety")), "");
    EXPECT_EQ(SavePrinterSettings(dir.Path() + "nowy/velt/rewersy.prs", Landscape("Biuro")), "")
        << "a first save makes the configuration directory";
    const LoadedPrinterSettings back = LoadPrinterSettings(path, printers.installed);
    ASSERT_TRUE(back.settings) << back.failure;
    EXPECT_EQ(*back.settings, Landscape("Etykiety"));
    // The stored name stands for the installed printer it begins (before " on ").
    ASSERT_EQ(SavePrinterSettings(path, Landscape("Rewersy")), "");
    EXPECT_EQ(LoadPrinterSettings(path, printers.installed).settings->printer, "Rewersy on serwer-druku");
    ASSERT_EQ(SavePrinterSettings(path, Landscape("Kolorowa")), "");
    EXPECT_EQ(LoadPrinterSettings(path, printers.installed).failure, SettingsPrinterMissingText());

    const std::string good = FormatPrinterSettings(Landscape("Biuro"));
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string t = good;
        t.replace(t.find(from), from.size(), to);
        return t;
    };
    const std::vector<std::pair<std::string, std::string>> broken = {
        {"no header", good.substr(good.find('\n') + 1)},
        {"copies 0", replaced("kopie=3", "kopie=0")},
        {"copies not a number", replaced("kopie=3", "kopie=3x")},
        {"orientation 7", replaced("orientacja=2", "orientacja=7")},
        {"unknown paper", replaced("papier=A5", "papier=Z9")},
        {"resolution 10", replaced("rozdzielczosc=600", "rozdzielczosc=10")},
        {"a key twice", good + "kopie=2\n"},
        {"a key missing", replaced("kolor=0\n", "")},
        {"an unknown key", good + "sterownik=x\n"},
        {"a control character in the name", replaced("nazwa=Biuro", "nazwa=Bi\x01uro")},
        {"an empty name", replaced("nazwa=Biuro", "nazwa=")},
        {"a binary record", std::string(156, '\0')},
        {"too long", good + std::string(5000, '#')},
    };
    for (const auto& [what, text] : broken) {
        ASSERT_EQ(dir.Write("zly.prs", text), dir.Path() + "zly.prs");
        const LoadedPrinterSettings r = LoadPrinterSettings(dir.Path() + "zly.prs", printers.installed);
        EXPECT_FALSE(r.settings) << what;
        EXPECT_EQ(r.failure, SettingsRecordDiffersText()) << what;
    }
    EXPECT_EQ(LoadPrinterSettings(dir.Path() + "brak.prs", printers.installed).failure, SettingsRecordDiffersText());
}

TEST(PrinterSettingsFile, ThePerPrinterFileNeverLeavesItsDirectory) {
    EXPECT_EQ(PrinterSettingsFile("/c/", "Biuro"), "/c/drukarka-Biuro.prs");
    EXPECT_EQ(PrinterSettingsFile("/c/", "../../etc/passwd"), "/c/drukarka-______etc_passwd.prs");
    EXPECT_EQ(PrinterSettingsFile("/c/", ""), "/c/drukarka-_.prs");
    EXPECT_EQ(PrinterSettingsFile("/c/", std::string(300, 'a')).size(), std::string("/c/drukarka-.prs").size() + 64);
}

TEST(PrinterChoice, SelectPrinterTakesTheNamedPrinterWithTheSettingsOfThisRunOrItsFile) {
    test::TempDir dir;
    FakePrinters printers;
    std::vector<std::string> shown;
    PrinterChoice choice(printers, [&](const std::string& m) { shown.push_back(m); });
    // A missing printer leaves the default one current.
    EXPECT_FALSE(choice.SelectPrinter("Kolorowa", ""));
    EXPECT_EQ(choice.Current().printer, "Biuro");
    // A file of settings is applied and kept for the run.
    const std::string file = dir.Path() + "etykiety.prs";
    ASSERT_EQ(SavePrinterSettings(file, Landscape("Etykiety")), "");
    EXPECT_TRUE(choice.SelectPrinter("Etykiety", file));
    EXPECT_EQ(choice.Current(), Landscape("Etykiety"));
    ASSERT_NE(choice.Stored("Etykiety"), nullptr);
    // This run's settings win over the file once held.
    ASSERT_EQ(SavePrinterSettings(file, [] { PrinterSettings s; s.printer = "Etykiety"; return s; }()), "");
    EXPECT_TRUE(choice.SelectPrinter("Etykiety", file));
    EXPECT_EQ(choice.Current().copies, 3);
    // No file: the printer's own settings. A broken file: its message, and false.
    EXPECT_TRUE(choice.SelectPrinter("Biuro", dir.Path() + "brak.prs"));
    EXPECT_EQ(choice.Current(), printers.DefaultSettings("Biuro"));
    ASSERT_EQ(dir.Write("zly.prs", "[DRUKARKA]\nnazwa=Biuro\n"), dir.Path() + "zly.prs");
    EXPECT_FALSE(choice.SelectPrinter("Biuro", dir.Path() + "zly.prs"));
    EXPECT_EQ(shown, std::vector<std::string>{SettingsRecordDiffersText()});
    EXPECT_EQ(printers.dialogs, 0) << "selecting never asks";
}

TEST(PrinterChoice, ChoosePrinterPresetsTheDialogAndKeepsWhatWasChosen) {
    test::TempDir dir;
    FakePrinters printers;
    PrinterChoice choice(printers, nullptr);
    const std::string file = dir.Path() + "rewersy.prs";
    std::string name = "Etykiety";
    // Cancelled: nothing changes.
    printers.answer = [](PrinterSettings&, PrintPages*) { return false; };
    EXPECT_FALSE(choice.ChoosePrinter(name, file, nullptr));
    EXPECT_EQ(name, "Etykiety");
    EXPECT_FALSE(dir.Exists(file));
    // Another printer and pages 2..3 of a report of 1500 pages.
    printers.answer = [](PrinterSettings& s, PrintPages* p) {
        s = Landscape("Biuro");
        p->from = 2;
        p->to = 3;
        return true;
    };
    PrintPages pages{1500};
    ASSERT_TRUE(choice.ChoosePrinter(name, file, &pages));
    EXPECT_EQ(printers.presetSeen.printer, "Etykiety") << "the dialog starts on the named printer";
    EXPECT_EQ(printers.pagesSeen.last, 1000) << "the dialog offers at most 1000 pages";
    EXPECT_EQ(printers.pagesSeen.from, 1);
    EXPECT_EQ(printers.pagesSeen.to, 1000);
    EXPECT_EQ(pages.from, 2);
    EXPECT_EQ(pages.to, 3);
    EXPECT_EQ(name, "Biuro");
    EXPECT_EQ(choice.Current(), Landscape("Biuro"));
    EXPECT_EQ(LoadPrinterSettings(file, printers.installed).settings, Landscape("Biuro")) << "saved to the file";
    // The next choice starts with what this run keeps for the printer.
    printers.answer = [](PrinterSettings&, PrintPages*) { return true; };
    ASSERT_TRUE(choice.ChoosePrinter(name, "", nullptr));
    EXPECT_EQ(printers.presetSeen, Landscape("Biuro"));
    // A PDF file is no printer: the name and the files stay.
    printers.answer = [](PrinterSettings& s, PrintPages*) {
        s.printer.clear();
        s.outputFile = "/tmp/x.pdf";
        return true;
    };
    ASSERT_TRUE(choice.ChoosePrinter(name, file, nullptr));
    EXPECT_EQ(name, "Biuro");
    EXPECT_EQ(choice.Current().outputFile, "/tmp/x.pdf");
    EXPECT_EQ(LoadPrinterSettings(file, printers.installed).settings, Landscape("Biuro"));
}

TEST(PrinterChoice, EveryPrinterKeepsItsOwnFileAndAReportGivesItsOrientation) {
    test::TempDir dir;
    FakePrinters printers;
    {
        PrinterChoice run(printers, nullptr);
        std::string name;  // the first printout of a run: the default printer
        printers.answer = [](PrinterSettings& s, PrintPages* p) {
            EXPECT_EQ(s.orientation, 2) << "the report's landscape preset";
            s = Landscape("Etykiety");
            p->from = p->to = 0;
            return true;
        };
        PrintPages pages{4, 0, 0, 2};
        ASSERT_TRUE(run.ChoosePrinterIn(name, dir.Path(), &pages));
        EXPECT_EQ(printers.presetSeen.printer, "Biuro");
        EXPECT_EQ(name, "Etykiety");
        EXPECT_EQ(pages.from, 0);
        EXPECT_TRUE(dir.Exists(PrinterSettingsFile(dir.Path(), "Etykiety")));
        EXPECT_FALSE(dir.Exists(PrinterSettingsFile(dir.Path(), "Biuro")));
    }
    // The next run finds the printer's settings in its file.
    PrinterChoice next(printers, nullptr);
    std::string name = "Etykiety";
    printers.answer = [](PrinterSettings&, PrintPages*) { return true; };
    ASSERT_TRUE(next.ChoosePrinterIn(name, dir.Path(), nullptr));
    EXPECT_EQ(printers.presetSeen, Landscape("Etykiety"));
}

TEST(PrinterChoice, WithoutPrintersTheUserIsWarnedOnceAndMayStillWriteAPdf) {
    FakePrinters printers;
    printers.installed.clear();
    printers.byDefault.clear();
    printers.answer = [](PrinterSettings& s, PrintPages*) {
        s.printer.clear();
        s.outputFile = "/tmp/raport.pdf";
        return true;
    };
    std::vector<std::string> shown;
    PrinterChoice choice(printers, [&](const std::string& m) { shown.push_back(m); });
    std::string name;
    EXPECT_TRUE(choice.ChoosePrinter(name, "", nullptr)) << "the PDF file is still there to choose";
    EXPECT_TRUE(choice.ChoosePrinter(name, "", nullptr));
    EXPECT_EQ(shown, std::vector<std::string>{NoPrintersText()}) << "once a run";
    EXPECT_EQ(NoPrintersText(), "UWAGA: brak zainstalowanych drukarek");
    EXPECT_EQ(name, "") << "a PDF file is no printer to keep";
    EXPECT_EQ(printers.dialogs, 2);
}
