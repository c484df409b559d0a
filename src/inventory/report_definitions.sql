-- The estate summary: reports of the report engine (see the store's
-- report_definitions.sql for the meaning of the fields). They are added to a
-- scratch analysis database that has the estate database attached as
-- "estate", so their queries read estate.*; the running header is the
-- estate's file name.

-- R_EstateTotals: the estate in figures
INSERT INTO Z_Report VALUES ('R_EstateTotals', '資産目録　集計', 'list', 'portrait',
  'SELECT Item, Count FROM (
     SELECT 1 AS Ord, ''ブック（読み取れたもの）'' AS Item, COUNT(*) AS Count FROM estate.file WHERE kind = ''workbook'' AND vanished_at IS NULL
     UNION ALL SELECT 2, ''読み取れなかったブック'', COUNT(*) FROM estate.file WHERE kind = ''failed'' AND vanished_at IS NULL
     UNION ALL SELECT 3, ''VBA のあるブック'', COUNT(*) FROM estate.file WHERE vba = 1 AND vanished_at IS NULL
     UNION ALL SELECT 4, ''自動実行マクロのあるブック'', COUNT(*) FROM estate.file WHERE autorun_macros > 0 AND vanished_at IS NULL
     UNION ALL SELECT 5, ''ロックされた VBA プロジェクト'', COUNT(*) FROM estate.file WHERE vba_locked = 1 AND vanished_at IS NULL
     UNION ALL SELECT 6, ''外部リンクのあるブック'', COUNT(*) FROM estate.file WHERE external_links > 0 AND vanished_at IS NULL
     UNION ALL SELECT 7, ''ボタン・図形にマクロのあるブック'', COUNT(*) FROM estate.file WHERE shapes_with_macros > 0 AND vanished_at IS NULL
     UNION ALL SELECT 8, ''暗号化されたブック'', COUNT(*) FROM estate.file WHERE encrypted = 1 AND vanished_at IS NULL
     UNION ALL SELECT 9, ''ブック以外のファイル'', COUNT(*) FROM estate.file WHERE kind = ''other'' AND vanished_at IS NULL
     UNION ALL SELECT 10, ''なくなったファイル'', COUNT(*) FROM estate.file WHERE vanished_at IS NOT NULL
     UNION ALL SELECT 11, ''数式のあるセル'', COALESCE(SUM(formula_cells), 0) FROM estate.file WHERE vanished_at IS NULL
     UNION ALL SELECT 12, ''VBA モジュール'', COALESCE(SUM(vba_modules), 0) FROM estate.file WHERE vanished_at IS NULL
     UNION ALL SELECT 13, ''VBA の行'', COALESCE(SUM(vba_lines), 0) FROM estate.file WHERE vanished_at IS NULL)
   ORDER BY Ord',
  NULL, NULL, NULL, 1, 10, 1, NULL);
INSERT INTO Z_ReportColumn VALUES ('R_EstateTotals', 1, '項目', 'Item', 60, 'L', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_EstateTotals', 2, '件数', 'Count', 25, 'R', 'ellipsis', 'int');

-- R_EstateFormats: workbooks by format and by the age of their last change
INSERT INTO Z_Report VALUES ('R_EstateFormats', '形式・更新からの年数別のブック数', 'list', 'landscape',
  'SELECT Format, SUM(age < 365) AS Y1, SUM(age >= 365 AND age < 1096) AS Y3,
          SUM(age >= 1096 AND age < 1826) AS Y5, SUM(age >= 1826 AND age < 3653) AS Y10,
          SUM(age >= 3653) AS Older, COUNT(*) AS Total, SUM(kind = ''failed'') AS Failed
   FROM (SELECT COALESCE(format, ''（不明）'') AS Format, kind,
                julianday(''now'') - julianday(mtime / 1000000000, ''unixepoch'') AS age
         FROM estate.file WHERE kind <> ''other'' AND vanished_at IS NULL)
   GROUP BY Format ORDER BY Total DESC, Format',
  NULL, NULL, NULL, 1, 9, 1, NULL);
INSERT INTO Z_ReportColumn VALUES ('R_EstateFormats', 1, '形式', 'Format', 20, 'L', 'ellipsis', '');
INSERT INTO Z_ReportColumn VALUES ('R_EstateFormats', 2, '1年未満', 'Y1', 11, 'R', 'ellipsis', 'int');
INSERT INTO Z_ReportColumn VALUES ('R_EstateFormats', 3, '1〜3年', 'Y3', 11, 'R', 'ellipsis', 'int');
INSERT INTO Z_ReportColumn VALUES ('R_EstateFormats', 4, '3〜5年', 'Y5', 11, 'R', 'ellipsis', 'int');
INSERT INTO Z_ReportColumn VALUES ('R_EstateFormats', 5, '5〜10年', 'Y10', 11, 'R', 'ellipsis', 'int');
INSERT INTO Z_ReportColumn VALUES ('R_EstateFormats', 6, '10年以上', 'Older', 11, 'R', 'ellipsis', 'int');
INSERT INTO Z_ReportColumn VALUES ('R_EstateFormats', 7, '合計', 'Total', 11, 'R', 'ellipsis', 'int');
INSERT INTO Z_ReportColumn VALUES ('R_EstateFormats', 8, 'うち読み取れず', 'Failed', 14, 'R', 'ellipsis', 'int');

-- R_EstateAutorun: the procedures and names that run without a click
INSERT INTO Z_Report VALUES ('R_EstateAutorun', '自動実行マクロのあるブック', 'list', 'landscape',
  'SELECT f.path AS Path, COALESCE(x.place, '''') AS Place, x.name AS Name,
          CASE x.target WHEN ''open'' THEN ''開いたとき'' WHEN ''close'' THEN ''閉じるとき''
               WHEN ''activate'' THEN ''アクティブになったとき'' WHEN ''deactivate'' THEN ''アクティブでなくなったとき''
               ELSE ''イベント'' END AS Occasion
   FROM estate.finding x JOIN estate.file f ON f.id = x.file_id
   WHERE x.kind = ''autorun'' AND f.vanished_at IS NULL ORDER BY f.path, x.id',
  'Path', 'ブック: ', NULL, 1, 9, 1, NULL);
INSERT INTO Z_ReportColumn VALUES ('R_EstateAutorun', 1, 'モジュール・シート', 'Place', 30, 'L', 'wrap', '');
INSERT INTO Z_ReportColumn VALUES ('R_EstateAutorun', 2, 'プロシージャ・名前', 'Name', 40, 'L', 'wrap', '');
INSERT INTO Z_ReportColumn VALUES ('R_EstateAutorun', 3, '動くとき', 'Occasion', 30, 'L', 'ellipsis', '');

-- R_EstateLocked: VBA projects locked for viewing
INSERT INTO Z_Report VALUES ('R_EstateLocked', 'ロックされた VBA プロジェクト', 'list', 'landscape',
  'SELECT path AS Path, vba_modules AS Modules, autorun_macros AS Autorun,
          strftime(''%Y-%m-%d'', mtime / 1000000000, ''unixepoch'') AS Changed
   FROM estate.file WHERE vba_locked = 1 AND vanished_at IS NULL ORDER BY path',
  NULL, NULL, NULL, 1, 9, 1, NULL);
INSERT INTO Z_ReportColumn VALUES ('R_EstateLocked', 1, 'ブック', 'Path', 70, 'L', 'wrap', '');
INSERT INTO Z_ReportColumn VALUES ('R_EstateLocked', 2, 'モジュール数', 'Modules', 10, 'R', 'ellipsis', 'int');
INSERT INTO Z_ReportColumn VALUES ('R_EstateLocked', 3, '更新日', 'Changed', 12, 'L', 'ellipsis', '');

-- R_EstateLinked: the workbooks most linked to
INSERT INTO Z_Report VALUES ('R_EstateLinked', 'リンク先として多く参照されるブック', 'list', 'landscape',
  'SELECT to_path AS Target, COUNT(DISTINCT from_path) AS Sources,
          CASE WHEN MAX(to_found) = 1 THEN ''あり'' ELSE ''なし'' END AS Found
   FROM estate.inventory_links GROUP BY to_path ORDER BY Sources DESC, Target LIMIT 200',
  NULL, NULL, NULL, 1, 9, 1, NULL);
INSERT INTO Z_ReportColumn VALUES ('R_EstateLinked', 1, 'リンク先', 'Target', 72, 'L', 'wrap', '');
INSERT INTO Z_ReportColumn VALUES ('R_EstateLinked', 2, '参照元のブック数', 'Sources', 14, 'R', 'ellipsis', 'int');
INSERT INTO Z_ReportColumn VALUES ('R_EstateLinked', 3, '目録内に', 'Found', 10, 'C', 'ellipsis', '');

-- R_EstateDupModules: one module's code in more than one workbook
INSERT INTO Z_Report VALUES ('R_EstateDupModules', '複数のブックにある同じモジュール', 'list', 'landscape',
  'SELECT ''コード '' || substr(m.code_sha256, 1, 12) || ''（'' || d.books || '' ブック、'' || COALESCE(m.lines, 0) || '' 行）'' AS Code,
          f.path AS Path, m.name AS Module
   FROM estate.module m JOIN estate.file f ON f.id = m.file_id
   JOIN (SELECT mm.code_sha256, COUNT(DISTINCT mm.file_id) AS books
         FROM estate.module mm JOIN estate.file ff ON ff.id = mm.file_id
         WHERE mm.code_sha256 IS NOT NULL AND ff.vanished_at IS NULL
         GROUP BY mm.code_sha256 HAVING COUNT(DISTINCT mm.file_id) > 1) d ON d.code_sha256 = m.code_sha256
   WHERE f.vanished_at IS NULL ORDER BY d.books DESC, m.code_sha256, f.path, m.position',
  'Code', '', NULL, 1, 9, 1, NULL);
INSERT INTO Z_ReportColumn VALUES ('R_EstateDupModules', 1, 'ブック', 'Path', 72, 'L', 'wrap', '');
INSERT INTO Z_ReportColumn VALUES ('R_EstateDupModules', 2, 'モジュール', 'Module', 28, 'L', 'wrap', '');

-- R_EstateFailures: what could not be read, and why
INSERT INTO Z_Report VALUES ('R_EstateFailures', '読み取れなかったファイル・フォルダ', 'list', 'landscape',
  'SELECT path AS Path, error AS Reason, COALESCE(error_detail, '''') AS Detail
   FROM estate.file WHERE kind = ''failed'' AND vanished_at IS NULL
   UNION ALL
   SELECT path, reason, '''' FROM estate.walk_problem
   WHERE run_id IN (SELECT MAX(id) FROM estate.run WHERE mode <> ''merge'' GROUP BY mode, scope)
   ORDER BY 1',
  NULL, NULL, NULL, 1, 8, 1, NULL);
INSERT INTO Z_ReportColumn VALUES ('R_EstateFailures', 1, 'ファイル・フォルダ', 'Path', 40, 'L', 'wrap', '');
INSERT INTO Z_ReportColumn VALUES ('R_EstateFailures', 2, '理由', 'Reason', 30, 'L', 'wrap', '');
INSERT INTO Z_ReportColumn VALUES ('R_EstateFailures', 3, '詳細', 'Detail', 30, 'L', 'wrap', '');
