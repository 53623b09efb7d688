#pragma once
// The entries of a list choice as a browser's data source: the key of an
// entry is its position (from 1) in decimal, its lines are its text's CR
// lines shown as plain text, and selecting it (a click) reports its index.

#include "browse/Vrserwer.h"
#include "common/ListChoice.h"

#include <functional>
#include <vector>

namespace velt {

class ListChoiceSource : public Vrserwer {
public:
    // chosen hears the index of the entry the user clicked.
    ListChoiceSource(std::vector<ListChoiceEntry> entries, std::function<void(int index)> chosen);

    std::string First() override;
    std::string Last() override;
    std::string Next(const std::string& key) override;
    std::string Prior(const std::string& key) override;
    std::optional<std::vector<std::string>> Lines(const std::string& key) override;
    int Action(const std::string& key, const std::string& command) override;

    const std::vector<ListChoiceEntry>& Entries() const { return mEntries; }

private:
    // The index of a key, -1 when it names no entry.
    long IndexOf(const std::string& key) const;

    std::vector<ListChoiceEntry> mEntries;
    std::function<void(int)> mChosen;
};

}  // namespace velt
