#pragma once
// The import from other catalogues in the program: "Systemy VELT" under
// "&Rekord" → "Pobierz" and under the toolbar's "Pobieranie", both there
// only when the configuration names source catalogues; the window; the
// configuration's "RTK…" sections read and written with the rest of it; and
// for the window the record editor, the criteria panel, the chooser of links,
// the picture viewer and the files' programs of the moment.

#include "gui/shell/FeatureHost.h"
#include "import/RtkImport.h"
#include "import/SessionEditor.h"
#include "shell/VeltShell.h"

namespace velt::gui {

class TOknoRTK;

class RtkFeature : public Feature, public RtkHost, public ConfigurationSection {
public:
    ~RtkFeature() override;

    void Install(FeatureHost& host) override;
    void StateChanged(const ShellState& state) override;
    void Closing() override;

    // RtkHost
    velt_files* Local() override;
    ImportEditor* Editor() override;
    const ConverterModules* Converters() override;
    std::string AskCriteria(velt_files& source, int& sort) override;
    void ChooseForImport(velt_files& source, const std::string& identifier, const std::string& structure,
                         std::function<void(const std::string&)> take,
                         std::function<void(const std::string&)> convert) override;
    void ShowPicture(const std::string& file) override;
    void OpenFile(const std::string& file) override;
    void ReloadConfiguration() override;
    std::string WorkingDirectory() override;
    std::string RecordBoxText() override;
    void RecordChanged(const std::string& identifier) override;

    // ConfigurationSection
    void ReadConfiguration(const TMultiIniFile& ini) override;
    void WriteConfiguration(ProfileFile& file) override;

    TOknoRTK* OknoRTK = nullptr;
    QAction* SystemyVeltItem = nullptr;   // "Systemy VELT" (menu "Pobierz")
    QAction* SystemyVeltPopup = nullptr;  // "Systemy VELT" (pop-up "Pobieranie")

private:
    FeatureHost* mHost = nullptr;
    SessionEditor mEditor;
};

}  // namespace velt::gui
