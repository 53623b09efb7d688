#include "import/Z3950Import.h"

#include "catalogue/velt_files.h"
#include "import/SruClient.h"
#include "lang/TMultiIniFile.h"
#include "params/ParameterForms.h"
#include "params/PairText.h"
#include "text/CpLiteral.h"
#include "text/Wildcard.h"
#include "text/ala.h"
#include "text/dll_converter.h"
#include "text/utf.h"

#include <algorithm>
#include <cmath>

namespace velt {

namespace {

const converter& Identity() {
    static const converter identity(converter::Kind::Identity);
    return identity;
}

// The converter of "Standard znaków - prezentacja" for the display.
const converter& DisplayConverter(int item) {
    switch (item) {
        case 0: return Identity();
        case 2: return UtfWin();
        default: return AlaWin();
    }
}

// The form's lookup buttons scan their row; everything else is the form's own.
class QueryEvents : public ParameterEvents {
public:
    explicit QueryEvents(Z3950Import& import) : mImport(import) {}

    std::vector<std::string> FieldEvent(int event, my_record& record, const std::string& field) override {
        if (event != kFormHelp || field.size() != 3 || field.compare(0, 2, "T.") != 0) return {};
        const char n = field[2];
        if (n < '1' || n > '0' + kZ3950Rows) return {};
        if (mImport.Scan(n - '0', record) && mForm) mForm->Refresh(field);
        return {};
    }

private:
    Z3950Import& mImport;
};

}  // namespace

std::string Z3950Import::TextUnavailable() { return "Import Z39.50 nie jest dostępny"_cp; }
std::string Z3950Import::TextConnection() { return "Błąd połączenia z serwisem Z39.50"_cp; }

Z3950Import::Z3950Import(Z3950View& view, Z3950Host& host, Prompts& prompts, LongOperations& longOps,
                         ParameterForms& forms, ListChoiceWindow& lists)
    : mView(view), mHost(host), mPrompts(prompts), mLongOps(longOps), mForms(forms), mLists(lists),
      mQueryForm(Z3950QueryForm()) {
    // Failures of fetching on demand arise while the browser draws.
    auto later = [this](const std::string& text) { mView.ShowLater(text); };
    mClient = std::make_unique<Z3950Client>(later);
    mScanClient = std::make_unique<Z3950Client>(later);
    mMulti = std::make_unique<MultiSearch>();
    ApplyDisplay();
}

Z3950Import::~Z3950Import() = default;

void Z3950Import::ReadConfiguration(const TMultiIniFile& ini, const ErrorSink& errors) {
    mSettings.Read(ini, errors);
    mCurrent = mSettings.ChosenSource();
    mFormat = mSettings.Formats().empty() ? -1 : 0;
    mClient->SetLogFile(mSettings.LogFile());
    mScanClient->SetLogFile(mSettings.LogFile());
    if (const Z3950Source* s = Source()) {
        mPresentation = s->presentation;
        mSearchCharset = s->search;
    }
    ApplyDisplay();
}

void Z3950Import::WriteConfiguration(ProfileFile& file) { mSettings.Write(file); }

const Z3950Source* Z3950Import::Source() const {
    if (mCurrent < 0 || static_cast<std::size_t>(mCurrent) >= mSettings.Sources().size()) return nullptr;
    return &mSettings.Sources()[static_cast<std::size_t>(mCurrent)];
}

void Z3950Import::ApplyDisplay() {
    MarcFormatter formatter;
    if (mFormat >= 0 && static_cast<std::size_t>(mFormat) < mSettings.Formats().size())
        formatter = mSettings.Formats()[static_cast<std::size_t>(mFormat)]->programs.Formatter(
            [this](const std::string& text) { mView.ShowLater(text); });
    const MarcOptions options{&DisplayConverter(mPresentation), mFormatFlag};
    mMulti->SetDisplay(options, formatter);
    mClient->SetDisplay(options, std::move(formatter));
}

const dll_converter* Z3950Import::ConverterFor(const velt_files& files) const {
    const ConverterModules* modules = mHost.Converters();
    if (!modules) return nullptr;
    // A VELT1 catalogue names no kinds: its records are of the kind without a code.
    const std::string targets = files.DatabaseKind == kVelt1 ? std::string() : files.Parameter("rekordy");
    return modules->FindConverterModule("U", targets);
}

MarcOptions Z3950Import::ImportOptions(std::string_view octets) const {
    MarcOptions options;
    options.format = mFormatFlag;
    // The leader's position 09 "a" says UTF-8 whatever the display shows;
    // UTF-8 is read with escapes for what the code page lacks.
    if (octets.size() > 9 && octets[9] == 'a')
        options.presentation = &UtfVeltwin();
    else
        options.presentation = mPresentation == 2 ? static_cast<const converter*>(&UtfVeltwin())
                                                  : &DisplayConverter(mPresentation);
    return options;
}

void Z3950Import::Open() {
    if (!Available()) {
        mPrompts.show_error(TextUnavailable());
        return;
    }
    SelectSource(mCurrent < 0 ? 0 : mCurrent);
    velt_files* files = mHost.Catalogue();
    ImportEditor* editor = mHost.Editor();
    mFormatFlag = files && files->Ready && !files->Parameter("format").empty();
    ApplyDisplay();
    const bool convert = files && files->Ready && editor && ConverterFor(*files);
    const bool take = files && files->Ready && editor && files->DatabaseKind != kVelt1 && editor->CanEdit("U");
    mView.EnableButtons(take, convert);
    mView.ShowWindow();
}

void Z3950Import::Close() {
    if (mResults) mView.ShowResult(nullptr, "");
    mResults = false;
    mMultiShown = false;
    mView.EnableButtons(false, false);
}

void Z3950Import::SelectSource(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= mSettings.Sources().size()) return;
    mCurrent = index;
    const Z3950Source& s = mSettings.Sources()[static_cast<std::size_t>(index)];
    mSettings.SetCurrentSection(s.section);
    mView.ShowCaption("Import Z39.50: " + s.name);
    mPresentation = s.presentation;
    mSearchCharset = s.search;
    mView.ShowCharsets(mPresentation, mSearchCharset);
    ApplyDisplay();
    mResults = false;
    mView.ShowResult(nullptr, "");
    mView.ShowSourceCounts("");
    if (!mChecked.empty()) {
        mChecked.clear();
        mView.ShowCheckedSources(mChecked);
    }
}

void Z3950Import::CheckSources(std::vector<int> sources) {
    const int count = static_cast<int>(mSettings.Sources().size());
    std::vector<int> kept;
    for (const int i : sources)
        if (i >= 0 && i < count && std::find(kept.begin(), kept.end(), i) == kept.end()) kept.push_back(i);
    if (kept.size() < 2) {
        if (kept.size() == 1) SelectSource(kept.front());
        mChecked.clear();
        mView.ShowCheckedSources(mChecked);
        return;
    }
    mChecked = std::move(kept);
    std::string names;
    for (const int i : mChecked) names += (names.empty() ? "" : ", ") + mSettings.Sources()[static_cast<std::size_t>(i)].name;
    mView.ShowCaption("Import Z39.50: " + names);
    mResults = false;
    mView.ShowResult(nullptr, "");
    mView.ShowSourceCounts("");
    mView.ShowCheckedSources(mChecked);
}

void Z3950Import::CheckGroup(const std::vector<std::string>& path) { CheckSources(mSettings.GroupSources(path)); }

bool Z3950Import::SelectSource(const std::string& section) {
    const int index = mSettings.FindSource(section);
    if (index < 0) return false;
    SelectSource(index);
    return true;
}

void Z3950Import::SetPresentation(int item) {
    mPresentation = std::clamp(item, 0, 2);
    ApplyDisplay();
    if (mResults) mView.RedrawResult();
}

void Z3950Import::SetSearchCharset(int item) { mSearchCharset = std::clamp(item, 0, 2); }

void Z3950Import::SelectFormat(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= mSettings.Formats().size()) return;
    mFormat = index;
    ApplyDisplay();
    if (mResults) mView.RedrawResult();
}

int Z3950Import::Zoom(double factor) {
    mCellHeight = std::max(26, static_cast<int>(std::lround(mCellHeight * factor)));
    return mCellHeight;
}

std::string Z3950Import::WithReason(const std::string& text, const Z3950Client& client) const {
    if (client.ErrorText().empty() || text.find(client.ErrorText()) != std::string::npos) return text;
    return text + " (" + client.ErrorText() + ")";
}

void Z3950Import::Query() {
    if (!Source()) return;
    QueryEvents events(*this);
    while (true) {
        const std::string answer = mForms.AskParameters(Z3950QueryTitle(), *mQueryForm, mSettings.Question(), &events);
        if (answer.empty()) return;
        if (Search(answer) != Z3950Outcome::NoQuery) return;
    }
}

Z3950Outcome Z3950Import::Search(const std::string& values) {
    mSettings.SetQuestion(values);
    const Z3950Source* source = Source();
    if (!source) return Z3950Outcome::Failed;
    my_record form;
    FillRecord(form, values);
    const Z3950Expression e = ParseZ3950Expression(form.GetValue("E"), RowsOfRecord(form, mSearchCharset == 2));
    if (!e.error.empty()) mPrompts.show_error(e.error);
    if (e.rpn.empty()) return Z3950Outcome::NoQuery;

    if (mChecked.size() >= 2) return SearchSeveral(mChecked, form);
    if (source->protocol == Z3950Source::Protocol::Sru) return SearchSeveral({mCurrent}, form);

    mResults = false;
    mMultiShown = false;
    mView.ShowResult(nullptr, "");
    mView.ShowSourceCounts("");
    const Z3950Source s = *source;
    std::string error;
    Z3950Client& client = *mClient;
    mLongOps.run_with_progress("Trwa wyszukiwanie", [&] {
        if (!client.OpenAssociation(s.host, s.port, s.password, s.user)) {
            error = TextConnection() + (client.ErrorText().empty() ? "" : " - " + client.ErrorText());
            return;
        }
        error = client.SendSearch(s.database, e.rpn, Z3950Client::kWindow, Z3950Client::kWindow, s.syntax);
        if (error == Z3950Client::TextBroken()) error = WithReason(error, client);
    });
    if (!error.empty()) {
        mPrompts.show_error(error);
        return Z3950Outcome::Failed;
    }
    mResults = true;
    mView.ShowResult(mClient.get(), std::to_string(client.ResultCount()));
    return Z3950Outcome::Found;
}

Z3950Outcome Z3950Import::SearchSeveral(const std::vector<int>& indexes, const my_record& form) {
    SourceQuery query;
    const Z3950Expression e = ParseZ3950Expression(form.GetValue("E"), RowsOfRecord(form, mSearchCharset == 2));
    // CQL is UTF-8 whatever the search character set says.
    const Z3950Expression u = ParseZ3950Expression(form.GetValue("E"), RowsOfRecord(form, true));
    query.rpn = e.rpn;
    query.cql = u.cql;
    std::vector<Z3950Source> sources;
    for (const int i : indexes) sources.push_back(mSettings.Sources()[static_cast<std::size_t>(i)]);
    mResults = false;
    mMultiShown = false;
    mView.ShowResult(nullptr, "");
    mView.ShowSourceCounts("");
    // A fresh search object: the one the browser showed goes with its browser.
    mMulti = std::make_unique<MultiSearch>();
    MultiSearch& multi = *mMulti;
    const int timeout = mTimeoutMs;
    // Failures of fetching on demand arise on the window's thread, while the browser draws.
    Z3950View* view = &mView;
    auto later = [view](const std::string& text) { view->ShowLater(text); };
    mLongOps.run_with_progress("Trwa wyszukiwanie", [&] {
        multi.Run(sources,
                  [query, timeout, later](const Z3950Source& s, std::string& error) {
                      return SearchSource(s, query, timeout, error, later);
                  },
                  std::chrono::milliseconds(timeout));
    });
    ApplyDisplay();
    mView.ShowSourceCounts(multi.CountsText());
    // One source that failed is said as such; of several, the counts say it.
    if (sources.size() == 1 && !multi.Answers().front().error.empty()) {
        const SourceAnswer& a = multi.Answers().front();
        mPrompts.show_error(a.answered ? a.error : Z3950Import::TextConnection() + " - " + a.error);
        return Z3950Outcome::Failed;
    }
    mResults = true;
    mMultiShown = true;
    mView.ShowResult(mMulti.get(), std::to_string(multi.TotalCount()));
    return Z3950Outcome::Found;
}

bool Z3950Import::ScanSru(const Z3950Source& s, const Z3950Criterion& criterion, const std::string& text,
                          std::vector<ScanTerm>& terms, std::string& error) {
    SruClient client;
    client.SetServer(s.sruBase, s.sruVersion, s.sruSchema);
    client.SetTimeout(mTimeoutMs);
    std::string clause = std::string(criterion.cqlIndex) + "=\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') clause.push_back('\\');
        clause.push_back(c);
    }
    clause += "\"";
    mLongOps.run_with_progress("Trwa wyszukiwanie", [&] { error = client.Scan(clause, kScanTerms, terms); });
    return error.empty();
}

bool Z3950Import::Scan(int row, my_record& values) {
    const Z3950Source* source = Source();
    if (!source || row < 1 || row > kZ3950Rows) return false;
    const std::string n = std::to_string(row);
    const Z3950Criterion* criterion = FindCriterion(values.GetValue("Q." + n));
    if (!criterion) return false;
    std::vector<ScanTerm> terms;
    std::string error;
    if (source->protocol == Z3950Source::Protocol::Sru) {
        // SRU's terms come and go in UTF-8.
        const QueryRows utf = RowsOfRecord(values, true);
        if (!ScanSru(*source, *criterion, utf[static_cast<std::size_t>(row - 1)].text, terms, error)) {
            mPrompts.show_error(error);
            return false;
        }
        std::vector<ListChoiceEntry> entries;
        for (const ScanTerm& t : terms) {
            std::string text = UtfWin().Convert(t.term);
            entries.push_back({text, text});
        }
        const std::string chosen = ChooseFromList(entries, mLists);
        if (chosen.empty()) return false;
        values.SetValue("T." + n, chosen);
        return true;
    }
    const QueryRows rows = RowsOfRecord(values, mSearchCharset == 2);
    const std::string term = EncodeAttributesPlusTerm(ScanAttributes(*criterion), rows[static_cast<std::size_t>(row - 1)].text);
    const Z3950Source s = *source;
    Z3950Client& client = *mScanClient;
    bool refused = false;
    mLongOps.run_with_progress("Trwa wyszukiwanie", [&] {
        if (!client.OpenAssociation(s.host, s.port, s.password, s.user)) {
            error = TextConnection() + (client.ErrorText().empty() ? "" : " - " + client.ErrorText());
            return;
        }
        if (!client.AcceptedOptions().test(7)) {
            refused = true;
            return;
        }
        error = client.ScanTerms(s.database, term, kScanTerms, terms);
        if (error == Z3950Client::TextBroken()) error = WithReason(error, client);
    });
    if (refused) error = "Serwer nie realizuje usługi SCAN"_cp;
    if (!error.empty()) {
        mPrompts.show_error(error);
        return false;
    }
    std::vector<ListChoiceEntry> entries;
    const converter& shown = DisplayConverter(mPresentation);
    for (const ScanTerm& t : terms) {
        std::string text = shown.Convert(t.term);
        entries.push_back({text, text});
    }
    const std::string chosen = ChooseFromList(entries, mLists);
    if (chosen.empty()) return false;
    values.SetValue("T." + n, chosen);
    return true;
}

const Z3950Record* Z3950Import::SelectedRecord() {
    const std::string key = mView.SelectedKey();
    if (!mResults || key.empty()) return nullptr;
    if (mMultiShown) {
        const Z3950Record* record = mMulti->RecordAt(key);
        if (!record) {
            mPrompts.show_error("Serwer nie przysłał rekordu z pozycji "_cp + key);
            return nullptr;
        }
        if (record->kind == Z3950Record::Kind::Diagnostic) {
            mPrompts.show_error(record->octets);
            return nullptr;
        }
        if (record->kind == Z3950Record::Kind::Placeholder) {
            mPrompts.show_error("Serwer nie przysłał rekordu z pozycji "_cp + key + " (rekord zastępczy)"_cp);
            return nullptr;
        }
        return record;
    }
    long long position = 0;
    for (const char c : key) {
        if (c < '0' || c > '9' || position > 1'000'000'000'000LL) return nullptr;
        position = position * 10 + (c - '0');
    }
    const Z3950Record* record = mClient->RecordAt(position);
    if (!record) {
        mPrompts.show_error("Serwer nie przysłał rekordu z pozycji "_cp + key);
        return nullptr;
    }
    // Nothing is opened of a position that holds no record.
    if (record->kind == Z3950Record::Kind::Diagnostic) {
        mPrompts.show_error(record->octets);
        return nullptr;
    }
    if (record->kind == Z3950Record::Kind::Placeholder) {
        mPrompts.show_error("Serwer nie przysłał rekordu z pozycji "_cp + key + " (rekord zastępczy)"_cp);
        return nullptr;
    }
    return record;
}

void Z3950Import::Take() {
    ImportEditor* editor = mHost.Editor();
    if (!editor) return;
    const Z3950Record* held = SelectedRecord();
    if (!held) return;
    const my_record parsed = ParseMarc(held->octets, ImportOptions(held->octets));
    if (parsed.fields().empty()) {
        mPrompts.show_error(parsed.errors().empty() ? "Pusty rekord MARC"_cp : parsed.errors().front().message);
        return;
    }
    const std::string letter(1, RecordKindLetter(parsed));
    if (!editor->CanEdit(letter)) {
        Refused(letter);
        return;
    }
    editor->NewRecord(letter, parsed);
}

void Z3950Import::Convert() {
    velt_files* files = mHost.Catalogue();
    ImportEditor* editor = mHost.Editor();
    if (!files || !files->Ready || !editor) return;
    const dll_converter* module = ConverterFor(*files);
    if (!module) return;
    const Z3950Record* held = SelectedRecord();
    if (!held) return;
    std::vector<my_record> in;
    in.push_back(ParseMarc(held->octets, ImportOptions(held->octets)));
    std::vector<my_record> out;
    if (!module->Translate(in, out, [this](const std::string& m) { mPrompts.show_error(m); })) return;
    if (out.empty()) {
        mPrompts.show_error("Moduł konwertera nie zwrócił żadnego rekordu"_cp);
        return;
    }
    ImportConverted(out);
}

void Z3950Import::Refused(const std::string& kind) {
    mPrompts.show_error("Rekordów rodzaju \""_cp + kind + "\" nie można edytować w tym katalogu; rekord pominięto"_cp);
}

void Z3950Import::ImportConverted(std::vector<my_record>& records) {
    velt_files* files = mHost.Catalogue();
    ImportEditor* editor = mHost.Editor();
    if (!files || !editor) return;
    std::string passed;
    OpenImportedRecords(records, *editor, *files, mPrompts, passed);
}

}  // namespace velt
