#pragma once
// SQLite failures as the error numbers the rest of the system reports.
#include "common/Error.h"
#include <QString>

struct sqlite3;

namespace tabulon::store {

namespace err {
constexpr int Generic = 3000;          // any other engine failure
constexpr int NoCurrentRecord = 3020;  // update or set without addNew
constexpr int ReadOnly = 3027;
constexpr int TableNotFound = 3078;
constexpr int FieldNotUpdatable = 3164;
constexpr int AlreadyExists = 3204;
constexpr int RecordLocked = 3260;
constexpr int ItemNotFound = 3265;     // unknown field name
constexpr int ObjectClosed = 3420;     // a closed table written to
constexpr int ConversionFailed = 3421;
}  // namespace err

// The error for a failed call on db that returned rc; context names what was
// being done (a table, a statement) for the description.
Error sqlError(sqlite3* db, int rc, const QString& context);

}  // namespace tabulon::store
