#pragma once
// The SQL texts compiled into the library (see CMakeLists.txt).

namespace tabulon::inventory {

// The estate database's tables and views, as one script.
const char* schemaSql();
// The summary's reports, as rows of the report engine's definition tables.
const char* reportDefinitionsSql();

}  // namespace tabulon::inventory
