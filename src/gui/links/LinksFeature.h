#pragma once
// Record links in the main window: the toolbar's "Powiązania" ("Modyfikuj
// powiązania") opens the link schema of the record box's record; the
// entries' "powiazania" and "STRUKTURA" commands open it for their record;
// the record chooser's "powiazania" cells and the import from other
// catalogues choose in "Powiązania rekordów VELT" (LinkWindows). The schema
// window hears the edit session's saves and deletes, and its access mode
// follows the logins.
//
// The button shows where the links can be changed: on VELT1 servers as the
// main window's state says, and on VELT2 and VELT3 servers for a logged-in
// user when the catalogue has a format of the structure type (without it
// the window could only say that the server does not offer it).

#include "gui/shell/FeatureHost.h"
#include "links/LinkChoice.h"
#include "links/LinkSchema.h"

#include <memory>

class QAction;

namespace velt::gui {

class TOknoPowiazan;
class TWyborPowiazan;

class LinksFeature : public Feature, public LinkWindows, public LinkSchemaHost {
public:
    LinksFeature();
    ~LinksFeature() override;

    void Install(FeatureHost& host) override;
    void StateChanged(const ShellState& state) override;
    void DescriptorChanged() override;
    void Closing() override;

    // The schema window for a record (stored form) and a structure type.
    void ShowLinks(const std::string& identifier, const std::string& structure);
    // "Modyfikuj powiązania": the record box's record.
    void ShowLinksOfRecordBox();

    // LinkWindows
    std::string ChooseInList(velt_files& files, const std::string& identifier, const std::string& structure,
                             LinkCallback pick, LinkCallback goTo) override;
    std::string ChooseInTree(velt_files& files, const std::string& identifier, const std::string& structure,
                             LinkCallback pick, LinkCallback goTo, std::int32_t componentFormat) override;
    std::string ChooseForImport(velt_files& files, const std::string& identifier, const std::string& structure,
                                LinkCallback convert, LinkCallback fetch) override;

    // LinkSchemaHost
    VrCollection* LocalCollection() override;
    void ShowInLocal(std::int64_t number) override;
    bool GoTo(const std::string& typed) override;
    void GoToRecordInIndex(const std::string& record, const std::string& index) override;
    void FindInIndex(const std::string& index, const std::string& text) override;
    void ShowPicture(const std::string& path) override;
    void OpenFile(const std::string& path) override;
    void StartProgram(const std::string& program, const std::string& parameters) override;
    void PrintLabels(const std::string& pairs) override;
    bool PlaceOrder(const std::string& command) override;
    void RunTableReport(const std::string& argument) override;
    bool RunOperation(const std::string& argument) override;
    void RecordChanged(const std::string& shown) override;
    TEdycja* Editing() override;
    std::string WorkingDirectory() override;

    QAction* PowiazaniaButton = nullptr;
    // The windows, once made.
    TOknoPowiazan* OknoPowiazan() const { return mWindow; }
    TWyborPowiazan* WyborPowiazan() const { return mChoice; }
    LinkSchema* Schema() const { return mSchema.get(); }

private:
    // The schema window and its model for the current catalogue (made again for a new one).
    LinkSchema* SchemaForCatalogue();
    TWyborPowiazan* Choice();
    void ApplyAccessMode();
    void BuildOperations();

    FeatureHost* mHost = nullptr;
    TOknoPowiazan* mWindow = nullptr;
    TWyborPowiazan* mChoice = nullptr;
    std::unique_ptr<LinkSchema> mSchema;
    velt_files* mSchemaFiles = nullptr;
    ShellState mState;
};

}  // namespace velt::gui
