#!/usr/bin/env bash
# Compares our cell display texts with SheetJS's formatter (SSF) over every
# format code the given workbooks use, the built-in codes and our own list
# (formats.txt), each with every value of values.txt. Prints the counts and
# the differing lines (ours, then SSF's).
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

"$build/bench/format/format_table" < "$work/table" > "$work/ours"
node "$here/ssf_table.js" < "$work/table" > "$work/ssf"
total=$(wc -l < "$work/ours")
same=$(paste "$work/ours" "$work/ssf" | awk -F'\t' '$1 == $2' | wc -l)
echo "codes: $(wc -l < "$work/codes")  cases: $total  agree: $same  differ: $((total - same))"
paste "$work/ours" "$work/ssf" | awk -F'\t' '$1 != $2 { print "ours: " $1; print "ssf:  " $2 }' \
    > "${COMPARE_OUT:-/dev/stdout}"
