#pragma once

#include <exception>
#include <string>

#include <SQLiteCpp/Database.h>

namespace kivo {

// SQLite's error code of an exception (SQLITE_ERROR for one that is not SQLite's).
int ErrorCode(const std::exception& e);
// Whether another connection holds the lock the statement needed.
bool IsBusy(const std::exception& e);

// What is wrong with the file header fields that SQLite trusts without checking them all: a damaged schema
// format number makes it ignore DESC in the orders (the skill orders then come out ascending), and a stray
// incremental-vacuum flag makes later reads fail. Empty when sound (or not yet written: a new file keeps
// its first page in the journal). Read through the connection's own file, under a read lock; a lock held
// by another process is thrown on.
std::string HeaderProblem(SQLite::Database& db);

} // namespace kivo
