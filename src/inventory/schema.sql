-- The estate database: one row per file the walk examined, with the facts of
-- the workbooks among them, and rows per finding. The tables may change from
-- one format version (PRAGMA user_version) to the next; the views
-- inventory_files and inventory_links keep their columns, so scripts read
-- those.
--
-- file.kind: 'workbook' read, 'failed' a workbook that could not be read
-- (error says why), 'other' a file that is no workbook (kept so that a
-- rescan need not open it again). mtime is in nanoseconds since the epoch,
-- compared exactly by the rescan. vanished_at is set when the file was gone
-- at a later run; its rows stay.

CREATE TABLE meta (
  key TEXT PRIMARY KEY,
  value TEXT NOT NULL
);

CREATE TABLE run (
  id INTEGER PRIMARY KEY,
  started TEXT NOT NULL,
  finished TEXT,
  host TEXT,
  mode TEXT NOT NULL,          -- roots | files | merge
  scope TEXT NOT NULL,         -- the roots, the list file and shard, or the merged parts
  files_seen INTEGER NOT NULL DEFAULT 0,
  files_read INTEGER NOT NULL DEFAULT 0,
  files_failed INTEGER NOT NULL DEFAULT 0,
  files_vanished INTEGER NOT NULL DEFAULT 0
);

-- Folders and files the walk could not enter or examine.
CREATE TABLE walk_problem (
  run_id INTEGER NOT NULL REFERENCES run (id) ON DELETE CASCADE,
  path TEXT NOT NULL,
  reason TEXT NOT NULL
);

CREATE TABLE file (
  id INTEGER PRIMARY KEY,
  path TEXT NOT NULL UNIQUE,
  size INTEGER NOT NULL,
  mtime INTEGER NOT NULL,
  kind TEXT NOT NULL CHECK (kind IN ('workbook', 'failed', 'other')),
  sha256 TEXT,
  format TEXT,                 -- BIFF8, BIFF5, BIFF2-4, OOXML, ...
  encrypted INTEGER,
  default_password INTEGER,    -- encrypted, and the well-known default password opened it
  vba INTEGER,
  vba_locked INTEGER,
  vba_error TEXT,              -- the project could not be read (the sheets could)
  worksheets INTEGER,
  chart_sheets INTEGER,
  macro_sheets INTEGER,        -- Excel 4 macro sheets
  dialog_sheets INTEGER,
  hidden_sheets INTEGER,
  very_hidden_sheets INTEGER,
  used_cells INTEGER,          -- cells holding a value or an error
  formula_cells INTEGER,
  notes INTEGER,
  defined_names INTEGER,
  external_links INTEGER,      -- link sources: other workbooks and DDE/OLE
  shapes_with_macros INTEGER,
  vba_modules INTEGER,
  vba_lines INTEGER,
  vba_procedures INTEGER,
  autorun_macros INTEGER,
  warnings INTEGER,            -- damaged records the reader skipped
  warning_text TEXT,
  read_ms INTEGER,
  error TEXT,                  -- why it could not be read, for the user
  error_detail TEXT,           -- the reader's technical detail
  scanned_at TEXT NOT NULL,
  run_id INTEGER,
  vanished_at TEXT
);

CREATE TABLE module (
  file_id INTEGER NOT NULL REFERENCES file (id) ON DELETE CASCADE,
  position INTEGER NOT NULL,   -- 1-based, in the project's order
  name TEXT NOT NULL,
  type TEXT NOT NULL,          -- standard | class | form | document
  lines INTEGER,               -- NULL while the project is locked
  code_lines INTEGER,
  procedures INTEGER,
  code_sha256 TEXT,            -- of the code without its export header; NULL without code
  PRIMARY KEY (file_id, position)
);
CREATE INDEX module_code ON module (code_sha256);

CREATE TABLE procedure (
  file_id INTEGER NOT NULL REFERENCES file (id) ON DELETE CASCADE,
  module_position INTEGER NOT NULL,
  position INTEGER NOT NULL,
  name TEXT NOT NULL,
  PRIMARY KEY (file_id, module_position, position)
);

-- kind: link (another workbook; target as the workbook stores it, resolved
-- here where it was relative), dde_ole ("server|topic"), autorun (name a
-- procedure or defined name that runs without a click, place its module or
-- sheet, target the occasion: open, close, activate, event), shape_macro
-- (place the sheet, name the shape, target the macro), addin (name an add-in
-- function or target an add-in file). target_file_id: the estate's file the
-- link leads to, when there is one; resolved_by says how it was matched.
CREATE TABLE finding (
  id INTEGER PRIMARY KEY,
  file_id INTEGER NOT NULL REFERENCES file (id) ON DELETE CASCADE,
  kind TEXT NOT NULL CHECK (kind IN ('link', 'dde_ole', 'autorun', 'shape_macro', 'addin')),
  place TEXT,
  name TEXT,
  target TEXT,
  target_file_id INTEGER REFERENCES file (id) ON DELETE SET NULL,
  resolved_by TEXT             -- path | name
);
CREATE INDEX finding_file ON finding (file_id);
CREATE INDEX finding_target ON finding (target_file_id);

-- One row per workbook present in the estate (read or failed).
CREATE VIEW inventory_files AS
SELECT path,
       size,
       strftime('%Y-%m-%dT%H:%M:%SZ', mtime / 1000000000, 'unixepoch') AS mtime,
       sha256,
       format,
       worksheets + chart_sheets + macro_sheets + dialog_sheets AS sheets,
       formula_cells,
       vba_modules,
       external_links,
       autorun_macros,
       error,
       encrypted,
       vba_locked,
       used_cells,
       notes,
       defined_names,
       shapes_with_macros,
       vba_lines,
       vba_procedures
FROM file
WHERE kind <> 'other' AND vanished_at IS NULL;

-- One row per link from a present workbook to another workbook.
CREATE VIEW inventory_links AS
SELECT f.path AS from_path,
       COALESCE(t.path, l.target) AS to_path,
       t.id IS NOT NULL AS to_found
FROM finding l
JOIN file f ON f.id = l.file_id
LEFT JOIN file t ON t.id = l.target_file_id AND t.vanished_at IS NULL
WHERE l.kind = 'link' AND f.vanished_at IS NULL;
