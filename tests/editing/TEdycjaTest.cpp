// The edit session against velt-server: the kinds loaded at the start, every
// flow of the editing window over headless pages, what goes on the wire
// (counted by the server), the fault switches, and the recovery of what was
// typed when the connection went.

#include "net/RecordRequests.h"
#include "EditingHarness.h"

#include "editing/RecoveryFile.h"
#include "net/TVeltClient.h"
#include "text/RecordText.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace velt;
using namespace velt::test;

namespace {

class EditingTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ServerProcess::Options o;
        o.records = 300;
        sServer = new ServerProcess(o);
    }
    static void TearDownTestSuite() {
        delete sServer;
        sServer = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(sServer->Ready()) << sServer->Why();
        sServer->Control("clear");
    }
    void TearDown() override { sServer->Control("clear"); }
    std::unique_ptr<Editing> Start(const std::string& user = "bibliotekarz") {
        return std::make_unique<Editing>(*sServer, dir.Path(), user);
    }
    long Count(const std::string& code) const { return sServer->Count(code); }
    // A field of a record as another session reads it.
    std::string Stored(const std::string& id, const std::string& key) {
        TVeltClient other("127.0.0.1", nullptr, sServer->Port());
        other.Login("admin", "admin", "");
        const Answers opened = EditRequest(other, 'O', {id});
        if (!opened.Answered() || !opened[1].empty() || opened.count < 2) return "<none>";
        const my_record r = ParseRecordText(opened[2]);
        EditRequest(other, 'X', {id});
        return r.GetValue(key);
    }

    static inline ServerProcess* sServer = nullptr;
    TempDir dir;
};

const char kTitle[] = "245Z.1.1.1.1";

}  // namespace

TEST_F(EditingTest, StartEditingLoadsEveryKindWithItsFormScriptAndTheServerKindsSettings) {
    auto e = Start();
    const auto& kinds = e->session->Kinds().All();
    ASSERT_EQ(kinds.size(), 4u);
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"K", "Książka"_cp}, {"O", "Osoba"}, {"T", "Temat"}, {"U", "Rekord MARC 21"}};
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        EXPECT_EQ(kinds[i]->code, expected[i].first);
        EXPECT_EQ(kinds[i]->caption, expected[i].second);
        EXPECT_TRUE(kinds[i]->form);
        EXPECT_FALSE(kinds[i]->script.empty()) << kinds[i]->code;
    }
    // The forms' pictures are not in the test's directory; nothing else is reported.
    for (const auto& m : e->editor.messages) EXPECT_EQ(m.rfind("Brak pliku \"", 0), 0u) << m;
    EXPECT_EQ(e->editor.kindsChanged, 1);
    // VELT2: lists up to 200 occurrences, a decimal comma.
    EXPECT_EQ(e->session->Settings().maxOccurrence, 200);
    EXPECT_EQ(e->session->Settings().decimalSeparator, ',');
    EXPECT_EQ(e->session->Settings().maskFont, "Courier New/-14/B");
    // Every lookup compares codes alike.
    EXPECT_TRUE(e->session->CanEdit("k"));
    e->session->OpenRecord("k", "K20");
    EXPECT_EQ(e->session->SheetCount(), 1) << "the kind CanEdit accepts is the kind a record opens in";
    EXPECT_FALSE(e->session->CanEdit("X"));
    EXPECT_FALSE(e->session->CanEdit(""));
}

TEST_F(EditingTest, AKindWhoseFormFailsIsLeftOutAndADamagedOneIsReported) {
    sServer->Control("answers 200F 1 1");  // the first form request: an error text only
    sServer->Control("broken F T");
    auto e = Start();
    const auto& kinds = e->session->Kinds().All();
    ASSERT_EQ(kinds.size(), 3u);
    EXPECT_EQ(kinds[0]->code, "O");
    EXPECT_EQ(kinds[1]->code, "T");
    EXPECT_EQ(kinds[2]->code, "U");
    EXPECT_FALSE(e->editor.messages.empty()) << "the damaged form of T is reported";
    EXPECT_FALSE(e->session->CanEdit("K"));
}

TEST_F(EditingTest, OpeningAndClosingUnchangedSendsNothingButOpenAndRelease) {
    auto e = Start();
    const long open = Count("200O"), release = Count("200X"), save = Count("200U"), check = Count("200T");
    e->session->OpenRecord("K", "K5");
    ASSERT_EQ(e->session->SheetCount(), 1);
    edit_sheet& s = e->Sheet();
    EXPECT_EQ(s.Caption(), "Rekord \"K5\"");
    EXPECT_FALSE(s.IsNew());
    EXPECT_TRUE(e->editor.windowShown);
    EXPECT_EQ(e->editor.pages.size(), 1u);
    EXPECT_EQ(e->editor.pages[0]->caption, "Rekord \"K5\"");
    EXPECT_GT(e->editor.pages[0]->formWidth, 600);
    EXPECT_FALSE(s.IsModified()) << "laying out normalises nothing into the record";
    // Focus moved through the fields, as the user would without typing.
    for (const char* id : {"001Z.1.1.1.1", "DOK_IDO", "100Z.1.1.1.1", kTitle, "041Z.1.1.1.1"})
        if (HeadlessControl* c = FieldControl(s, id)) c->UserFocus();
    e->session->CloseActive();
    EXPECT_EQ(e->session->SheetCount(), 0);
    EXPECT_FALSE(e->editor.windowShown) << "the window hides with its last sheet";
    EXPECT_EQ(Count("200O") - open, 1);
    EXPECT_EQ(Count("200X") - release, 1);
    EXPECT_EQ(Count("200U") - save, 0);
    EXPECT_EQ(Count("200T") - check, 0);
    EXPECT_EQ(e->counts, (std::vector<int>{1, 0}));
    EXPECT_TRUE(e->prompts.Take().empty()) << "no question for an unchanged record";
}

TEST_F(EditingTest, TypedChangesAreSavedTheSheetClosesAndTheTabsAreTold) {
    auto e = Start();
    e->session->OpenRecord("K", "K6");
    edit_sheet& s = e->Sheet();
    HeadlessControl* title = FieldControl(s, "250Z.1.1.1.1");
    ASSERT_TRUE(title);
    title->UserFocus();
    title->UserType("Wyd. 3 popr.");
    EXPECT_TRUE(s.IsModified());
    // K6 has copies: the form's list of them ("#EGZ") is no change of the record.
    e->session->ShowChangedFields();
    EXPECT_EQ(e->prompts.Take(), std::vector<std::string>{"plain:Zmieniono pola: 250Z.1.1.1.1"});
    e->session->SaveActive();
    EXPECT_EQ(e->prompts.Take(), std::vector<std::string>{"message:Rekord został zapisany.\n\rK6"_cp});
    EXPECT_EQ(e->session->SheetCount(), 0);
    EXPECT_EQ(e->changes, std::vector<std::string>{"K6>K6"});
    EXPECT_EQ(e->session->Saved(), std::vector<std::string>{"K6"});
    EXPECT_EQ(e->session->Opened(), std::vector<std::string>{"K6"});
    EXPECT_EQ(Stored("K6", "250Z.1.1.1.1"), "Wyd. 3 popr.");
}

TEST_F(EditingTest, ANewRecordOfEveryKindIsStartedSavedAndNamedByTheServer) {
    const struct {
        const char* code;
        const char* key;
        std::string value;
    } cases[] = {
        {"K", kTitle, "^aNowa książka testowa"_cp},
        {"O", "100Z.1.1.1.1", "^aNowak, Jan"},
        {"T", "150Z.1.1.1.1", "^aTemat testowy"},
    };
    auto e = Start();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        e->changes.clear();
        e->session->NewRecord(c.code);
        ASSERT_EQ(e->session->SheetCount(), 1);
        edit_sheet& s = e->Sheet();
        EXPECT_EQ(s.Caption(), "Nowy \"" + std::string(c.code) + "\"");
        EXPECT_TRUE(s.IsNew());
        EXPECT_EQ(s.Identifier(), c.code);
        HeadlessControl* field = FieldControl(s, c.key);
        ASSERT_TRUE(field);
        field->UserFocus();
        field->Markers().LoadText(c.value);
        field->UserChanged();
        e->session->SaveActive();
        ASSERT_EQ(e->session->SheetCount(), 0) << (e->prompts.shown.empty() ? "" : e->prompts.shown.back());
        ASSERT_EQ(e->changes.size(), 1u);
        const std::string id = e->changes[0].substr(1);
        EXPECT_EQ(e->changes[0][0], '>') << "a new record has no source";
        EXPECT_EQ(id[0], c.code[0]);
        EXPECT_EQ(e->prompts.Take(), std::vector<std::string>{"message:Rekord został zapisany.\n\r"_cp + id});
        EXPECT_EQ(Stored(id, c.key), c.value);
    }
}

TEST_F(EditingTest, AnImportedRecordOpensAsNewAndIsSavedUnderItsSource) {
    auto e = Start();
    my_record from;
    from.AddField(kTitle, "^aZ innego katalogu", 0);
    from.AddField("020Z.1.1.1.1", "^a83-7039-000-5", 0);
    const std::string temporary = e->session->TemporaryIdentifier();
    const long requests = Count("200");
    e->session->ImportRecord(temporary, "K", from);
    EXPECT_EQ(Count("200"), requests) << "an import sends no request";
    ASSERT_EQ(e->session->SheetCount(), 1);
    edit_sheet& s = e->Sheet();
    EXPECT_EQ(s.Caption(), "Import \"" + temporary + "\"");
    EXPECT_TRUE(s.IsNew());
    EXPECT_TRUE(s.IsModified());
    EXPECT_EQ(s.Record().GetValue(kTitle), "^aZ innego katalogu");
    e->session->SaveActive();
    ASSERT_EQ(e->changes.size(), 1u);
    EXPECT_EQ(e->changes[0].substr(0, temporary.size() + 1), temporary + ">");
    // Temporary numbers never come twice, whatever was closed meanwhile.
    const std::string next = e->session->TemporaryIdentifier();
    EXPECT_NE(next, temporary);
    EXPECT_EQ(next, "VELT #2");
}

TEST_F(EditingTest, DeletingAsksOpensReleasesAndNeverTouchesAnOpenSheet) {
    auto e = Start();
    // Nie: opened to ask, released, kept.
    e->prompts.answers = {kNo};
    const long released = Count("200X");
    EXPECT_FALSE(e->session->DeleteRecord("K30"));
    EXPECT_EQ(Count("200X") - released, 1);
    EXPECT_NE(Stored("K30", "001Z.1.1.1.1"), "<none>");
    // Tak: gone, the tabs told.
    EXPECT_TRUE(e->session->DeleteRecord("K30"));
    EXPECT_EQ(e->changes, std::vector<std::string>{"K30>"});
    EXPECT_EQ(Stored("K30", "001Z.1.1.1.1"), "<none>");
    // A record a sheet holds: no request at all, its sheet shown.
    e->session->OpenRecord("K", "K31");
    const long opens = Count("200O"), releases = Count("200X"), deletes = Count("200D");
    e->prompts.Take();
    EXPECT_FALSE(e->session->DeleteRecord("K31"));
    EXPECT_EQ(Count("200O") - opens + Count("200X") - releases + Count("200D") - deletes, 0);
    const auto shown = e->prompts.Take();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].rfind("error:Rekord K31 jest otwarty do edycji", 0), 0u) << shown[0];
    EXPECT_EQ(e->session->SheetCount(), 1);
}

TEST_F(EditingTest, DeletingASheetsRecordAndANewSheetAsksFirst) {
    auto e = Start();
    e->session->OpenRecord("K", "K32");
    e->prompts.answers = {kNo};
    e->session->DeleteActive();
    EXPECT_EQ(e->session->SheetCount(), 1) << "Nie keeps it";
    e->session->DeleteActive();  // Tak
    EXPECT_EQ(e->session->SheetCount(), 0);
    EXPECT_EQ(e->prompts.shown.back(), "message:Rekord został usunięty"_cp);
    EXPECT_EQ(Stored("K32", "001Z.1.1.1.1"), "<none>");
    // An untouched new sheet just closes; one typed into asks.
    e->session->NewRecord("T");
    e->prompts.Take();
    e->session->DeleteActive();
    EXPECT_EQ(e->session->SheetCount(), 0);
    EXPECT_TRUE(e->prompts.Take().empty());
    e->session->NewRecord("T");
    e->Sheet().Record().SetValue("150Z.1.1.1.1", "^aCoś"_cp);
    e->prompts.answers = {kNo};
    e->session->DeleteActive();
    EXPECT_EQ(e->session->SheetCount(), 1) << "what was typed stays unless the user agrees";
    EXPECT_EQ(e->prompts.Take().size(), 1u);
}

TEST_F(EditingTest, ClosingAModifiedSheetAsksTakNieZrezygnuj) {
    const struct {
        DialogResult answer;
        int sheetsLeft;
        long saves, releases;
        bool stored;  // the change reached the server
    } cases[] = {
        {kYes, 0, 1, 0, true},
        {kNo, 0, 0, 1, false},
        {kCancel, 1, 0, 0, false},
    };
    int record = 40;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        const std::string id = "K" + std::to_string(record++);
        const std::string before = Stored(id, "250Z.1.1.1.1");
        auto e = Start();
        e->session->OpenRecord("K", id);
        e->Sheet().Record().SetValue("250Z.1.1.1.1", c.answer == kYes ? "Tak" : "Nie");
        const long saves = Count("200U"), releases = Count("200X");
        e->prompts.answers = {c.answer};
        e->session->CloseActive();
        const auto shown = e->prompts.Take();
        ASSERT_FALSE(shown.empty());
        EXPECT_EQ(shown[0], "warn:Rekord \"" + id + "\" był poprawiany.\r\rCzy zapisać zmiany?"_cp);
        EXPECT_EQ(e->session->SheetCount(), c.sheetsLeft);
        EXPECT_EQ(Count("200U") - saves, c.saves);
        EXPECT_EQ(Count("200X") - releases, c.releases);
        e->prompts.answers = {kNo};  // what Zrezygnuj kept goes now, unsaved
        e->session->CloseActive();
        EXPECT_EQ(Stored(id, "250Z.1.1.1.1"), c.stored ? std::string("Tak") : before);
    }
}

TEST_F(EditingTest, SaveAllStopsAtTheFirstSheetThatCannotBeSaved) {
    const std::string before = Stored("K51", "250Z.1.1.1.1");
    auto e = Start();
    e->session->OpenRecord("K", "K50");
    e->Sheet().Record().SetValue("250Z.1.1.1.1", "pierwszy");
    e->session->NewRecord("K");  // no title: refused by the server
    e->session->OpenRecord("K", "K51");
    e->Sheet().Record().SetValue("250Z.1.1.1.1", "trzeci");
    e->session->SaveAll();
    ASSERT_EQ(e->session->SheetCount(), 2);
    EXPECT_EQ(e->Sheet(0).Caption(), "Nowy \"K\"");
    EXPECT_EQ(e->session->ActiveIndex(), 0);
    EXPECT_FALSE(e->editor.pages[0]->errors.empty()) << "the refusal shows in the sheet";
    EXPECT_EQ(Stored("K50", "250Z.1.1.1.1"), "pierwszy");
    EXPECT_EQ(e->Sheet(1).Record().GetValue("250Z.1.1.1.1"), "trzeci") << "the sheet after the refusal is kept";
    const auto shown = e->prompts.Take();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].rfind("error:", 0), 0u);
    // Closed without saving, the third record is as it was.
    e->prompts.answers = {kNo, kNo};
    EXPECT_TRUE(e->session->CloseWindow());
    EXPECT_EQ(Stored("K51", "250Z.1.1.1.1"), before);
}

TEST_F(EditingTest, ASaveAnsweredWithTooFewTextsIsAnErrorInTheSheetNeverASuccess) {
    const struct {
        int texts;
        bool saved;
        std::string error;  // the sheet's one error, empty on success
    } cases[] = {
        {0, false, "Bład odpowiedzi"_cp},
        {1, false, "Bład odpowiedzi"_cp},
        {2, true, ""},
        {3, true, ""},
    };
    int record = 60;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.texts);
        auto e = Start();
        const std::string id = "K" + std::to_string(record++);
        e->session->OpenRecord("K", id);
        e->Sheet().Record().SetValue("250Z.1.1.1.1", "z odpowiedzią"_cp);
        sServer->Control("answers 200U " + std::to_string(c.texts) + " 1");
        e->session->SaveActive();
        EXPECT_EQ(e->session->SheetCount(), c.saved ? 0 : 1);
        EXPECT_EQ(e->changes.size(), c.saved ? 1u : 0u);
        if (!c.saved) {
            ASSERT_EQ(e->Sheet().Record().errors().size(), 1u);
            EXPECT_EQ(e->Sheet().Record().errors()[0].message, c.error);
            EXPECT_EQ(e->Sheet().Record().errors()[0].keys, "*");
            EXPECT_EQ(e->editor.pages[0]->errors, std::vector<std::string>{c.error});
            EXPECT_EQ(e->Sheet().Record().GetValue("250Z.1.1.1.1"), "z odpowiedzią"_cp) << "nothing typed is lost";
            EXPECT_TRUE(e->session->Saved().empty());
        }
    }
}

TEST_F(EditingTest, OpenAndNewAnsweredWithoutTheRecordOpenNoSheet) {
    auto e = Start();
    sServer->Control("answers 200O 1 1");
    const long releases = Count("200X");
    e->session->OpenRecord("K", "K70");
    EXPECT_EQ(e->session->SheetCount(), 0);
    EXPECT_EQ(e->prompts.Take(), std::vector<std::string>{"error:Bład odpowiedzi"_cp});
    EXPECT_EQ(Count("200X") - releases, 1) << "what the half answer reserved is released";
    sServer->Control("answers 200N 1 1");
    e->session->NewRecord("K");
    EXPECT_EQ(e->session->SheetCount(), 0);
    EXPECT_EQ(e->prompts.Take(), std::vector<std::string>{"error:Bład odpowiedzi"_cp});
    EXPECT_TRUE(e->session->Opened().empty());
}

TEST_F(EditingTest, ARecordHeldByAnotherSessionIsRefusedWithItsHolder) {
    sServer->Control("lock K71 kowalski");
    auto e = Start();
    e->session->OpenRecord("K", "K71");
    EXPECT_EQ(e->session->SheetCount(), 0);
    const auto shown = e->prompts.Take();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].rfind("error:Rekord K71 jest zarezerwowany przez użytkownika kowalski"_cp, 0), 0u) << shown[0];
}

TEST_F(EditingTest, ARecordIsNeverOpenInTwoSheets) {
    auto e = Start();
    e->session->OpenRecord("K", "K72");
    e->session->OpenRecord("K", "K73");
    const long opens = Count("200O");
    e->session->OpenRecord("K", "K72");
    // The stored form of the same identifier names the same record.
    e->session->OpenRecord("K", e->files.StoredIdentifier("K72"));
    EXPECT_EQ(Count("200O") - opens, 0);
    EXPECT_EQ(e->session->SheetCount(), 2);
    EXPECT_EQ(e->session->ActiveIndex(), 0) << "its sheet is shown";
    EXPECT_EQ(e->editor.shown, e->editor.pages[0]);
    EXPECT_EQ(e->session->Opened(), (std::vector<std::string>{"K73", "K72"}));
    EXPECT_EQ(e->session->Command(&e->Sheet(), "HO"), "K73|K72|");
    // Scripts neither release nor store over what a sheet holds.
    const long releases = Count("200X"), saves = Count("200U");
    e->session->Command(&e->Sheet(), "MCK72");
    EXPECT_NE(e->session->Command(&e->Sheet(), "MSK72|250Z.1.1.1.1=x"), "");
    EXPECT_EQ(Count("200X") - releases + Count("200U") - saves, 0);
    // An import under an open record's identifier is refused.
    e->session->ImportRecord("gdzieś"_cp, "K72", my_record());
    EXPECT_EQ(e->session->SheetCount(), 2);
}

TEST_F(EditingTest, TheServersScriptsRefreshFieldsAskForHelpAndAddErrors) {
    auto e = Start();
    e->session->OpenRecord("K", "K80");
    edit_sheet& s = e->Sheet();
    HeadlessSheet& page = *e->editor.pages[0];
    // A line "message|patterns" is an error of the record, shown at once.
    s.Record().SetValue(kTitle, "^bbez tytułu"_cp);
    s.Event(kFormExit, kTitle);
    ASSERT_EQ(page.errors, std::vector<std::string>{"Brak tytułu właściwego"_cp});
    // The ISBN service of the server answers through the script's EXTERNAL.
    s.Record().SetValue("020Z.1.1.1.1", "^a83-7039-000-6");
    s.Event(kFormExit, "020Z.1.1.1.1");
    ASSERT_EQ(page.errors.size(), 2u);
    EXPECT_EQ(page.errors[1], "Błędna cyfra kontrolna numeru ISBN: 83-7039-000-6"_cp);
    // "|245Z.1.1.1.1" asks for the title's HELP, which fills ^c from the author.
    s.Record().SetValue(kTitle, "^aTytuł"_cp);
    s.Record().SetValue("100Z.1.1.1.1", "^aKowalski, Jan");
    s.Event(kFormExit, "100Z.1.1.1.1");
    EXPECT_EQ(s.Record().GetValue(kTitle), "^aTytuł ^cJan Kowalski"_cp);
    EXPECT_EQ(FieldControl(s, kTitle)->Markers().StoredText(), s.Record().GetValue(kTitle)) << "the field was refreshed";
    // F5 in a field: the script's [HELP #F5_<F>] writes today's date into it.
    s.Record().SetValue("500Z.1.1.1.1", "");
    s.Refresh("500Z.1.1.1.1");
    HeadlessControl* remark = FieldControl(s, "500Z.1.1.1.1");
    remark->UserFocus();
    EXPECT_EQ(s.CurrentField(), "500Z.1.1.1.1");
    e->session->FunctionKey(5, false);
    EXPECT_EQ(s.Record().GetValue("500Z.1.1.1.1").size(), 10u) << s.Record().GetValue("500Z.1.1.1.1");
    // F1: the server's help of the current field, line by line.
    FieldControl(s, kTitle)->UserFocus();
    e->session->Help();
    ASSERT_GE(page.help.size(), 3u);
    EXPECT_EQ(page.help[0], "Tytuł i oznaczenie odpowiedzialności:"_cp);
    // The SHOW of the preview prints formatted text.
    const auto preview = s.Event(kFormShow, "#PODGLAD");
    ASSERT_FALSE(preview.empty());
    EXPECT_NE(preview[0].find("Tytuł"_cp), std::string::npos);
}

TEST_F(EditingTest, StopEditingIsRefusedWhileRecordsAreOpenOnALiveConnection) {
    auto e = Start();
    e->session->OpenRecord("K", "K81");
    EXPECT_FALSE(e->session->StopEditing(false));
    EXPECT_EQ(e->prompts.Take(), std::vector<std::string>{"error:Najpierw należy zamknąć otwarte rekordy!"_cp});
    EXPECT_EQ(e->session->SheetCount(), 1);
    e->session->CloseActive();
    EXPECT_TRUE(e->session->StopEditing(false));
    EXPECT_TRUE(e->session->Kinds().Empty());
}

TEST_F(EditingTest, NothingTypedIsLostWhenTheConnectionDropsDuringASave) {
    {
        auto e = Start();
        e->session->OpenRecord("K", "K82");
        e->session->NewRecord("T");
        e->Sheet().Record().SetValue("150Z.1.1.1.1", "^aTemat po awarii");
        e->session->Activate(0);
        HeadlessControl* edition = FieldControl(e->Sheet(), "250Z.1.1.1.1");
        edition->UserFocus();
        edition->UserType("Wyd. po awarii");
        // The connection goes during a check; the save after it cannot reach the server.
        sServer->Control("close 200T 1");
        e->session->CheckActive();
        EXPECT_TRUE(e->files.Broken());
        e->session->SaveActive();
        ASSERT_EQ(e->session->SheetCount(), 2) << "a failed save keeps the sheet";
        edit_sheet& s = e->Sheet(0);
        EXPECT_EQ(s.Record().GetValue("250Z.1.1.1.1"), "Wyd. po awarii");
        ASSERT_EQ(s.Record().errors().size(), 1u);
        EXPECT_EQ(s.Record().errors()[0].message, e->files.ConnectionError());
        EXPECT_EQ(e->sessionMessages.size(), 1u) << "the failure is told once, by the session";
        EXPECT_TRUE(e->prompts.Take().empty()) << "and not again by the editor";
        // Leaving: the user is asked, and the changes are kept.
        e->prompts.answers = {kYes};
        EXPECT_TRUE(e->session->StopEditing(false));
        const auto shown = e->prompts.Take();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].rfind("warn:Połączenie z serwerem zostało przerwane"_cp, 0), 0u) << shown[0];
        EXPECT_EQ(e->session->SheetCount(), 0);
    }
    EXPECT_EQ(Stored("K82", "250Z.1.1.1.1"), "") << "nothing was stored";
    const auto kept = ReadRecoveryFile(RecoveryFileName(dir.Path()));
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0].identifier, "K82");
    EXPECT_EQ(kept[0].user, "bibliotekarz");
    // Another user of the catalogue is not offered them.
    {
        auto other = Start("admin");
        EXPECT_EQ(other->session->SheetCount(), 0);
        EXPECT_TRUE(other->prompts.Take().empty());
    }
    // The same user again: offered, reopened with the changes on the record as it is now.
    auto e = std::make_unique<Editing>(*sServer, std::string(), "bibliotekarz");
    e->prompts.answers = {kYes};
    e->session->StartEditing(dir.Path());
    const auto shown = e->prompts.Take();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].find("K82"), std::string::npos) << shown[0];
    ASSERT_EQ(e->session->SheetCount(), 2);
    EXPECT_EQ(e->Sheet(0).Caption(), "Rekord \"K82\"");
    EXPECT_EQ(e->Sheet(0).Record().GetValue("250Z.1.1.1.1"), "Wyd. po awarii");
    EXPECT_TRUE(e->Sheet(0).IsModified());
    EXPECT_EQ(e->Sheet(1).Caption(), "Nowy \"T\"");
    EXPECT_EQ(e->Sheet(1).Record().GetValue("150Z.1.1.1.1"), "^aTemat po awarii");
    EXPECT_TRUE(ReadRecoveryFile(RecoveryFileName(dir.Path())).empty()) << "taken back, the file goes";
    e->session->Activate(0);
    e->session->SaveActive();
    EXPECT_EQ(Stored("K82", "250Z.1.1.1.1"), "Wyd. po awarii");
}

TEST_F(EditingTest, ChangesThatCannotBeKeptKeepTheirSheetOpen) {
    auto e = std::make_unique<Editing>(*sServer, std::string());  // no working directory
    e->session->OpenRecord("K", "K84");
    ASSERT_EQ(e->session->SheetCount(), 1);
    e->Sheet().Record().SetValue("250Z.1.1.1.1", "bez katalogu");
    sServer->Control("close 200T 1");
    e->session->CheckActive();
    ASSERT_TRUE(e->files.Broken());
    e->prompts.Take();
    e->prompts.answers = {kYes};
    EXPECT_FALSE(e->session->StopEditing(false)) << "nowhere to keep them: editing goes on";
    const auto shown = e->prompts.Take();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].rfind("error:Nie można zapisać pliku"_cp, 0), 0u) << shown[1];
    ASSERT_EQ(e->session->SheetCount(), 1);
    EXPECT_EQ(e->Sheet().Record().GetValue("250Z.1.1.1.1"), "bez katalogu");
    // Nie: the user lets them go.
    e->prompts.answers = {kNo};
    EXPECT_TRUE(e->session->StopEditing(false));
    EXPECT_EQ(e->session->SheetCount(), 0);
}

TEST_F(EditingTest, ZoomLaysEverySheetOutAgainAtTheNewScale) {
    auto e = Start();
    e->session->OpenRecord("K", "K83");
    HeadlessControl* number = FieldControl(e->Sheet(), "001Z.1.1.1.1");
    ASSERT_TRUE(number);
    EXPECT_EQ(number->Geometry().left, 110);
    const int width = e->editor.pages[0]->formWidth;
    e->Sheet().Record().SetValue("250Z.1.1.1.1", "przed zmianą skali"_cp);
    e->session->SetZoom(1.36);
    number = FieldControl(e->Sheet(), "001Z.1.1.1.1");
    EXPECT_EQ(number->Geometry().left, 150);  // 110 * 1.36 = 149.6
    EXPECT_GT(e->editor.pages[0]->formWidth, width);
    EXPECT_TRUE(e->editor.pages[0]->visible);
    EXPECT_EQ(FieldControl(e->Sheet(), "250Z.1.1.1.1")->Text(), "przed zmianą skali"_cp);
    EXPECT_DOUBLE_EQ(e->session->Zoom(), 1.36);
}

TEST_F(EditingTest, RecordsOpenedByScriptsWhileASheetIsShownNestBoundedly) {
    auto e = Start();
    // A kind whose preview opens a new record of its kind whenever it is shown.
    std::istringstream script("[SHOW #PODGLAD]\nBEGIN\n  W = EXTERNAL('AK|')\nEND\n");
    e->session->Kinds().All()[0]->script = LoadEventScripts(script, "ACT-K", {});
    e->session->NewRecord("K");
    EXPECT_EQ(e->session->SheetCount(), TEdycja::kMaxNestedOpens);
    int refusals = 0;
    for (const auto& t : e->prompts.Take()) refusals += t.rfind("error:", 0) == 0;
    EXPECT_EQ(refusals, 1) << "told once";
}

TEST_F(EditingTest, ClosingTheActiveSheetMakesItsLeftNeighbourActive) {
    auto e = Start();
    for (const char* id : {"K90", "K91", "K92", "K93"}) e->session->OpenRecord("K", id);
    const struct {
        int activate;
        std::string closed, active;  // captions' identifiers
    } steps[] = {
        {1, "K91", "K90"},  // the middle one: its left neighbour
        {2, "K93", "K92"},  // the last one
        {0, "K90", "K92"},  // the first one: the next
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.closed);
        e->session->Activate(step.activate);
        EXPECT_EQ(e->Sheet().Caption(), "Rekord \"" + step.closed + "\"");
        e->session->CloseActive();
        EXPECT_EQ(e->Sheet().Caption(), "Rekord \"" + step.active + "\"");
        ASSERT_NE(e->editor.shown, nullptr);
        EXPECT_EQ(e->editor.shown->caption, "Rekord \"" + step.active + "\"") << "the window shows the active sheet";
    }
    EXPECT_EQ(e->session->SheetCount(), 1);
}

TEST_F(EditingTest, SetFieldInOpenRecordsRewritesOnlyTheMatchingRecords) {
    auto e = Start();
    my_record a, b;
    a.AddField("DOK_IDO", "VELT #1", 0);
    b.AddField("DOK_IDO", "VELT #11", 0);
    e->session->ImportRecord("VELT #2", "K", a);
    e->session->ImportRecord("VELT #3", "K", b);
    e->session->SetFieldInOpenRecords("DOK_IDO", "VELT #1", "K123");
    EXPECT_EQ(e->Sheet(0).Record().GetValue("DOK_IDO"), "K123");
    EXPECT_EQ(e->Sheet(1).Record().GetValue("DOK_IDO"), "VELT #11");
    EXPECT_EQ(FieldControl(e->Sheet(0), "DOK_IDO")->Text(), "K123");
}

// A chain of imported records: the part points at its whole by the whole's
// temporary identifier; saving the whole gives the part the identifier the
// server gave, so the part's own save attaches it there. The numbers of
// temporary identifiers are never given twice, so another chain's part
// (pointing at an earlier, closed "VELT #" of the same count) is left alone.
TEST_F(EditingTest, SavingAnImportedWholeRewritesItsPartsDokIdo) {
    auto e = Start();
    my_record whole, part, other;
    whole.AddField(kTitle, "^aCałość"_cp, 0);
    const std::string wholeId = e->session->TemporaryIdentifier();
    part.AddField(kTitle, "^aTom 1", 0);
    part.AddField("DOK_IDO", wholeId, 0);
    other.AddField(kTitle, "^aInny", 0);
    other.AddField("DOK_IDO", "VELT #9", 0);
    e->session->ImportRecord(wholeId, "K", whole);
    e->session->ImportRecord(e->session->TemporaryIdentifier(), "K", part);
    e->session->ImportRecord(e->session->TemporaryIdentifier(), "K", other);
    e->session->Activate(0);
    e->session->SaveActive();
    ASSERT_EQ(e->session->SheetCount(), 2);
    ASSERT_EQ(e->changes.size(), 1u);
    const std::string saved = e->changes[0].substr(e->changes[0].find('>') + 1);
    ASSERT_EQ(saved.rfind("K", 0), 0u) << e->changes[0];
    EXPECT_EQ(e->Sheet(0).Record().GetValue("DOK_IDO"), saved);
    EXPECT_EQ(FieldControl(e->Sheet(0), "DOK_IDO")->Text(), saved);
    EXPECT_EQ(e->Sheet(1).Record().GetValue("DOK_IDO"), "VELT #9");
    // The part saves attached to the whole.
    e->session->Activate(0);
    e->session->SaveActive();
    ASSERT_EQ(e->changes.size(), 2u);
    EXPECT_EQ(e->session->SheetCount(), 1);
}
