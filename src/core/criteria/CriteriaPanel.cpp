// The criteria panel's rows and the query they compose.

#include "criteria/CriteriaPanel.h"

#include "authority/AuthorityEntries.h"
#include "authority/AuthorityWindows.h"
#include "catalogue/velt_files.h"
#include "common/Prompts.h"
#include "forms/my_editor.h"
#include "forms/my_formular.h"
#include "net/SearchRequests.h"
#include "params/PairText.h"
#include "params/ParameterForms.h"
#include "search/QueryText.h"
#include "text/CpLiteral.h"
#include "text/Wildcard.h"

#include <algorithm>
#include <cmath>

namespace velt {

namespace {

// Ignores every event: a form row whose criterion has no script.
class NoEvents : public FormHost {
public:
    std::vector<std::string> FieldEvent(int, my_record&, const std::string&) override { return {}; }
};

NoEvents gNoEvents;

int Scaled(int pixels, double zoom) { return static_cast<int>(std::lround(pixels * zoom)); }

bool Blank(std::string_view text) { return text.find_first_not_of(' ') == std::string_view::npos; }

}  // namespace

const std::vector<IndexKindName>& IndexKinds() {
    static const std::vector<IndexKindName> kinds = [] {
        static const std::string texts[] = {"POCZĄTEK"_cp, "początek pola"_cp, "SŁOWO"_cp, "początek słowa"_cp,
                                            "LICZBA",      "liczba od-do",    "RÓWNY"_cp,  "pełne pole"_cp,
                                            "WZORZEC",     "wzorzec tekstu"};
        std::vector<IndexKindName> out;
        for (std::size_t i = 0; i < std::size(texts); i += 2) out.push_back({texts[i].c_str(), texts[i + 1].c_str()});
        return out;
    }();
    return kinds;
}

std::string IndexKindList() {
    std::string out;
    for (const IndexKindName& k : IndexKinds()) out += std::string(k.keyword) + "|" + k.shown + "|";
    return out;
}

std::string CriteriaRow::Caption() const { return mCriterion ? mCriterion->Name : std::string(); }

// --- the index row ---

IndexRow::IndexRow(const velt_criterium& criterion, const std::string& remembered) : CriteriaRow(&criterion) {
    std::string kind;
    for (const ParameterPair& p : ReadPairs(remembered)) {
        if (p.first == "C.1") mText = p.second;
        if (p.first == "C.2") kind = p.second;
    }
    const auto& kinds = IndexKinds();
    for (std::size_t i = 0; i < kinds.size(); ++i)
        if (kind == kinds[i].keyword) mKind = static_cast<int>(i);
}

void IndexRow::SetKind(int kind) {
    mKind = kind >= 0 && kind < static_cast<int>(IndexKinds().size()) ? kind : 0;
}

bool IndexRow::ClearVisible() const { return !Blank(mText); }

std::string IndexRow::ValueText() {
    // A "|" of the text travels as the pair text writes it, so that a typed
    // backslash comes back as it was typed.
    return JoinPairs({{"C.1", mText}, {"C.2", IndexKinds()[static_cast<std::size_t>(mKind)].keyword}});
}

std::string IndexRow::QueryPart(const std::string&) const {
    if (Blank(mText)) return {};
    // The backslash is escaped too: a text ending in one cannot escape its closing quote.
    return Quote(mCriterion->Name) + " " + IndexKinds()[static_cast<std::size_t>(mKind)].keyword + " \"" +
           EscapeParameterList(mText) + "\"";
}

// --- the chosen criterion ---

std::string ChoiceRow::QueryPart(const std::string& value) const {
    if (value.empty()) return {};
    if (!HasForm()) return Quote(mCriterion->Name);
    return CriterionQuery("", mCriterion->Name, value);
}

std::string ChoiceRow::Display() const {
    if (mChosen.empty()) return "nie wybrane"_cp;
    if (!HasForm()) return "wybrane";
    std::string out;
    for (const ParameterPair& p : ReadPairs(mChosen))
        if (!p.second.empty()) out += Quote(p.second) + " ";
    return out;
}

// --- the form row ---

FormRow::FormRow(const velt_criterium& criterion, const std::string& remembered, ParameterForms& forms,
                 const std::string& directory)
    : CriteriaRow(&criterion), mForm(forms.ReadForm(criterion.Form)) {
    if (!criterion.Action.empty()) {
        mScript = forms.CompileItemScript(directory, criterion.Action);
        mEvents = forms.ScriptEvents(mScript);
    }
    FillRecord(mRecord, remembered);
}

FormRow::~FormRow() {
    Attach(nullptr);
    mEvents.reset();
    FreeEventScripts(mScript);
}

FormHost& FormRow::Host() { return mEvents ? static_cast<FormHost&>(*mEvents) : gNoEvents; }

void FormRow::Attach(my_editor* form) {
    mLaidOut = form;
    if (mEvents) mEvents->Attach(form);
}

std::string FormRow::ValueText() {
    // The value being typed counts, and the script sees it.
    if (mLaidOut) mLaidOut->Commit();
    Host().FieldEvent(kFormHelp, mRecord, "WYKONAJ");
    if (!mForm) return {};
    const std::vector<std::string> ids = mForm->FieldIds({});
    std::string out;
    for (const my_field& f : mRecord.fields()) {
        if (f.value.empty()) continue;
        const bool own = std::any_of(ids.begin(), ids.end(), [&](const std::string& id) { return MatchWildcard(id, f.key); });
        if (own) out += EscapePairText(f.key) + "|" + EscapePairText(f.value) + "|";
    }
    return out;
}

std::string FormRow::QueryPart(const std::string& value) const { return CriterionQuery("", mCriterion->Name, value); }

// --- the filters ---

std::string FilterRow::Caption() const { return "Filtr"; }

std::string FilterDescription(const std::vector<velt_filter>& filters, const std::string& baseline,
                              const std::string& current) {
    std::string out;
    const std::size_t n = std::min({filters.size(), baseline.size(), current.size()});
    for (std::size_t i = 0; i < n; ++i) {
        if (baseline[i] == current[i] || baseline[i] == ' ' || current[i] == ' ') continue;
        if (!out.empty()) out += ' ';
        if (current[i] != 'T' && current[i] != 't') out += "NIE ";
        out += filters[i].Name;
    }
    return out.empty() ? "domyślny"_cp : out;
}

// --- sizes ---

RowSize SizeOfRow(const CriteriaRow& row, double zoom, const FormSettings& settings) {
    if (row.Class() == RowClass::Full) {
        const auto& full = static_cast<const FormRow&>(row);
        if (full.Form())
            return {full.Form()->RightEdge(settings) + Scaled(10, zoom), full.Form()->BottomEdge(settings) + Scaled(25, zoom)};
    }
    return {Scaled(410, zoom), Scaled(40, zoom)};
}

PanelGeometry PlacePanel(const std::vector<RowSize>& rows, double zoom, int currentWidth, int buttonPanelHeight,
                         int workAreaHeight) {
    PanelGeometry g;
    int top = 0, widest = 0;
    for (const RowSize& r : rows) {
        g.tops.push_back(top);
        top += r.height;
        widest = std::max(widest, r.width);
    }
    g.contentHeight = top;
    g.clientWidth = std::max({widest, Scaled(410, zoom), currentWidth});
    g.scrollHeight = top;
    g.windowHeight = top + buttonPanelHeight;
    if (workAreaHeight - buttonPanelHeight < g.windowHeight) {
        // Past the screen: the rows scroll above the buttons (no row is cut on the right).
        g.windowHeight = std::max(workAreaHeight - buttonPanelHeight, buttonPanelHeight + 1);
        g.scrollHeight = g.windowHeight - buttonPanelHeight;
        g.clientWidth = std::max(widest, Scaled(410, zoom));
        g.scrolls = true;
    }
    return g;
}

// --- the panel ---

CriteriaPanel::CriteriaPanel(RememberedValues& remembered, Services services)
    : mRemembered(remembered), mServices(std::move(services)) {}

CriteriaPanel::~CriteriaPanel() { ClearRows(); }

void CriteriaPanel::ClearRows() {
    mRows.clear();
    mSortItems.clear();
}

std::optional<std::string> CriteriaPanel::ReadFlags() {
    if (!mFiles || !mFiles->Ready) return std::nullopt;
    const FilterAnswer answer = GetFilters(mFiles->Connection());
    if (!answer.error.empty()) {
        if (!mFiles->Broken()) mServices.prompts->show_error(answer.error);
        return std::nullopt;
    }
    return answer.flags;
}

void CriteriaPanel::BuildRows(velt_files& files) {
    ClearRows();
    // Another descriptor (another catalogue, or the same one read again):
    // its filters' flags now are the baseline the filter row compares with.
    const bool changed = files.Generation() != mGeneration;
    mGeneration = files.Generation();
    mFiles = &files;
    if (!files.Filters.empty()) {
        if (changed) mBaseline = ReadFlags().value_or(std::string());
        auto row = std::make_unique<FilterRow>();
        DescribeFilters(*row);
        mRows.push_back(std::move(row));
    }
    for (std::size_t p = 0; p < files.Criteria.size(); ++p) {
        const velt_criterium& c = files.Criteria[p];
        if (c.Options.find('N') != std::string::npos) continue;
        const std::string remembered = mRemembered.Get(c.Name);
        if (c.Type == "INDEX") {
            mRows.push_back(std::make_unique<IndexRow>(c, remembered));
        } else if (p == 0 && mServices.forms) {
            auto row = std::make_unique<FormRow>(c, remembered, *mServices.forms, mServices.directory);
            // A form that cannot be read is chosen through the parameter window instead.
            if (row->Form())
                mRows.push_back(std::move(row));
            else
                mRows.push_back(std::make_unique<ChoiceRow>(c, remembered));
        } else {
            mRows.push_back(std::make_unique<ChoiceRow>(c, remembered));
        }
    }
}

std::string CriteriaPanel::AskCriteria(velt_files& files, int& sortIndex, CriteriaView& view) {
    BuildRows(files);
    mSortItems.clear();
    if (!files.SortKeys.empty()) {
        mSortItems.push_back("bez sortowania");
        mSortItems.insert(mSortItems.end(), files.SortKeys.begin(), files.SortKeys.end());
        mSortSelected = sortIndex >= 0 && sortIndex < static_cast<int>(mSortItems.size()) ? sortIndex : 0;
    }
    mSortChosen = mSortSelected;
    std::string query;
    if (view.ShowCriteria(*this)) {
        const bool sorting = !mSortItems.empty();
        query = Compose(mSortChosen);
        if (sorting) sortIndex = mSortChosen;
    }
    ClearRows();
    return query;
}

std::string CriteriaPanel::Compose(int sortChosen) {
    std::string body;
    for (const auto& row : mRows) {
        // Each row's value once: a form's "WYKONAJ" runs once per execution.
        const std::string value = row->ValueText();
        if (const velt_criterium* c = row->Criterion()) mRemembered.Set(c->Name, value);
        const std::string part = row->QueryPart(value);
        if (part.empty()) continue;
        if (!body.empty()) body += " * ";
        body += part;
    }
    if (mSortItems.empty()) return body;
    std::vector<std::string> keys(mSortItems.begin() + 1, mSortItems.end());
    return SortPrefix(keys, sortChosen) + body;
}

void CriteriaPanel::LookUpAuthority(IndexRow& row) {
    if (!row.HasAuthority()) {
        mServices.prompts->show_error("Brak kartoteki wzorcowej");
        return;
    }
    if (!mServices.authority || !mFiles) return;
    const std::string& link = row.Criterion()->AuthorityLink;
    const std::string found = HeadingText(AuthorityForIndex(*mServices.authority, *mFiles, link, true, link, row.Text()));
    if (!found.empty()) row.SetText(found);
}

void CriteriaPanel::Choose(ChoiceRow& row) {
    if (!row.HasForm()) {
        row.SetChosen("||");
        return;
    }
    if (!mServices.forms) return;
    const velt_criterium& c = *row.Criterion();
    std::string result, remembered = row.Chosen();
    mServices.forms->AskItemFormParameters(c.Name, mServices.directory, c.Form, result, remembered, c.Action);
    if (!result.empty()) row.SetChosen(CleanPairs(result));
}

void CriteriaPanel::ChooseFilters(FilterRow& row) {
    if (mServices.filters && mFiles) mServices.filters->ChooseFilters(*mFiles);
    DescribeFilters(row);
}

void CriteriaPanel::DescribeFilters(FilterRow& row) {
    if (!mFiles) return;
    row.SetDescription(FilterDescription(mFiles->Filters, mBaseline, ReadFlags().value_or(std::string())));
}

}  // namespace velt
