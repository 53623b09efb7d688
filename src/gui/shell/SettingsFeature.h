#pragma once
// "&Ustawienia" and "&Pomoc": the diacritics palette, the list and report
// fonts, the external programs, the loan forms ("Rezerwacje (rewersy)",
// shown when the configuration names a loan form and enabled unless the
// configuration is not written back), the start-up question, and the help.

#include "gui/shell/FeatureHost.h"

class QAction;
class QMenu;

namespace velt::gui {

class TOknoDiakrytyczne;

class SettingsFeature : public Feature {
public:
    void Install(FeatureHost& host) override;
    void StateChanged(const ShellState& state) override;
    void DescriptorChanged() override;

    // Shows or hides the diacritics palette.
    void ToggleDiacritics();

    QMenu* Rezerwacje1 = nullptr;
    QAction* DrukujRewersyItem = nullptr;
    QAction* DrukarkaRewersowItem = nullptr;
    QAction* PytajItem = nullptr;
    TOknoDiakrytyczne* Diakrytyki = nullptr;

private:
    // The items' checks and states from the settings.
    void ShowSettings();

    FeatureHost* mHost = nullptr;
};

}  // namespace velt::gui
