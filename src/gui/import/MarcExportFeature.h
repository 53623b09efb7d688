#pragma once
// "Eksport MARC" under "Za&pytanie", beside the collection commands: the
// remote collection, the local collection or the record of the record box
// written as MARC 21 (UTF-8 or MARC-8) or MARCXML. The core's flow
// (import/MarcExportFlow.h) does the work; this asks for the file.

#include "gui/shell/FeatureHost.h"
#include "import/MarcExportFlow.h"

#include <memory>

namespace velt::gui {

class MarcExportFeature : public Feature, public MarcExportDialogs {
public:
    void Install(FeatureHost& host) override;
    void StateChanged(const ShellState& state) override;

    // MarcExportDialogs
    bool AskExportFile(const std::string& title, const std::string& directory, std::string& file,
                       MarcFileFormat& format) override;

    MarcExportFlow& Flow() { return *mFlow; }
    QMenu* EksportMenu = nullptr;  // "Eksport MARC"

private:
    FeatureHost* mHost = nullptr;
    std::unique_ptr<MarcExportFlow> mFlow;
};

}  // namespace velt::gui
