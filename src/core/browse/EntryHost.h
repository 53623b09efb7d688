#pragma once
// What the collection sources ask of the windows when the user acts on an
// entry: the record box, the tabs' browsers and the messages. The main window
// implements it; tests record what was asked.

#include <cstdint>
#include <string>

namespace velt {

class Prompts;

class EntryHost {
public:
    virtual ~EntryHost() = default;
    // Puts a shown identifier into the record box (at the top when it differs).
    virtual void PutIntoRecordBox(const std::string& shown) = 0;
    // The active tab's browser selects key.
    virtual void SelectInActive(const std::string& key) = 0;
    // The local tab's browser shows key (its start when key is empty).
    virtual void ShowInLocal(const std::string& key) = 0;
    // Every built browser asks for its check marks again.
    virtual void RefreshAllChecks() = 0;
    // The record of that number is shown in the tab "Kolekcja lokalna".
    virtual void ShowRecordInLocal(std::int64_t number) = 0;
    // A command of the entries that belongs to a later window (queries,
    // pictures, attachments, reports, programs, links, reader services);
    // identifier is the entry's record identifier, local whether it came
    // from the local collection.
    virtual void EntryCommand(const std::string& key, const std::string& command, const std::string& identifier,
                              bool local) = 0;
    virtual Prompts& UserPrompts() = 0;
};

}  // namespace velt
