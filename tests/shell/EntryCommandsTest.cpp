#include "shell/EntryCommands.h"
#include "shell/ServerPrograms.h"

#include <gtest/gtest.h>

using namespace velt;

// The commands of the entries are matched in the order of their table.
TEST(EntryCommands, CommandsAreMatchedInTheOrderOfTheirTable) {
    using K = EntryCommandKind;
    const struct {
        const char* command;
        bool local;
        K kind;
        const char* argument;
        bool current;
    } cases[] = {
        {"!", false, K::Selected, "", false},
        {"?", true, K::Count, "", false},
        {"?", false, K::Other, "?", false},
        {"*", true, K::Toggle, "", false},
        {"kolekcja K12", false, K::Kolekcja, "K12", false},
        {"kolekcja K12", true, K::Other, "kolekcja K12", false},
        {"zapytanie \"autor\" RÓWNY \"x\"", false, K::Zapytanie, " \"autor\" RÓWNY \"x\"", false},
        {"JPG okladka.jpg", false, K::Jpg, "okladka.jpg", true},
        {"BLOBspis treści.txt", true, K::Blob, "spis treści.txt", true},
        {"BAR  a\x1B" "b ", false, K::Bar, "a\x1B" "b", true},
        {"@notatnik.exe|plik.txt", false, K::Program, "notatnik.exe|plik.txt", true},
        {"@notatnik.exe", false, K::Program, "notatnik.exe", true},
        {"RAPORT Wykaz|a|1|", false, K::Raport, " Wykaz|a|1|", true},
        {"OPERACJASprawdzenie|x|", false, K::Operacja, "Sprawdzenie|x|", true},
        {"STRUKTURA K1|drzewo", false, K::Struktura, " K1|drzewo", true},
        {"rekordK12 TY", false, K::Rekord, "K12 TY", false},
        {"TY|K12", false, K::IndexRecord, "TY|K12", false},
        {"powiazania struktura", false, K::Powiazania, "struktura", true},
        {"powiazania|x", false, K::IndexRecord, "powiazania|x", false},
        {"&op=R", false, K::Reader, "&op=R", true},
        {"Pokaz", false, K::Other, "Pokaz", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        const EntryCommandParts p = ClassifyEntryCommand(c.command, c.local);
        EXPECT_EQ(p.kind, c.kind);
        EXPECT_EQ(p.argument, c.argument);
        EXPECT_EQ(p.current, c.current);
    }
}

TEST(EntryCommands, AttachmentFilesKeepOnlyAHarmlessExtension) {
    EXPECT_EQ(AttachmentExtension("okładka.jpg"), "jpg");
    EXPECT_EQ(AttachmentExtension("recenzja.PDF"), "PDF");
    EXPECT_EQ(AttachmentExtension("x/../"), "dat") << "no letters: a neutral extension";
    EXPECT_EQ(AttachmentExtension("a.t/x"), "tx");
}

TEST(ServerPrograms, ModesFollowTheProgramsOptions) {
    velt_programm p;
    p.Name = "Sprawdzenie";
    EXPECT_EQ(ProgramModes(p).size(), 1u);
    EXPECT_EQ(ProgramModes(p)[0].first, ProgramMode::Automatic);
    p.Options = "SLx";
    const auto m = ProgramModes(p);
    ASSERT_EQ(m.size(), 3u);
    EXPECT_EQ(m[0].first, ProgramMode::CurrentRecord);
    EXPECT_EQ(m[1].first, ProgramMode::LocalCollection);
    EXPECT_EQ(m[1].second, "rekordy kolekcji lokalnej");
    EXPECT_EQ(m[2].first, ProgramMode::Automatic);
}
