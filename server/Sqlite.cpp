#include "Sqlite.h"

namespace velt::server {

Database::Database(const std::string& path, bool create) {
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0) | SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(path.c_str(), &mDb, flags, nullptr) != SQLITE_OK) {
        const std::string why = mDb ? sqlite3_errmsg(mDb) : "out of memory";
        sqlite3_close(mDb);
        mDb = nullptr;
        throw DbError("cannot open " + path + ": " + why);
    }
    sqlite3_busy_timeout(mDb, 10000);
}

Database::~Database() { sqlite3_close(mDb); }

void Database::Exec(const char* sql) {
    char* error = nullptr;
    if (sqlite3_exec(mDb, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string why = error ? error : "?";
        sqlite3_free(error);
        throw DbError(why);
    }
}

Statement::Statement(Database& db, const char* sql) : mDb(db.Handle()) {
    if (sqlite3_prepare_v3(mDb, sql, -1, SQLITE_PREPARE_PERSISTENT, &mStmt, nullptr) != SQLITE_OK)
        throw DbError(std::string(sqlite3_errmsg(mDb)) + " in " + sql);
}

Statement::~Statement() { sqlite3_finalize(mStmt); }

void Statement::Reset() {
    sqlite3_reset(mStmt);
    sqlite3_clear_bindings(mStmt);
    mDirty = false;
}

Statement& Statement::Bind(int i, std::int64_t v) {
    if (mDirty) Reset();
    sqlite3_bind_int64(mStmt, i, v);
    return *this;
}

Statement& Statement::Bind(int i, std::string_view blob) {
    if (mDirty) Reset();
    sqlite3_bind_blob(mStmt, i, blob.data(), static_cast<int>(blob.size()), SQLITE_TRANSIENT);
    return *this;
}

bool Statement::Step() {
    mDirty = true;
    const int rc = sqlite3_step(mStmt);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    const std::string why = sqlite3_errmsg(mDb);
    sqlite3_reset(mStmt);
    throw DbError(why);
}

void Statement::Run() {
    while (Step()) {
    }
    Reset();
}

std::int64_t Statement::Int(int col) const { return sqlite3_column_int64(mStmt, col); }

std::string_view Statement::View(int col) const {
    const void* p = sqlite3_column_blob(mStmt, col);
    const int n = sqlite3_column_bytes(mStmt, col);
    return p ? std::string_view(static_cast<const char*>(p), static_cast<std::size_t>(n)) : std::string_view();
}

std::string Statement::Text(int col) const { return std::string(View(col)); }

Transaction::Transaction(Database& db) : mDb(db) { mDb.Exec("BEGIN IMMEDIATE"); }

Transaction::~Transaction() {
    if (!mDone) {
        try {
            mDb.Exec("ROLLBACK");
        } catch (const DbError&) {
        }
    }
}

void Transaction::Commit() {
    mDb.Exec("COMMIT");
    mDone = true;
}

}  // namespace velt::server
