#!/usr/bin/env bash
# Compares what our reader gives for workbooks (binary .xlsb ones above all)
# with an independent reader, SheetJS (npm xlsx), which reads the binary
# record streams itself: sheet names and states, cell values, formula texts
# cell by cell, defined names and comments. SheetJS writes a few things its
# own way (no "=", external books as "[1]", newer functions with "_xlfn."):
# those are normalised or left out before comparing. Prints per-file counts,
# the first differing cells and the overall agreement.
#
#   bench/ooxml/compare_sheetjs.sh BUILD_DIR file.xlsb...
#
# SHEETJS_DIR (default /tmp/sheetjs) holds node_modules/xlsx; it is installed
# from npm when missing. Exit status: 0 when at least 99.5 % of the formulas
# both readers give agree, 3 otherwise, 2 a tool is missing.
set -euo pipefail
build=$(cd "$1" && pwd); shift
SHEETJS_DIR=${SHEETJS_DIR:-/tmp/sheetjs}
command -v node >/dev/null || { echo "compare_sheetjs: apt-get install -y nodejs npm" >&2; exit 2; }
if [ ! -d "$SHEETJS_DIR/node_modules/xlsx" ]; then
  mkdir -p "$SHEETJS_DIR"; (cd "$SHEETJS_DIR" && npm install --silent --no-audit --no-fund xlsx >/dev/null)
fi
work=$(mktemp -d /tmp/compare_sheetjs.XXXXXX)
trap 'rm -rf "$work"' EXIT
cat >"$work/compare.js" <<'JS'
const X = require(process.argv[2]);
const { execFileSync } = require("child_process");
const tabulon = process.argv[3];
const norm = f => String(f).replace(/^=/, "").replace(/_xl(fn|ws|pm|udf)\./gi, "");
// SheetJS leaves the negative offsets of a shared formula's relative
// references unwrapped ("AF1048601", "XFH25"): a reference off the grid is
// its fault, counted apart.
const colNumber = s => [...s].reduce((n, ch) => n * 26 + ch.charCodeAt(0) - 64, 0);
const offGrid = f => [...String(f).matchAll(/\$?([A-Z]{1,3})\$?(\d+)/g)].some(m => colNumber(m[1]) > 16384 || Number(m[2]) > 1048576);
const total = { sheetjsOffGrid: [0, 0], formulas: [0, 0], values: [0, 0], names: [0, 0], notes: [0, 0], sheets: [0, 0] };
const add = (k, ok) => { total[k][0] += ok ? 1 : 0; total[k][1] += 1; return ok; };
for (const path of process.argv.slice(4)) {
  let ours;
  try {
    ours = JSON.parse(execFileSync(tabulon, ["dump", "--json", path], { maxBuffer: 1 << 30, stdio: ["ignore", "pipe", "ignore"] }));
  } catch (e) { console.log(`${path}: ours refused`); continue; }
  let wb;
  try { wb = X.readFile(path, { cellFormula: true, cellNF: false }); }
  catch (e) { console.log(`${path}: SheetJS refused: ${String(e.message).slice(0, 100)}`); continue; }
  const before = JSON.parse(JSON.stringify(total));
  let shown = 0;
  const show = s => { if (shown++ < (process.env.SHOW ? 1e9 : 5)) console.log("  " + s); };
  const states = (wb.Workbook && wb.Workbook.Sheets) || [];
  const ourSheets = ours.sheets.filter(s => s.kind !== "chart");
  wb.SheetNames.forEach((name, i) => {
    const mine = ours.sheets.find(s => s.name === name);
    const hidden = states[i] ? states[i].Hidden || 0 : 0;
    const state = mine ? (mine.visible === -1 ? 0 : mine.visible === 0 ? 1 : 2) : -1;
    if (!add("sheets", mine && state === hidden)) show(`sheet ${name}: ours ${mine ? state : "missing"} SheetJS ${hidden}`);
  });
  for (const s of ourSheets) {
    const ws = wb.Sheets[s.name];
    if (!ws) continue;
    for (const c of s.cells) {
      const key = c.address.replace(/\$/g, "");
      const t = ws[key];
      if (!t) continue;
      if (typeof c.formula === "string" && c.formula.startsWith("=") && t.f) {
        if (/\[\d+\]/.test(t.f)) continue;  // an external book by number: we name it by path
        if (offGrid(t.f)) { add("sheetjsOffGrid", false); continue; }
        if (!add("formulas", norm(c.formula) === norm(t.f))) show(`${s.name}!${key}: ours ${c.formula} SheetJS =${t.f}`);
      }
      if (t.t === "n" && typeof c.value === "number") {
        if (!add("values", Math.abs(c.value - t.v) <= 1e-9 * Math.max(1, Math.abs(t.v)))) show(`${s.name}!${key}: ours ${c.value} SheetJS ${t.v}`);
      } else if (t.t === "s" && typeof c.value === "string") {
        if (!add("values", c.value === t.v)) show(`${s.name}!${key}: ours ${JSON.stringify(c.value)} SheetJS ${JSON.stringify(t.v)}`);
      } else if (t.t === "b" && typeof c.value === "boolean") {
        add("values", c.value === t.v);
      }
      if (t.c && t.c.length) {
        const theirs = t.c.map(x => x.t).join("");
        const mine = c.note || "";
        if (!add("notes", mine.replace(/\r/g, "") === theirs.replace(/\r/g, ""))) show(`note ${s.name}!${key}: ours ${JSON.stringify(mine)} SheetJS ${JSON.stringify(theirs)}`);
      }
    }
  }
  for (const n of ((wb.Workbook && wb.Workbook.Names) || [])) {
    if (!n.Ref || /\[\d+\]/.test(n.Ref)) continue;
    const sheet = n.Sheet !== undefined ? wb.SheetNames[n.Sheet] : undefined;
    // Ours names a sheet's own name with its sheet ("Sheet1!Print_Area"), as the object model does.
    const bare = n.Name.replace(/^_xlnm\./, "");
    const full = sheet === undefined ? bare : sheet + "!" + bare;
    const mine = ours.names.find(m => m.name.replace(/'/g, "") === full.replace(/'/g, ""));
    if (!add("names", mine && norm(mine.refersTo) === norm(n.Ref))) show(`name ${n.Name}: ours ${mine ? mine.refersTo : "missing"} SheetJS =${n.Ref}`);
  }
  const d = k => `${total[k][0] - before[k][0]}/${total[k][1] - before[k][1]}`;
  console.log(`${path}: sheets ${d("sheets")}, values ${d("values")}, formulas ${d("formulas")}, names ${d("names")}, notes ${d("notes")} agree`);
}
const pct = k => total[k][1] ? (100 * total[k][0] / total[k][1]).toFixed(2) : "100.00";
console.log("");
for (const k of Object.keys(total)) console.log(`all ${k}: ${total[k][0]}/${total[k][1]} agree (${pct(k)} %)`);
process.exit(Number(pct("formulas")) >= 99.5 ? 0 : 3);
JS
node "$work/compare.js" "$SHEETJS_DIR/node_modules/xlsx" "$build/src/cli/tabulon" "$@"
