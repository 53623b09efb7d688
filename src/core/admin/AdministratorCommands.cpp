#include "admin/AdministratorCommands.h"

#include "browse/PresentationTabs.h"
#include "browse/VrCollection.h"
#include "catalogue/velt_files.h"
#include "common/Prompts.h"
#include "editing/EditRequests.h"
#include "editing/TEdycja.h"
#include "login/Rights.h"
#include "text/CpLiteral.h"

#include <algorithm>

namespace velt {

DeletionOutcome DeleteCollectionRecords(velt_files& files, VrCollection& local, const TEdycja* editing,
                                        Prompts& prompts, const std::function<void(const DeletionStep&)>& each) {
    DeletionOutcome out;
    const std::string question =
        "Czy rzeczywiście chcesz usunąć "_cp + std::to_string(local.CountNumbers()) + " rekordów"_cp;
    // One question decides about every record: "Nie" unless the user chooses.
    if (prompts.ask_question_default(question, kNo) != kYes) return out;
    out.confirmed = true;
    EditRequests requests(files.Connection(), prompts);
    BusyCursor busy(prompts);
    auto say = [&prompts](const std::string& text) {
        if (text.empty()) return;
        BusyPause pause(prompts);
        prompts.show_error(text);
    };
    for (std::int64_t n = local.FirstNumber(); n > 0;) {
        const std::int64_t next = local.NextNumber(n);
        DeletionStep step;
        step.identifier = files.ShownIdentifier(files.RecordIdentifier(static_cast<std::int32_t>(n)));
        if (editing && editing->IsOpen(step.identifier)) {
            // Its sheet holds the reservation: opening, deleting or releasing
            // it here would pull the record from under the sheet.
            step.reason = "Rekord "_cp + step.identifier + " jest otwarty do edycji: usuń go w jego oknie"_cp;
            say(step.reason);
        } else if (const RecordAnswer opened = requests.Open(step.identifier); !opened.ok) {
            step.reason = opened.message;
            if (!files.Broken()) say(step.reason);
        } else if (const EditOutcome deleted = requests.Delete(step.identifier); deleted.ok) {
            step.deleted = true;
            local.Exclude(n);
            out.deleted.push_back(step.identifier);
        } else {
            step.reason = deleted.message;
            if (!files.Broken()) {
                say(step.reason);
                requests.Release(step.identifier);
            }
        }
        if (files.Broken()) {
            // Every further request would fail the same way: stop, and tell
            // the failure once (the session has, unless it went before).
            out.broken = true;
            if (step.reason.empty()) step.reason = files.ConnectionError();
            if (!files.Connection().FailureReported()) say(files.ConnectionError());
            if (each) each(step);
            break;
        }
        if (each) each(step);
        n = next;
    }
    return out;
}

AdministratorCommands::AdministratorCommands(Prompts& prompts, LongOperations& longOps, GlobalProgramWindow& window)
    : mPrompts(prompts), mLongOps(longOps), mWindow(window) {}

bool AdministratorCommands::Allowed(const AdminScene& scene) {
    if (!scene.editing || !scene.files) return false;
    if (!HasRight(scene.files->Rights(), kAdministratorRight)) {
        mPrompts.show_error("Operacja dostępna jedynie dla administratora"_cp);
        return false;
    }
    return true;
}

void AdministratorCommands::OpenWindow(const AdminScene& scene, ModificationMode mode, const std::string& record) {
    PresentationTabs* tabs = scene.tabs;
    const std::string box = scene.recordBox;
    coll_serwer* local = tabs ? tabs->Local() : nullptr;
    GlobalProgram program(*scene.files, mPrompts, mLongOps, mode, record, local ? &local->Collection() : nullptr,
                          [tabs, box] {
                              if (tabs) tabs->RedisplayRecord({}, box);
                          });
    // Whatever the outcome, what the memo holds is the program from now on.
    SetProgramText(JoinLines(mWindow.ShowModal(program, TextLines(ProgramText()))));
}

void AdministratorCommands::ModifyRemoteCollection(const AdminScene& scene) {
    if (!Allowed(scene) || scene.files->RemoteCollection == 0) return;
    OpenWindow(scene, ModificationMode::RemoteCollection, {});
}

void AdministratorCommands::ModifyLocalCollection(const AdminScene& scene) {
    if (!Allowed(scene)) return;
    OpenWindow(scene, ModificationMode::LocalCollection, {});
}

void AdministratorCommands::ModifyRecord(const AdminScene& scene, const std::string& record) {
    if (!Allowed(scene) || record.empty()) return;
    OpenWindow(scene, ModificationMode::Record, record);
}

void AdministratorCommands::DeleteLocalCollection(const AdminScene& scene) {
    if (!Allowed(scene)) return;
    coll_serwer* local = scene.tabs ? scene.tabs->Local() : nullptr;
    if (!local) return;
    const DeletionOutcome outcome = DeleteCollectionRecords(*scene.files, local->Collection(), scene.editing, mPrompts);
    if (outcome.deleted.empty()) return;
    // The tabs show the catalogue as it is now, and the editor forgets the
    // records that are gone.
    scene.editing->RecordsDeleted(outcome.deleted);
    const bool boxGone = std::find(outcome.deleted.begin(), outcome.deleted.end(), scene.recordBox) != outcome.deleted.end();
    BusyCursor busy(mPrompts);
    scene.tabs->RedisplayRecord({}, boxGone ? std::string() : scene.recordBox);
    scene.tabs->RefreshAllChecks();
}

}  // namespace velt
