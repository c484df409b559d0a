#!/bin/sh
# The estate on many machines over ssh logins, through GNU parallel.
#
#   deploy/parallel/ssh.sh ESTATE.sqlite N HOSTS.txt ROOT...
#
# HOSTS.txt lists one ssh login a line as GNU parallel reads it
# ("4/user@host": at most 4 shards at once there). Every machine needs
# tabulon on its PATH and the estate mounted under the same path as here (a
# share mounted read-only is enough). The work list goes to each machine
# with its shard, each part comes back here (--return) and is removed there
# (--cleanup); nothing is written on the share. Exit 2 and lost machines are
# retried, on whichever login is free; exit 1 is a finished shard.
set -eu
TABULON=${TABULON:-tabulon}
[ $# -ge 4 ] || { echo "usage: $0 ESTATE.sqlite N HOSTS.txt ROOT..." >&2; exit 2; }
ESTATE=$1 N=$2 HOSTS=$3
shift 3
"$TABULON" inventory --list "$@" >files.txt
seq "$N" | parallel --sshloginfile "$HOSTS" --joblog shards.log --retries 3 \
  --transferfile files.txt --return part-{}.sqlite --cleanup \
  tabulon inventory --files files.txt --shard {}/"$N" --db part-{}.sqlite '||' '[ $? -eq 1 ]'
"$TABULON" inventory --merge $(seq -f 'part-%g.sqlite' "$N") --db "$ESTATE"
