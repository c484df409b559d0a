#!/usr/bin/env bash
# Compares the formula texts the reader gives for a workbook with those
# LibreOffice writes when it converts the same workbook to .xlsx, an
# independent reading of the same tokens. Prints per-file agreement counts and
# the differing cells (ours, then LibreOffice's).
#
#   bench/host/compare_formulas.sh BUILD_DIR file.xls...
#
# BUILD_DIR is a build tree where tabulon_host has been built. Not a test:
# LibreOffice's text differs from the spreadsheet's in known ways, so each
# differing pair is also compared after rewriting ours into LibreOffice's
# habits (listed in lo_style below); what still differs is printed.
# COMPARE_CACHE=dir keeps the converted workbooks there between runs.
set -euo pipefail
build=$1; shift
if [ -n "${COMPARE_CACHE:-}" ]; then
    work=$COMPARE_CACHE; mkdir -p "$work"
else
    work=$(mktemp -d /tmp/compare_formulas.XXXXXX)
    trap 'rm -rf "$work"' EXIT
fi
src=$(cd "$(dirname "$0")/../.." && pwd)

cat > "$work/dump.cpp" <<'CPP'
#include "common/Error.h"
#include "host/Workbook.h"
#include <cstdio>
using namespace tabulon;
int main(int argc, char** argv) {
    try {
        const host::Workbook book = host::Workbook::load(QString::fromLocal8Bit(argv[1]));
        for (int s = 1; s <= book.sheetCount(); ++s) {
            const host::Sheet sheet = book.sheet(s);
            sheet.usedRange().forEach([&](const host::Cell& c) {
                const QString f = c.formula();
                if (f.startsWith(QLatin1Char('=')) && f.size() > 1) {
                    QString a = c.address();
                    a.remove(QLatin1Char('$'));
                    std::printf("%s\t%s\t%s\n", qPrintable(sheet.name()), qPrintable(a),
                                f.toUtf8().replace('\n', "\\n").constData());
                }
                return true;
            });
        }
        for (int n = 1; n <= book.nameCount(); ++n) {
            const host::Name name = book.name(n);
            std::printf("#name\t%s\t%s\n", name.name().toUtf8().constData(),
                        name.refersTo().toUtf8().replace('\n', "\\n").constData());
        }
        for (const QString& w : book.warnings())
            std::fprintf(stderr, "warning: %s\n", qPrintable(w));
    } catch (const Error& e) {
        std::fprintf(stderr, "error %d: %s\n", e.number(), e.what());
        return 1;
    }
    return 0;
}
CPP
g++ -std=c++20 -fPIC -I"$src/src" $(pkg-config --cflags Qt6Core libgsf-1) "$work/dump.cpp" \
    "$build/src/host/libtabulon_host.a" $(pkg-config --libs Qt6Core libgsf-1) -o "$work/dump"

cat > "$work/xlsx.py" <<'PY'
import re, sys, zipfile, xml.etree.ElementTree as ET
ns = {'m': 'http://schemas.openxmlformats.org/spreadsheetml/2006/main',
      'r': 'http://schemas.openxmlformats.org/officeDocument/2006/relationships'}
z = zipfile.ZipFile(sys.argv[1])
wb = ET.fromstring(z.read('xl/workbook.xml'))
rels = ET.fromstring(z.read('xl/_rels/workbook.xml.rels'))
target = {r.get('Id'): r.get('Target') for r in rels}
out = []
for sh in wb.find('m:sheets', ns):
    path = 'xl/' + target[sh.get('{%s}id' % ns['r'])].lstrip('/').replace('xl/', '')
    root = ET.fromstring(z.read(path))
    for c in root.iter('{%s}c' % ns['m']):
        f = c.find('m:f', ns)
        if f is not None and f.text:
            out.append('%s\t%s\t=%s' % (sh.get('name'), c.get('r'), f.text.replace('\n', '\\n')))
dn = wb.find('m:definedNames', ns)
for d in (dn if dn is not None else []):
    name = d.get('name')
    if d.get('localSheetId') is not None:
        name = '#%s!%s' % (d.get('localSheetId'), name)
    out.append('#name\t%s\t=%s' % (name, d.text or ''))
print('\n'.join(out))
PY

cat > "$work/compare.py" <<'PY'
import re, sys
def load(p):
    d = {}
    for line in open(p, encoding='utf-8', errors='replace'):
        parts = line.rstrip('\n').split('\t')
        # Sheet-level names are keyed differently on the two sides; the
        # workbook-level ones compare like cells.
        if len(parts) == 3:
            d[(parts[0], parts[1])] = parts[2]
    return d

def outside_strings(text, fn):
    parts = re.split(r'("(?:[^"]|"")*")', text)
    return ''.join(p if i % 2 else fn(p) for i, p in enumerate(parts))

def col_letters(n):
    s = ''
    while n:
        n, r = divmod(n - 1, 26)
        s = chr(65 + r) + s
    return s

# LibreOffice's habits when it writes formulas to .xlsx: no author
# whitespace, TRUE()/FALSE() functions for boolean constants, NA() for #N/A
# and nothing for other error constants, three-digit exponents, whole rows
# and columns as ordinary areas.
def lo_style(text):
    def fix(p):
        p = re.sub(r'\s+', '', p)
        p = re.sub(r'\b(TRUE|FALSE)\b(?!\()', r'\1()', p)
        p = p.replace('#N/A', 'NA()')
        p = re.sub(r'#(DIV/0!|NULL!|VALUE!|NAME\?|NUM!)', '', p)
        p = re.sub(r'(\d)E([+-])(\d\d)\b', r'\1E\g<2>0\3', p)
        p = re.sub(r'(?<![A-Z$\d])(\$?)(\d+):(\$?)(\d+)(?![\d(])', r'$A\1\2:$IV\3\4', p)
        p = re.sub(r'(?<![A-Z$\d])(\$?)([A-Z]{1,2}):(\$?)([A-Z]{1,2})(?![\w(])', r'\1\2$1:\3\4$65536', p)
        # A reference into a deleted sheet: LibreOffice keeps only "#REF!".
        p = re.sub(r'#REF!\$?[A-Z]{1,2}\$?\d+(:\$?[A-Z]{1,2}\$?\d+)?', '#REF!', p)
        # And drops the sheet in front of a reference to deleted cells.
        p = re.sub(r"('(?:[^']|'')*'|[^'!=(,+\-*/&<>^ ]+)!#REF!", '#REF!', p)
        return p
    return external(outside_strings(text, fix))

# External books: ours by path, LibreOffice's by number ("[1]Sheet1").
def external(text):
    text = re.sub(r"'[^'!]*\[[^\]]+\]((?:[^']|'')*)'!", lambda m: "[X]" + m.group(1).replace("''", "'") + "!", text)
    return re.sub(r"(?<![\w\]])[^'!=(,+\-*/&<>^ ]*\[[^\]\d][^\]]*\]([\w.]+)!", r"[X]\1!", text)

def lo_plain(text):
    text = outside_strings(text, lambda p: re.sub(r'\s+', '', p))
    return re.sub(r"'?\[\d+\]((?:[^'!]|'')*)'?!", lambda m: "[X]" + m.group(1).replace("''", "'") + "!", text)

ours, lo = load(sys.argv[1]), load(sys.argv[2])
common = [k for k in ours if k in lo]
same = [k for k in common if ours[k] == lo[k]]
alike = [k for k in common if ours[k] != lo[k] and lo_style(ours[k]) == lo_plain(lo[k])]
print('%s: ours %d, LibreOffice %d, both %d, equal %d, equal but for LibreOffice habits %d, different %d' % (
    sys.argv[3], len(ours), len(lo), len(common), len(same), len(alike), len(common) - len(same) - len(alike)))
for k in common:
    if ours[k] != lo[k] and k not in alike:
        print('  %s!%s\n    ours %s\n    lo   %s' % (k[0], k[1], ours[k], lo[k]))
for k in sorted(set(ours) - set(lo))[:20]:
    print('  only ours %s!%s %s' % (k[0], k[1], ours[k]))
only_lo = sorted(set(lo) - set(ours))
# Boolean and error constant cells come back from LibreOffice as TRUE(),
# FALSE() or NA() formulas.
only_lo = [k for k in only_lo if lo[k] not in ('=TRUE()', '=FALSE()', '=NA()')]
for k in only_lo[:20]:
    print('  only lo   %s!%s %s' % (k[0], k[1], lo[k]))
PY
for xls in "$@"; do
    base=$(basename "$xls" .xls)
    "$work/dump" "$xls" > "$work/$base.ours" 2> "$work/$base.err" || true
    [ -f "$work/$base.xlsx" ] || soffice --headless --convert-to xlsx --outdir "$work" "$xls" > /dev/null 2>&1 || true
    if [ -f "$work/$base.xlsx" ]; then
        python3 "$work/xlsx.py" "$work/$base.xlsx" > "$work/$base.lo"
    else
        : > "$work/$base.lo"
    fi
    python3 "$work/compare.py" "$work/$base.ours" "$work/$base.lo" "$xls"
    sed 's/^/  /' "$work/$base.err" | head -20
done
