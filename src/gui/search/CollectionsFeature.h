#pragma once
// The collection commands of "Za&pytanie": "Zachowaj kolekcję", "Odtwórz
// kolekcję", "Skopiuj kolekcję" and "Skasuj kolekcję", over the core's
// CollectionFlows with the file dialogs of the desktop.

#include "gui/shell/FeatureHost.h"
#include "shell/CollectionFlows.h"

#include <memory>

namespace velt::gui {

class CollectionsFeature : public Feature, public CollectionDialogs {
public:
    void Install(FeatureHost& host) override;

    // CollectionDialogs
    std::string AskSaveFile(const std::string& title, const std::string& directory) override;
    std::string AskOpenFile(const std::string& title, const std::string& directory) override;

    CollectionFlows& Flows() { return *mFlows; }

private:
    FeatureHost* mHost = nullptr;
    std::unique_ptr<CollectionFlows> mFlows;
};

}  // namespace velt::gui
