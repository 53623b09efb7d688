#pragma once
// The Z39.50 import in the program: "Protokół Z3950" under "&Rekord" →
// "Pobierz" and "Protokół Z39.50" under the toolbar's "Pobieranie", both
// there only when the configuration names sources; the window "Pobieranie
// Z39.50"; the configuration's "Z3950…" sections read and written with the
// rest of it; and the record editor and catalogue of the moment for the
// window's "Pobierz" and "Konwertuj".

#include "gui/shell/FeatureHost.h"
#include "import/SessionEditor.h"
#include "import/Z3950Import.h"
#include "shell/VeltShell.h"

#include <memory>

namespace velt {
class TEdycja;
}

namespace velt::gui {

class TOknoZ3950;

class Z3950Feature : public Feature, public Z3950Host, public ConfigurationSection {
public:
    ~Z3950Feature() override;

    void Install(FeatureHost& host) override;
    void StateChanged(const ShellState& state) override;
    void Closing() override;

    // Z3950Host
    velt_files* Catalogue() override;
    ImportEditor* Editor() override;
    const ConverterModules* Converters() override;

    // ConfigurationSection
    void ReadConfiguration(const TMultiIniFile& ini) override;
    void WriteConfiguration(ProfileFile& file) override;

    TOknoZ3950* OknoZ3950 = nullptr;
    QAction* ProtokolZ3950Item = nullptr;   // "Protokół Z3950" (menu "Pobierz")
    QAction* ProtokolZ3950Popup = nullptr;  // "Protokół Z39.50" (pop-up "Pobieranie")

private:
    FeatureHost* mHost = nullptr;
    SessionEditor mEditor;
};

}  // namespace velt::gui
