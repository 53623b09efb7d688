#pragma once
// The record box's record's attached files: the toolbar's "Pliki" pops up
// "Dodaj plik", "Usuń plik" and "Pobierz plik" (browse/Attachments.h), shown
// when the server keeps attachments.

#include "gui/shell/FeatureHost.h"

class QAction;
class QMenu;

namespace velt::gui {

class AttachmentsFeature : public Feature {
public:
    void Install(FeatureHost& host) override;
    void StateChanged(const ShellState& state) override;

    // The menu of the record box's record (made again at each call).
    void BuildBlobMenu();
    // Adds a file as an attachment under name (the file dialog when file is empty).
    void AddAttachment(const std::string& name, std::string file = {});
    void DeleteAttachment(const std::string& name);

    QAction* BlobButton = nullptr;
    QMenu* BlobMenu = nullptr;

private:
    FeatureHost* mHost = nullptr;
};

}  // namespace velt::gui
