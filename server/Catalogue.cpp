#include "Catalogue.h"

#include "UploadFile.h"

#include <algorithm>

namespace velt::server {

Catalogue::Catalogue(const std::string& path)
    : mDb(path, false),
      mFirst(mDb, "SELECT key,num,occ FROM entries WHERE ix=?1 ORDER BY key LIMIT 1"),
      mLast(mDb, "SELECT key,num,occ FROM entries WHERE ix=?1 ORDER BY key DESC LIMIT 1"),
      mGe(mDb, "SELECT key,num,occ FROM entries WHERE ix=?1 AND key>=?2 ORDER BY key LIMIT 1"),
      mGt(mDb, "SELECT key,num,occ FROM entries WHERE ix=?1 AND key>?2 ORDER BY key LIMIT 1"),
      mLt(mDb, "SELECT key,num,occ FROM entries WHERE ix=?1 AND key<?2 ORDER BY key DESC LIMIT 1"),
      mEq(mDb, "SELECT key,num,occ FROM entries WHERE ix=?1 AND key=?2"),
      mRange(mDb, "SELECT key,num FROM entries WHERE ix=?1 AND key>=?2 AND key<?3 ORDER BY key"),
      mWords(mDb, "SELECT num FROM words WHERE ix=?1 AND word>=?2 AND word<?3"),
      mRecord(mDb, "SELECT text,cover FROM records WHERE num=?1"),
      mAttNames(mDb, "SELECT name FROM attachments WHERE num=?1 ORDER BY name"),
      mAtt(mDb, "SELECT data FROM attachments WHERE num=?1 AND name=?2"),
      mAccount(mDb, "SELECT name,password,rights,profile,notice FROM accounts WHERE name=?1"),
      mParent(mDb, "SELECT parent FROM links WHERE num=?1"),
      mChildren(mDb, "SELECT num FROM links WHERE parent=?1 ORDER BY num"),
      mReferrers(mDb, "SELECT num FROM refs WHERE auth=?1 ORDER BY num") {}

std::uint32_t Catalogue::Parent(std::uint32_t number) {
    mParent.Bind(1, number);
    const std::uint32_t parent = mParent.Step() ? static_cast<std::uint32_t>(mParent.Int(0)) : 0;
    mParent.Reset();
    return parent;
}

std::vector<std::uint32_t> Catalogue::Children(std::uint32_t number) {
    std::vector<std::uint32_t> out;
    mChildren.Bind(1, number);
    while (mChildren.Step()) out.push_back(static_cast<std::uint32_t>(mChildren.Int(0)));
    mChildren.Reset();
    return out;
}

std::vector<std::uint32_t> Catalogue::Referrers(std::uint32_t authority, std::size_t limit) {
    std::vector<std::uint32_t> out;
    mReferrers.Bind(1, authority);
    while (out.size() < limit && mReferrers.Step()) out.push_back(static_cast<std::uint32_t>(mReferrers.Int(0)));
    mReferrers.Reset();
    return out;
}

std::optional<EntryRow> Catalogue::One(Statement& s) {
    std::optional<EntryRow> row;
    if (s.Step()) row = EntryRow{s.Text(0), static_cast<std::uint32_t>(s.Int(1)), static_cast<int>(s.Int(2))};
    s.Reset();
    return row;
}

std::optional<EntryRow> Catalogue::First(int ix) { return One(mFirst.Bind(1, ix)); }
std::optional<EntryRow> Catalogue::Last(int ix) { return One(mLast.Bind(1, ix)); }
std::optional<EntryRow> Catalogue::AtOrAfter(int ix, const std::string& key) { return One(mGe.Bind(1, ix).Bind(2, key)); }
std::optional<EntryRow> Catalogue::After(int ix, const std::string& key) { return One(mGt.Bind(1, ix).Bind(2, key)); }
std::optional<EntryRow> Catalogue::Before(int ix, const std::string& key) { return One(mLt.Bind(1, ix).Bind(2, key)); }
std::optional<EntryRow> Catalogue::Exact(int ix, const std::string& key) { return One(mEq.Bind(1, ix).Bind(2, key)); }

void Catalogue::EntryRange(int ix, const std::string& lo, const std::string& hi,
                           const std::function<bool(std::string_view, std::uint32_t)>& each) {
    mRange.Bind(1, ix).Bind(2, lo).Bind(3, hi);
    while (mRange.Step())
        if (!each(mRange.View(0), static_cast<std::uint32_t>(mRange.Int(1)))) break;
    mRange.Reset();
}

void Catalogue::WordRange(int ix, const std::string& lo, const std::string& hi, std::vector<std::uint32_t>& out) {
    mWords.Bind(1, ix).Bind(2, lo).Bind(3, hi);
    while (mWords.Step()) out.push_back(static_cast<std::uint32_t>(mWords.Int(0)));
    mWords.Reset();
}

std::optional<RecordRow> Catalogue::Record(std::uint32_t number) {
    std::optional<RecordRow> row;
    mRecord.Bind(1, number);
    if (mRecord.Step()) row = RecordRow{number, mRecord.Text(0), static_cast<int>(mRecord.Int(1))};
    mRecord.Reset();
    return row;
}

bool Catalogue::Exists(std::uint32_t number) {
    mRecord.Bind(1, number);
    const bool found = mRecord.Step();
    mRecord.Reset();
    return found;
}

std::vector<std::uint32_t> Catalogue::NumbersOfKind(std::uint32_t letterPosition, std::uint32_t letters) {
    auto& s = mCached["kind"];
    if (!s) s = std::make_unique<Statement>(mDb, "SELECT num FROM records WHERE num % ?1 = ?2 ORDER BY num");
    s->Bind(1, letters).Bind(2, letterPosition);
    std::vector<std::uint32_t> out;
    while (s->Step()) out.push_back(static_cast<std::uint32_t>(s->Int(0)));
    s->Reset();
    return out;
}

std::vector<std::uint32_t> Catalogue::NumbersOfKinds(const std::string& wanted, const std::string& letters) {
    std::vector<std::uint32_t> out;
    for (const char letter : wanted) {
        const auto at = letters.find(letter);
        if (at == std::string::npos) continue;
        const auto some = NumbersOfKind(static_cast<std::uint32_t>(at), static_cast<std::uint32_t>(letters.size()));
        out.insert(out.end(), some.begin(), some.end());
    }
    std::sort(out.begin(), out.end());
    return out;
}

void Catalogue::SortedScan(const std::string& column, bool descending,
                           const std::function<void(std::uint32_t)>& each) {
    // The column comes from the server's own table of sort keys, never from a client.
    const std::string sql = "SELECT num FROM records ORDER BY " + column + (descending ? " DESC" : "") + ", num";
    Statement s(mDb, sql.c_str());
    while (s.Step()) each(static_cast<std::uint32_t>(s.Int(0)));
}

std::string Catalogue::SortValue(const std::string& column, std::uint32_t number) {
    auto& s = mCached[column];
    if (!s) s = std::make_unique<Statement>(mDb, ("SELECT " + column + " FROM records WHERE num=?1").c_str());
    s->Bind(1, number);
    std::string value = s->Step() ? s->Text(0) : std::string();
    s->Reset();
    return value;
}

std::vector<std::uint32_t> Catalogue::Numbers(const char* sql) {
    auto& s = mCached[sql];
    if (!s) s = std::make_unique<Statement>(mDb, sql);
    std::vector<std::uint32_t> out;
    while (s->Step()) out.push_back(static_cast<std::uint32_t>(s->Int(0)));
    s->Reset();
    return out;
}

std::vector<std::string> Catalogue::AttachmentNames(std::uint32_t number) {
    std::vector<std::string> out;
    mAttNames.Bind(1, number);
    while (mAttNames.Step()) out.push_back(mAttNames.Text(0));
    mAttNames.Reset();
    return out;
}

std::optional<std::string> Catalogue::Attachment(std::uint32_t number, const std::string& name) {
    std::optional<std::string> data;
    mAtt.Bind(1, number).Bind(2, name);
    if (mAtt.Step()) data = mAtt.Text(0);
    mAtt.Reset();
    return data;
}

void Catalogue::PutAttachment(std::uint32_t number, const std::string& name, const std::string& data) {
    Transaction t(mDb);
    Statement s(mDb, "INSERT OR REPLACE INTO attachments(num,name,data) VALUES(?1,?2,?3)");
    s.Bind(1, number).Bind(2, name).Bind(3, data);
    s.Run();
    t.Commit();
}

void Catalogue::PutAttachment(std::uint32_t number, const std::string& name, UploadFile& file) {
    Transaction t(mDb);
    Statement s(mDb, "INSERT OR REPLACE INTO attachments(num,name,data) VALUES(?1,?2,zeroblob(?3))");
    s.Bind(1, number).Bind(2, name).Bind(3, file.Size());
    s.Run();
    const sqlite3_int64 row = sqlite3_last_insert_rowid(mDb.Handle());
    sqlite3_blob* blob = nullptr;
    if (sqlite3_blob_open(mDb.Handle(), "main", "attachments", "data", row, 1, &blob) != SQLITE_OK)
        throw DbError(sqlite3_errmsg(mDb.Handle()));
    unsigned char piece[65536];
    std::int64_t at = 0;
    file.Rewind();
    while (at < file.Size()) {
        const std::size_t got = file.Read(piece, sizeof piece);
        if (got == 0 || sqlite3_blob_write(blob, piece, static_cast<int>(got), static_cast<int>(at)) != SQLITE_OK) {
            sqlite3_blob_close(blob);
            throw DbError("the upload could not be stored");
        }
        at += static_cast<std::int64_t>(got);
    }
    sqlite3_blob_close(blob);
    t.Commit();
}

bool Catalogue::DeleteAttachment(std::uint32_t number, const std::string& name) {
    Transaction t(mDb);
    Statement s(mDb, "DELETE FROM attachments WHERE num=?1 AND name=?2");
    s.Bind(1, number).Bind(2, name);
    s.Run();
    const bool deleted = sqlite3_changes(mDb.Handle()) > 0;
    t.Commit();
    return deleted;
}

std::optional<Account> Catalogue::FindAccount(const std::string& name) {
    std::optional<Account> a;
    mAccount.Bind(1, name);
    if (mAccount.Step())
        a = Account{mAccount.Text(0), mAccount.Text(1), mAccount.Text(2), mAccount.Text(3), mAccount.Text(4)};
    mAccount.Reset();
    return a;
}

void Catalogue::ChangePassword(const std::string& name, const std::string& password) {
    Transaction t(mDb);
    Statement s(mDb, "UPDATE accounts SET password=?2, notice='' WHERE name=?1");
    s.Bind(1, name).Bind(2, password);
    s.Run();
    t.Commit();
}

}  // namespace velt::server
