#pragma once
// The data sources the tabs browse: the local collection (`coll_serwer`),
// a server index (`velt_serwer`), and the chooser source of the record
// choosers (`chooser::velt_serwer`).

#include "browse/VrCollection.h"
#include "browse/Vrserwer.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace velt {

class EntryHost;
class velt_files;
class velt_order;
struct TVeltRecord;

// The local collection over the catalogue: keys are record numbers in
// decimal, right-aligned in 10 characters.
class coll_serwer : public Vrserwer {
public:
    // Creates the collection file in workingDirectory; Ready tells whether it worked.
    coll_serwer(velt_files& files, const std::string& workingDirectory, EntryHost* host);

    bool Ready() const { return mCollection.Ready(); }
    VrCollection& Collection() { return mCollection; }
    void SetHost(EntryHost* host) { mHost = host; }

    std::string First() override;
    std::string Last() override;
    std::string Next(const std::string& key) override;
    std::string Prior(const std::string& key) override;
    std::optional<std::vector<std::string>> Lines(const std::string& key) override;
    int Action(const std::string& key, const std::string& command) override;
    bool IsChecked(const std::string& key, const std::string& tag) override;

    // The key of a typed identifier when the collection holds it; empty otherwise.
    std::string FindRecord(const std::string& identifier);
    // The record identifier of a key (for VELT1 the key itself).
    std::string RecordIdentifierOf(const std::string& key) const;

    static std::string KeyOf(std::int64_t number);
    static std::int64_t NumberOf(const std::string& key);

private:
    velt_files& mFiles;
    VrCollection mCollection;
    EntryHost* mHost;
};

// One server index, for an index tab. Its keys are the entries' keys.
class velt_serwer : public Vrserwer {
public:
    velt_serwer(velt_files& files, velt_order& cursor, coll_serwer* local, EntryHost* host);

    std::string First() override;
    std::string Last() override;
    std::string Next(const std::string& key) override;
    std::string Prior(const std::string& key) override;
    std::optional<std::vector<std::string>> Lines(const std::string& key) override;
    int Action(const std::string& key, const std::string& command) override;
    bool IsChecked(const std::string& key, const std::string& tag) override;

    // The key of the entry a typed identifier points to; empty when none.
    std::string LocateRecord(const std::string& typed);
    // The key of the first entry at or after a text; empty when none.
    std::string SeekKey(const std::string& text);
    // The letter of the authority file that belongs to the index.
    std::string AuthorityLetter();
    // The record identifier of an entry; empty when it is not found.
    std::string EntryIdentifier(const std::string& key);

    velt_order& Cursor() { return mCursor; }

private:
    velt_files& mFiles;
    velt_order& mCursor;
    coll_serwer* mLocal;
    EntryHost* mHost;
};

namespace chooser {

// The source of the record choosers: it passes what the user does to its owner.
class velt_serwer : public Vrserwer {
public:
    // code 33 "!" and 42 "*" with the shown identifier, 76 "L" with a command.
    using Callback = std::function<void(int code, const std::string& text, const std::string& key)>;
    using ExtraLines = std::function<std::string(const TVeltRecord& entry)>;
    using Check = std::function<bool(const std::string& tag, const std::string& key)>;

    velt_serwer(velt_files& files, velt_order& cursor, Callback callback, ExtraLines extra = {}, Check check = {});

    std::string First() override;
    std::string Last() override;
    std::string Next(const std::string& key) override;
    std::string Prior(const std::string& key) override;
    std::optional<std::vector<std::string>> Lines(const std::string& key) override;
    int Action(const std::string& key, const std::string& command) override;
    bool IsChecked(const std::string& key, const std::string& tag) override;

    std::string LocateRecord(const std::string& typed);
    std::string EntryIdentifier(const std::string& key);
    // The nearest following key of another record; else the nearest
    // preceding one; empty when neither exists.
    std::string NextRecord(const std::string& key);
    bool FindKey(const std::string& key);

private:
    velt_files& mFiles;
    velt_order& mCursor;
    Callback mCallback;
    ExtraLines mExtra;
    Check mCheck;
};

}  // namespace chooser

}  // namespace velt
