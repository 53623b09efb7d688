// The Z39.50 import window's model against a scripted Z39.50 server and a
// scripted catalogue: the configuration (sources in groups, the line scan,
// format sets, what is written back), the list choice, the query form's
// loop, scanning on a second association, "Pobierz" and "Konwertuj" (with
// the example converter module and the VELT1 check chain), the records'
// own character set, and the log without the password.

#include "catalogue/velt_files.h"
#include "common/ListChoice.h"
#include "browse/ListChoiceSource.h"
#include "import/Codec.h"
#include "import/Decodec.h"
#include "import/Z3950Import.h"
#include "lang/ProfileFile.h"
#include "lang/TMultiIniFile.h"
#include "params/HeadlessParameterWindow.h"
#include "params/ParameterForms.h"
#include "support/Hex.h"
#include "support/LoginPeer.h"
#include "support/RecordingPrompts.h"
#include "support/ScriptedPeer.h"
#include "support/TempDir.h"
#include "text/CpLiteral.h"
#include "text/dll_converter.h"

#include <gtest/gtest.h>

#include <map>
#include <mutex>

using namespace velt;
using test::TempDir;

namespace {

// --- a scripted Z39.50 server ------------------------------------------------

std::string P(std::uint32_t tag, const std::string& content) { return Codec::EncodeElement(2, false, content, tag); }
std::string C(std::uint32_t tag, const std::string& content) { return Codec::EncodeElement(2, true, content, tag); }
std::string U(std::uint32_t tag, bool constructed, const std::string& content) {
    return Codec::EncodeElement(0, constructed, content, tag);
}
std::string I(std::uint32_t tag, std::uint32_t n) { return P(tag, Codec::EncodeInteger(n)); }

std::string ReadApdu(test::PeerConnection& c) {
    std::string bytes = c.Read(1);
    if (bytes.empty()) return bytes;
    if ((static_cast<unsigned char>(bytes[0]) & 0x1F) == 0x1F) {
        std::string b;
        do {
            b = c.Read(1);
            bytes += b;
        } while (!b.empty() && (static_cast<unsigned char>(b[0]) & 0x80));
    }
    const std::string l = c.Read(1);
    if (l.empty()) return {};
    bytes += l;
    std::size_t length = static_cast<unsigned char>(l[0]);
    if (length & 0x80) {
        const std::string more = c.Read(length & 0x7F);
        bytes += more;
        length = 0;
        for (char b : more) length = (length << 8) | static_cast<unsigned char>(b);
    }
    return bytes + c.Read(length);
}

std::unique_ptr<DataElement> Tree(const std::string& bytes) {
    UniSocket s;
    s.Load(bytes);
    return Decodec(s).DecodeElement(1);
}

std::string Num(std::size_t n, int width) {
    std::string s = std::to_string(n);
    return std::string(static_cast<std::size_t>(width) - s.size(), '0') + s;
}

// An ISO 2709 record; charset ' ' (MARC-8) or 'a' (UTF-8) at leader/09.
std::string Marc(const std::vector<std::pair<std::string, std::string>>& fields, char charset = ' ',
                 const std::string& type = "nam") {
    std::string directory, data;
    for (const auto& [tag, body] : fields) {
        directory += tag + Num(body.size() + 1, 4) + Num(data.size(), 5);
        data += body + "\x1E";
    }
    directory += "\x1E";
    const std::size_t base = 24 + directory.size();
    return Num(base + data.size() + 1, 5) + type + " " + charset + "22" + Num(base, 5) + " a 4500" + directory + data +
           "\x1D";
}

std::string Diag(std::uint32_t condition, const std::string& addinfo) {
    return U(6, false, Codec::EncodeOid("1.2.840.10003.4.1")) + U(2, false, Codec::EncodeInteger(condition)) +
           U(26, false, addinfo);
}

// What the scripted server holds: the records of every search (a record
// "" is answered with a surrogate diagnostic), the terms of every scan, and
// whether scan is offered. It keeps what it was sent.
struct Z3950Script {
    std::vector<std::string> records;
    std::vector<std::string> terms;
    bool scan = true;
    int idleMs = 400;
    std::mutex lock;
    std::vector<std::string> requests;  // "init", "search", "present a b", "scan"
    std::vector<std::string> inits;

    // Connections are served one after another: one left idle (the search's,
    // while the form scans) is let go, so the next one is served.
    void Serve(test::PeerConnection& c) {
        for (;;) {
            if (c.Quiet(idleMs)) return;
            const std::string apdu = ReadApdu(c);
            const auto t = apdu.empty() ? nullptr : Tree(apdu);
            if (!t) return;
            std::lock_guard g(lock);
            if (t->tag == 20) {
                requests.push_back("init");
                inits.push_back(apdu);
                const std::string options = scan ? std::string("\x00\xE9\xA2", 3) : std::string("\x00\xE8\x22", 3);
                c.Write(C(21, P(3, std::string("\x00\xE0", 2)) + P(4, options) + I(5, 100000) + I(6, 100000) +
                                  P(12, "\x01") + P(110, "peer")));
            } else if (t->tag == 22) {
                requests.push_back("search");
                c.Write(C(23, I(23, static_cast<std::uint32_t>(records.size())) + I(24, 0) + I(25, 1) + P(22, "\x01")));
            } else if (t->tag == 24) {
                const auto a = *Codec::DecodeInteger(t->Child(30)->content);
                const auto b = *Codec::DecodeInteger(t->Child(29)->content);
                requests.push_back("present " + std::to_string(a) + " " + std::to_string(b));
                std::string all;
                for (std::uint32_t p = a; p < a + b && p <= records.size(); ++p) {
                    const std::string& r = records[p - 1];
                    if (r.empty())
                        all += U(16, true, P(0, "db") + C(1, C(2, U(16, true, Diag(14, "gone")))));
                    else
                        all += U(16, true, P(0, "db") + C(1, C(1, U(8, true, U(6, false, Codec::EncodeOid(Z3950Client::kUsMarc)) + P(1, r)))));
                }
                c.Write(C(25, I(24, b) + I(25, 0) + I(27, 0) + C(28, all)));
            } else if (t->tag == 35) {
                requests.push_back("scan");
                std::string entries;
                for (const auto& term : terms) entries += C(1, P(45, term) + I(2, 3));
                c.Write(C(36, I(4, 0) + I(5, static_cast<std::uint32_t>(terms.size())) + C(7, C(1, entries))));
            } else {
                c.Fail("unexpected APDU " + std::to_string(t->tag));
                return;
            }
        }
    }
    std::vector<std::string> Requests() {
        std::lock_guard g(lock);
        return requests;
    }
};

// --- the program around the model --------------------------------------------

struct FakeEditor : ImportEditor {
    std::string codes = "U";  // the kinds it can edit
    std::vector<std::string> calls;
    std::vector<my_record> records;
    std::map<std::string, std::string> existing;  // a record's 245Z value -> the error the check adds
    int temporary = 0;

    bool CanEdit(const std::string& code) override { return codes.find(code.empty() ? '-' : code[0]) != std::string::npos; }
    void NewRecord(const std::string& code, const my_record& t) override {
        calls.push_back("new " + code);
        records.push_back(t);
    }
    void ImportRecord(const std::string& source, const std::string& id, const my_record& r) override {
        calls.push_back("import " + source + " " + id);
        records.push_back(r);
    }
    void CheckRecord(my_record& r) override {
        calls.push_back("check " + r.GetValue("DOK_IDO"));
        r.ClearErrors();
        const auto it = existing.find(r.GetValue("245Z.1.1.1.1"));
        if (it != existing.end()) r.AddError(it->second, "*");
    }
    std::string TemporaryIdentifier() override { return "VELT #" + std::to_string(++temporary); }
};

struct FakeHost : Z3950Host {
    velt_files* files = nullptr;
    ImportEditor* editor = nullptr;
    ConverterModules* modules = nullptr;
    velt_files* Catalogue() override { return files; }
    ImportEditor* Editor() override { return editor; }
    const ConverterModules* Converters() override { return modules; }
};

struct FakeView : Z3950View {
    std::string caption, count, selected;
    int presentation = -1, search = -1;
    Vrserwer* results = nullptr;
    int shownResults = 0, redraws = 0;
    bool take = false, convert = false, shown = false;
    std::vector<std::string> later;
    void ShowCaption(const std::string& c) override { caption = c; }
    void ShowCharsets(int p, int s) override {
        presentation = p;
        search = s;
    }
    void ShowResult(Vrserwer* r, const std::string& c) override {
        results = r;
        count = c;
        if (r) ++shownResults;
    }
    void RedrawResult() override { ++redraws; }
    std::string SelectedKey() override { return selected; }
    void EnableButtons(bool t, bool c) override {
        take = t;
        convert = c;
    }
    void ShowWindow() override { shown = true; }
    void ShowLater(const std::string& t) override { later.push_back(t); }
};

struct FakeLists : ListChoiceWindow {
    int answer = -1;
    std::vector<std::vector<ListChoiceEntry>> shown;
    int ShowListChoice(const std::vector<ListChoiceEntry>& entries) override {
        shown.push_back(entries);
        return answer;
    }
};

struct RecordingLongOps : LongOperations {
    std::vector<std::string> texts;
    void run_with_progress(const std::string& text, const std::function<void()>& work) override {
        texts.push_back(text);
        work();
    }
    void run_with_gauge(const std::function<void(const GaugeFunction&)>& work) override {
        work([](std::int64_t, std::int64_t) { return true; });
    }
    bool download_progress(std::int64_t, std::int64_t) override { return true; }
};

// One model with its fakes and a configuration naming the scripted server.
struct Rig {
    explicit Rig(int port, const std::string& extra = "") {
        ini = dir.Write("VELT_TCP.INI", "[Z3950_KATALOG_A]\r\nnazwa=Lokalny\r\nip=127.0.0.1\r\nport=" + std::to_string(port) +
                                                 "\r\nbaza=db\r\nv=1\r\nq=2\r\n" + extra);
        TMultiIniFile file(ini);
        import.ReadConfiguration(file, [this](const std::string& m) { compileErrors.push_back(m); });
        host.editor = &editor;
    }
    TempDir dir;
    std::string ini;
    FakeView view;
    FakeHost host;
    FakeEditor editor;
    FakeLists lists;
    test::RecordingPrompts prompts;
    RecordingLongOps longOps;
    HeadlessParameterWindow window;
    FormSettings settings;
    ParameterForms forms{window, settings, [] { return std::string(); }};
    Z3950Import import{view, host, prompts, longOps, forms, lists};
    std::vector<std::string> compileErrors;
};

const char kStatus2[] = "VELT2&wersja=2026.01.01&edycja=1&rekordy=KOTU&struktura={x={nam=autor}{tab=21}{ind=5}{pre=K}}";

}  // namespace

// --- the configuration ----------------------------------------------------------

TEST(Z3950Settings, SourcesInNestedGroupsAndTheLineScan) {
    TempDir dir;
    const std::string ini = dir.Write(
        "VELT_TCP.INI",
        "[Z3950]\r\nźródło=Z3950_KATALOG_AB2\r\nlog=%KATALOG%z.log\r\n"_cp
        "[GLOBAL]\r\nKATALOG=/tmp/\r\n"
        "[Z3950_KATALOG_1]\r\nNAZWA=Pierwszy\r\nIp=lib.example\r\nport=abc\r\nv=7\r\nq=0\r\n"
        "[INNE]\r\nx=1\r\n"
        "[Z3950_GRUPA_A]\r\nnazwa=Krajowe\r\n"
        "[Z3950_KATALOG_A1]\r\nnazwa=A jeden\r\nport=2100\r\nbaza=bib\r\nsyntax=1.2.840.10003.5.109.10\r\n"
        "[Z3950_GRUPA_AB]\r\n"
        "[Z3950_KATALOG_AB2]\r\nnazwa=Głęboki\r\nuser=ala\r\npassword=kot=1\r\n"_cp
        "[Z3950_KATALOG_A3]\r\nnazwa=A trzy\r\n"
        "[Z3950_KATALOG_9]\r\nnazwa=Ostatni\r\nport=99999\r\n");
    Z3950Settings s;
    s.Read(TMultiIniFile(ini), {});
    ASSERT_EQ(s.Sources().size(), 5u);
    const Z3950Source& first = s.Sources()[0];
    EXPECT_EQ(first.name, "Pierwszy");
    EXPECT_EQ(first.host, "lib.example");
    EXPECT_EQ(first.port, 230) << "a value that does not convert keeps its default";
    EXPECT_EQ(first.presentation, 2) << "an item the group does not have keeps the default";
    EXPECT_EQ(first.search, 0);
    EXPECT_EQ(first.database, "default");
    EXPECT_EQ(first.syntax, "1.2.840.10003.5.10");
    EXPECT_EQ(s.Sources()[1].port, 2100);
    EXPECT_EQ(s.Sources()[1].syntax, "1.2.840.10003.5.109.10");
    EXPECT_EQ(s.Sources()[2].password, "kot=1") << "the rest of the line";
    EXPECT_EQ(s.Sources()[4].port, 230);

    // Pierwszy, the group Krajowe (A jeden, the group Bez nazwy (Głęboki), A trzy), Ostatni.
    ASSERT_EQ(s.Menu().size(), 3u);
    EXPECT_EQ(s.Menu()[0].caption, "Pierwszy");
    const Z3950SourceItem& group = s.Menu()[1];
    EXPECT_EQ(group.source, -1);
    EXPECT_EQ(group.caption, "Krajowe");
    ASSERT_EQ(group.children.size(), 3u);
    EXPECT_EQ(group.children[0].caption, "A jeden");
    EXPECT_EQ(group.children[1].caption, "Bez nazwy");
    ASSERT_EQ(group.children[1].children.size(), 1u);
    EXPECT_EQ(group.children[1].children[0].caption, "Głęboki"_cp);
    EXPECT_EQ(group.children[2].caption, "A trzy");
    EXPECT_EQ(s.Menu()[2].caption, "Ostatni");

    EXPECT_EQ(s.ChosenSource(), 2);
    EXPECT_EQ(s.Question(), DefaultQuestion());
    EXPECT_EQ(s.LogFile(), "/tmp/z.log");
}

TEST(Z3950Settings, FormatSetsAndWhatIsWrittenBack) {
    TempDir dir;
    dir.Write("u.prg", "BEGIN GRUPA('245Z') PRINT(POLE) BACK END\n");
    dir.Write("bad.prg", "BEGIN PRINT( END\n");
    const std::string ini = dir.Write(
        "VELT_TCP.INI", "[Z3950_KATALOG_X]\r\nnazwa=X\r\n[Z3950_KATALOG_Y]\r\nnazwa=Y\r\n"
                        "[Z3950_FORMAT_1]\r\nnazwa=Skrócony\r\nU="_cp + dir.Path() + "u.prg\r\nA=" + dir.Path() +
                            "bad.prg\r\n[Z3950_FORMAT_2]\r\n");
    std::vector<std::string> errors;
    Z3950Settings s;
    s.Read(TMultiIniFile(ini), [&](const std::string& e) { errors.push_back(e); });
    ASSERT_EQ(s.Formats().size(), 2u);
    EXPECT_EQ(s.Formats()[0]->name, "Skrócony"_cp);
    EXPECT_TRUE(s.Formats()[0]->programs.Has('U'));
    EXPECT_FALSE(s.Formats()[0]->programs.Has('A'));
    EXPECT_FALSE(errors.empty()) << "the broken program is reported";
    EXPECT_EQ(s.Formats()[1]->name, "bez nazwy");
    EXPECT_EQ(s.ChosenSource(), 0) << "no \"źródło\": the first source";

    // Nothing changed: nothing written. A new source and values: both written.
    {
        ProfileFile file(ini);
        s.Write(file);
        EXPECT_FALSE(file.Modified());
    }
    s.SetCurrentSection("Z3950_KATALOG_Y");
    s.SetQuestion("Q.1|@|T.1|Prus|");
    ProfileFile file(ini);
    s.Write(file);
    ASSERT_EQ(file.Save(), "");
    TMultiIniFile again(ini);
    EXPECT_EQ(again.ReadString("Z3950", "źródło"_cp, ""), "Z3950_KATALOG_Y");
    EXPECT_EQ(again.ReadString("Z3950", "question", ""), "Q.1|@|T.1|Prus|");
}

// --- the list choice -------------------------------------------------------------

TEST(ListChoice, EntriesTheRuleOfTheChoiceAndTheSource) {
    const auto entries = ParseListChoice("a\x01Pierwszy\rwiersz\x01" "b\x01" "Drugi\x01" "c");
    ASSERT_EQ(entries.size(), 2u) << "a value without its text is no entry";
    EXPECT_EQ(entries[0].value, "a");
    EXPECT_EQ(entries[1].text, "Drugi");
    FakeLists window;
    EXPECT_EQ(ChooseFromList({}, window), "");
    EXPECT_EQ(ChooseFromList({entries[1]}, window), "b");
    EXPECT_TRUE(window.shown.empty()) << "one entry is taken without a window";
    window.answer = 1;
    EXPECT_EQ(ChooseFromList(entries, window), "b");
    window.answer = -1;
    EXPECT_EQ(ChooseFromList(entries, window), "");
    window.answer = 7;
    EXPECT_EQ(ChooseFromList(entries, window), "");

    int chosen = -1;
    ListChoiceSource source({{"a", "x\r\x1B" "Bmark"}, {"b", "y"}}, [&](int i) { chosen = i; });
    EXPECT_EQ(source.First(), "1");
    EXPECT_EQ(source.Last(), "2");
    EXPECT_EQ(source.Next("1"), "2");
    EXPECT_EQ(source.Next("2"), "");
    EXPECT_EQ(source.Prior("1"), "");
    EXPECT_FALSE(source.Lines("3"));
    const auto lines = source.Lines("1");
    ASSERT_TRUE(lines);
    ASSERT_EQ(lines->size(), 2u);
    EXPECT_EQ(lines->at(1).find('\x1B'), std::string::npos) << "texts are shown as plain text";
    source.Action("2", "!");
    EXPECT_EQ(chosen, 1);
}

// --- the window's model ------------------------------------------------------------

TEST(Z3950Import, OpeningSourcesAndTheButtons) {
    test::LoginPeer catalogue(kStatus2);
    velt_files files("127.0.0.1", nullptr, true, catalogue.Port());
    ASSERT_TRUE(files.Ready);
    Rig rig(1, "[Z3950_KATALOG_B]\r\nnazwa=Drugi\r\nv=0\r\nq=1\r\n");
    rig.host.files = &files;
    rig.import.Open();
    EXPECT_TRUE(rig.view.shown);
    EXPECT_EQ(rig.view.caption, "Import Z39.50: Lokalny");
    EXPECT_EQ(rig.view.presentation, 1);
    EXPECT_EQ(rig.view.search, 2);
    EXPECT_TRUE(rig.view.take);
    EXPECT_FALSE(rig.view.convert) << "no converter module";
    rig.import.SelectSource(1);
    EXPECT_EQ(rig.view.caption, "Import Z39.50: Drugi");
    EXPECT_EQ(rig.view.presentation, 0);
    EXPECT_EQ(rig.view.search, 1);
    // Without an editor of kind U nothing can be taken.
    rig.editor.codes = "K";
    rig.import.Open();
    EXPECT_FALSE(rig.view.take);
    // Without sources the window does not open.
    TempDir dir;
    test::RecordingPrompts prompts;
    FakeView view;
    FakeHost host;
    FakeLists lists;
    RecordingLongOps longOps;
    HeadlessParameterWindow window;
    FormSettings settings;
    ParameterForms forms(window, settings, [] { return std::string(); });
    Z3950Import empty(view, host, prompts, longOps, forms, lists);
    empty.ReadConfiguration(TMultiIniFile(dir.Write("E.INI", "[KATALOG]\r\nnazwa=x\r\n")), {});
    EXPECT_FALSE(empty.Available());
    empty.Open();
    EXPECT_EQ(prompts.shown, std::vector<std::string>{"error:" + "Import Z39.50 nie jest dostępny"_cp});
    EXPECT_FALSE(view.shown);
}

TEST(Z3950Import, QueryFormComesBackUntilItGivesAQueryThenSearches) {
    Z3950Script z;
    z.records = {Marc({{"001", "r1"}, {"245", "10\x1F" "aPierwszy"}}), Marc({{"001", "r2"}})};
    test::ScriptedPeer peer([&](test::PeerConnection& c) { z.Serve(c); }, 2);
    Rig rig(peer.Port());
    int shown = 0;
    rig.window.user = [&](HeadlessParameterWindow& w) {
        ++shown;
        my_record& r = w.Dialog()->Record();
        if (shown == 1) r.SetValue("E", "1*7");         // an error: shown, the form again
        if (shown == 2) r.SetValue("E", "");            // only empty rows: the form again, no message
        if (shown == 3) r.SetValue("T.2", "Pierwszy");  // a query
        w.Execute();
    };
    rig.import.Query();
    EXPECT_EQ(shown, 3);
    EXPECT_EQ(rig.prompts.shown, std::vector<std::string>{"error:" + "Błąd w wyrażeniu"_cp + " \"7"});
    EXPECT_EQ(rig.longOps.texts, std::vector<std::string>{"Trwa wyszukiwanie"});
    EXPECT_EQ(rig.view.count, "2");
    EXPECT_EQ(rig.view.results, &rig.import.Client());
    EXPECT_NE(rig.import.Settings().Question().find("T.2|Pierwszy|"), std::string::npos);
    EXPECT_EQ(z.Requests(), (std::vector<std::string>{"init", "search"}));
    // The display follows the presentation item; a cancelled form searches nothing.
    rig.import.SetPresentation(0);
    EXPECT_EQ(rig.view.redraws, 1);
    rig.window.user = [](HeadlessParameterWindow&) {};
    rig.import.Query();
    EXPECT_EQ(z.Requests().size(), 2u);
}

TEST(Z3950Import, ScanUsesAnAssociationOfItsOwnAndFillsTheField) {
    Z3950Script z;
    z.records = {Marc({{"001", "r1"}}), Marc({{"001", "r2"}}), Marc({{"001", "r3"}})};
    z.terms = {"Prus, Boles\xB1" "aw"};
    test::ScriptedPeer peer([&](test::PeerConnection& c) { z.Serve(c); }, 4);
    Rig rig(peer.Port());
    ASSERT_EQ(rig.import.Search("Q.1|@|T.1|Prus|E||"), Z3950Outcome::Found);
    ASSERT_TRUE(rig.import.Client().Lines("1"));
    const std::size_t held = rig.import.Client().HeldCount();
    ASSERT_EQ(held, 3u);

    // One term: taken at once, converted for display (MARC-8: B1 is "ł").
    my_record values;
    FillRecord(values, "Q.1|@|T.1|Prus|");
    EXPECT_TRUE(rig.import.Scan(1, values));
    EXPECT_EQ(values.GetValue("T.1"), "Prus, Bolesław"_cp);
    EXPECT_TRUE(rig.lists.shown.empty());
    // The result list under the browser is still there and still answers.
    EXPECT_EQ(rig.import.Client().ResultCount(), 3);
    EXPECT_EQ(rig.import.Client().HeldCount(), held);
    EXPECT_TRUE(rig.import.Client().Lines("2"));

    // Several terms: the list; the second chosen.
    z.terms = {"Prus", "Prusak", "Pruszynski"};
    rig.lists.answer = 1;
    EXPECT_TRUE(rig.import.Scan(1, values));
    EXPECT_EQ(values.GetValue("T.1"), "Prusak");
    ASSERT_EQ(rig.lists.shown.size(), 1u);
    EXPECT_EQ(rig.lists.shown[0].size(), 3u);
    rig.lists.answer = -1;
    EXPECT_FALSE(rig.import.Scan(1, values));
    EXPECT_EQ(values.GetValue("T.1"), "Prusak");
    // A scan of row 1 sent the scan attributes of an author.
    EXPECT_EQ(z.Requests(), (std::vector<std::string>{"init", "search", "present 1 3", "init", "scan", "init", "scan",
                                                      "init", "scan"}));
    EXPECT_TRUE(peer.Join().empty());
}

TEST(Z3950Import, ScanRefusedByAServerWithoutIt) {
    Z3950Script z;
    z.scan = false;
    test::ScriptedPeer peer([&](test::PeerConnection& c) { z.Serve(c); }, 1);
    Rig rig(peer.Port());
    my_record values;
    FillRecord(values, "Q.3|&|T.3|Historia|");
    EXPECT_FALSE(rig.import.Scan(3, values));
    EXPECT_EQ(rig.prompts.shown, std::vector<std::string>{"error:" + "Serwer nie realizuje usługi SCAN"_cp});
    EXPECT_EQ(values.GetValue("T.3"), "Historia");
}

TEST(Z3950Import, TakeRefusesDiagnosticsAndReadsTheRecordsOwnCharset) {
    Z3950Script z;
    // 1: UTF-8 ("ł" as C5 82) while ALA is shown; 2: a surrogate diagnostic; 3: an authority record.
    z.records = {Marc({{"001", "r1"}, {"245", "10\x1F" "a\xC5\x82\xC4\x85ka"}}, 'a'), "",
                 Marc({{"001", "r3"}, {"100", "1 \x1F" "aX"}}, ' ', "nz ")};
    test::ScriptedPeer peer([&](test::PeerConnection& c) { z.Serve(c); }, 1);
    Rig rig(peer.Port());
    ASSERT_EQ(rig.import.Search("Q.1|@|T.1|x|E||"), Z3950Outcome::Found);
    ASSERT_TRUE(rig.import.Client().Lines("1"));

    rig.view.selected = "2";
    rig.import.Take();
    ASSERT_EQ(rig.prompts.shown.size(), 1u);
    EXPECT_EQ(rig.prompts.shown[0], "error:" + "Błąd"_cp + " - diagnostyka 14: gone");
    EXPECT_TRUE(rig.editor.calls.empty());

    rig.view.selected = "1";
    rig.import.Take();
    ASSERT_EQ(rig.editor.calls, std::vector<std::string>{"new U"});
    EXPECT_EQ(rig.editor.records[0].GetValue("245Z.1.1.1.1"), "^ałąka"_cp);
    EXPECT_EQ(rig.editor.records[0].GetValue("001Z.1.1.1.1"), "r1");

    // A kind the catalogue cannot edit is said, not dropped silently.
    rig.view.selected = "3";
    rig.import.Take();
    EXPECT_EQ(rig.editor.calls.size(), 1u);
    EXPECT_EQ(rig.prompts.shown.back(),
              "error:" + "Rekordów rodzaju \"A\" nie można edytować w tym katalogu; rekord pominięto"_cp);
    // No selection: nothing.
    rig.view.selected = "";
    rig.import.Take();
    EXPECT_EQ(rig.prompts.shown.size(), 2u);
}

TEST(Z3950Import, ConvertThroughTheExampleModule) {
    Z3950Script z;
    z.records = {Marc({{"001", "r1"}, {"100", "1 \x1F" "aCollins, Jack"}, {"245", "10\x1F" "aHow to program"}})};
    test::ScriptedPeer peer([&](test::PeerConnection& c) { z.Serve(c); }, 1);
    test::LoginPeer catalogue(kStatus2);
    velt_files files("127.0.0.1", nullptr, true, catalogue.Port());
    ASSERT_TRUE(files.Ready);
    Rig rig(peer.Port(), "[KONWERTER_MARC]\r\ndll=" VELT_EXAMPLE_MODULE "\r\nz=U\r\ndo=K\r\nrodzaj=K\r\ntryb=katalog\r\n");
    ConverterModules modules;
    modules.Load({{"KONWERTER_MARC", VELT_EXAMPLE_MODULE, "U", "K"}}, rig.ini, [](const std::string&) {});
    ASSERT_EQ(modules.size(), 1u);
    rig.host.files = &files;
    rig.host.modules = &modules;
    rig.editor.codes = "UK";
    rig.import.Open();
    EXPECT_TRUE(rig.view.convert);
    ASSERT_EQ(rig.import.Search("Q.1|@|T.1|x|E||"), Z3950Outcome::Found);
    ASSERT_TRUE(rig.import.Client().Lines("1"));
    rig.view.selected = "1";
    rig.import.Convert();
    ASSERT_EQ(rig.editor.calls, std::vector<std::string>{"import #K K"});
    const my_record& k = rig.editor.records[0];
    EXPECT_EQ(k.GetValue("245Z.1.1.1.1"), "^aHow to program");
    EXPECT_EQ(k.GetValue("100Z.1.1.1.1"), "^aCollins, Jack");
    EXPECT_EQ(k.Find("L.1"), nullptr) << "the leader is MARC's, not the catalogue's";
    EXPECT_EQ(k.Find("001Z.1.1.1.1"), nullptr) << "the source's control number is not the record's";
    // A kind the catalogue cannot edit is said.
    rig.editor.codes = "U";
    rig.import.Convert();
    EXPECT_EQ(rig.editor.calls.size(), 1u);
    EXPECT_EQ(rig.prompts.shown.back(),
              "error:" + "Rekordów rodzaju \"K\" nie można edytować w tym katalogu; rekord pominięto"_cp);
}

TEST(Z3950Import, Velt1ChainSkipsRecordsAlreadyThereAndPointsAtThem) {
    test::LoginPeer catalogue("VELT1&wersja=2026.01.01&edycja=1");
    velt_files files("127.0.0.1", nullptr, false, catalogue.Port());
    ASSERT_TRUE(files.Ready);
    ASSERT_EQ(files.DatabaseKind, kVelt1);
    Rig rig(1);
    rig.host.files = &files;
    rig.editor.codes = "-";  // the kind without a code
    rig.editor.existing["^aSeria"] = "Rekord istnieje: \x1B" "D" "123";
    std::vector<my_record> records(3);
    records[0].SetValue("245Z.1.1.1.1", "^aSeria");
    records[1].SetValue("245Z.1.1.1.1", "^aTom 1");
    records[2].SetValue("245Z.1.1.1.1", "^aTom 1, cz. 2");
    rig.import.ImportConverted(records);
    EXPECT_EQ(rig.editor.calls, (std::vector<std::string>{"check ", "check " + files.StoredIdentifier("123"),
                                                          "import VELT #1 ", "check VELT #1", "import VELT #2 "}));
    ASSERT_EQ(rig.editor.records.size(), 2u);
    EXPECT_EQ(rig.editor.records[0].GetValue("DOK_IDO"), files.StoredIdentifier("123"));
    EXPECT_TRUE(rig.prompts.shown.empty());
    // Everything there already: said once.
    rig.editor.calls.clear();
    std::vector<my_record> one(1);
    one[0].SetValue("245Z.1.1.1.1", "^aSeria");
    rig.import.ImportConverted(one);
    EXPECT_EQ(rig.prompts.shown, std::vector<std::string>{"error:" + "Rekord został przeniesiony wcześniej"_cp});
}

TEST(Z3950Import, TheLogKeepsEverythingButThePassword) {
    Z3950Script z;
    test::ScriptedPeer peer([&](test::PeerConnection& c) { z.Serve(c); }, 1);
    TempDir dir;
    const std::string log = dir.Path() + "z3950.log";
    Z3950Client client;
    client.SetLogFile(log);
    ASSERT_TRUE(client.OpenAssociation("127.0.0.1", peer.Port(), "tajne-haslo", "ala")) << client.ErrorText();
    const std::string logged = TempDir::Read(log);
    EXPECT_EQ(logged.find("tajne-haslo"), std::string::npos);
    EXPECT_NE(logged.find("ala"), std::string::npos);
    EXPECT_NE(logged.find("\x82\x0B" "***********"), std::string::npos) << test::Hex(logged);
    // The server got the password itself.
    ASSERT_EQ(z.inits.size(), 1u);
    EXPECT_NE(z.inits[0].find("tajne-haslo"), std::string::npos);
    // The logged Init is the sent one, byte for byte but the password.
    std::string sent = z.inits[0];
    sent.replace(sent.find("tajne-haslo"), 11, std::string(11, '*'));
    EXPECT_EQ(test::Hex(logged.substr(0, sent.size())), test::Hex(sent));
}
