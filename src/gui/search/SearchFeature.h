#pragma once
// Searching from "Za&pytanie": the criteria panel ("Podstawowe"), the
// filters ("&Ustaw filtr", shown when the catalogue has filters), the
// elementary queries of the descriptor's criteria ("E&lementarne") and the
// complex query ("&Złożone"). What the panel remembers of its rows is kept
// in the configuration's section "KRYTERIA".

#include "criteria/CriteriaPanel.h"
#include "gui/shell/FeatureHost.h"
#include "shell/VeltShell.h"

#include <memory>

class QAction;
class QMenu;

namespace velt::gui {

class TOknoElementarne;
class TOknoFiltrow;
class TOknoNoweKryteria;
class TOknoZlozone;

class SearchFeature : public Feature, public ConfigurationSection, public FilterChooser {
public:
    SearchFeature();
    ~SearchFeature() override;
    void Install(FeatureHost& host) override;
    void DescriptorChanged() override;

    // "Podstawowe": the panel over the current catalogue, its query searched.
    void RunCriteriaPanel();
    // The panel over any catalogue's descriptor (the import from other
    // catalogues sends the query there); empty when not executed.
    std::string AskCriteria(velt_files& files, int& sortIndex);

    // ConfigurationSection: the remembered rows.
    void ReadConfiguration(const TMultiIniFile& ini) override;
    void WriteConfiguration(ProfileFile& file) override;
    // FilterChooser: the filters window from the panel's filter row.
    void ChooseFilters(velt_files& files) override;

    QAction* PodstawoweItem = nullptr;
    TOknoNoweKryteria* OknoNoweKryteria = nullptr;

    QAction* UstawFiltrItem = nullptr;
    QMenu* Elementarne1 = nullptr;
    QAction* ZlozoneItem = nullptr;
    TOknoZlozone* OknoZlozone = nullptr;
    TOknoElementarne* OknoElementarne = nullptr;
    TOknoFiltrow* OknoFiltrow = nullptr;

private:
    FeatureHost* mHost = nullptr;
    RememberedValues mRemembered;
    std::unique_ptr<CriteriaPanel> mPanel;
};

}  // namespace velt::gui
