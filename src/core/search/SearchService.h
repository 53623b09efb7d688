#pragma once
// The searches of the windows without the windows: the complex and the
// elementary query's OK, the criteria of "E&lementarne", the queries carried
// by "zapytanie" links, and the filters. The windows only collect what the
// user chose and show what this returns.

#include "catalogue/DescriptorItems.h"
#include "search/QueryHistory.h"
#include "search/QueryText.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace velt {

// The parameter window of a criterion with a parameter form.
class CriterionParameters {
public:
    virtual ~CriterionParameters() = default;
    // Asks for the criterion's parameters; the form's fields as name|value|
    // pairs, empty when cancelled. remembered is the values shared by the
    // criteria (in and out); sortPosition the sorting chosen (in and out,
    // offered when sortKeys is not empty).
    virtual std::string Ask(const velt_criterium& criterion, std::string& remembered, int& sortPosition,
                            const std::vector<std::string>& sortKeys) = 0;
};

// One filter's check box.
struct FilterBox {
    std::string name;
    bool ticked = false;
    bool enabled = false;
};

// The boxes of the filters the flags speak of (as many as both have).
std::vector<FilterBox> FilterBoxes(const std::vector<velt_filter>& filters, const std::string& flags);
// The flags of the boxes: T N for the ones the user may change, t n for fixed ones.
std::string FilterFlagsOf(const std::vector<FilterBox>& boxes);

class SearchService {
public:
    using ShowCollection = std::function<void(std::int32_t collection)>;

    SearchService(CatalogueContext& shell, Prompts& prompts, LongOperations& longOps, ShowCollection show);

    QueryHistory& History() { return mHistory; }
    // The sorting position shared by the windows ("KOLEKCJA"/"sortowanie").
    int SortIndex() const;
    void SetSortIndex(int position);
    // The descriptor's sort keys (empty without a catalogue).
    std::vector<std::string> SortKeys() const;

    // The complex window's OK; true when the window may close.
    bool RunComplex(const std::string& text, int sortPosition);
    // The history double click: the collection added to the text with the operator.
    static std::string CombineWithCollection(const std::string& text, std::int32_t collection, int operatorIndex);

    // The criteria panel's query (sort prefix and all): searched, and its
    // collection entered in the history under the query's readable label.
    // The new collection's number, 0 for none.
    std::int32_t RunPanelQuery(const std::string& query);

    // The elementary window's OK for the index; true when it may close.
    bool RunElementary(ElementaryState& state, MatchKind kind, const std::string& index, int sortPosition);
    // The expressions sent from the elementary window ("Poprzednie").
    const std::vector<std::string>& SentExpressions() const { return mSent; }

    // A criterion of "E&lementarne" other than "INDEX": its parameters (when
    // it has a form) and the search.
    void SpecialQuestion(const velt_criterium& criterion);
    void SetCriterionParameters(CriterionParameters* asker) { mAsker = asker; }

    // The command of a "zapytanie" link: the text after the word is the query.
    void RunLinkQuery(const std::string& command);

    // After the filters changed: the last query again, its collection shown.
    void RerunAfterFilters();

    // The filters of the server: the boxes, or an error text shown.
    bool ReadFilters(std::vector<FilterBox>& boxes);
    // New flags sent; true when the server took them (an error is shown).
    bool WriteFilters(const std::vector<FilterBox>& boxes);

private:
    void Shown(std::int32_t collection);

    CatalogueContext& mShell;
    Prompts& mPrompts;
    QueryHistory mHistory;
    ShowCollection mShow;
    CriterionParameters* mAsker = nullptr;
    std::vector<std::string> mSent;
};

}  // namespace velt
