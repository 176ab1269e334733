// The database schema and its migrations. The schema version lives in SQLite's
// user_version; opening a database applies, in one transaction, the migrations it has
// not seen yet. A database newer than this program is refused.
#pragma once

#include "store/sqlite_db.h"

namespace orvenda::server {

int LatestSchemaVersion();
int SchemaVersion(SqliteDb& db);

// Brings the database to `target` (default: the latest version). Throws StoreError
// when the database is newer than `target` knows.
void Migrate(SqliteDb& db, int target = 0);

}  // namespace orvenda::server
