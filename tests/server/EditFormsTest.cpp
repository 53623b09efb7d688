// The forms and field-event scripts velt-server hands out for its record
// kinds: every script compiles with the client's compiler and does what its
// form expects when the client's event runner runs it over a record; every
// form description keeps to the form language's grammar (checked here by a
// strict reader of the grammar until the client's own reader is merged).

#include "forms/FormReader.h"
#include "Forms.h"
#include "RecordChanges.h"
#include "lang/EventScripts.h"
#include "text/CpLiteral.h"
#include "text/RecordText.h"
#include "text/my_record.h"

#include <gtest/gtest.h>

#include <cctype>
#include <ctime>
#include <map>
#include <set>
#include <sstream>

using namespace velt;

namespace {

const char kKinds[] = {'K', 'O', 'T', 'U'};

// The text as the client writes it to its work file: one line per CR piece.
std::string AsFile(const std::string& serverText) {
    std::string file;
    for (const char c : serverText) file.push_back(c == '\r' ? '\n' : c);
    return file + "\n";
}

// ---- a strict reader of the form language: any error fails the test ----

struct FormToken {
    enum Kind { Keyword, Number, String, Symbol, End } kind;
    std::string text;
    int line;
};

class FormGrammar {
public:
    explicit FormGrammar(const std::string& text) {
        Tokenize(text);
        mAt = 0;
    }

    // Empty when the description reads without an error, else the first one.
    std::string Check() {
        Block();
        if (mError.empty() && Peek().kind != FormToken::End) Fail("Pominięty fragment opisu");
        return mError;
    }
    const std::set<std::string>& FieldIds() const { return mFields; }
    const std::set<std::string>& ButtonIds() const { return mButtons; }
    const std::vector<std::string>& Menus() const { return mMenus; }

private:
    void Tokenize(const std::string& text) {
        std::istringstream in(text);
        std::string line;
        int number = 0;
        bool comment = false;
        while (std::getline(in, line)) {
            ++number;
            std::size_t i = 0;
            while (i < line.size()) {
                const unsigned char c = static_cast<unsigned char>(line[i]);
                if (comment) {
                    comment = c != '}';
                    ++i;
                } else if (c == ' ') {
                    ++i;
                } else if (c == '{') {
                    comment = true;
                    ++i;
                } else if (std::isalpha(c) || c == '_') {
                    std::string w;
                    while (i < line.size() && (std::isalpha(static_cast<unsigned char>(line[i])) || line[i] == '_'))
                        w.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(line[i++]))));
                    mTokens.push_back({FormToken::Keyword, w, number});
                } else if (std::isdigit(c)) {
                    std::string d;
                    while (i < line.size() && std::isdigit(static_cast<unsigned char>(line[i]))) d.push_back(line[i++]);
                    mTokens.push_back({FormToken::Number, d, number});
                } else if (std::string("()*+,-/").find(static_cast<char>(c)) != std::string::npos) {
                    mTokens.push_back({FormToken::Symbol, std::string(1, static_cast<char>(c)), number});
                    ++i;
                } else if (c == '\'' || c == '\\') {
                    std::string value;
                    bool broken = false;
                    while (i < line.size() && (line[i] == '\'' || line[i] == '\\')) {
                        if (line[i] == '\'') {
                            const auto close = line.find('\'', i + 1);
                            if (close == std::string::npos) {
                                broken = true;
                                i = line.size();
                                break;
                            }
                            value += line.substr(i + 1, close - i - 1);
                            i = close + 1;
                        } else {
                            int code = 0;
                            ++i;
                            while (i < line.size() && std::isdigit(static_cast<unsigned char>(line[i]))) code = code * 10 + (line[i++] - '0');
                            value.push_back(static_cast<char>(code));
                        }
                    }
                    mTokens.push_back({broken ? FormToken::End : FormToken::String, broken ? "?" : value, number});
                    if (broken) mBad = "unclosed string in line " + std::to_string(number);
                } else {
                    mBad = "character " + std::to_string(c) + " in line " + std::to_string(number);
                    mTokens.push_back({FormToken::End, std::string(1, static_cast<char>(c)), number});
                    ++i;
                }
            }
        }
        mTokens.push_back({FormToken::End, "", number});
    }

    const FormToken& Peek() const { return mTokens[std::min(mAt, mTokens.size() - 1)]; }
    FormToken Take() { return mTokens[std::min(mAt++, mTokens.size() - 1)]; }
    bool Is(const char* keyword) const { return Peek().kind == FormToken::Keyword && Peek().text == keyword; }
    void Fail(const std::string& why) {
        if (mError.empty()) mError = why + " [jest: " + Peek().text + "] line " + std::to_string(Peek().line) + mBad;
    }
    void Expect(const char* keyword, const char* message) {
        if (Is(keyword)) Take();
        else Fail(message);
    }
    std::string String(const char* message) {
        if (Peek().kind != FormToken::String) {
            Fail(message);
            return {};
        }
        std::string s = Take().text;
        while (Peek().kind == FormToken::Symbol && Peek().text == "+") {
            Take();
            if (Peek().kind != FormToken::String) {
                Fail("Spodziewany łańcuch");
                return s;
            }
            s += Take().text;
        }
        return s;
    }
    void Factor() {
        if (Peek().kind == FormToken::Number) {
            Take();
        } else if (Peek().kind == FormToken::Symbol && Peek().text == "(") {
            Take();
            Expression();
            if (Peek().kind == FormToken::Symbol && Peek().text == ")") Take();
            else Fail("Brak nawiasu zamykającego");
        } else {
            Fail("Błędne wyrażenie");
        }
    }
    bool Sym(const char* s) const { return Peek().kind == FormToken::Symbol && Peek().text == s; }
    void Term() {
        Factor();
        while (Sym("*") || Sym("/")) {
            Take();
            Factor();
        }
    }
    void Expression() {
        if (Sym("+") || Sym("-")) Take();
        Term();
        while (Sym("+") || Sym("-")) {
            Take();
            Term();
        }
    }
    void Positions(int k) {
        Expect("ON", "Spodziewany ON");
        Expression();
        for (int i = 1; i < k; ++i) {
            if (Sym(",")) Take();
            else Fail("Spodziewany przecinek");
            Expression();
        }
    }
    void Field(const char* message = "Spodziewany identyfikator pola") { mFields.insert(String(message)); }
    void Block() {
        Expect("BEGIN", "Spodziewany BEGIN");
        static const std::set<std::string> starts = {"ON", "LIST", "TABS", "FORM", "DYNAMIC", "LABEL", "NO",
                                                     "TEXT", "FIELD", "MEMO", "MULTILINE", "MARKERS", "NUMBER",
                                                     "SPIN", "DATE", "COMBO", "CHECK", "BUTTON", "SPEED", "MENU",
                                                     "DICTIONARY"};
        while (mError.empty() && Peek().kind == FormToken::Keyword && starts.count(Peek().text)) Statement();
        Expect("END", "Spodziewany END");
    }
    void Combo(const std::string& list, const std::string& field) {
        if (list.empty()) return Fail("Brak listy wartości pola " + field);
        std::size_t at = 0;
        while (at < list.size()) {
            const auto value = list.find('|', at);
            const auto label = value == std::string::npos ? value : list.find('|', value + 1);
            if (label == std::string::npos) return Fail("Błąd pola COMBO: " + field);
            at = label + 1;
        }
    }
    void Statement() {
        const std::string word = Take().text;
        if (word == "ON") {
            // The statement's own ON begins its position list.
            Expression();
            if (Sym(",")) Take();
            else Fail("Spodziewany przecinek");
            Expression();
            Block();
        } else if (word == "LIST") {
            String("Spodziewana zmienna listy");
            Expect("OF", "Spodziewane OF");
            Expression();
            Positions(4);
            Block();
        } else if (word == "TABS") {
            Positions(4);
            while (mError.empty() && Peek().kind == FormToken::String) {
                String("");
                Block();
            }
            Expect("END", "Spodziewany END");
        } else if (word == "FORM") {
            mButtons.insert(String("Spodziewana nazwa pola"));
            Expect("MASK", "Spodziewane słowo MASK");
            String("Spodziewana nazwa podformularza");
            if (Is("SPEED")) {
                Take();
                String("Spodziewana nazwa bitmapy");
            }
            Positions(4);
            Block();
        } else if (word == "DYNAMIC") {
            Field("Spodziewana nazwa pola");
            Expect("OF", "Spodziewane słowo OF");
            String("Spodziewana zmienna sterująca");
            Positions(4);
            while (mError.empty() && Peek().kind == FormToken::String) {
                String("");
                Block();
            }
            Expect("END", "Do DYNAMIC brakuje END");
        } else if (word == "LABEL" || word == "NO") {
            String("Spodziewany łancuch");
            Positions(2);
        } else if (word == "TEXT") {
            Field();
            Positions(4);
        } else if (word == "FIELD") {
            Field();
            if (Is("MASK")) {
                Take();
                String("Spodziewana maska edycji");
            } else {
                if (Is("LIMIT")) {
                    Take();
                    if (Peek().kind == FormToken::Number) Take();
                    else Fail("Brak wartości dla LIMIT");
                }
                if (Is("PASSWORD")) Take();
            }
            Positions(3);
        } else if (word == "MEMO") {
            Field();
            if (Is("MULTILINE")) Take();
            if (Is("LIMIT")) {
                Take();
                if (Peek().kind == FormToken::Number) Take();
                else Fail("Brak wartości dla LIMIT");
            }
            Positions(4);
        } else if (word == "MARKERS") {
            Field();
            Expect("MASK", "Spodziewane słowo MASK");
            String("Spodziewana specyfikacja znaczników");
            Positions(4);
        } else if (word == "NUMBER") {
            Field();
            Expect("MASK", "Spodziewane słowo MASK");
            Expression();
            if (Sym(",")) {
                Take();
                Expression();
            }
            Positions(3);
        } else if (word == "SPIN") {
            Field();
            Expect("MASK", "Spodziewane słowo MASK");
            Expression();
            if (Is("LIMIT")) {
                Take();
                Expression();
                if (Sym(",")) {
                    Take();
                    Expression();
                }
            }
            Positions(3);
        } else if (word == "DATE" || word == "DICTIONARY") {
            Field();
            Positions(3);
        } else if (word == "COMBO") {
            const std::string field = String("Spodziewany identyfikator pola");
            mFields.insert(field);
            Expect("MASK", "Spodziewane słowo MASK");
            Combo(String("Spodziewana lista dozwolonych wartości"), field);
            Positions(3);
        } else if (word == "CHECK") {
            Field();
            Expect("MASK", "Spodziewane słowo MASK");
            String("Spodziewany napis");
            Positions(3);
        } else if (word == "BUTTON" || word == "SPEED") {
            mButtons.insert(String("Spodziewany identyfikator pola"));
            Expect("MASK", "Spodziewane słowo MASK");
            String("Spodziewany napis");
            if (word == "BUTTON" && Is("DEFAULT")) Take();
            Positions(4);
        } else if (word == "MENU") {
            mMenus.push_back(String("Spodziewany identyfikator pola"));
            if (Is("LABEL")) {
                Take();
                String("Spodziewany napis");
                Positions(2);
            } else if (Is("MASK")) {
                Take();
                String("Spodziewana nazwa pliku graficznego");
                Positions(4);
            } else {
                Fail("Spodziewane słowo MASK lub LABEL");
            }
        } else {
            Fail("Błędny element opisu " + word);
        }
    }

    std::vector<FormToken> mTokens;
    std::size_t mAt = 0;
    std::string mError, mBad;
    std::set<std::string> mFields, mButtons;
    std::vector<std::string> mMenus;
};

TEST(EditForms, GrammarCheckerRefusesWhatTheReaderComplainsAbout) {
    // The checker itself: texts the reader would report.
    const std::pair<const char*, const char*> bad[] = {
        {"BEGIN FIELD 'x' ON 10, 20 END", "Spodziewany przecinek"},
        {"BEGIN\tEND", "Spodziewany END"},
        {"BEGIN LIST 'i' OF ( ON 0,0,100,100 BEGIN END END", "Błędne wyrażenie"},
        {"BEGIN END BEGIN END", "Pominięty fragment opisu"},
        {"BEGIN COMBO 'c' MASK 'A|Alfa|B' ON 1,2,3 END", "Błąd pola COMBO: c"},
        {"BEGIN MENU 'x|X|' ON 1, 2 END", "Spodziewane słowo MASK lub LABEL"},
        {"BEGIN DYNAMIC 'd' OF 'n' ON 1,2,3,4 'a' BEGIN END", "Do DYNAMIC brakuje END"},
    };
    for (const auto& [text, message] : bad) {
        const std::string error = FormGrammar(text).Check();
        EXPECT_EQ(error.rfind(message, 0), 0u) << text << " -> " << error;
    }
    EXPECT_EQ(FormGrammar("begin Field 'x' on 1,2,3 end").Check(), "");
}

TEST(EditForms, EveryKindsFormReadsWithoutAnError) {
    for (const char kind : kKinds) {
        const std::string text = server::FormDescription(kind);
        ASSERT_FALSE(text.empty()) << kind;
        EXPECT_NE(text.back(), '\r') << "no line end after the last line: " << kind;
        FormGrammar grammar(AsFile(text));
        EXPECT_EQ(grammar.Check(), "") << kind;
        // The record number and change stamp are on every form; every key
        // is one the server can store (or a working field, which it drops).
        EXPECT_TRUE(grammar.FieldIds().count("001Z.1.1.1.1")) << kind;
        EXPECT_TRUE(grammar.FieldIds().count("005Z.1.1.1.1")) << kind;
        for (const auto& id : grammar.FieldIds()) EXPECT_TRUE(server::ValidKey(id)) << kind << " " << id;
    }
}

// The client's own form reader reads every kind's form without a complaint
// (the pictures the forms name live in the client's configuration directory:
// they are the only messages allowed here).
TEST(EditForms, TheClientsFormReaderReadsEveryKindsForm) {
    for (const char kind : kKinds) {
        const FormReadResult read = ReadFormDescription(AsFile(server::FormDescription(kind)), "/nonexistent/");
        ASSERT_NE(read.root, nullptr) << kind;
        for (const FormMessage& m : read.messages)
            EXPECT_NE(m.text.find(".bmp"), std::string::npos) << kind << ": " << m.text << " / " << m.line;
    }
}

TEST(EditForms, BetweenThemTheFormsUseTheWholeLanguage) {
    std::string all;
    for (const char kind : kKinds) all += AsFile(server::FormDescription(kind));
    std::string upper;
    for (const char c : all) upper.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    for (const char* statement : {"\n  ON ", "LIST ", "TABS ", "FORM ", "DYNAMIC ", "LABEL ", "NO ", "TEXT ",
                                  "MASK '9", "LIMIT ", "PASSWORD", "MEMO ", "MULTILINE", "MARKERS ", "NUMBER ",
                                  "SPIN ", "DATE ", "COMBO ", "CHECK ", "BUTTON ", "DEFAULT", "SPEED ", "MENU ",
                                  "LABEL 'FRAZY'", "MASK 'ZAWODY.BMP'", "DICTIONARY ", "469 - "})
        EXPECT_NE(upper.find(statement), std::string::npos) << statement;
    // NUMBER with and without decimals, SPIN with one and two LIMIT values.
    EXPECT_NE(all.find("MASK 8, 2"), std::string::npos);
    EXPECT_NE(all.find("NUMBER '250N.1.1.1.1' MASK 7 ON"), std::string::npos);
    EXPECT_NE(all.find("LIMIT 1, 99"), std::string::npos);
    EXPECT_NE(all.find("MASK 1 LIMIT 9 ON"), std::string::npos);
}

// ---- the scripts, compiled and run as the editing window runs them ----

struct Kind {
    act_script scripts;
    std::vector<std::string> messages;
};

Kind Load(char kind) {
    Kind k;
    std::istringstream in(AsFile(server::EventScript(kind)));
    k.scripts = LoadEventScripts(in, std::string("ACT-") + kind + ".TMP",
                                 [&k](const std::string& m) { k.messages.push_back(m); });
    return k;
}

TEST(EditForms, EveryScriptCompilesWithTheClientsCompiler) {
    for (const char kind : kKinds) {
        Kind k = Load(kind);
        EXPECT_TRUE(k.messages.empty()) << kind << ": " << (k.messages.empty() ? "" : k.messages.front());
        ASSERT_GE(k.scripts.size(), 5u) << kind;
        for (const auto& entry : k.scripts) EXPECT_TRUE(entry.program) << kind << " " << entry.pattern;
        FreeEventScripts(k.scripts);
    }
}

TEST(EditForms, ScriptsAnswerTheFormsButtonsMenusAndFields) {
    // Every button and menu item of a form has a HELP script; every SHOW
    // field (the previews and the copies' area) has its SHOW script.
    for (const char kind : kKinds) {
        FormGrammar grammar(AsFile(server::FormDescription(kind)));
        ASSERT_EQ(grammar.Check(), "");
        Kind k = Load(kind);
        auto handled = [&k](int event, const std::string& key) {
            std::vector<std::string> captures;
            for (const auto& e : k.scripts)
                if (e.event == event && MatchEventPattern(e.pattern, key, captures)) return true;
            return false;
        };
        for (const auto& id : grammar.ButtonIds())
            EXPECT_TRUE(handled(kEventHelp, id) || handled(kEventExit, id)) << kind << " " << id;
        for (const auto& menu : grammar.Menus())
            for (std::size_t at = 0; at < menu.size();) {
                const auto bar = menu.find('|', at);
                const std::string id = menu.substr(at, bar - at);
                at = menu.find('|', bar + 1) + 1;
                if (!id.empty()) {
                    EXPECT_TRUE(handled(kEventHelp, id)) << kind << " " << id;
                }
                if (at == 0) break;
            }
        for (const auto& id : grammar.FieldIds()) {
            if (id[0] == '#') {
                EXPECT_TRUE(handled(kEventShow, id)) << kind << " " << id;
            }
        }
        EXPECT_TRUE(handled(kEventHelp, "#F5_500Z.1.1.1.1")) << kind;
        FreeEventScripts(k.scripts);
    }
}

std::string Today() {
    const std::time_t now = std::time(nullptr);
    std::tm t{};
    localtime_r(&now, &t);
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02d", (t.tm_year + 1900) % 10000, (t.tm_mon + 1) % 100, t.tm_mday % 100);
    return text;
}

// One event run over a record, with the editing window's services given by
// answers to their command texts.
struct EventRun {
    my_record record;
    std::vector<std::string> lines;
    std::vector<std::string> messages;
    std::vector<std::string> commands;
};

EventRun Event(char kind, const std::string& text, int event, const std::string& key,
          std::map<std::string, std::string> answers = {}) {
    Kind k = Load(kind);
    EventRun r;
    r.record = ParseRecordText(text);
    r.lines = RunEvent(
        k.scripts, std::string(1, kind) + "5", r.record,
        [&](const std::string& command) {
            r.commands.push_back(command);
            const auto it = answers.find(command);
            return it == answers.end() ? std::string() : it->second;
        },
        [&r](const std::string& m) { r.messages.push_back(m); }, event, key);
    FreeEventScripts(k.scripts);
    return r;
}

using Lines = std::vector<std::string>;

TEST(EditForms, BookScriptsDoWhatTheFormAsksOfThem) {
    const std::string book = "100Z.1.1.1.1=^aKowalski, Jan ^9O3\r245Z.1.1.1.1=^aPan Tadeusz\r"
                             "020Z.1.1.1.1=^a83-7039-000-4\r260Z.1.1.1.1=^aKraków ^bZnak ^c1234\r"
                             "852Z.1.1.1.1=^hII 10005\r876S.1.1.1.1=D\r876I.1.1.1.1=I/1\r"
                             "876S.1.1.2.1=\r876S.1.1.3.1=W\r876I.1.1.3.1=I/3\r";
    // EXIT of the ISBN asks the server's check and reports "message|field".
    EventRun isbn = Event('K', book, kEventExit, "020Z.1.1.1.1", {{"PSI83-7039-000-4|", "Błędna cyfra kontrolna numeru ISBN"_cp}});
    EXPECT_EQ(isbn.lines, (Lines{"Błędna cyfra kontrolna numeru ISBN: 83-7039-000-4|020Z.1.1.1.1"_cp, "#PODGLAD"}));
    EXPECT_TRUE(isbn.messages.empty()) << isbn.messages.front();
    EventRun goodIsbn = Event('K', book, kEventExit, "020Z.1.1.1.1");
    EXPECT_EQ(goodIsbn.lines, (Lines{"#PODGLAD"}));
    // The year out of range is reported by the form too.
    EventRun year = Event('K', book, kEventExit, "260Z.1.1.1.1");
    ASSERT_EQ(year.lines.size(), 2u);
    EXPECT_EQ(year.lines[0].rfind("Rok wydania 1234 spoza zakresu 1450-", 0), 0u) << year.lines[0];
    EXPECT_NE(year.lines[0].find("|260Z.1.1.1.1"), std::string::npos);
    // The copies' area: present copies with delete buttons; 2 was deleted.
    EventRun copies = Event('K', book, kEventShow, "#EGZ");
    EXPECT_EQ(copies.record.GetValue("#EGZ"), "e|1|U|e|3|U|");
    const std::string thisYear = Today().substr(0, 4);
    EventRun added = Event('K', book, kEventHelp, "DODAJ_EGZ");
    EXPECT_EQ(added.lines, (Lines{"#EGZ", "#PODGLAD"}));
    EXPECT_EQ(added.record.GetValue("#EGZ"), "e|1|U|e|3|U|e|4|U|");
    EXPECT_EQ(added.record.GetValue("876S.1.1.4.1"), "D");
    EXPECT_EQ(added.record.GetValue("876D.1.1.4.1"), Today());
    // The new copy's inventory number follows the year's highest: in the
    // server's register (walked with S) or among the record's own copies.
    EXPECT_EQ(added.commands, (Lines{"S" + thisYear + "/"}));
    EXPECT_EQ(added.record.GetValue("876I.1.1.4.1"), thisYear + "/00001");
    EventRun next = Event('K', book + "876I.1.1.2.1=" + thisYear + "/00031\r", kEventHelp, "DODAJ_EGZ",
                          {{"S" + thisYear + "/", thisYear + "/00007|K3|" + thisYear + "/00012|K9|"}});
    EXPECT_EQ(next.record.GetValue("876I.1.1.4.1"), thisYear + "/00032");
    EventRun registered = Event('K', book, kEventHelp, "DODAJ_EGZ", {{"S" + thisYear + "/", thisYear + "/00007|K3|" + thisYear + "/00012|K9|"}});
    EXPECT_EQ(registered.record.GetValue("876I.1.1.4.1"), thisYear + "/00013");
    EventRun deleted = Event('K', book, kEventHelp, "HELP.#EGZ.e.1");
    EXPECT_EQ(deleted.record.GetValue("#EGZ"), "e|3|U|");
    EXPECT_EQ(deleted.record.GetValue("876I.1.1.1.1"), "");
    ASSERT_TRUE(deleted.record.Find("876S.1.1.1.1"));  // emptied, so the save removes it
    EXPECT_TRUE(deleted.record.IsModified());
    // Leaving the author with an empty statement of responsibility asks for
    // the title's HELP, which fills it from the author's name.
    EventRun author = Event('K', book, kEventExit, "100Z.1.1.1.1");
    EXPECT_EQ(author.lines, (Lines{"|245Z.1.1.1.1", "#PODGLAD"}));
    EventRun title = Event('K', book, kEventHelp, "245Z.1.1.1.1");
    EXPECT_EQ(title.record.GetValue("245Z.1.1.1.1"), "^aPan Tadeusz ^cJan Kowalski");
    EXPECT_EQ(title.lines, (Lines{"245Z.1.1.1.1", "#PODGLAD"}));
    // The authority lookup writes what the lookup found, link included.
    EventRun lookup = Event('K', book, kEventHelp, "650Z.1.1.2.1", {{"XKHWT|", "^aHistoria ^9T1"}});
    EXPECT_EQ(lookup.record.GetValue("650Z.1.1.2.1"), "^aHistoria ^9T1");
    EXPECT_EQ(lookup.lines, (Lines{"650Z.1.1.2.1"}));
    // The language from the list: the code chosen, the original's language kept.
    EventRun language = Event('K', book + "041Z.1.1.1.1=^apol ^hger\r", kEventHelp, "JEZYK");
    ASSERT_EQ(language.commands.size(), 1u);
    const std::string& list = language.commands[0];
    EXPECT_EQ(list.rfind("DL|pol\x01polski\rkod pol\x01" "eng\x01", 0), 0u) << list;
    EXPECT_EQ(language.record.GetValue("041Z.1.1.1.1"), "^apol ^hger") << "nothing chosen: nothing changed";
    language = Event('K', book + "041Z.1.1.1.1=^apol ^hger\r", kEventHelp, "JEZYK", {{list, "csb"}});
    EXPECT_EQ(language.record.GetValue("041Z.1.1.1.1"), "^acsb ^hger");
    EXPECT_EQ(language.lines, (Lines{"041Z.1.1.1.1"}));
    // A subject from the thesaurus tree goes after the last one, once.
    EventRun tree = Event('K', book, kEventHelp, "TEZAURUS");
    ASSERT_EQ(tree.commands.size(), 1u);
    EXPECT_EQ(tree.commands[0].rfind("DT|||Dziedziny\r |^aLiteratura|Literatura\r", 0), 0u) << tree.commands[0];
    const std::string subjects = book + "650Z.1.1.1.1=^aHistoria ^9T1\r650Z.1.1.2.1=^aPoezja\r";
    EventRun chosen = Event('K', subjects, kEventHelp, "TEZAURUS", {{tree.commands[0], "^aPowieść polska"_cp}});
    EXPECT_EQ(chosen.record.GetValue("650Z.1.1.3.1"), "^aPowieść polska"_cp);
    EXPECT_EQ(chosen.lines, (Lines{"650Z.1.1.3.1"}));
    EventRun first = Event('K', book, kEventHelp, "TEZAURUS", {{tree.commands[0], "^aPoezja"}});
    EXPECT_EQ(first.record.GetValue("650Z.1.1.1.1"), "^aPoezja") << "the first subject of a record";
    EventRun again = Event('K', subjects, kEventHelp, "TEZAURUS", {{tree.commands[0], "^aPoezja"}});
    EXPECT_EQ(again.lines, (Lines{"Hasło Poezja jest już w rekordzie|650Z.1.1.2.1"_cp}));
    // Labels: one for every copy with an inventory number, with the shelf mark;
    // without the record's number one command, which the editor refuses.
    EventRun labels = Event('K', "001Z.1.1.1.1=K5\r" + book, kEventHelp, "NAKLEJKI");
    EXPECT_EQ(labels.commands, (Lines{"BK5|I/1 II 10005", "BK5|I/3 II 10005"}));
    EXPECT_EQ(Event('K', book, kEventHelp, "NAKLEJKI").commands, (Lines{"B|I/1 II 10005"}));
    EXPECT_EQ(Event('K', "245Z.1.1.1.1=^aX\r", kEventHelp, "NAKLEJKI").lines,
              (Lines{"Żaden egzemplarz nie ma numeru inwentarza|876I.1.1.*"_cp}));
    // A co-author comes from the persons' file or the index's value list.
    EXPECT_EQ(Event('K', book + "700Z.1.1.1.1=^aNowak\r", kEventHelp, "700Z.1.1.1.1").commands, (Lines{"YKHWO|Nowak"}));
    // The shelf mark comes from the server's next free one.
    EventRun shelf = Event('K', book, kEventHelp, "SYGNATURA", {{"PSSII|", "II 10301"}});
    EXPECT_EQ(shelf.record.GetValue("852Z.1.1.1.1"), "^hII 10301");
    EventRun refused = Event('K', book, kEventHelp, "SYGNATURA", {{"PSSII|", "Brak uprawnień"_cp}});
    EXPECT_EQ(refused.record.GetValue("852Z.1.1.1.1"), "^hII 10005");
    EXPECT_EQ(refused.lines, (Lines{"Nie udało się nadać sygnatury: Brak uprawnień|852Z.1.1.1.1"_cp}));
    // F5 inserts the date: as a date field stores it, or written out.
    EventRun f5 = Event('K', book, kEventHelp, "#F5_876D.1.1.3.1");
    EXPECT_EQ(f5.record.GetValue("876D.1.1.3.1"), Today());
    EXPECT_EQ(f5.lines, (Lines{"876D.1.1.3.1"}));
    EventRun f5note = Event('K', book + "500Z.1.1.1.1=Uwaga\r", kEventHelp, "#F5_500Z.1.1.1.1");
    const std::string t = Today();
    EXPECT_EQ(f5note.record.GetValue("500Z.1.1.1.1"), "Uwaga " + t.substr(6, 2) + "." + t.substr(4, 2) + "." + t.substr(0, 4));
    // The menu of standard phrases appends to the note.
    EventRun phrase = Event('K', book + "500Z.1.1.1.1=Uwaga\r", kEventHelp, "FR_2");
    EXPECT_EQ(phrase.record.GetValue("500Z.1.1.1.1"), "Uwaga. Indeks");
    // The sub-form's buttons open and close it by asking for its refresh.
    EXPECT_EQ(Event('K', book, kEventHelp, "SZCZEGOLY").lines, (Lines{"WYDANIE"}));
    // The preview: formatted lines with the title in bold and the copies counted.
    EventRun preview = Event('K', book, kEventShow, "#PODGLAD");
    ASSERT_GE(preview.lines.size(), 4u);
    EXPECT_EQ(preview.lines[0], "\x1BSB\x1APan Tadeusz\x1BS\x1A");
    EXPECT_EQ(preview.lines[1], "\x1B/\x1A" "Autor: \x1B" "CB\x1AJan Kowalski\x1B" "C0\x1A");
    EXPECT_EQ(preview.lines.back(), "\x1B/\x1A\x1B" "CG\x1A" "Egzemplarze: 2\x1B" "C0\x1A");
    for (const EventRun* r : {&author, &title, &copies, &added, &next, &deleted, &preview, &f5, &language, &chosen, &labels})
        EXPECT_TRUE(r->messages.empty()) << r->messages.front();
}

TEST(EditForms, PersonAndSubjectScripts) {
    const std::string person = "100Z.1.1.1.1=^aNowak Jan\r046F.1.1.1.1=19500101\r046G.1.1.1.1=19400101\r";
    EventRun heading = Event('O', person, kEventExit, "100Z.1.1.1.1");
    EXPECT_EQ(heading.lines, (Lines{"Hasło osobowe zapisuje się w postaci: Nazwisko, Imię|100Z.1.1.1.1"_cp, "#PODGLAD"}));
    // Leaving the birth date fills the heading's dates and asks for the
    // death date's check, which names both fields.
    EventRun born = Event('O', person, kEventExit, "046F.1.1.1.1");
    EXPECT_EQ(born.record.GetValue("100Z.1.1.1.1"), "^aNowak Jan ^d1950-");
    EXPECT_EQ(born.lines, (Lines{"100Z.1.1.1.1", "|046G.1.1.1.1"}));
    EventRun dates = Event('O', person, kEventHelp, "046G.1.1.1.1");
    EXPECT_EQ(dates.lines, (Lines{"Data śmierci jest wcześniejsza niż data urodzenia|046F.1.1.1.1|046G.1.1.1.1"_cp}));
    EventRun occupation = Event('O', person + "374Z.1.1.1.1=poeta\r", kEventHelp, "Z_4");
    EXPECT_EQ(occupation.record.GetValue("374Z.1.1.1.1"), "poeta, tłumacz"_cp);
    EventRun preview = Event('O', "100Z.1.1.1.1=^aNowak, Jan ^d1950-\r400Z.1.1.1.1=^aNowak, Janek\r", kEventShow, "#PODGLAD");
    ASSERT_GE(preview.lines.size(), 2u);
    EXPECT_EQ(preview.lines[0], "\x1BSB\x1ANowak, Jan\x1BS\x1A (1950-)");
    EXPECT_TRUE(preview.messages.empty()) << preview.messages.front();

    EventRun empty = Event('T', "150Z.1.1.1.1=\r", kEventExit, "150Z.1.1.1.1");
    EXPECT_EQ(empty.lines, (Lines{"Brak hasła przedmiotowego|150Z.1.1.1.1"_cp, "#PODGLAD"}));
    EventRun related = Event('T', "150Z.1.1.1.1=^aHistoria\r550Z.1.1.2.1=^aArcheologia ^9T40\r", kEventHelp, "SZUKAJ_550",
                        {{"XKHWT|", "^aGenealogia ^9T42"}});
    EXPECT_EQ(related.record.GetValue("550Z.1.1.3.1"), "^aGenealogia ^9T42");
    EXPECT_EQ(related.lines, (Lines{"550Z.1.1.3.1", "#PODGLAD"}));
    EventRun subject = Event('T', "150Z.1.1.1.1=^aHistoria ^zPolska\r450Z.1.1.1.1=Dzieje\r", kEventShow, "#PODGLAD");
    EXPECT_EQ(subject.lines, (Lines{"\x1BSB\x1AHistoria\x1BS\x1A - Polska", "\x1B/\x1AU\xBFyj zamiast: \x1BSI\x1A" "Dzieje\x1BS\x1A"}));
}

TEST(EditForms, InitialRecordsAndHelp) {
    for (const char kind : kKinds) {
        const my_record r = ParseRecordText(server::InitialRecord(kind));
        EXPECT_EQ(r.IsReadOnly("001Z.1.1.1.1"), 1) << kind;
        EXPECT_EQ(r.IsReadOnly("005Z.1.1.1.1"), 1) << kind;
        EXPECT_FALSE(server::FieldHelp(kind, "001Z.1.1.1.1").empty());
    }
    EXPECT_EQ(ParseRecordText(server::InitialRecord('K')).GetValue("876D.1.1.1.1"), Today());
    EXPECT_EQ(server::FieldHelp('K', "650Z.1.1.7.1").rfind("Hasło przedmiotowe"_cp, 0), 0u);
    EXPECT_EQ(server::FieldHelp('K', "876C.1.1.2.1").rfind("Egzemplarz"_cp, 0), 0u);
    EXPECT_EQ(server::FieldHelp('K', "999Z.1.1.1.1").rfind("Rekord bibliograficzny"_cp, 0), 0u);  // the form's own help
    EXPECT_EQ(server::FieldHelp('K', "").rfind("Rekord bibliograficzny"_cp, 0), 0u);
}

}  // namespace
