#include "search/SearchService.h"
#include "net/SearchRequests.h"

#include "catalogue/velt_files.h"
#include "common/Prompts.h"
#include "text/CpLiteral.h"
#include "text/Trim.h"

#include <algorithm>

namespace velt {

std::vector<FilterBox> FilterBoxes(const std::vector<velt_filter>& filters, const std::string& flags) {
    std::vector<FilterBox> boxes;
    const std::size_t k = std::min(filters.size(), flags.size());
    for (std::size_t i = 0; i < k; ++i) {
        const char f = flags[i];
        boxes.push_back({filters[i].Name, f == 'T' || f == 't', f == 'T' || f == 'N'});
    }
    return boxes;
}

std::string FilterFlagsOf(const std::vector<FilterBox>& boxes) {
    std::string flags;
    for (const FilterBox& b : boxes) flags.push_back(b.enabled ? (b.ticked ? 'T' : 'N') : (b.ticked ? 't' : 'n'));
    return flags;
}

SearchService::SearchService(CatalogueContext& shell, Prompts& prompts, LongOperations& longOps, ShowCollection show)
    : mShell(shell), mPrompts(prompts), mHistory(shell, prompts, longOps), mShow(std::move(show)) {}

int SearchService::SortIndex() const {
    return static_cast<int>(std::clamp<std::int64_t>(mShell.Settings().SortKey, 0, 1000));
}

void SearchService::SetSortIndex(int position) { mShell.Settings().SortKey = std::max(0, position); }

std::vector<std::string> SearchService::SortKeys() const {
    const velt_files* files = mShell.Current();
    return files ? files->SortKeys : std::vector<std::string>{};
}

void SearchService::Shown(std::int32_t collection) {
    if (mShow) mShow(collection);
}

std::string SearchService::CombineWithCollection(const std::string& text, std::int32_t collection, int operatorIndex) {
    const std::string n = std::to_string(collection);
    if (text.empty()) return n;
    const char op = operatorIndex == 0 ? '+' : operatorIndex == 2 ? '/' : '*';
    return "(" + text + ")" + op + n;
}

bool SearchService::RunComplex(const std::string& text, int sortPosition) {
    if (text.empty()) {
        mPrompts.plain_message("Wypełnij pole wyrażenia wyszukiwawczego"_cp);
        return false;
    }
    const std::vector<std::string> keys = SortKeys();
    if (!keys.empty()) SetSortIndex(sortPosition);
    const std::int32_t n = mHistory.RunQuery(SortPrefix(keys, sortPosition) + text);
    if (n == 0) return false;
    mHistory.AddToHistory(text, n, mHistory.LastQuery());
    Shown(n);
    return true;
}

std::int32_t SearchService::RunPanelQuery(const std::string& query) {
    if (query.empty()) return 0;
    mPrompts.busy(true);
    const std::int32_t n = mHistory.RunQuery(query);
    mPrompts.busy(false);
    if (n == 0) return 0;
    mHistory.AddToHistory(ReadableQueryLabel(query), n, query);
    Shown(n);
    return n;
}

bool SearchService::RunElementary(ElementaryState& state, MatchKind kind, const std::string& index, int sortPosition) {
    const std::vector<std::string> keys = SortKeys();
    if (!keys.empty()) SetSortIndex(sortPosition);
    std::string expression;
    const std::string query = ElementaryQuery(state, kind, index, SortPrefix(keys, sortPosition), expression);
    const std::int32_t n = mHistory.RunQuery(query);
    if (n == 0) return false;
    mHistory.AddToHistory(Quote(index) + " " + expression, n, query);
    mSent.push_back(expression);
    Shown(n);
    return true;
}

void SearchService::SpecialQuestion(const velt_criterium& criterion) {
    if (criterion.Form.empty()) {
        const std::string query = PlainCriterionQuery(criterion.Name);
        const std::int32_t n = mHistory.RunQuery(query);
        if (n == 0) return;
        mHistory.AddToHistory(Quote(criterion.Name), n, query);
        Shown(n);
        return;
    }
    if (!mAsker) {
        mPrompts.show_message("Kryterium \""_cp + criterion.Name +
                              "\" wymaga formularza parametrów, który nie jest jeszcze dostępny w tej wersji programu"_cp);
        return;
    }
    const std::vector<std::string> keys = SortKeys();
    int position = SortIndex();
    std::string remembered = mShell.Settings().CriteriaValues;
    const std::string list = mAsker->Ask(criterion, remembered, position, keys);
    if (list.empty()) return;
    const std::string kept = CleanPairs(list);
    mShell.Settings().CriteriaValues = CleanPairs(remembered);
    std::string prefix;
    if (!keys.empty()) {
        prefix = SortPrefix(keys, position);
        SetSortIndex(position);
    }
    const std::string query = CriterionQuery(prefix, criterion.Name, kept);
    const std::int32_t n = mHistory.RunQuery(query);
    if (n == 0) return;
    mHistory.AddToHistory(CriterionLabel(criterion.Name, kept), n, query);
    Shown(n);
}

void SearchService::RunLinkQuery(const std::string& command) {
    // The word and what precedes it are cut off: the rest is the query.
    const auto at = command.find("zapytanie");
    const std::string query = at == std::string::npos ? command : command.substr(at + 9);
    const std::int32_t n = mHistory.RunQuery(query);
    if (n == 0) return;
    mHistory.AddToHistory(Quote(std::string(TrimSpaces(query))), n, query);
    Shown(n);
}

void SearchService::RerunAfterFilters() {
    if (const std::int32_t n = mHistory.RerunLastQuery()) Shown(n);
}

bool SearchService::ReadFilters(std::vector<FilterBox>& boxes) {
    boxes.clear();
    velt_files* files = mShell.Current();
    if (!files || !files->Ready) return false;
    const FilterAnswer answer = GetFilters(files->Connection());
    if (!answer.error.empty()) {
        if (!files->Broken()) mPrompts.show_error(answer.error);
        return false;
    }
    boxes = FilterBoxes(files->Filters, answer.flags);
    return true;
}

bool SearchService::WriteFilters(const std::vector<FilterBox>& boxes) {
    velt_files* files = mShell.Current();
    if (!files || !files->Ready) return false;
    const std::string error = SetFilters(files->Connection(), FilterFlagsOf(boxes));
    if (!error.empty()) {
        if (!files->Broken()) mPrompts.show_error(error);
        return false;
    }
    return true;
}

}  // namespace velt
