#include "lang/IniMacros.h"
#include "lang/ProfileFile.h"
#include "lang/TLongIniFile.h"
#include "lang/TMultiIniFile.h"
#include "text/CpLiteral.h"

#include "support/Hex.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace velt;
using test::TempDir;

TEST(ProfileFile, ReadsTheWayTheProfileFunctionsDo) {
    TempDir dir;
    const std::string file = dir.Write("a.ini",
        "; a comment\r\n"
        "[KOLEKCJA]\r\n"
        "ścieżka = \"./dane/\"  \r\n"_cp +
        "sortowanie=$1F\r\n"
        ";sortowanie=5\r\n"
        "sortowanie=7\r\n"
        "pusty=\r\n"
        "[kolekcja]\r\n"
        "inny=x\r\n"
        "[Różne]\n"_cp +
        "liczba=12a\n"
        "dziesiętna=2,5\n"_cp +
        "tak=1\n");
    ProfileFile ini(file);
    EXPECT_TRUE(ini.Complete());
    EXPECT_EQ(ini.ReadString("kolekcja", "ŚCIEŻKA"_cp, "?"), "./dane/");  // Polish letters fold too
    EXPECT_EQ(ini.ReadInteger("KOLEKCJA", "sortowanie", 0), 31);            // first occurrence, "$" hex
    EXPECT_EQ(ini.ReadString("KOLEKCJA", "pusty", "?"), "");
    EXPECT_FALSE(ini.ValueExists("KOLEKCJA", "inny")) << "the first section of a name wins";
    EXPECT_EQ(ini.ReadInteger("RÓŻNE"_cp, "liczba", -1), -1);
    EXPECT_DOUBLE_EQ(ini.ReadFloat("Różne"_cp, "dziesiętna"_cp, 0), 2.5);
    EXPECT_TRUE(ini.ReadBool("Różne"_cp, "tak", false));
    EXPECT_TRUE(ini.ReadBool("Różne"_cp, "brak", true));
    EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"KOLEKCJA", "Różne"_cp}));
    EXPECT_EQ(ini.ReadSection("KOLEKCJA").size(), 4u);
}

TEST(ProfileFile, WritingChangesOneValueAndKeepsEveryOtherByte) {
    TempDir dir;
    const std::string original =
        "; ustawienia\r\n[HISTORIA]\r\nid = KATALOG_A\r\npytaj=0\r\n\r\n[LISTA]\nwysokość=65\n\n; koniec"_cp;
    const std::string file = dir.Write("b.ini", original);
    ProfileFile ini(file);
    ini.WriteString("HISTORIA", "ID", "KATALOG_B");
    ini.WriteString("historia", "pytaj", "0");  // unchanged: nothing to write
    EXPECT_TRUE(ini.Modified());
    EXPECT_EQ(ini.Save(), "");
    std::string expected = original;
    expected.replace(expected.find("KATALOG_A"), 9, "KATALOG_B");
    EXPECT_BYTES_EQ(TempDir::Read(file), expected);

    // A new key lands at the end of its section, a new section at the end.
    ProfileFile again(file);
    again.WriteString("HISTORIA", "nowy", "1");
    again.WriteString("EDYCJA", "skala", "1.5");
    EXPECT_EQ(again.Save(), "");
    EXPECT_BYTES_EQ(TempDir::Read(file),
                    "; ustawienia\r\n[HISTORIA]\r\nid = KATALOG_B\r\npytaj=0\r\nnowy=1\r\n\r\n[LISTA]\nwysokość=65\n\n; koniec\r\n\r\n[EDYCJA]\r\nskala=1.5\r\n"_cp);
    EXPECT_EQ(std::filesystem::directory_iterator(dir.Path())->path().filename(), "b.ini");
}

TEST(ProfileFile, AFileThatCannotBeReadWholeIsNeverSaved) {
    TempDir dir;
    std::filesystem::create_directories(dir.Path() + "katalog.ini");  // a directory cannot be read as a file
    ProfileFile ini(dir.Path() + "katalog.ini");
    EXPECT_FALSE(ini.Complete());
    ini.WriteString("A", "b", "c");
    EXPECT_NE(ini.Save(), "");
    ProfileFile missing(dir.Path() + "nowy.ini");
    EXPECT_TRUE(missing.Complete());
    EXPECT_FALSE(missing.Exists());
}

TEST(ExpandMacros, GlobalIniAndEnvironment) {
    TempDir dir;
    ::setenv("VELT_TEST_ENV", "/env", 1);
    const std::string file = dir.Write("c.ini",
                                       "[GLOBAL]\nA=%INI%x\nB=%A%/y\nC=%D%z\nD=d\npath=macro\n"
                                       "[PLIK more|%INI%more.ini]\n[PLIK %INI%plain.ini]\n[Own]\nk=main\n");
    dir.Write("more.ini", "[x]\nkey = value\n#key=no\nname=v1\n[y]\nq=1\n");
    dir.Write("plain.ini", "[Own]\nk=included\nonly=here\n[Tylko]\nt=1\n");
    TMultiIniFile ini(file);
    EXPECT_EQ(ExpandMacros("%INI%log.txt"), dir.Path() + "log.txt");
    EXPECT_EQ(ExpandMacros("%B%"), dir.Path() + "x/y");
    EXPECT_EQ(ExpandMacros("%C%"), "z") << "a macro defined further down expands to nothing";
    EXPECT_EQ(ExpandMacros("%VELT_TEST_ENV%/a"), "/env/a");
    EXPECT_EQ(ExpandMacros("%PATH%"), "macro") << "a macro's name is found whatever its case";
    EXPECT_EQ(ExpandMacros("a %D% b %D%"), "adbd");
    EXPECT_EQ(ExpandMacros("a %D% b"), "ad b");
    EXPECT_EQ(ExpandMacros("100% sure"), "100% sure") << "a lone % is kept";
    EXPECT_EQ(ExpandMacros("%%x"), "x");

    EXPECT_EQ(ini.ReadString("morex", "key ", "?"), " value");
    EXPECT_EQ(ini.ReadString("morex", "name", "?"), "v1");
    EXPECT_EQ(ini.ReadString("x", "name", "?"), "?");
    EXPECT_EQ(ini.ReadString("Own", "k", "?"), "main") << "the main file's value first";
    EXPECT_EQ(ini.ReadString("Own", "only", "?"), "here");
    EXPECT_EQ(ini.ReadSections(),
              (std::vector<std::string>{"GLOBAL", "morex", "morey", "Own", "Tylko", "Own"}));
    EXPECT_EQ(ini.ReadSectionValues("morey"), std::vector<std::string>{"q=1"});
    EXPECT_EQ(ini.ReadSectionValues("Tylko"), std::vector<std::string>{"t=1"});
    ::unsetenv("VELT_TEST_ENV");
}

TEST(ExpandMacros, TheTableOutlivesTheReader) {
    TempDir dir;
    const std::string file = dir.Write("d.ini", "[GLOBAL]\nMEDIA=%INI%media\n");
    { TMultiIniFile ini(file); }
    EXPECT_EQ(ExpandMacros("%MEDIA%/a.jpg"), dir.Path() + "media/a.jpg");
}

TEST(TLongIniFile, KeepsBlanksAroundTheEqualsAndReadsBooleansStrictly) {
    TempDir dir;
    TLongIniFile f(dir.Write("e.ini", "ignored=1\n[S]\n  key = value  \n#c=1\n=x\nflag=1\nzero=0\nlong=" +
                                          std::string(5000, 'y') + "\n[T]\n"));
    EXPECT_EQ(f.ReadString("s", "key ", "?"), " value");
    EXPECT_FALSE(f.ValueExists("S", "#c"));
    EXPECT_TRUE(f.ReadBool("S", "flag", false));
    EXPECT_FALSE(f.ReadBool("S", "zero", true));
    EXPECT_FALSE(f.ReadBool("S", "missing", true));
    EXPECT_TRUE(f.ReadBool("X", "missing", true));
    EXPECT_EQ(f.ReadString("S", "long", "").size(), 5000u);
    EXPECT_EQ(f.ReadSections(), (std::vector<std::string>{"S", "T"}));
    TLongIniFile none(dir.Path() + "none.ini");
    EXPECT_TRUE(none.ReadSections().empty());
}
