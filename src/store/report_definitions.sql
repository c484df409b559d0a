-- Report definitions. Each report is rows, not code: Z_Report says what kind
-- of page it is (list, source listing or free page), its paper orientation and
-- the query that feeds it; Z_ReportColumn lays out the columns of a list or a
-- source listing, Z_ReportField places the texts of a free page. The engine
-- prints T_XlTitle.FileName in the running header of every framed page.
--
-- Z_Report
--   Kind          list | source | free
--   Orientation   portrait | landscape (A4)
--   SourceSql     the rows, in printing order; JA_KANA is the Japanese
--                 syllabary collation the engine registers on the connection
--   GroupField    result column: a group heading when its text changes
--                 (source listings: the module)
--   GroupCaption  text printed before the group key
--   SubGroupField source listings: the procedure of a line
--   TextColumns   source listings: 1 or 2 text columns per page
--   FontPt        body font size in points
--   PageFrame     1: running header and page footer; 0: the bare page
--   LeadReport    a report printed first, on the same paper and page count
--                 (the object list opens with the book's data and links)
-- Z_ReportColumn (lists; for a source listing position 1 is the line number,
-- position 2 the source text)
--   Width         share of the printable width (relative weight)
--   Align         L | C | R
--   Overflow      wrap (inside the column) | ellipsis (cut to one line)
--   Format        '' | int | kb | date | datetime | bool
-- Z_ReportField (free pages; millimetres from the top-left corner of the paper)
--   Field         result column, or NULL for a fixed caption
--   Frame         0 none, 1 box, 2 underline
--   Vertical      1: written top to bottom

CREATE TABLE Z_Report (
  "Name" TEXT PRIMARY KEY,
  "Title" TEXT NOT NULL,
  "Kind" TEXT NOT NULL CHECK ("Kind" IN ('list', 'source', 'free')),
  "Orientation" TEXT NOT NULL CHECK ("Orientation" IN ('portrait', 'landscape')),
  "SourceSql" TEXT NOT NULL,
  "GroupField" TEXT,
  "GroupCaption" TEXT,
  "SubGroupField" TEXT,
  "TextColumns" INTEGER NOT NULL DEFAULT 1,
  "FontPt" DOUBLE NOT NULL DEFAULT 8,
  "PageFrame" INTEGER NOT NULL DEFAULT 1,
  "LeadReport" TEXT REFERENCES Z_Report ("Name")
);

CREATE TABLE Z_ReportColumn (
  "Report" TEXT NOT NULL REFERENCES Z_Report ("Name"),
  "Position" INTEGER NOT NULL,
  "Caption" TEXT NOT NULL,
  "Field" TEXT NOT NULL,
  "Width" DOUBLE NOT NULL,
  "Align" TEXT NOT NULL DEFAULT 'L',
  "Overflow" TEXT NOT NULL DEFAULT 'ellipsis',
  "Format" TEXT NOT NULL DEFAULT '',
  PRIMARY KEY ("Report", "Position")
);

CREATE TABLE Z_ReportField (
  "Report" TEXT NOT NULL REFERENCES Z_Report ("Name"),
  "Position" INTEGER NOT NULL,
  "Field" TEXT,
  "Caption" TEXT,
  "X" DOUBLE NOT NULL,
  "Y" DOUBLE NOT NULL,
  "W" DOUBLE NOT NULL,
  "H" DOUBLE NOT NULL,
  "FontPt" DOUBLE NOT NULL DEFAULT 10,
  "Bold" INTEGER NOT NULL DEFAULT 0,
  "Align" TEXT NOT NULL DEFAULT 'L',
  "Frame" INTEGER NOT NULL DEFAULT 0,
  "Vertical" INTEGER NOT NULL DEFAULT 0,
  PRIMARY KEY ("Report", "Position")
);


-- R_XlHyousi: cover page
INSERT INTO Z_Report VALUES ('R_XlHyousi', '表紙', 'free', 'portrait',
  'SELECT "SysTitle", "SysName", "Company", "Bumon", "Auther", "CreateDate" FROM T_XlHyousi ORDER BY "ID" LIMIT 1',
  NULL, NULL, NULL, 1, 8, 0, NULL);
INSERT INTO Z_ReportField VALUES ('R_XlHyousi', 1, NULL, NULL, 25, 70, 160, 0.1, 10, 0, 'C', 2, 0);
INSERT INTO Z_ReportField VALUES ('R_XlHyousi', 2, 'SysTitle', NULL, 20, 80, 170, 44, 26, 1, 'C', 0, 0);
INSERT INTO Z_ReportField VALUES ('R_XlHyousi', 3, NULL, NULL, 25, 125, 160, 0.1, 10, 0, 'C', 2, 0);
INSERT INTO Z_ReportField VALUES ('R_XlHyousi', 4, 'SysName', NULL, 20, 132, 170, 22, 16, 0, 'C', 0, 0);
INSERT INTO Z_ReportField VALUES ('R_XlHyousi', 5, NULL, '会社名', 52, 200, 26, 10, 12, 0, 'L', 0, 0);
INSERT INTO Z_ReportField VALUES ('R_XlHyousi', 6, 'Company', NULL, 80, 200, 80, 10, 12, 0, 'L', 2, 0);
INSERT INTO Z_ReportField VALUES ('R_XlHyousi', 7, NULL, '部署名', 52, 213, 26, 10, 12, 0, 'L', 0, 0);
INSERT INTO Z_ReportField VALUES ('R_XlHyousi', 8, 'Bumon', NULL, 80, 213, 80, 10, 12, 0, 'L', 2, 0);
INSERT INTO Z_ReportField VALUES ('R_XlHyousi', 9, NULL, '作成者', 52, 226, 26, 10, 12, 0, 'L', 0, 0);
INSERT INTO Z_ReportField VALUES ('R_XlHyousi', 10, 'Auther', NULL, 80, 226, 80, 10, 12, 0, 'L', 2, 0);
INSERT INTO Z_ReportField VALUES ('R_XlHyousi', 11, NULL, '作成日', 52, 239, 26, 10, 12, 0, 'L', 0, 0);
INSERT INTO Z_ReportField VALUES ('R_XlHyousi', 12, 'CreateDate', NULL, 80, 239, 80, 10, 12, 0, 'L', 2, 0);

-- R_XlHyousiH: binder spine label, written top to bottom
INSERT INTO Z_Report VALUES ('R_XlHyousiH', 'ラベル(縦)', 'free', 'portrait',
  'SELECT "SysTitle", "SysName", "Company", "Bumon", "Auther", "CreateDate" FROM T_XlHyousi ORDER BY "ID" LIMIT 1',
  NULL, NULL, NULL, 1, 8, 0, NULL);
INSERT INTO Z_ReportField VALUES ('R_XlHyousiH', 1, NULL, NULL, 90, 20, 30, 257, 10, 0, 'C', 1, 0);
INSERT INTO Z_ReportField VALUES ('R_XlHyousiH', 2, 'SysTitle', NULL, 90, 28, 30, 158, 18, 1, 'C', 0, 1);
INSERT INTO Z_ReportField VALUES ('R_XlHyousiH', 3, NULL, NULL, 94, 190, 22, 0.1, 10, 0, 'C', 2, 0);
INSERT INTO Z_ReportField VALUES ('R_XlHyousiH', 4, 'SysName', NULL, 90, 193, 30, 42, 10, 0, 'C', 0, 1);
INSERT INTO Z_ReportField VALUES ('R_XlHyousiH', 5, 'Company', NULL, 90, 237, 30, 39, 8, 0, 'C', 0, 1);

-- R_XlHyousiW: binder front label
INSERT INTO Z_Report VALUES ('R_XlHyousiW', 'ラベル(横)', 'free', 'landscape',
  'SELECT "SysTitle", "SysName", "Company", "Bumon", "Auther", "CreateDate" FROM T_XlHyousi ORDER BY "ID" LIMIT 1',
  NULL, NULL, NULL, 1, 8, 0, NULL);
INSERT INTO Z_ReportField VALUES ('R_XlHyousiW', 1, NULL, NULL, 58.5, 35, 180, 140, 10, 0, 'C', 1, 0);
INSERT INTO Z_ReportField VALUES ('R_XlHyousiW', 2, 'SysTitle', NULL, 63, 45, 170, 42, 24, 1, 'C', 0, 0);
INSERT INTO Z_ReportField VALUES ('R_XlHyousiW', 3, NULL, NULL, 73, 90, 150, 0.1, 10, 0, 'C', 2, 0);
INSERT INTO Z_ReportField VALUES ('R_XlHyousiW', 4, 'SysName', NULL, 63, 95, 170, 16, 14, 0, 'C', 0, 0);
INSERT INTO Z_ReportField VALUES ('R_XlHyousiW', 5, NULL, '会社名', 88, 122, 22, 8.5, 10.5, 0, 'L', 0, 0);
INSERT INTO Z_ReportField VALUES ('R_XlHyousiW', 6, 'Company', NULL, 112, 122, 95, 8.5, 10.5, 0, 'L', 2, 0);
INSERT INTO Z_ReportField VALUES ('R_XlHyousiW', 7, NULL, '部署名', 88, 133, 22, 8.5, 10.5, 0, 'L', 0, 0);
INSERT INTO Z_ReportField VALUES ('R_XlHyousiW', 8, 'Bumon', NULL, 112, 133, 95, 8.5, 10.5, 0, 'L', 2, 0);
INSERT INTO Z_ReportField VALUES ('R_XlHyousiW', 9, NULL, '作成者', 88, 144, 22, 8.5, 10.5, 0, 'L', 0, 0);
INSERT INTO Z_ReportField VALUES ('R_XlHyousiW', 10, 'Auther', NULL, 112, 144, 95, 8.5, 10.5, 0, 'L', 2, 0);
INSERT INTO Z_ReportField VALUES ('R_XlHyousiW', 11, NULL, '作成日', 88, 155, 22, 8.5, 10.5, 0, 'L', 0, 0);
INSERT INTO Z_ReportField VALUES ('R_XlHyousiW', 12, 'CreateDate', NULL, 112, 155, 95, 8.5, 10.5, 0, 'L', 2, 0);

-- R_XlBook: file data and document properties as item/value rows, then the links
INSERT INTO Z_Report VALUES ('R_XlBook', 'ブック情報', 'list', 'portrait',
  'SELECT Section, Item, Value FROM (SELECT 1 AS s, "ID" AS r, 1 AS n, ''ブック情報'' AS Section, ''ブックNo'' AS Item, "BookNo" AS Value FROM T_XlBook UNION ALL SELECT 1 AS s, "ID" AS r, 2 AS n, ''ブック情報'' AS Section, ''ファイル名'' AS Item, "XFileName" AS Value FROM T_XlBook UNION ALL SELECT 1 AS s, "ID" AS r, 3 AS n, ''ブック情報'' AS Section, ''ファイルサイズ(KB)'' AS Item, printf(''%.1f'', "FileSize") AS Value FROM T_XlBook UNION ALL SELECT 1 AS s, "ID" AS r, 4 AS n, ''ブック情報'' AS Section, ''タイトル'' AS Item, "Title" AS Value FROM T_XlBook UNION ALL SELECT 1 AS s, "ID" AS r, 5 AS n, ''ブック情報'' AS Section, ''サブタイトル'' AS Item, "SubTitle" AS Value FROM T_XlBook UNION ALL SELECT 1 AS s, "ID" AS r, 6 AS n, ''ブック情報'' AS Section, ''作成者'' AS Item, "Auther" AS Value FROM T_XlBook UNION ALL SELECT 1 AS s, "ID" AS r, 7 AS n, ''ブック情報'' AS Section, ''キーワード'' AS Item, "Keywords" AS Value FROM T_XlBook UNION ALL SELECT 1 AS s, "ID" AS r, 8 AS n, ''ブック情報'' AS Section, ''コメント'' AS Item, "Comments" AS Value FROM T_XlBook UNION ALL SELECT 1 AS s, "ID" AS r, 9 AS n, ''ブック情報'' AS Section, ''最終保存者'' AS Item, "LastAuther" AS Value FROM T_XlBook UNION ALL SELECT 1 AS s, "ID" AS r, 10 AS n, ''ブック情報'' AS Section, ''更新日時'' AS Item, replace(replace(substr("UpdateDate", 1, 16), ''-'', ''/''), ''T'', '' '') AS Value FROM T_XlBook UNION ALL SELECT 1 AS s, "ID" AS r, 11 AS n, ''ブック情報'' AS Section, ''最終印刷日時'' AS Item, replace(replace(substr("PrintDate", 1, 16), ''-'', ''/''), ''T'', '' '') AS Value FROM T_XlBook UNION ALL SELECT 1 AS s, "ID" AS r, 12 AS n, ''ブック情報'' AS Section, ''作成日時'' AS Item, replace(replace(substr("CreateDate", 1, 16), ''-'', ''/''), ''T'', '' '') AS Value FROM T_XlBook UNION ALL SELECT 1 AS s, "ID" AS r, 13 AS n, ''ブック情報'' AS Section, ''分類'' AS Item, "Category" AS Value FROM T_XlBook UNION ALL SELECT 1 AS s, "ID" AS r, 14 AS n, ''ブック情報'' AS Section, ''管理者'' AS Item, "Manager" AS Value FROM T_XlBook UNION ALL SELECT 1 AS s, "ID" AS r, 15 AS n, ''ブック情報'' AS Section, ''会社名'' AS Item, "Company" AS Value FROM T_XlBook UNION ALL SELECT 1 AS s, "ID" AS r, 16 AS n, ''ブック情報'' AS Section, ''ハイパーリンクの基点'' AS Item, "Hyperlink" AS Value FROM T_XlBook UNION ALL SELECT 1 AS s, "ID" AS r, 17 AS n, ''ブック情報'' AS Section, ''情報区分'' AS Item, CASE "Label" WHEN 1 THEN ''ブック情報'' WHEN 2 THEN ''オブジェクト情報(簡易)'' WHEN 3 THEN ''オブジェクト情報(詳細)'' ELSE "Label" END AS Value FROM T_XlBook UNION ALL SELECT 2, "ID", "LinkNo", ''リンク情報'', ''リンク'' || "LinkNo" || '' ('' || COALESCE("LinkType", '''') || '')'', "LinkMoto" FROM T_XlLink) ORDER BY s, r, n',
  'Section', '', NULL, 1, 9, 1, NULL);
INSERT INTO Z_ReportColumn VALUES ('R_XlBook', 1, '項目', 'Item', 28, 'L', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlBook', 2, '内容', 'Value', 72, 'L', 'wrap', '');

-- R_XlObject: the book's data and links first, then one row per sheet and module
INSERT INTO Z_Report VALUES ('R_XlObject', 'オブジェクト情報', 'list', 'landscape',
  'SELECT "BookNo", "objectNo", "Class", "objectName", "Row", "Col", "CellCount", "ErrCount", "ShapeCount", "CalCount", CASE "StVisible" WHEN -1 THEN ''表示'' WHEN 0 THEN ''非表示'' WHEN 2 THEN ''完全非表示'' ELSE "StVisible" END AS "StVisible", "ComentCount", CASE WHEN "Class" = ''ﾜｰｸｼｰﾄ'' THEN ''シート'' ELSE ''モジュール'' END AS Grp FROM T_XlObject ORDER BY "objectNo", "ID"',
  'Grp', '', NULL, 1, 8, 1, 'R_XlBook');
INSERT INTO Z_ReportColumn VALUES ('R_XlObject', 1, 'ブック
No', 'BookNo', 6, 'R', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlObject', 2, 'No', 'objectNo', 5, 'R', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlObject', 3, '種別', 'Class', 12, 'L', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlObject', 4, 'オブジェクト名', 'objectName', 30, 'L', 'wrap', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlObject', 5, '行数', 'Row', 8, 'R', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlObject', 6, '列数', 'Col', 8, 'R', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlObject', 7, 'セル数', 'CellCount', 9, 'R', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlObject', 8, 'エラー数', 'ErrCount', 8, 'R', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlObject', 9, '図形数', 'ShapeCount', 8, 'R', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlObject', 10, '数式数', 'CalCount', 8, 'R', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlObject', 11, '表示状態', 'StVisible', 8, 'C', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlObject', 12, 'コメント数', 'ComentCount', 9, 'R', 'ellipsis', '');

-- R_XlCalc: formulas (the formula list without comments)
INSERT INTO Z_Report VALUES ('R_XlCalc', '数式一覧', 'list', 'landscape',
  'SELECT CASE "Label" WHEN 1 THEN ''数式'' WHEN 2 THEN ''コメント'' WHEN 3 THEN ''両方'' WHEN 9 THEN ''リンク先'' ELSE "Label" END AS Kind, "SheetMei", "objectNo", "StCell", "CalcName", "NoteName", "objectNo" || ''. '' || COALESCE("SheetMei", '''') AS Grp FROM T_XlCalc ORDER BY "ID"',
  'Grp', 'シート ', NULL, 1, 8, 1, NULL);
INSERT INTO Z_ReportColumn VALUES ('R_XlCalc', 1, '区分', 'Kind', 7, 'C', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlCalc', 2, 'シートNo', 'objectNo', 6, 'R', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlCalc', 3, 'セル', 'StCell', 8, 'L', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlCalc', 4, '数式', 'CalcName', 110, 'L', 'wrap', '');

-- R_XlCalcNote: formulas and cell comments (notes)
INSERT INTO Z_Report VALUES ('R_XlCalcNote', '数式・セルコメント一覧', 'list', 'landscape',
  'SELECT CASE "Label" WHEN 1 THEN ''数式'' WHEN 2 THEN ''コメント'' WHEN 3 THEN ''両方'' WHEN 9 THEN ''リンク先'' ELSE "Label" END AS Kind, "SheetMei", "objectNo", "StCell", "CalcName", "NoteName", "objectNo" || ''. '' || COALESCE("SheetMei", '''') AS Grp FROM T_XlCalc ORDER BY "ID"',
  'Grp', 'シート ', NULL, 1, 8, 1, NULL);
INSERT INTO Z_ReportColumn VALUES ('R_XlCalcNote', 1, '区分', 'Kind', 7, 'C', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlCalcNote', 2, 'シートNo', 'objectNo', 6, 'R', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlCalcNote', 3, 'セル', 'StCell', 8, 'L', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlCalcNote', 4, '数式', 'CalcName', 50, 'L', 'wrap', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlCalcNote', 5, 'セルコメント', 'NoteName', 60, 'L', 'wrap', '');

-- R_XlCalcLink: the link-destination search, the cells whose formulas refer to the chosen linked workbook
INSERT INTO Z_Report VALUES ('R_XlCalcLink', 'リンク先セル一覧', 'list', 'landscape',
  'SELECT "SheetMei", "objectNo", "StCell", "CalcName", "objectNo" || ''. '' || COALESCE("SheetMei", '''') AS Grp FROM T_XlCalc ORDER BY "ID"',
  'Grp', 'シート ', NULL, 1, 8, 1, NULL);
INSERT INTO Z_ReportColumn VALUES ('R_XlCalcLink', 1, 'シートNo', 'objectNo', 6, 'R', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlCalcLink', 2, 'セル', 'StCell', 8, 'L', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlCalcLink', 3, 'リンクを含む数式', 'CalcName', 117, 'L', 'wrap', '');

-- R_XlShape
INSERT INTO Z_Report VALUES ('R_XlShape', '図形・コントロール一覧', 'list', 'landscape',
  'SELECT "objectNo", "SheetName", "ControlName", "ShapeName", "ShapeType", "IbentType", "MacroName", "ForeColor", "LineStyle", "TextName", CASE "Label" WHEN 1 THEN ''マクロ'' WHEN 2 THEN ''全て'' WHEN 3 THEN ''ｺﾒﾝﾄ除く'' ELSE "Label" END AS Sel, "objectNo" || ''. '' || COALESCE("SheetName", '''') AS Grp FROM T_XlShape ORDER BY "ID"',
  'Grp', 'シート ', NULL, 1, 8, 1, NULL);
INSERT INTO Z_ReportColumn VALUES ('R_XlShape', 1, 'シート
No', 'objectNo', 7, 'R', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlShape', 2, 'コントロール名', 'ControlName', 16, 'L', 'wrap', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlShape', 3, '図形名', 'ShapeName', 16, 'L', 'wrap', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlShape', 4, '種類', 'ShapeType', 11, 'L', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlShape', 5, 'イベント', 'IbentType', 7, 'C', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlShape', 6, 'マクロ名', 'MacroName', 20, 'L', 'wrap', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlShape', 7, '塗りつぶし色', 'ForeColor', 10, 'L', 'ellipsis', 'color');
INSERT INTO Z_ReportColumn VALUES ('R_XlShape', 8, '線種', 'LineStyle', 10, 'L', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlShape', 9, 'テキスト', 'TextName', 28, 'L', 'wrap', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlShape', 10, '選択', 'Sel', 7, 'C', 'ellipsis', '');

-- R_XlName
INSERT INTO Z_Report VALUES ('R_XlName', '名前定義一覧', 'list', 'portrait',
  'SELECT "LabelName", "SheetMei", "StCell" FROM T_XlName ORDER BY "ID"',
  NULL, NULL, NULL, 1, 9, 1, NULL);
INSERT INTO Z_ReportColumn VALUES ('R_XlName', 1, '名前', 'LabelName', 35, 'L', 'wrap', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlName', 2, 'シート名', 'SheetMei', 30, 'L', 'wrap', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlName', 3, 'セル範囲', 'StCell', 35, 'L', 'wrap', '');

-- R_XlFile
INSERT INTO Z_Report VALUES ('R_XlFile', 'ファイル一覧', 'list', 'landscape',
  'SELECT "FileNo", "XFileName", "FileSize", "UpdateDate", "FilePath", "ReadOnly" FROM T_XlFile ORDER BY "ID"',
  NULL, NULL, NULL, 1, 8, 1, NULL);
INSERT INTO Z_ReportColumn VALUES ('R_XlFile', 1, 'No', 'FileNo', 5, 'R', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlFile', 2, 'ファイル名', 'XFileName', 32, 'L', 'wrap', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlFile', 3, 'サイズ(KB)', 'FileSize', 10, 'R', 'ellipsis', 'kb');
INSERT INTO Z_ReportColumn VALUES ('R_XlFile', 4, '更新日時', 'UpdateDate', 13, 'C', 'ellipsis', 'datetime');
INSERT INTO Z_ReportColumn VALUES ('R_XlFile', 5, 'フォルダ', 'FilePath', 48, 'L', 'wrap', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlFile', 6, '読取専用', 'ReadOnly', 7, 'C', 'ellipsis', 'bool');

-- R_XlAddin
INSERT INTO Z_Report VALUES ('R_XlAddin', 'アドイン一覧', 'list', 'landscape',
  'SELECT "FileNo", "Name", "FullName", "Title", "Installed", "objectName", "FileSize", "UpdateDate", "ReadOnly", "FilePath" FROM T_XlAddin ORDER BY "ID"',
  'objectName', 'シート ', NULL, 1, 8, 1, NULL);
INSERT INTO Z_ReportColumn VALUES ('R_XlAddin', 1, 'No', 'FileNo', 5, 'R', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlAddin', 2, 'アドイン名', 'Name', 16, 'L', 'wrap', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlAddin', 3, 'フルパス', 'FullName', 32, 'L', 'wrap', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlAddin', 4, 'タイトル', 'Title', 18, 'L', 'wrap', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlAddin', 5, '組込', 'Installed', 5, 'C', 'ellipsis', 'bool');
INSERT INTO Z_ReportColumn VALUES ('R_XlAddin', 6, 'サイズ(KB)', 'FileSize', 9, 'R', 'ellipsis', 'kb');
INSERT INTO Z_ReportColumn VALUES ('R_XlAddin', 7, '更新日時', 'UpdateDate', 13, 'C', 'ellipsis', 'datetime');
INSERT INTO Z_ReportColumn VALUES ('R_XlAddin', 8, '読取専用', 'ReadOnly', 7, 'C', 'ellipsis', 'bool');
INSERT INTO Z_ReportColumn VALUES ('R_XlAddin', 9, 'フォルダ', 'FilePath', 25, 'L', 'wrap', '');

-- R_ModuleList: procedures module by module, each followed by its declarations and calls
INSERT INTO Z_Report VALUES ('R_ModuleList', 'プロシージャ一覧', 'list', 'landscape',
  'SELECT * FROM (SELECT p."objectNo" AS o, p."ProcedureNo" AS pn, 0 AS k, 0 AS ln, p."ID" AS rid, COALESCE(p."ProcedureName", p."Object") AS SortName, p."objectNo" || ''. '' || COALESCE(p."objectName", '''') AS Grp, p."objectName" AS Module, p."ProcedureNo" AS No, COALESCE(p."ProcedureName", p."Object") AS Name, p."PrivatePublic" AS Scope, p."Object" AS Kind, p."Type" AS PType, CASE p."DimCall" WHEN 0 THEN ''0 手続き'' WHEN 1 THEN ''1 Global'' WHEN 2 THEN ''2 Public'' WHEN 3 THEN ''3 Private'' WHEN 4 THEN ''4 Dim'' WHEN 5 THEN ''5 Const'' WHEN 6 THEN ''6 Call'' ELSE p."DimCall" END AS DimCall, p."Parameters" AS Params, p."As" AS Ret FROM T_XlProcName p UNION ALL SELECT d."objectNo", d."ProcedureNo", 1, d."Line", d."ID", (SELECT COALESCE(q."ProcedureName", q."Object") FROM T_XlProcName q WHERE q."objectNo" = d."objectNo" AND q."ProcedureNo" = d."ProcedureNo" ORDER BY q."ID" LIMIT 1), d."objectNo" || ''. '' || COALESCE((SELECT q."objectName" FROM T_XlProcName q WHERE q."objectNo" = d."objectNo" ORDER BY q."ID" LIMIT 1), ''''), (SELECT q."objectName" FROM T_XlProcName q WHERE q."objectNo" = d."objectNo" ORDER BY q."ID" LIMIT 1), NULL, '' └ '' || COALESCE(d."Bunrui", '''') || ''（'' || d."Line" || ''行）'', d."Type", NULL, NULL, CASE d."DimCall" WHEN 0 THEN ''0 手続き'' WHEN 1 THEN ''1 Global'' WHEN 2 THEN ''2 Public'' WHEN 3 THEN ''3 Private'' WHEN 4 THEN ''4 Dim'' WHEN 5 THEN ''5 Const'' WHEN 6 THEN ''6 Call'' ELSE d."DimCall" END, d."Parameters", d."As" FROM T_XlDimCall d) ORDER BY o, pn, k, ln, rid',
  'Grp', 'モジュール ', NULL, 1, 8, 1, NULL);
INSERT INTO Z_ReportColumn VALUES ('R_ModuleList', 1, 'No', 'No', 4, 'R', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_ModuleList', 2, 'プロシージャ名', 'Name', 22, 'L', 'wrap', '');
INSERT INTO Z_ReportColumn VALUES ('R_ModuleList', 3, 'スコープ', 'Scope', 8, 'L', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_ModuleList', 4, '種別', 'Kind', 11, 'L', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_ModuleList', 5, '種類', 'PType', 11, 'L', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_ModuleList', 6, '区分
コード', 'DimCall', 8, 'L', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_ModuleList', 7, 'パラメータ / 宣言・呼出内容', 'Params', 31, 'L', 'wrap', '');
INSERT INTO Z_ReportColumn VALUES ('R_ModuleList', 8, '戻り値の型 / コメント', 'Ret', 18, 'L', 'wrap', '');

-- R_ModuleList50: procedures in Japanese syllabary order of their names
INSERT INTO Z_Report VALUES ('R_ModuleList50', 'プロシージャ一覧（五十音順）', 'list', 'landscape',
  'SELECT * FROM (SELECT p."objectNo" AS o, p."ProcedureNo" AS pn, 0 AS k, 0 AS ln, p."ID" AS rid, COALESCE(p."ProcedureName", p."Object") AS SortName, p."objectNo" || ''. '' || COALESCE(p."objectName", '''') AS Grp, p."objectName" AS Module, p."ProcedureNo" AS No, COALESCE(p."ProcedureName", p."Object") AS Name, p."PrivatePublic" AS Scope, p."Object" AS Kind, p."Type" AS PType, CASE p."DimCall" WHEN 0 THEN ''0 手続き'' WHEN 1 THEN ''1 Global'' WHEN 2 THEN ''2 Public'' WHEN 3 THEN ''3 Private'' WHEN 4 THEN ''4 Dim'' WHEN 5 THEN ''5 Const'' WHEN 6 THEN ''6 Call'' ELSE p."DimCall" END AS DimCall, p."Parameters" AS Params, p."As" AS Ret FROM T_XlProcName p UNION ALL SELECT d."objectNo", d."ProcedureNo", 1, d."Line", d."ID", (SELECT COALESCE(q."ProcedureName", q."Object") FROM T_XlProcName q WHERE q."objectNo" = d."objectNo" AND q."ProcedureNo" = d."ProcedureNo" ORDER BY q."ID" LIMIT 1), d."objectNo" || ''. '' || COALESCE((SELECT q."objectName" FROM T_XlProcName q WHERE q."objectNo" = d."objectNo" ORDER BY q."ID" LIMIT 1), ''''), (SELECT q."objectName" FROM T_XlProcName q WHERE q."objectNo" = d."objectNo" ORDER BY q."ID" LIMIT 1), NULL, '' └ '' || COALESCE(d."Bunrui", '''') || ''（'' || d."Line" || ''行）'', d."Type", NULL, NULL, CASE d."DimCall" WHEN 0 THEN ''0 手続き'' WHEN 1 THEN ''1 Global'' WHEN 2 THEN ''2 Public'' WHEN 3 THEN ''3 Private'' WHEN 4 THEN ''4 Dim'' WHEN 5 THEN ''5 Const'' WHEN 6 THEN ''6 Call'' ELSE d."DimCall" END, d."Parameters", d."As" FROM T_XlDimCall d) ORDER BY SortName COLLATE JA_KANA, o, pn, k, ln, rid',
  NULL, NULL, NULL, 1, 8, 1, NULL);
INSERT INTO Z_ReportColumn VALUES ('R_ModuleList50', 1, 'モジュール', 'Module', 14, 'L', 'wrap', '');
INSERT INTO Z_ReportColumn VALUES ('R_ModuleList50', 2, 'プロシージャ名', 'Name', 22, 'L', 'wrap', '');
INSERT INTO Z_ReportColumn VALUES ('R_ModuleList50', 3, 'スコープ', 'Scope', 8, 'L', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_ModuleList50', 4, '種別', 'Kind', 11, 'L', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_ModuleList50', 5, '種類', 'PType', 14, 'L', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_ModuleList50', 6, '区分
コード', 'DimCall', 8, 'L', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_ModuleList50', 7, 'パラメータ / 宣言・呼出内容', 'Params', 28, 'L', 'wrap', '');
INSERT INTO Z_ReportColumn VALUES ('R_ModuleList50', 8, '戻り値の型 / コメント', 'Ret', 18, 'L', 'wrap', '');

-- R_SourceList: two-column listing
INSERT INTO Z_Report VALUES ('R_SourceList', 'ソースリスト', 'source', 'landscape',
  'SELECT "Label", "objectNo", "ProcedureNo", "Line", "objectName", COALESCE("ProcedureName", '''') AS ProcedureName, "Procedure", CASE "Label" WHEN 1 THEN ''標準モジュール'' WHEN 2 THEN ''クラスモジュール'' WHEN 3 THEN ''フォームモジュール'' WHEN 4 THEN ''ブックモジュール'' WHEN 5 THEN ''シートモジュール'' ELSE ''モジュール'' END || ''：'' || COALESCE("objectName", '''') AS Module FROM T_XlSource ORDER BY "ID"',
  'Module', '', 'ProcedureName', 2, 7.5, 1, NULL);
INSERT INTO Z_ReportColumn VALUES ('R_SourceList', 1, '行', 'Line', 6, 'R', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_SourceList', 2, 'ソース', 'Procedure', 94, 'L', 'wrap', '');

-- R_SourceList50: two-column listing, modules in syllabary order
INSERT INTO Z_Report VALUES ('R_SourceList50', 'ソースリスト（五十音順）', 'source', 'landscape',
  'SELECT "Label", "objectNo", "ProcedureNo", "Line", "objectName", COALESCE("ProcedureName", '''') AS ProcedureName, "Procedure", CASE "Label" WHEN 1 THEN ''標準モジュール'' WHEN 2 THEN ''クラスモジュール'' WHEN 3 THEN ''フォームモジュール'' WHEN 4 THEN ''ブックモジュール'' WHEN 5 THEN ''シートモジュール'' ELSE ''モジュール'' END || ''：'' || COALESCE("objectName", '''') AS Module FROM T_XlSource ORDER BY "objectName" COLLATE JA_KANA, "objectNo", "ID"',
  'Module', '', 'ProcedureName', 2, 7.5, 1, NULL);
INSERT INTO Z_ReportColumn VALUES ('R_SourceList50', 1, '行', 'Line', 6, 'R', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_SourceList50', 2, 'ソース', 'Procedure', 94, 'L', 'wrap', '');

-- R_SourceList1: one-column listing
INSERT INTO Z_Report VALUES ('R_SourceList1', 'ソースリスト', 'source', 'portrait',
  'SELECT "Label", "objectNo", "ProcedureNo", "Line", "objectName", COALESCE("ProcedureName", '''') AS ProcedureName, "Procedure", CASE "Label" WHEN 1 THEN ''標準モジュール'' WHEN 2 THEN ''クラスモジュール'' WHEN 3 THEN ''フォームモジュール'' WHEN 4 THEN ''ブックモジュール'' WHEN 5 THEN ''シートモジュール'' ELSE ''モジュール'' END || ''：'' || COALESCE("objectName", '''') AS Module FROM T_XlSource ORDER BY "ID"',
  'Module', '', 'ProcedureName', 1, 8, 1, NULL);
INSERT INTO Z_ReportColumn VALUES ('R_SourceList1', 1, '行', 'Line', 6, 'R', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_SourceList1', 2, 'ソース', 'Procedure', 94, 'L', 'wrap', '');

-- R_SourceList150: one-column listing, modules in syllabary order
INSERT INTO Z_Report VALUES ('R_SourceList150', 'ソースリスト（五十音順）', 'source', 'portrait',
  'SELECT "Label", "objectNo", "ProcedureNo", "Line", "objectName", COALESCE("ProcedureName", '''') AS ProcedureName, "Procedure", CASE "Label" WHEN 1 THEN ''標準モジュール'' WHEN 2 THEN ''クラスモジュール'' WHEN 3 THEN ''フォームモジュール'' WHEN 4 THEN ''ブックモジュール'' WHEN 5 THEN ''シートモジュール'' ELSE ''モジュール'' END || ''：'' || COALESCE("objectName", '''') AS Module FROM T_XlSource ORDER BY "objectName" COLLATE JA_KANA, "objectNo", "ID"',
  'Module', '', 'ProcedureName', 1, 8, 1, NULL);
INSERT INTO Z_ReportColumn VALUES ('R_SourceList150', 1, '行', 'Line', 6, 'R', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_SourceList150', 2, 'ソース', 'Procedure', 94, 'L', 'wrap', '');

-- R_XlModStep: counts per section, with a total per module and for all modules
INSERT INTO Z_Report VALUES ('R_XlModStep', 'ステップ数一覧', 'list', 'portrait',
  'SELECT Grp, "Object", "objectNo", "ProcedureNo", "objectName", "ProcedureName", "ComentCnt", "SpaceCnt", "ProcCnt", "TotalCnt" FROM ( SELECT 0 AS t, "objectNo" AS o, "ID" AS rid, "Object" || ''：'' || COALESCE("objectName", '''') AS Grp, "Object", "objectNo", "ProcedureNo", "objectName", "ProcedureName", "ComentCnt", "SpaceCnt", "ProcCnt", "TotalCnt" FROM T_XlModStep UNION ALL SELECT 0, "objectNo", 9223372036854775807, MIN("Object") || ''：'' || COALESCE(MIN("objectName"), ''''), NULL, NULL, NULL, NULL, ''（モジュール計）'', SUM("ComentCnt"), SUM("SpaceCnt"), SUM("ProcCnt"), SUM("TotalCnt") FROM T_XlModStep GROUP BY "objectNo" UNION ALL SELECT 1, 0, 0, ''全モジュール'', NULL, NULL, NULL, NULL, ''（合計）'', SUM("ComentCnt"), SUM("SpaceCnt"), SUM("ProcCnt"), SUM("TotalCnt") FROM T_XlModStep HAVING COUNT(*) > 0 ) ORDER BY t, o, rid',
  'Grp', '', NULL, 1, 8.5, 1, NULL);
INSERT INTO Z_ReportColumn VALUES ('R_XlModStep', 1, '種別', 'Object', 13, 'L', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlModStep', 2, 'No', 'objectNo', 5, 'R', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlModStep', 3, '節No', 'ProcedureNo', 5, 'R', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlModStep', 4, 'プロシージャ名', 'ProcedureName', 33, 'L', 'wrap', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlModStep', 5, 'コメント行', 'ComentCnt', 9, 'R', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlModStep', 6, '空白行', 'SpaceCnt', 9, 'R', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlModStep', 7, 'コード行', 'ProcCnt', 9, 'R', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlModStep', 8, '合計行', 'TotalCnt', 9, 'R', 'ellipsis', '');

-- R_XlComment
INSERT INTO Z_Report VALUES ('R_XlComment', 'コードコメント一覧', 'list', 'portrait',
  'SELECT "Object", "objectNo", "ProcedureNo", "objectName", "ProcedureName", "Comment", "Object" || ''：'' || COALESCE("objectName", '''') AS Grp FROM T_XlComment ORDER BY "ID"',
  'Grp', '', NULL, 1, 8, 1, NULL);
INSERT INTO Z_ReportColumn VALUES ('R_XlComment', 1, 'No', 'ProcedureNo', 6, 'R', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlComment', 2, 'プロシージャ名', 'ProcedureName', 24, 'L', 'wrap', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlComment', 3, 'コメント', 'Comment', 70, 'L', 'wrap', '');

-- R_XlHensuU
INSERT INTO Z_Report VALUES ('R_XlHensuU', '定義型一覧', 'list', 'landscape',
  'SELECT "objectNo", "ProcedureNo", "objectName", "ProcedureName", "HensuName", "Property", "Bunrui", "Type", "Line", "Description" FROM T_XlHensu WHERE "Bunrui" = ''定義'' ORDER BY "ID"',
  'objectName', 'モジュール ', NULL, 1, 8, 1, NULL);
INSERT INTO Z_ReportColumn VALUES ('R_XlHensuU', 1, 'モジュール
No', 'objectNo', 8, 'R', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlHensuU', 2, 'プロシージャ
No', 'ProcedureNo', 9, 'R', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlHensuU', 3, 'プロシージャ名', 'ProcedureName', 16, 'L', 'wrap', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlHensuU', 4, '名前', 'HensuName', 21, 'L', 'wrap', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlHensuU', 5, 'スコープ', 'Property', 8, 'L', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlHensuU', 6, '分類', 'Bunrui', 6, 'C', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlHensuU', 7, '型 / 値', 'Type', 20, 'L', 'wrap', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlHensuU', 8, '行', 'Line', 6, 'R', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlHensuU', 9, '説明', 'Description', 24, 'L', 'wrap', '');

-- R_XlHensuT
INSERT INTO Z_Report VALUES ('R_XlHensuT', '定数一覧', 'list', 'landscape',
  'SELECT "objectNo", "ProcedureNo", "objectName", "ProcedureName", "HensuName", "Property", "Bunrui", "Type", "Line", "Description" FROM T_XlHensu WHERE "Bunrui" = ''定数'' ORDER BY "ID"',
  'objectName', 'モジュール ', NULL, 1, 8, 1, NULL);
INSERT INTO Z_ReportColumn VALUES ('R_XlHensuT', 1, 'モジュール
No', 'objectNo', 8, 'R', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlHensuT', 2, 'プロシージャ
No', 'ProcedureNo', 9, 'R', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlHensuT', 3, 'プロシージャ名', 'ProcedureName', 16, 'L', 'wrap', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlHensuT', 4, '名前', 'HensuName', 21, 'L', 'wrap', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlHensuT', 5, 'スコープ', 'Property', 8, 'L', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlHensuT', 6, '分類', 'Bunrui', 6, 'C', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlHensuT', 7, '型 / 値', 'Type', 20, 'L', 'wrap', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlHensuT', 8, '行', 'Line', 6, 'R', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlHensuT', 9, '説明', 'Description', 24, 'L', 'wrap', '');

-- R_XlHensuH
INSERT INTO Z_Report VALUES ('R_XlHensuH', '変数一覧', 'list', 'landscape',
  'SELECT "objectNo", "ProcedureNo", "objectName", "ProcedureName", "HensuName", "Property", "Bunrui", "Type", "Line", "Description" FROM T_XlHensu WHERE "Bunrui" = ''変数'' ORDER BY "ID"',
  'objectName', 'モジュール ', NULL, 1, 8, 1, NULL);
INSERT INTO Z_ReportColumn VALUES ('R_XlHensuH', 1, 'モジュール
No', 'objectNo', 8, 'R', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlHensuH', 2, 'プロシージャ
No', 'ProcedureNo', 9, 'R', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlHensuH', 3, 'プロシージャ名', 'ProcedureName', 16, 'L', 'wrap', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlHensuH', 4, '名前', 'HensuName', 21, 'L', 'wrap', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlHensuH', 5, 'スコープ', 'Property', 8, 'L', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlHensuH', 6, '分類', 'Bunrui', 6, 'C', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlHensuH', 7, '型 / 値', 'Type', 20, 'L', 'wrap', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlHensuH', 8, '行', 'Line', 6, 'R', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlHensuH', 9, '説明', 'Description', 24, 'L', 'wrap', '');

-- R_XlLinkProc: citing lines grouped by the cited procedure
INSERT INTO Z_Report VALUES ('R_XlLinkProc', '引用先一覧', 'list', 'portrait',
  'SELECT "objectNo", "ProcedureNo", "objectName", "Procedure", "LinkProcedure", "MotoName", COALESCE("LinkProcedure", '''') || ''（'' || COALESCE("MotoName", '''') || ''）'' AS Grp FROM T_XlLinkModule ORDER BY "ProcedureNo", "ID"',
  'Grp', '呼び出されるプロシージャ: ', NULL, 1, 8, 1, NULL);
INSERT INTO Z_ReportColumn VALUES ('R_XlLinkProc', 1, 'モジュール
No', 'objectNo', 10, 'R', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlLinkProc', 2, '引用元モジュール', 'objectName', 21, 'L', 'wrap', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlLinkProc', 3, '引用元プロシージャ', 'Procedure', 23, 'L', 'wrap', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlLinkProc', 4, '一覧位置', 'ProcedureNo', 8, 'R', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlLinkProc', 5, '引用先プロシージャ', 'LinkProcedure', 20, 'L', 'wrap', '');
INSERT INTO Z_ReportColumn VALUES ('R_XlLinkProc', 6, '定義モジュール', 'MotoName', 18, 'L', 'wrap', '');
