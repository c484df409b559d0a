#!/bin/sh
# Builds a large workbook (default 4 sheets x 50,000 rows x 5 columns = 1,000,000
# cells, every fifth a formula) through LibreOffice, then times our reader,
# SheetJS (cellFormula) and LibreOffice loading it. Needs soffice, node/npm and
# the bench_xls_load program (cmake -DTABULON_BENCH=ON). The generated files
# stay in the work folder, never in the repository.
set -eu
BENCH=${1:?usage: compare_load.sh path/to/bench_xls_load [workdir]}
WORK=${2:-$(mktemp -d /tmp/tabulon-bench.XXXXXX)}
SHEETS=${SHEETS:-4}
ROWS=${ROWS:-50000}
mkdir -p "$WORK"
cd "$WORK"

if [ ! -f big.xls ]; then
  python3 - "$SHEETS" "$ROWS" <<'PY'
import sys
sheets, rows = int(sys.argv[1]), int(sys.argv[2])
with open("big.fods", "w", encoding="utf-8") as f:
    f.write('<?xml version="1.0" encoding="UTF-8"?>\n<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
            'xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" '
            'xmlns:of="urn:oasis:names:tc:opendocument:xmlns:of:1.2" office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.spreadsheet">'
            '<office:body><office:spreadsheet>\n')
    for s in range(sheets):
        f.write(f'<table:table table:name="Data{s+1}">\n')
        for r in range(1, rows + 1):
            f.write('<table:table-row>'
                    f'<table:table-cell office:value-type="float" office:value="{r}"/>'
                    f'<table:table-cell office:value-type="string"><text:p>item {r % 997}</text:p></table:table-cell>'
                    f'<table:table-cell office:value-type="float" office:value="{r * 0.25}"/>'
                    f'<table:table-cell office:value-type="float" office:value="{r % 13}"/>'
                    f'<table:table-cell table:formula="of:=[.A{r}]*[.C{r}]+[.D{r}]"/>'
                    '</table:table-row>\n')
        f.write('</table:table>\n')
    f.write('</office:spreadsheet></office:body></office:document>\n')
PY
  soffice --headless --convert-to xls:"MS Excel 97" big.fods >/dev/null 2>&1
fi
ls -l big.xls

echo "--- tabulon reader"
/usr/bin/time -f "wall_s=%e peak_rss_kb=%M" "$BENCH" big.xls

if [ ! -d node_modules/xlsx ]; then npm install --silent xlsx >/dev/null 2>&1; fi
echo "--- SheetJS (cellFormula)"
/usr/bin/time -f "wall_s=%e peak_rss_kb=%M" node -e '
const X = require("xlsx"); const t = Date.now();
const wb = X.readFile("big.xls", {cellFormula: true});
let n = 0, f = 0; for (const s of wb.SheetNames) for (const k in wb.Sheets[s]) { if (k[0] === "!") continue; n++; if (wb.Sheets[s][k].f) f++; }
console.log("load_ms=" + (Date.now() - t) + " cells=" + n + " formulas=" + f);'

echo "--- LibreOffice headless (load, write first sheet as CSV)"
/usr/bin/time -f "wall_s=%e peak_rss_kb=%M" soffice --headless --convert-to csv --outdir lo-out big.xls >/dev/null
