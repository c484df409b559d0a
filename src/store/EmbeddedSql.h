#pragma once
// The SQL texts compiled into the library (see CMakeLists.txt).

namespace tabulon::store {

// Every analysis table, as CREATE TABLE statements.
const char* schemaSql();
// The report definition tables and their rows.
const char* reportDefinitionsSql();

}  // namespace tabulon::store
