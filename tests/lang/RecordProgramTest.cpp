#include "lang/RecordProgram.h"
#include "text/CpLiteral.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace velt;

namespace {

// A program's text as the program sends it: every line followed by CR.
std::string Lines(std::initializer_list<const char*> lines) {
    std::string text;
    for (const char* l : lines) text += std::string(l) + "\r";
    return text;
}

const std::string kShelfMarks = Lines({
    "{ every shelf mark 'Cz. ...' becomes 'Czyt. ...' }",
    "BEGIN",
    "  GRUPA('852')",
    "  WHILE OK",
    "    GRUPA('Z')",
    "    POLE = REPLACE(POLE, '^hCz. ', '^hCzyt. ')",
    "    BACK",
    "    SKIP",
    "  ENDDO",
    "  BACK",
    "  GRUPA('590')",
    "  WHILE OK",
    "    SKIP",
    "  ENDDO",
    "  GRUPA('Z')",
    "  POLE = 'Zmiana globalna ' + REKORD",
    "  BACK",
    "  BACK",
    "END",
});

std::string Value(const std::vector<ProgramField>& fields, const std::string& key) {
    for (const auto& f : fields)
        if (f.key == key) return f.value;
    return "(none)";
}

}  // namespace

TEST(RecordProgram, ChangesOccurrencesAndAddsAFieldWhateverTheLineEnds) {
    for (const std::string& ends : {std::string("\r"), std::string("\n"), std::string("\r\n")}) {
        std::string text = kShelfMarks;
        std::string with;
        for (const char c : text) with += c == '\r' ? ends : std::string(1, c);
        const RecordProgram program(with);
        ASSERT_TRUE(program.Ready()) << program.Error();
        std::vector<ProgramField> fields = {{"001Z.1.1.1.1", "K7"},
                                            {"245Z.1.1.1.1", "^aTytuł"},
                                            {"852Z.1.1.1.1", "^aBiblioteka ^hCz. II 12"},
                                            {"852Z.1.1.3.1", "^hMag. 5 ^hCz. 7"},
                                            {"590Z.1.1.2.1", "stara uwaga"}};
        const ProgramRun run = program.Run(fields, "K7");
        EXPECT_EQ(run.error, "");
        EXPECT_GT(run.steps, 0u);
        EXPECT_EQ(Value(fields, "852Z.1.1.1.1"), "^aBiblioteka ^hCzyt. II 12");
        EXPECT_EQ(Value(fields, "852Z.1.1.3.1"), "^hMag. 5 ^hCzyt. 7");
        EXPECT_EQ(Value(fields, "590Z.1.1.2.1"), "stara uwaga");
        EXPECT_EQ(Value(fields, "590Z.1.1.3.1"), "Zmiana globalna K7");
        EXPECT_EQ(fields.front().key, "001Z.1.1.1.1") << "the fields keep their order";
    }
    // A record without the tag gets its first occurrence.
    const RecordProgram program(kShelfMarks);
    std::vector<ProgramField> fields = {{"245Z.1.1.1.1", "^aTytuł"}};
    EXPECT_EQ(program.Run(fields, "K8").error, "");
    EXPECT_EQ(Value(fields, "590Z.1.1.1.1"), "Zmiana globalna K8");
}

TEST(RecordProgram, TheEmptyProgramChangesNothing) {
    for (const char* text : {"begin\r\nend", "begin\rend\r", "BEGIN\nEND\n"}) {
        const RecordProgram program(text);
        ASSERT_TRUE(program.Ready()) << text << ": " << program.Error();
        std::vector<ProgramField> fields = {{"245Z.1.1.1.1", "^aTytuł"}};
        EXPECT_EQ(program.Run(fields, "K1").error, "");
        ASSERT_EQ(fields.size(), 1u);
        EXPECT_EQ(fields[0].value, "^aTytuł");
    }
}

TEST(RecordProgram, RefusesWhatCannotRunWithItsReason) {
    struct Case {
        std::string text;
        std::string inError;
    };
    const std::vector<Case> cases = {
        {Lines({"BEGIN", "  X = ", "END"}), "Błędne wyrażenie END [jest: END]\rLinia 3: \"END\""_cp},
        {"BEGIN\r", "Spodziewany END"},
        {"", "Spodziewany BEGIN"},
        // An include is an error of the program: no file is read, however it is named.
        {Lines({"[PLIK /etc/passwd]", "BEGIN", "END"}), "Dołączanie plików jest tu niedostępne: [PLIK /etc/passwd]"_cp},
        {Lines({"BEGIN", "  [PLIK program.apr]  ", "END"}), "Dołączanie plików jest tu niedostępne: [PLIK program.apr]"_cp},
        {std::string(RecordProgram::kMaxText + 1, ' '), "Program jest dłuższy niż 16 MiB"_cp},
    };
    for (const Case& c : cases) {
        const RecordProgram program(c.text);
        EXPECT_FALSE(program.Ready()) << c.text.substr(0, 60);
        EXPECT_NE(program.Error().find(c.inError), std::string::npos) << program.Error();
        std::vector<ProgramField> fields;
        EXPECT_EQ(program.Run(fields, "K1").error, program.Error());
    }
    // Text of exactly the bound still compiles.
    std::string longest = "BEGIN\r{" + std::string(RecordProgram::kMaxText - 12, 'x') + "}\rEND";
    ASSERT_EQ(longest.size(), RecordProgram::kMaxText);
    EXPECT_TRUE(RecordProgram(longest).Ready());
}

TEST(RecordProgram, IncludeIsNotOpenedEvenWhenTheFileExists) {
    {
        std::ofstream("program-include.apr") << "PROCEDURE P\nBEGIN\nEND\n";
    }
    const RecordProgram program(Lines({"[PLIK program-include.apr]", "BEGIN", "  P", "END"}));
    EXPECT_FALSE(program.Ready());
    std::remove("program-include.apr");
}

TEST(RecordProgram, ARecordFailsWithTheReasonAndTheBudgetStopsEndlessLoops) {
    struct Case {
        std::vector<std::string> lines;
        std::string error;
    };
    const std::vector<Case> cases = {
        // WHILE without SKIP never ends by itself.
        {{"BEGIN", "  GRUPA('245')", "  WHILE OK", "    X = POLE", "  ENDDO", "  BACK", "END"},
         "INTERPRETE: skrypt przekroczył limit 1000000 kroków"_cp},
        {{"BEGIN", "  WHILE ''", "  ENDDO", "END"}, "INTERPRETE: skrypt przekroczył limit 1000000 kroków"_cp},
        {{"BEGIN", "  PRINT('Brak tytułu|245*')"_cp, "END"}, "Brak tytułu"_cp},
        {{"BEGIN", "  X = FIRST('a', 'b')", "END"}, "INTERPRETE: Abstract Error"},
        {{"BEGIN", "  BACK", "END"}, "ACT: błąd skryptu: za dużo BACK"_cp},
        {{"BEGIN", "  GRUPA('245')", "END"}, "ACT_TCP: za mało BACK"_cp},
        // What is printed without an error, or asks for a field's help, or traced, is nothing.
        {{"BEGIN", "  PRINT('uwaga')", "  PRINT('|245Z.1.1.1.1')", "  TRACE('ślad')"_cp, "END"}, ""},
    };
    for (const Case& c : cases) {
        std::string text;
        for (const std::string& l : c.lines) text += l + "\r";
        const RecordProgram program(text);
        ASSERT_TRUE(program.Ready()) << program.Error();
        std::vector<ProgramField> fields = {{"245Z.1.1.1.1", "^aTytuł"}};
        const ProgramRun run = program.Run(fields, "K1");
        EXPECT_EQ(run.error, c.error) << c.lines[1];
    }
    // A smaller budget stops sooner.
    const RecordProgram endless(Lines({"BEGIN", "  WHILE ''", "  ENDDO", "END"}));
    std::vector<ProgramField> fields;
    const ProgramRun run = endless.Run(fields, "K1", 500);
    EXPECT_EQ(run.error, "INTERPRETE: skrypt przekroczył limit 500 kroków"_cp);
    EXPECT_GT(run.steps, 500u);
    EXPECT_LT(run.steps, 600u);
}

TEST(RecordProgram, TheRecordNumberAndStampAreReadOnly) {
    const RecordProgram program(Lines({"BEGIN", "  GRUPA('001Z')", "  IF EDYTOWALNE", "    PRINT('001 edytowalne|001*')",
                                        "  ENDIF", "  BACK", "  GRUPA('245Z')", "  IF EDYTOWALNE", "  ELSE",
                                        "    PRINT('245 nieedytowalne|245*')", "  ENDIF", "  BACK", "END"}));
    ASSERT_TRUE(program.Ready()) << program.Error();
    std::vector<ProgramField> fields = {{"001Z.1.1.1.1", "K1"}, {"245Z.1.1.1.1", "^aTytuł"}};
    EXPECT_EQ(program.Run(fields, "K1").error, "");
}
