#pragma once
// The authority files in the program: the side panel's "Kartoteka
// wzorcowa" (the active index's authority file, or its value list), the
// windows every caller reaches through AuthorityWindows (the record forms'
// script commands, the search windows' criteria), and the record buttons'
// way to the editing session.

#include "authority/AuthorityLookup.h"
#include "authority/AuthorityWindows.h"
#include "gui/shell/FeatureHost.h"

class QPushButton;

namespace velt::gui {

class TOknoKHW;
class TOknoKHWNowe;
class TSmallBrowser;

class AuthorityFeature : public Feature, public AuthorityWindows, public AuthorityEditing {
public:
    void Install(FeatureHost& host) override;
    void StateChanged(const ShellState& state) override;

    // AuthorityWindows
    std::string Lookup(velt_files& files, const velt_KHW& file, char mode, const std::string& start) override;
    std::string TermSearch(velt_files& files, const std::string& start, const std::string& reference) override;
    ChosenRecord SelectRecord(velt_files& files, const std::string& startIdentifier, const std::string& startText,
                              int indexPosition) override;
    ChosenRecord SelectInStructure(velt_files& files, const std::string& startIdentifier,
                                   const std::string& formatType) override;

    // AuthorityEditing
    bool CanEdit(const std::string& kindLetter) override;
    void OpenRecord(const std::string& code, const std::string& identifier) override;
    void DeleteRecord(const std::string& identifier) override;
    void NewRecord(const std::string& code) override;
    void ShowEditor() override;

    // "Wyszukaj w kartotece wzorcowej": the active index's heading looked up.
    void LookUpActiveIndex();

    QPushButton* SpeedButton1 = nullptr;
    TOknoKHWNowe* OknoKHWNowe();
    TOknoKHW* OknoKHW();
    TSmallBrowser* SmallBrowser();

private:
    FeatureHost* mHost = nullptr;
    TOknoKHWNowe* mLookup = nullptr;
    TOknoKHW* mSearch = nullptr;
    TSmallBrowser* mChooser = nullptr;
};

}  // namespace velt::gui
