#!/bin/sh
# The estate on one machine in N shards at once, through GNU parallel.
#
#   deploy/parallel/local.sh ESTATE.sqlite N ROOT...
#
# Writes files.txt and part-K.sqlite into the current folder, then merges
# the parts into ESTATE.sqlite (on a local disk). A shard that ends with 2
# (a database error) or dies is retried twice; 1 (done, with workbooks that
# could not be read) is a finished shard. Running it again reads only what
# changed: each part continues from its last complete state.
set -eu
TABULON=${TABULON:-tabulon}
[ $# -ge 3 ] || { echo "usage: $0 ESTATE.sqlite N ROOT..." >&2; exit 2; }
ESTATE=$1 N=$2
shift 2
"$TABULON" inventory --list "$@" >files.txt
seq "$N" | parallel --joblog shards.log --retries 3 -j "$N" \
  "$TABULON" inventory --files files.txt --shard {}/"$N" --db part-{}.sqlite -j 1 '||' '[ $? -eq 1 ]'
"$TABULON" inventory --merge $(seq -f 'part-%g.sqlite' "$N") --db "$ESTATE"
