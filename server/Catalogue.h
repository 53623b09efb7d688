#pragma once
// One connection's view of the catalogue database: index entries, records,
// attachments and accounts. Each connection thread has its own, over its own
// database handle, so readers never wait for each other.

#include "Sqlite.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velt::server {

class UploadFile;

struct EntryRow {
    std::string key;  // stored key
    std::uint32_t number = 0;
    int occurrence = 0;
};

struct RecordRow {
    std::uint32_t number = 0;
    std::string text;
    int cover = 0;  // 0: none, else the cover picture's design (1..4)
};

struct Account {
    std::string name;
    std::string password;
    std::string rights;
    std::string profile;
    std::string notice;  // not empty: a new password must be set
};

class Catalogue {
public:
    // Opens an existing, seeded database.
    explicit Catalogue(const std::string& path);

    // Index entries (stored keys) of index ix.
    std::optional<EntryRow> First(int ix);
    std::optional<EntryRow> Last(int ix);
    std::optional<EntryRow> AtOrAfter(int ix, const std::string& key);
    std::optional<EntryRow> After(int ix, const std::string& key);
    std::optional<EntryRow> Before(int ix, const std::string& key);
    std::optional<EntryRow> Exact(int ix, const std::string& key);
    // Every entry with lo <= key < hi, in key order; the callback returns false to stop.
    void EntryRange(int ix, const std::string& lo, const std::string& hi,
                    const std::function<bool(std::string_view key, std::uint32_t number)>& each);
    // The records of word index ix with lo <= word < hi (may repeat).
    void WordRange(int ix, const std::string& lo, const std::string& hi, std::vector<std::uint32_t>& out);

    std::optional<RecordRow> Record(std::uint32_t number);
    bool Exists(std::uint32_t number);
    // The record numbers of one kind letter's records, ascending.
    std::vector<std::uint32_t> NumbersOfKind(std::uint32_t letterPosition, std::uint32_t letters);
    // The records of any of the letters (positions among letters in all), in number order.
    std::vector<std::uint32_t> NumbersOfKinds(const std::string& wanted, const std::string& letters);
    // Records in the order of a sort column ("sa", "st", "year"), ascending or not.
    void SortedScan(const std::string& column, bool descending,
                    const std::function<void(std::uint32_t number)>& each);
    // The sort value of one record.
    std::string SortValue(const std::string& column, std::uint32_t number);
    // The record numbers a fixed statement of the server's selects, ascending.
    std::vector<std::uint32_t> Numbers(const char* sql);

    std::vector<std::string> AttachmentNames(std::uint32_t number);
    std::optional<std::string> Attachment(std::uint32_t number, const std::string& name);
    // Adds or replaces an attachment (one transaction).
    void PutAttachment(std::uint32_t number, const std::string& name, const std::string& data);
    // The same from an upload kept in a file, written into the database in
    // pieces (memory does not grow with the size).
    void PutAttachment(std::uint32_t number, const std::string& name, UploadFile& file);
    // False when there was no such attachment.
    bool DeleteAttachment(std::uint32_t number, const std::string& name);

    // The record a record is attached to (DOK_IDO), 0 when none.
    std::uint32_t Parent(std::uint32_t number);
    // The records attached to a record, ascending.
    std::vector<std::uint32_t> Children(std::uint32_t number);
    // The records whose "^9" names an authority record, ascending, at most limit.
    std::vector<std::uint32_t> Referrers(std::uint32_t authority, std::size_t limit);

    std::optional<Account> FindAccount(const std::string& name);
    // Sets a password and clears the account's notice (one transaction).
    void ChangePassword(const std::string& name, const std::string& password);

    Database& Db() { return mDb; }

private:
    std::optional<EntryRow> One(Statement& s);

    Database mDb;
    std::map<std::string, std::unique_ptr<Statement>> mCached;
    Statement mFirst, mLast, mGe, mGt, mLt, mEq, mRange, mWords, mRecord, mAttNames, mAtt, mAccount, mParent,
        mChildren, mReferrers;
};

}  // namespace velt::server
