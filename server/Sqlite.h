#pragma once
// A thin RAII layer over SQLite: one database handle and prepared statements
// that reset themselves. Failures raise DbError, which the request loop turns
// into an error answer or a closed connection; nothing is left half-written
// because every change runs inside Transaction.

#include <sqlite3.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace velt::server {

struct DbError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class Database {
public:
    // Opens (creating when asked) the database file.
    Database(const std::string& path, bool create);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Runs statements that return nothing.
    void Exec(const char* sql);
    sqlite3* Handle() const { return mDb; }

private:
    sqlite3* mDb = nullptr;
};

class Statement {
public:
    Statement(Database& db, const char* sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Binds parameters from 1; the statement is reset first when it has run.
    Statement& Bind(int i, std::int64_t v);
    Statement& Bind(int i, std::string_view blob);
    // Steps once: true while a row is there.
    bool Step();
    // Runs to completion (changes).
    void Run();
    std::int64_t Int(int col) const;
    std::string Text(int col) const;
    std::string_view View(int col) const;
    void Reset();

private:
    sqlite3_stmt* mStmt = nullptr;
    sqlite3* mDb = nullptr;
    bool mDirty = false;
};

// BEGIN IMMEDIATE ... COMMIT; rolled back when not committed.
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    void Commit();

private:
    Database& mDb;
    bool mDone = false;
};

}  // namespace velt::server
