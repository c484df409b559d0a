#pragma once
// The reset statements: before an analysis writes, it empties each of its
// tables with one of these texts, run through Database::execute. They keep the
// dialect the users' tooling and the help texts know ("delete * from T;");
// the store translates them.
#include <array>

namespace tabulon::store::reset {

inline constexpr const char* XlTitle = "delete * from T_XlTitle;";
inline constexpr const char* XlHyousi = "delete * from T_XlHyousi;";
inline constexpr const char* XlBook = "delete * from T_XlBook;";
inline constexpr const char* XlObject = "delete * from T_XlObject;";
inline constexpr const char* XlLink = "delete * from T_XlLink;";
inline constexpr const char* XlCalc = "delete * from T_XlCalc;";
inline constexpr const char* XlProcName = "delete * from T_XlProcName;";
inline constexpr const char* XlDimCall = "delete * from T_XlDimCall;";
inline constexpr const char* XlSource = "delete * from T_XlSource;";
inline constexpr const char* XlShape = "delete * from T_XlShape;";
inline constexpr const char* XlName = "delete * from T_XlName;";
inline constexpr const char* XlFile = "delete * from T_XlFile;";
inline constexpr const char* XlModStep = "delete * from T_XlModStep;";
inline constexpr const char* XlComment = "delete * from T_XlComment;";
inline constexpr const char* XlAddin = "delete * from T_XlAddin;";
inline constexpr const char* XlHensu = "delete * from T_XlHensu;";
inline constexpr const char* XlLinkModule = "delete * from T_XlLinkModule;";
inline constexpr const char* XlSaveFlag = "delete * from T_XlSaveFlag;";

inline constexpr std::array<const char*, 18> all = {
    XlTitle, XlHyousi, XlBook,      XlObject,  XlLink,    XlCalc,
    XlProcName, XlDimCall, XlSource, XlShape,  XlName,    XlFile,
    XlModStep, XlComment, XlAddin,  XlHensu,   XlLinkModule, XlSaveFlag};

}  // namespace tabulon::store::reset

namespace tabulon::store {

// Every table an analysis database must hold, in the order above.
inline constexpr std::array<const char*, 18> analysisTables = {
    "T_XlTitle",  "T_XlHyousi", "T_XlBook",   "T_XlObject",  "T_XlLink",
    "T_XlCalc",   "T_XlProcName", "T_XlDimCall", "T_XlSource", "T_XlShape",
    "T_XlName",   "T_XlFile",   "T_XlModStep", "T_XlComment", "T_XlAddin",
    "T_XlHensu",  "T_XlLinkModule", "T_XlSaveFlag"};

}  // namespace tabulon::store
