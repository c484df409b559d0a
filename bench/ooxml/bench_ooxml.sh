#!/bin/sh
# The Office Open XML reader's benchmark: the reader benchmark's workbook
# (SHEETS x ROWS x 5 cells, default 5 x 40,000 = 1,000,000 cells, every fifth
# a formula: 200,000) is written as .xls by bench/host's generator and as
# .xlsx with the same content by xlsx_from_workbook, and as .xlsb by the
# same generator, then loaded in one run by: our .xls, .xlsx and .xlsb loads
# (every cell's value and formula text walked), LibreOffice's headless load,
# openpyxl (Debian's python3-openpyxl; .xlsx only) and SheetJS (npm xlsx),
# the last two of both newer forms. Each tool keeps the best of RUNS runs
# (default 3); peak memory is the highest. Prints seconds, peak memory, the
# ratios and the targets: .xlsx within 3x our .xls load, 20x faster than
# openpyxl and SheetJS, 5x faster than LibreOffice, peak memory under 3x the
# unzipped sheets + 150 MB; .xlsb within 1.5x our .xls load and faster than
# our .xlsx load.
#
#   bench/ooxml/bench_ooxml.sh [BUILD_DIR] [WORK_DIR]
#
# Exit status: 0 targets met, 1 a program failed or read other counts, 2 a
# tool is missing, 3 a target missed.
set -eu
HERE=$(cd "$(dirname "$0")" && pwd)
BUILD=$(cd "${1:-$HERE/../../build}" && pwd)
WORK=${2:-/tmp/tabulon-ooxml-bench}
SHEETJS_DIR=${SHEETJS_DIR:-/tmp/sheetjs}
SHEETS=${SHEETS:-5}
ROWS=${ROWS:-40000}
RUNS=${RUNS:-3}
TIME=/usr/bin/time
PY=/usr/bin/python3

need() { command -v "$1" >/dev/null 2>&1 || { echo "bench_ooxml: $1 is missing ($2)" >&2; exit 2; }; }
need "$TIME" "apt-get install -y time"
need node "apt-get install -y nodejs npm"
need soffice "apt-get install -y libreoffice-calc-nogui"
$PY -c 'import openpyxl' 2>/dev/null || { echo "bench_ooxml: apt-get install -y python3-openpyxl" >&2; exit 2; }

cmake --build "$BUILD" --target make_large_workbook xlsx_from_workbook load_workbook -j2 >/dev/null
mkdir -p "$WORK"
cd "$WORK"
"$BUILD/bench/host/make_large_workbook" big.xls "$SHEETS" "$ROWS" >written.txt
"$BUILD/bench/ooxml/xlsx_from_workbook" big.xls big.xlsx
"$BUILD/bench/host/make_large_workbook" big.xlsb "$SHEETS" "$ROWS" >/dev/null
"$BUILD/bench/host/make_large_workbook" tiny.xls 2 10 >/dev/null
"$BUILD/bench/ooxml/xlsx_from_workbook" tiny.xls tiny.xlsx
"$BUILD/bench/host/make_large_workbook" tiny.xlsb 2 10 >/dev/null
UNZIPPED=$($PY -c 'import sys, zipfile; print(sum(i.file_size for i in zipfile.ZipFile(sys.argv[1]).infolist() if "worksheets/" in i.filename))' big.xlsx)

field() { awk -v tag="$2" -v key="$3=" '$1 == tag { for (i = 2; i <= NF; i++) if (index($i, key) == 1) { print substr($i, length(key) + 1); exit } }' "$1"; }
measure() { out=$1; shift; "$TIME" -f "%e %M" -o "$out.time" "$@" >"$out" 2>"$out.err"; }
min() { awk -v a="$1" -v b="${2:-$1}" 'BEGIN { print (a < b ? a : b) }'; }

# best time (field of the program's own timing line, else wall) and peak KB of RUNS runs
run_tool() {  # name timing-tag timing-key command...
  name=$1 tag=$2 key=$3; shift 3
  best=""; peak=0
  for i in $(seq "$RUNS"); do
    measure "$name.txt" "$@" || { cat "$name.txt.err" >&2; exit 1; }
    if [ -n "$tag" ]; then t=$(field "$name.txt" "$tag" "$key"); else t=$(cut -d' ' -f1 "$name.txt.time"); fi
    best=$(min "$t" "$best")
    kb=$(cut -d' ' -f2 "$name.txt.time"); [ "$kb" -gt "$peak" ] && peak=$kb
  done
  echo "$best $peak"
}

set -- $(run_tool xls timing total_s "$BUILD/bench/host/load_workbook" big.xls); XLS_S=$1 XLS_KB=$2
set -- $(run_tool xlsx timing total_s "$BUILD/bench/host/load_workbook" big.xlsx); XLSX_S=$1 XLSX_KB=$2
set -- $(run_tool xlsb timing total_s "$BUILD/bench/host/load_workbook" big.xlsb); XLSB_S=$1 XLSB_KB=$2
status=0
for key in cells formulas texts numbers; do
  a=$(field xls.txt loaded "$key")
  for form in xlsx xlsb; do
    b=$(field $form.txt loaded "$key")
    [ "$a" = "$b" ] || { echo "MISMATCH $key: .xls $a, .$form $b" >&2; status=1; }
  done
done

cat >openpyxl_load.py <<'PY'
import sys, time, openpyxl
t0 = time.perf_counter()
wb = openpyxl.load_workbook(sys.argv[1])
cells = formulas = 0
for ws in wb.worksheets:
    for row in ws.iter_rows():
        for c in row:
            if c.value is None: continue
            cells += 1
            if c.data_type == "f": formulas += 1
print(f"loaded cells={cells} formulas={formulas}")
print(f"timing total_s={time.perf_counter() - t0:.3f}")
PY
set -- $(run_tool openpyxl timing total_s $PY openpyxl_load.py big.xlsx); PYX_S=$1 PYX_KB=$2

if [ ! -d "$SHEETJS_DIR/node_modules/xlsx" ]; then
  mkdir -p "$SHEETJS_DIR"; (cd "$SHEETJS_DIR" && npm install --silent --no-audit --no-fund xlsx >/dev/null)
fi
cat >sheetjs_load.js <<'JS'
const X = require(process.argv[2]);
const t0 = process.hrtime.bigint();
const wb = X.readFile(process.argv[3], {cellFormula: true});
let cells = 0, formulas = 0;
for (const name of wb.SheetNames) { const s = wb.Sheets[name]; for (const k in s) { if (k[0] === '!') continue; cells++; if (s[k].f) formulas++; } }
console.log(`loaded cells=${cells} formulas=${formulas}`);
console.log(`timing total_s=${(Number(process.hrtime.bigint() - t0) / 1e9).toFixed(3)}`);
JS
set -- $(run_tool sheetjs timing total_s node sheetjs_load.js "$SHEETJS_DIR/node_modules/xlsx" big.xlsx); SJS_S=$1 SJS_KB=$2
set -- $(run_tool sheetjs-b timing total_s node sheetjs_load.js "$SHEETJS_DIR/node_modules/xlsx" big.xlsb); SJSB_S=$1 SJSB_KB=$2

LO="soffice -env:UserInstallation=file://$WORK/lo-profile --headless --convert-to csv --outdir lo-out"
$LO tiny.xlsx >/dev/null 2>&1 || true
set -- $(run_tool lo-tiny "" "" $LO tiny.xlsx); LO_BASE=$1
set -- $(run_tool lo "" "" $LO big.xlsx); LO_WALL=$1 LO_KB=$2
LO_S=$(awk -v a="$LO_WALL" -v b="$LO_BASE" 'BEGIN { d = a - b; printf "%.2f", d < 0.01 ? 0.01 : d }')
$LO tiny.xlsb >/dev/null 2>&1 || true
set -- $(run_tool lo-tiny-b "" "" $LO tiny.xlsb); LOB_BASE=$1
set -- $(run_tool lo-b "" "" $LO big.xlsb); LOB_WALL=$1 LOB_KB=$2
LOB_S=$(awk -v a="$LOB_WALL" -v b="$LOB_BASE" 'BEGIN { d = a - b; printf "%.2f", d < 0.01 ? 0.01 : d }')

awk -v xs="$XLS_S" -v xk="$XLS_KB" -v os="$XLSX_S" -v ok="$XLSX_KB" -v ps="$PYX_S" -v pk="$PYX_KB" \
    -v ss="$SJS_S" -v sk="$SJS_KB" -v ls="$LO_S" -v lk="$LO_KB" -v lb="$LO_BASE" -v unz="$UNZIPPED" -v runs="$RUNS" \
    -v bs="$XLSB_S" -v bk="$XLSB_KB" -v sbs="$SJSB_S" -v sbk="$SJSB_KB" -v lbs="$LOB_S" -v lbk="$LOB_KB" \
    -v load="$(uptime | sed 's/.*load average: //')" 'BEGIN {
  if (os < 0.001) os = 0.001
  limit = 3 * unz / 1048576 + 150
  printf "\nworkbook: 1,000,000 cells, 200,000 formulas; unzipped sheets %.1f MB; machine load %s\n", unz / 1048576, load
  printf "%-26s %10s %10s %12s\n", "tool (best of " runs ")", "load s", "peak MB", "vs ours .xlsx"
  printf "%-26s %10.3f %10.1f %11.2fx\n", "tabulon .xls", xs, xk / 1024, xs / os
  printf "%-26s %10.3f %10.1f %12s\n", "tabulon .xlsx", os, ok / 1024, "1.00x"
  printf "%-26s %10.3f %10.1f %11.1fx\n", "openpyxl", ps, pk / 1024, ps / os
  printf "%-26s %10.3f %10.1f %11.1fx\n", "SheetJS cellFormula", ss, sk / 1024, ss / os
  printf "%-26s %10.3f %10.1f %11.1fx\n", "LibreOffice headless", ls, lk / 1024, ls / os
  printf "%-26s %10.3f %10.1f %11.2fx\n", "tabulon .xlsb", bs, bk / 1024, bs / os
  printf "%-26s %10.3f %10.1f %11.1fx\n", "SheetJS cellFormula .xlsb", sbs, sbk / 1024, sbs / os
  printf "%-26s %10.3f %10.1f %11.1fx\n", "LibreOffice .xlsb", lbs, lbk / 1024, lbs / os
  printf "(ours: load and walk of every cell; LibreOffice: wall less %.2f s for a ten-row file)\n\n", lb
  t1 = os <= 3 * xs; t2 = ps / os >= 20; t3 = ss / os >= 20; t4 = ls / os >= 5; t5 = ok / 1024 < limit
  printf "target .xlsx within 3x .xls:   %5.2fx  %s\n", os / xs, t1 ? "met" : "MISSED"
  printf "target openpyxl >= 20x:        %5.1fx  %s\n", ps / os, t2 ? "met" : "MISSED"
  printf "target SheetJS >= 20x:         %5.1fx  %s\n", ss / os, t3 ? "met" : "MISSED"
  printf "target LibreOffice >= 5x:      %5.1fx  %s\n", ls / os, t4 ? "met" : "MISSED"
  printf "target peak < %.0f MB:         %5.1f MB  %s\n", limit, ok / 1024, t5 ? "met" : "MISSED"
  t6 = bs <= 1.5 * xs; t7 = bs < os
  printf "target .xlsb within 1.5x .xls: %5.2fx  %s\n", bs / xs, t6 ? "met" : "MISSED"
  printf "target .xlsb faster than .xlsx: %4.2fx  %s\n", os / bs, t7 ? "met" : "MISSED"
  exit (t1 && t2 && t3 && t4 && t5 && t6 && t7) ? 0 : 3
}' || { [ $status = 0 ] && status=3; }
exit $status
