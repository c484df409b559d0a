#!/bin/sh
# A Slurm cluster of this one machine, to try inventory.sbatch and
# merge.sbatch for real (Debian: apt-get install slurm-wlm munge). Run as
# root; everything but munge's key lives in WORK (default /tmp/tabulon-slurm).
#
#   deploy/slurm/one-node-cluster.sh start   # prints the SLURM_CONF to export
#   deploy/slurm/one-node-cluster.sh stop
set -eu
WORK=${WORK:-/tmp/tabulon-slurm}
NODE=$(hostname -s)
case "${1:-}" in
start)
  mkdir -p "$WORK/state" "$WORK/spool" /run/munge
  cat >"$WORK/slurm.conf" <<CONF
ClusterName=tabulon
SlurmctldHost=$NODE
SlurmUser=root
SlurmdUser=root
AuthType=auth/munge
StateSaveLocation=$WORK/state
SlurmdSpoolDir=$WORK/spool
SlurmctldPidFile=$WORK/slurmctld.pid
SlurmdPidFile=$WORK/slurmd.pid
SlurmctldLogFile=$WORK/slurmctld.log
SlurmdLogFile=$WORK/slurmd.log
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
SelectType=select/cons_tres
SelectTypeParameters=CR_Core_Memory
ReturnToService=2
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
MpiDefault=none
NodeName=$NODE CPUs=$(nproc) RealMemory=$(($(awk '/MemTotal/ { print $2 }' /proc/meminfo) / 1024 - 512)) State=UNKNOWN
PartitionName=debug Nodes=$NODE Default=YES MaxTime=INFINITE State=UP
CONF
  [ -f /etc/munge/munge.key ] || mungekey -c
  chown munge:munge /run/munge /etc/munge/munge.key
  su -s /bin/sh munge -c /usr/sbin/munged
  /usr/sbin/slurmctld -f "$WORK/slurm.conf"
  /usr/sbin/slurmd -f "$WORK/slurm.conf"
  echo "export SLURM_CONF=$WORK/slurm.conf"
  ;;
stop)
  for pid in "$WORK/slurmd.pid" "$WORK/slurmctld.pid" /run/munge/munged.pid; do
    [ -f "$pid" ] && kill "$(cat "$pid")" || true
  done
  ;;
*) echo "usage: $0 start|stop" >&2; exit 2 ;;
esac
