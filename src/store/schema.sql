-- The analysis tables. One table per analysis (two for the procedure list);
-- every command empties its tables and appends rows, so the row id below only
-- keeps the rows in the order in which the analysis found them.
--
-- Declared types are read back by the store (PRAGMA table_info) to convert and
-- check the values a command assigns:
--   TEXT(n)   text of at most n characters (UTF-16 units, as the program counts
--             them); a longer text is refused with error 3163.
--             255 is the ordinary limit. 65535 marks long texts: formulas,
--             document comments, source-derived texts that can run past 255
--             characters, paths (a Linux path may be far longer than 255) and
--             free texts typed by the user.
--   SMALLINT  16-bit whole number, INTEGER 32-bit, TINYINT byte
--   DOUBLE    floating point
--   DATETIME  date and time as ISO text (yyyy-MM-ddTHH:mm:ss, or yyyy-MM-dd)
--   BOOLEAN   0 or 1
-- No column has a default: a field that an analysis does not assign stays
-- empty (NULL), which the reports tell apart from 0 (a property procedure's
-- empty DimCall, a file whose read-only state could not be read).
-- A constraint named nonempty_<field> refuses the empty text (error 3315).
-- Field names such as As, Type, Row, Line and Object are SQL words: always
-- quote field names in statements.

CREATE TABLE T_XlTitle (
  "ID" INTEGER PRIMARY KEY,
  "FileName" TEXT(65535) CONSTRAINT nonempty_FileName CHECK ("FileName" <> '')
);

CREATE TABLE T_XlHyousi (
  "ID" INTEGER PRIMARY KEY,
  "SysTitle" TEXT(150),
  "SysName" TEXT(150),
  "Company" TEXT(150),
  "Bumon" TEXT(150),
  "Auther" TEXT(20),
  "CreateDate" TEXT(65535)
);

CREATE TABLE T_XlBook (
  "ID" INTEGER PRIMARY KEY,
  "BookNo" SMALLINT,
  "XFileName" TEXT(125),
  "FileSize" DOUBLE,
  "Title" TEXT(125),
  "SubTitle" TEXT(125),
  "Auther" TEXT(20),
  "Keywords" TEXT(50),
  "Comments" TEXT(65535),
  "LastAuther" TEXT(20),
  "UpdateDate" DATETIME,
  "PrintDate" DATETIME,
  "CreateDate" DATETIME,
  "Category" TEXT(30),
  "Manager" TEXT(20),
  "Company" TEXT(125),
  "Hyperlink" TEXT(65535),
  "Label" SMALLINT
);

CREATE TABLE T_XlObject (
  "ID" INTEGER PRIMARY KEY,
  "BookNo" SMALLINT,
  "objectNo" SMALLINT,
  "Class" TEXT(255),
  "objectName" TEXT(255),
  "Row" INTEGER,
  "Col" INTEGER,
  "CellCount" INTEGER,
  "ErrCount" SMALLINT,
  "ShapeCount" INTEGER,
  "CalCount" INTEGER,
  "StVisible" INTEGER,
  "ComentCount" INTEGER
);

CREATE TABLE T_XlLink (
  "ID" INTEGER PRIMARY KEY,
  "BookNo" SMALLINT,
  "LinkNo" SMALLINT,
  "LinkType" TEXT(255),
  "LinkMoto" TEXT(130)
);

-- Label: 1 formulas, 2 comments, 3 both, 9 link-destination search.
CREATE TABLE T_XlCalc (
  "ID" INTEGER PRIMARY KEY,
  "Label" SMALLINT,
  "SheetMei" TEXT(255),
  "objectNo" SMALLINT,
  "StCell" TEXT(255),
  "CalcName" TEXT(65535),
  "NoteName" TEXT(130)
);

CREATE TABLE T_XlShape (
  "ID" INTEGER PRIMARY KEY,
  "objectNo" SMALLINT,
  "SheetName" TEXT(255),
  "ControlName" TEXT(255),
  "ShapeName" TEXT(255),
  "ShapeType" TEXT(255),
  "IbentType" TEXT(255),
  "MacroName" TEXT(65535),
  "ForeColor" TEXT(255),
  "LineStyle" TEXT(255),
  "TextName" TEXT(65535),
  "Label" SMALLINT
);

CREATE TABLE T_XlName (
  "ID" INTEGER PRIMARY KEY,
  "LabelName" TEXT(255),
  -- the sheet part, or the whole RefersTo text of a name that is no range
  "SheetMei" TEXT(65535),
  "StCell" TEXT(255)
);

CREATE TABLE T_XlFile (
  "ID" INTEGER PRIMARY KEY,
  "FileNo" INTEGER,
  "XFileName" TEXT(255),
  "FileSize" DOUBLE,
  "UpdateDate" DATETIME,
  "FilePath" TEXT(65535),
  "ReadOnly" INTEGER
);

CREATE TABLE T_XlAddin (
  "ID" INTEGER PRIMARY KEY,
  "FileNo" INTEGER,
  "Name" TEXT(255),
  "FullName" TEXT(65535),
  "Title" TEXT(255),
  "Installed" BOOLEAN,
  "objectName" TEXT(255),
  "FileSize" DOUBLE,
  "UpdateDate" DATETIME,
  "ReadOnly" INTEGER,
  "FilePath" TEXT(65535)
);

-- One row per procedure header, plus a "(Declarations)" row per module in the
-- detailed list. "As" holds the rest of the header line behind the parameter
-- list, trailing comment included, so it is a long text.
CREATE TABLE T_XlProcName (
  "ID" INTEGER PRIMARY KEY,
  "objectNo" SMALLINT,
  "ProcedureNo" SMALLINT,
  "objectName" TEXT(255),
  "ProcedureName" TEXT(255),
  "PrivatePublic" TEXT(255),
  "Object" TEXT(255),
  "Type" TEXT(255),
  "DimCall" SMALLINT,
  "Parameters" TEXT(255),
  "As" TEXT(65535)
);

-- DimCall: 1 Global, 2 Public, 3 Private, 4 Dim, 5 Const, 6 Call.
-- Parameters runs up to the comment mark, wherever it stands in the statement.
CREATE TABLE T_XlDimCall (
  "ID" INTEGER PRIMARY KEY,
  "objectNo" SMALLINT,
  "ProcedureNo" SMALLINT,
  "Line" INTEGER,
  "DimCall" SMALLINT,
  "Bunrui" TEXT(255),
  "Type" TEXT(255),
  "As" TEXT(255),
  "Parameters" TEXT(65535)
);

-- Label: module kind code, 1 standard, 2 class, 3 form, 4 workbook, 5 sheet.
CREATE TABLE T_XlSource (
  "ID" INTEGER PRIMARY KEY,
  "Label" TINYINT,
  "objectNo" SMALLINT,
  "ProcedureNo" SMALLINT,
  "Line" INTEGER,
  "objectName" TEXT(255),
  "ProcedureName" TEXT(255),
  "Procedure" TEXT(255)
);

CREATE TABLE T_XlModStep (
  "ID" INTEGER PRIMARY KEY,
  "Object" TEXT(255),
  "objectNo" SMALLINT,
  "ProcedureNo" SMALLINT,
  "objectName" TEXT(255),
  "ProcedureName" TEXT(255),
  "ComentCnt" SMALLINT,
  "SpaceCnt" SMALLINT,
  "ProcCnt" SMALLINT,
  "TotalCnt" SMALLINT
);

CREATE TABLE T_XlComment (
  "ID" INTEGER PRIMARY KEY,
  "Object" TEXT(255),
  "objectNo" SMALLINT,
  "ProcedureNo" SMALLINT,
  "objectName" TEXT(255),
  "ProcedureName" TEXT(255),
  "Comment" TEXT(255)
);

-- HensuName and Type are cut from a source line up to its comment mark, which
-- may stand far to the right: long texts.
CREATE TABLE T_XlHensu (
  "ID" INTEGER PRIMARY KEY,
  "objectNo" SMALLINT,
  "ProcedureNo" SMALLINT,
  "objectName" TEXT(255),
  "ProcedureName" TEXT(255),
  "HensuName" TEXT(65535),
  "Property" TEXT(255),
  "Bunrui" TEXT(255),
  "Type" TEXT(65535),
  "Line" INTEGER,
  "Description" TEXT(255)
);

CREATE TABLE T_XlLinkModule (
  "ID" INTEGER PRIMARY KEY,
  "objectNo" SMALLINT,
  "ProcedureNo" SMALLINT,
  "objectName" TEXT(255),
  "Procedure" TEXT(255),
  "LinkProcedure" TEXT(255),
  "MotoName" TEXT(255)
);

-- One row in a saved results file: the analysis-done marks (0 = the table does
-- not hold a result of the saved workbook), the source list's column option
-- and the cover texts exactly as typed (so long texts).
CREATE TABLE T_XlSaveFlag (
  "ID" INTEGER PRIMARY KEY,
  "ObjName" TEXT(255),
  "fObj" SMALLINT,
  "fCel" SMALLINT,
  "fPrc" SMALLINT,
  "fSoc" SMALLINT,
  "fShp" SMALLINT,
  "fDim" SMALLINT,
  "fFil" SMALLINT,
  "fCom" SMALLINT,
  "fNam" SMALLINT,
  "fAdd" SMALLINT,
  "fSocS" SMALLINT,
  "fCrs" SMALLINT,
  "mCs" SMALLINT,
  "mSs" SMALLINT,
  "Title" TEXT(65535),
  "System" TEXT(65535),
  "Company" TEXT(65535),
  "Bumon" TEXT(65535),
  "Auther" TEXT(65535),
  "CreateDate" TEXT(65535)
);
