// What a SQLite handle needs before it holds or reads the host's tables:
// the collation "TSQL" (case-insensitive for every letter, accented ones
// included, and blind to trailing blanks, as the host's server compares
// text) and the functions the translated statements call. Every handle that
// creates, fills or queries a host database registers them first.
#pragma once

struct sqlite3;

namespace zelmora {

// Returns SQLITE_OK or the first SQLite error code met.
int RegisterTsqlExtensions(sqlite3* db);

}  // namespace zelmora
