#!/usr/bin/env bash
# Compares our cell display texts with SheetJS's formatter (SSF) over every
# format code the given workbooks use, the built-in codes and our own list
# (formats.txt), each with every value of values.txt. Prints the counts and
# the differences by kind; COMPARE_OUT=file receives the differing lines
# (ours, then SSF's).
#
#   bench/format/compare_ssf.sh BUILD_DIR NODE_MODULES file.xls...
#
# BUILD_DIR holds bench/format/format_table; NODE_MODULES is a folder with
# the npm packages "ssf" and "xlsx" installed (outside the repository).
# Not a test: SSF follows the US built-in formats and differs from the
# spreadsheet in known ways (see the notes this prints beside the counts).
set -euo pipefail
build=$1; modules=$2; shift 2
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d /tmp/compare_ssf.XXXXXX)
trap 'rm -rf "$work"' EXIT
export NODE_PATH=$modules

{
    [ $# -gt 0 ] && node "$here/list_codes.js" "$@"
    "$build/bench/format/format_table" --builtins
    cat "$here/formats.txt"
} | awk 'NF && !seen[$0]++' > "$work/codes"
while IFS= read -r code; do
    while IFS= read -r value; do printf '%s\t%s\n' "$code" "$value"; done < "$here/values.txt"
done < "$work/codes" > "$work/table"

# compare TABLE TITLE: our texts and SSF's for one table, counted by kind.
compare() {
    "$build/bench/format/format_table" < "$1" > "$work/ours"
    node "$here/ssf_table.js" < "$1" > "$work/ssf"
    local total same
    total=$(wc -l < "$work/ours")
    same=$(paste "$work/ours" "$work/ssf" | awk -F'\t' '$1 == $2' | wc -l)
    echo "$2: cases: $total  agree: $same  differ: $((total - same))"
    # The known kinds of difference, each counted; what fits none is "other".
    paste "$work/ours" "$work/ssf" | awk -F'\t' '
    # Texts whose digits part only from the 15th significant digit on or in
    # the last one: the same number rounded another way.
    function rounding(ours, theirs,   a, b, i, lead) {
        sub(/.*\|/, "", theirs); a = ours; b = theirs
        gsub(/[^0-9]/, "", a); gsub(/[^0-9]/, "", b)
        if (length(a) != length(b) || a == b) return 0
        for (i = 1; substr(a, i, 1) == substr(b, i, 1); i++) ;
        lead = match(a, /[1-9]/)
        return i == length(a) || (lead && i - lead + 1 >= 15)
    }
    $1 != $2 {
        n = split($1, f, "|"); value = f[n - 1]
        if ($1 ~ /\|#$/) kind = "date out of range: we fill the cell with #, SSF shows nothing"
        else if ($2 ~ /ERROR/) kind = "SSF cannot read the code"
        else if ($1 ~ /^\[\$-(411|F800)\]|DBNum|aaa/ || $2 ~ /ggg/) kind = "Japanese eras, weekdays, digit forms, system long date: SSF lacks them"
        else if (value ~ /^(0\.999999|43586\.999988)$/ && $1 ~ /[hHsSdDmMyY]/) kind = "time rounded to the shown second carries into the next day"
        else if (value ~ /^(-?1\.005|-?12\.345|123456789012|0\.3333333333333333|1\.5|43586\.999988|1e-10)$/ \
                 || rounding(f[n], $2)) kind = "decimal rounding on 15 significant digits (SSF rounds the binary value)"
        else if (value ~ /^-/) kind = "sign: halves away from zero, minus kept in a first section"
        else kind = "other"
        count[kind]++
        print "ours: " $1 > "/dev/stderr"; print "ssf:  " $2 > "/dev/stderr"
    }
    END { for (k in count) printf "%6d  %s\n", count[k], k }' 2>> "${COMPARE_OUT:-/dev/null}" | sort -rn
}

[ -n "${COMPARE_OUT:-}" ] && : > "$COMPARE_OUT"
echo "codes: $(wc -l < "$work/codes")"
compare "$work/table" "codes x values"
if [ $# -gt 0 ]; then
    node "$here/list_codes.js" --cells "$@" > "$work/cells"
    compare "$work/cells" "workbook cells"
fi
