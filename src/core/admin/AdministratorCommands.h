#pragma once
// The administrator's commands of "&Operacja": "Program (administrator)"
// with "Modyfikuj rekordy kolekcji zdalnej", "Modyfikuj rekordy kolekcji
// lokalnej" and "Modyfikuj wskazany rekord", and "Usuń globalnie" with
// "Rekordy kolekcji lokalnej". Each does nothing before record editing has
// started, and says "Operacja dostępna jedynie dla administratora" to a
// login without the right "administrowanie" (the server checks the right
// too).

#include "admin/GlobalModification.h"

#include <functional>
#include <string>
#include <vector>

namespace velt {

class PresentationTabs;
class TEdycja;

// Where a command runs, as it is at the click.
struct AdminScene {
    velt_files* files = nullptr;
    TEdycja* editing = nullptr;  // none: record editing has not started
    PresentationTabs* tabs = nullptr;
    std::string recordBox;       // the main window's record box
};

// What became of one record of a global deletion.
struct DeletionStep {
    std::string identifier;  // shown
    bool deleted = false;
    std::string reason;      // why not (empty when the session told it)
};

struct DeletionOutcome {
    bool confirmed = false;            // the user said "Tak"
    std::vector<std::string> deleted;  // shown identifiers, in collection order
    bool broken = false;               // the connection broke: the walk stopped there
};

// Global deletion: asks once ("Nie" is the default) to delete every record
// of the local collection, then walks it from its first record number: each
// record is opened (so reserved) and deleted, and leaves the collection; a
// record that cannot be opened or deleted stays, its reason is shown and the
// walk goes on (a record refused after opening is released). A record open
// in the editor (editing, when given) is never touched: it stays, and the
// editor's message says so. A broken connection stops the walk at once; its
// failure is told once. each hears every record's outcome.
DeletionOutcome DeleteCollectionRecords(velt_files& files, VrCollection& local, const TEdycja* editing,
                                        Prompts& prompts, const std::function<void(const DeletionStep&)>& each = {});

class AdministratorCommands {
public:
    AdministratorCommands(Prompts& prompts, LongOperations& longOps, GlobalProgramWindow& window);

    // The program window over the remote collection (nothing without one),
    // the local collection, or the record named (nothing when empty).
    void ModifyRemoteCollection(const AdminScene& scene);
    void ModifyLocalCollection(const AdminScene& scene);
    void ModifyRecord(const AdminScene& scene, const std::string& record);
    // Global deletion of the local collection's records; afterwards the tabs
    // are shown again and the editor forgets the records deleted.
    void DeleteLocalCollection(const AdminScene& scene);

private:
    // The guard common to the commands: false (after the message, for a
    // login without the right) when the command does nothing.
    bool Allowed(const AdminScene& scene);
    void OpenWindow(const AdminScene& scene, ModificationMode mode, const std::string& record);

    Prompts& mPrompts;
    LongOperations& mLongOps;
    GlobalProgramWindow& mWindow;
};

}  // namespace velt
