#pragma once
// Every table an analysis database must hold. A file without all of them is
// some other SQLite file, and a results file of an older format gets those it
// lacks added empty.
#include <array>

namespace tabulon::store {

inline constexpr std::array<const char*, 18> analysisTables = {
    "T_XlTitle",  "T_XlHyousi", "T_XlBook",   "T_XlObject",  "T_XlLink",
    "T_XlCalc",   "T_XlProcName", "T_XlDimCall", "T_XlSource", "T_XlShape",
    "T_XlName",   "T_XlFile",   "T_XlModStep", "T_XlComment", "T_XlAddin",
    "T_XlHensu",  "T_XlLinkModule", "T_XlSaveFlag"};

}  // namespace tabulon::store
