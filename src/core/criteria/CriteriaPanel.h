#pragma once
// The criteria panel "Dostępne kryteria" without its window: a row a search
// criterion of a descriptor, each remembering what the user entered, and the
// one query the rows compose when the user executes (their parts joined by
// " * ", the sort prefix in front). The panel only composes the text; the
// caller sends it, to the current catalogue or to another one.
//
// Rows: an index criterion is a typed text with a match kind and, with an
// authority link, a lookup; another criterion is chosen through its
// parameter form (or simply chosen); the descriptor's first criterion, when
// it is no index, has its parameter form laid out inside the row; and the
// filters have a row of their own when the descriptor has any.

#include "catalogue/DescriptorItems.h"
#include "criteria/RememberedValues.h"
#include "forms/FormSettings.h"
#include "lang/EventScripts.h"
#include "text/my_record.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velt {

class AuthorityWindows;
class FormHost;
class ParameterEvents;
class ParameterForms;
class Prompts;
class my_editor;
class my_formular;
class velt_files;

enum class RowClass { Index, Criterium, Full, Filter };

// The match kinds of an index row: the keyword sent and the name shown.
struct IndexKindName {
    const char* keyword;
    const char* shown;
};
const std::vector<IndexKindName>& IndexKinds();  // Windows-1250 texts, in list order
// The list as the one text of keyword and name pairs.
std::string IndexKindList();

class CriteriaRow {
public:
    explicit CriteriaRow(const velt_criterium* criterion) : mCriterion(criterion) {}
    virtual ~CriteriaRow() = default;
    virtual RowClass Class() const = 0;
    // The criterion of the row (none for the filter row).
    const velt_criterium* Criterion() const { return mCriterion; }
    // The group box's caption: the criterion's name ("Filtr" for filters).
    virtual std::string Caption() const;
    // What the panel remembers for the row.
    virtual std::string ValueText() = 0;
    // The row's part of the query from value (its ValueText, computed once
    // per execution); empty when the row adds nothing.
    virtual std::string QueryPart(const std::string& value) const = 0;

protected:
    const velt_criterium* mCriterion;
};

class IndexRow : public CriteriaRow {
public:
    IndexRow(const velt_criterium& criterion, const std::string& remembered);
    RowClass Class() const override { return RowClass::Index; }
    std::string ValueText() override;
    std::string QueryPart(const std::string& value) const override;

    const std::string& Text() const { return mText; }
    void SetText(std::string text) { mText = std::move(text); }
    int Kind() const { return mKind; }
    void SetKind(int kind);
    bool HasAuthority() const { return !mCriterion->AuthorityLink.empty(); }
    // The clear button shows while the text holds more than spaces.
    bool ClearVisible() const;

private:
    std::string mText;
    int mKind = 0;
};

class ChoiceRow : public CriteriaRow {
public:
    ChoiceRow(const velt_criterium& criterion, const std::string& remembered)
        : CriteriaRow(&criterion), mChosen(remembered) {}
    RowClass Class() const override { return RowClass::Criterium; }
    std::string ValueText() override { return mChosen; }
    std::string QueryPart(const std::string& value) const override;

    bool HasForm() const { return !mCriterion->Form.empty(); }
    const std::string& Chosen() const { return mChosen; }
    void SetChosen(std::string chosen) { mChosen = std::move(chosen); }
    // What the read-only edit shows: "nie wybrane", "wybrane" or the quoted values.
    std::string Display() const;
    bool ClearVisible() const { return !mChosen.empty(); }

private:
    std::string mChosen;  // empty, "||", or the cleaned name|value| pairs
};

class FormRow : public CriteriaRow {
public:
    // The form and its scripts come from the criterion; remembered values fill the record.
    FormRow(const velt_criterium& criterion, const std::string& remembered, ParameterForms& forms,
            const std::string& directory);
    ~FormRow() override;
    RowClass Class() const override { return RowClass::Full; }
    // Commits the control being edited, raises the HELP event of "WYKONAJ",
    // and collects the values of the form's own fields.
    std::string ValueText() override;
    std::string QueryPart(const std::string& value) const override;

    // None when the form could not be read (the row is then left out).
    const my_formular* Form() const { return mForm.get(); }
    my_record& Record() { return mRecord; }
    // The event callback the laid-out form reports to.
    FormHost& Host();
    // The window laid the form out (or removed it: none).
    void Attach(my_editor* form);

private:
    std::unique_ptr<my_formular> mForm;
    act_script mScript;
    std::unique_ptr<ParameterEvents> mEvents;
    my_record mRecord;
    my_editor* mLaidOut = nullptr;
};

class FilterRow : public CriteriaRow {
public:
    FilterRow() : CriteriaRow(nullptr) {}
    RowClass Class() const override { return RowClass::Filter; }
    std::string Caption() const override;
    std::string ValueText() override { return {}; }
    std::string QueryPart(const std::string&) const override { return {}; }
    // What the edit shows.
    const std::string& Description() const { return mDescription; }
    void SetDescription(std::string d) { mDescription = std::move(d); }

private:
    std::string mDescription;
};

// The names of the filters whose current flag differs from the baseline,
// "NIE " before one that is now off; "domyślny" when none differs.
std::string FilterDescription(const std::vector<velt_filter>& filters, const std::string& baseline,
                              const std::string& current);

// The filters window, opened from the filter row.
class FilterChooser {
public:
    virtual ~FilterChooser() = default;
    virtual void ChooseFilters(velt_files& files) = 0;
};

// A row's size in pixels, and the panel's placement of its rows.
struct RowSize {
    int width = 0;
    int height = 0;
};
struct PanelGeometry {
    std::vector<int> tops;      // each row's top in the scrolling area
    int clientWidth = 0;        // the scrolling area's (and the window's) client width
    int contentHeight = 0;      // the bottom of the last row
    int scrollHeight = 0;       // the scrolling area's visible height
    int windowHeight = 0;       // the window's client height
    bool scrolls = false;       // the rows do not fit: a scroll bar
};
RowSize SizeOfRow(const CriteriaRow& row, double zoom, const FormSettings& settings);
// Rows stacked from 0; the window as high as rows and buttons, or, past the
// screen's work area, the work area's height with the rows scrolling.
PanelGeometry PlacePanel(const std::vector<RowSize>& rows, double zoom, int currentWidth, int buttonPanelHeight,
                         int workAreaHeight);

// What the panel asks of its window.
class CriteriaView {
public:
    virtual ~CriteriaView() = default;
    // Shows the panel's rows and sorting modally; true when "Wykonaj"
    // closed it (the sorting chosen given to the panel first).
    virtual bool ShowCriteria(class CriteriaPanel& panel) = 0;
};

class CriteriaPanel {
public:
    struct Services {
        Prompts* prompts = nullptr;            // required
        ParameterForms* forms = nullptr;       // the parameter window (criteria with forms, the form row)
        AuthorityWindows* authority = nullptr; // the authority buttons
        FilterChooser* filters = nullptr;      // the filter row's button
        std::string directory;                 // where forms' includes are read from (ends with "/")
        FormSettings settings;                 // the forms' settings, at the editor's zoom
    };

    CriteriaPanel(RememberedValues& remembered, Services services);
    ~CriteriaPanel();

    // Builds the rows for the descriptor, shows them, and composes the query
    // when the user executes (sortIndex then takes the sorting chosen);
    // empty when the user did not. The rows go in every case.
    std::string AskCriteria(velt_files& files, int& sortIndex, CriteriaView& view);

    // While the panel is shown: the rows, the sorting offered.
    const std::vector<std::unique_ptr<CriteriaRow>>& Rows() const { return mRows; }
    // "bez sortowania" and the sort keys; empty when none is offered.
    const std::vector<std::string>& SortItems() const { return mSortItems; }
    int SortSelected() const { return mSortSelected; }
    void SetSortChosen(int index) { mSortChosen = index; }

    // The row buttons.
    void LookUpAuthority(IndexRow& row);
    void Choose(ChoiceRow& row);
    void ChooseFilters(FilterRow& row);
    void DescribeFilters(FilterRow& row);

    // The rows built for a descriptor (what AskCriteria shows), for tests
    // and velt-cli; the filters' baseline read when the descriptor is new.
    void BuildRows(velt_files& files);
    // The query of the rows (each row's value remembered) with the sort
    // prefix of sortChosen when sorting is offered.
    std::string Compose(int sortChosen);
    void ClearRows();

    RememberedValues& Remembered() { return mRemembered; }
    Services& Settings() { return mServices; }

private:
    // The current filter flags of the catalogue; none (an error shown) when unread.
    std::optional<std::string> ReadFlags();

    RememberedValues& mRemembered;
    Services mServices;
    velt_files* mFiles = nullptr;
    std::uint64_t mGeneration = 0;  // of the descriptor of the previous run
    std::string mBaseline;          // its filter flags when first run
    std::vector<std::unique_ptr<CriteriaRow>> mRows;
    std::vector<std::string> mSortItems;
    int mSortSelected = 0;
    int mSortChosen = 0;
};

}  // namespace velt
