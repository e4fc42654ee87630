#!/usr/bin/env bash
# A one-node Slurm cluster on this machine, for the tests.
#
#   cluster.sh install      installs slurm-wlm and munge when missing
#   cluster.sh start DIR    writes a configuration into the new directory
#                           DIR (keep its path short: slurmd puts a socket
#                           per job step under it, and a socket path has at
#                           most 107 bytes), starts munged, slurmctld and
#                           slurmd in the background and waits until the
#                           node takes work; prints SLURM_CONF=DIR/slurm.conf
#   cluster.sh stop DIR     cancels every job, waits for an empty queue and
#                           stops the three daemons by their process ids
#   cluster.sh logs DIR     prints the daemons' logs
#
# Nothing outside DIR is written (no systemd, no /etc): the daemons run as
# root on their own key, socket, ports (free ones, so two clusters do not
# clash) and spool directories.  A start that fails prints the logs and
# exits non-zero.
set -uo pipefail

die() { echo "cluster.sh: $*" >&2; exit 1; }

install() {
  command -v slurmctld >/dev/null && command -v slurmd >/dev/null &&
    command -v munged >/dev/null && command -v sbatch >/dev/null && return 0
  apt-get update >/dev/null &&
    DEBIAN_FRONTEND=noninteractive apt-get install -y slurm-wlm munge >/dev/null ||
    die "cannot install slurm-wlm and munge"
}

logs() {
  local d=$1 f
  for f in "$d"/munged.log "$d"/slurmctld.log "$d"/slurmd.log; do
    [ -f "$f" ] || continue
    echo "---- $f"
    tail -n 60 "$f"
  done
}

# Two ports nobody listens on.
free_ports() {
  python3 - <<'EOF'
import socket
socks = []
for _ in range(2):
    s = socket.socket()
    s.bind(("127.0.0.1", 0))
    socks.append(s)
print(" ".join(str(s.getsockname()[1]) for s in socks))
EOF
}

start() {
  local d=$1
  [ -n "$d" ] || die "start needs a directory"
  mkdir -p "$d" || die "cannot create $d"
  d=$(cd "$d" && pwd)
  # munged refuses a key or socket directory others could write to; clients
  # (sbatch, the daemons) must reach the socket, so 755 and not 700
  chmod 755 "$d"
  [ ${#d} -le 60 ] || die "$d: path too long for the daemons' sockets"
  mkdir -p "$d/state" "$d/spool" "$d/munge"
  chmod 755 "$d/munge"
  local host cpus ports ctlport dport
  host=$(hostname -s)
  cpus=$(nproc)
  read -r ctlport dport <<<"$(free_ports)" || die "no free ports"

  mungekey --create --keyfile="$d/munge/munge.key" --force >/dev/null 2>&1 ||
    { head -c 1024 /dev/urandom >"$d/munge/munge.key" && chmod 400 "$d/munge/munge.key"; }
  munged --key-file="$d/munge/munge.key" --socket="$d/munge/sock" \
    --pid-file="$d/munge/munged.pid" --seed-file="$d/munge/seed" \
    --log-file="$d/munged.log" --force ||
    { logs "$d"; die "munged did not start"; }

  cat >"$d/slurm.conf" <<EOF
ClusterName=talventest
SlurmctldHost=$host(127.0.0.1)
SlurmctldPort=$ctlport
SlurmdPort=$dport
SlurmUser=root
SlurmdUser=root
AuthType=auth/munge
CredType=cred/munge
AuthInfo=socket=$d/munge/sock
StateSaveLocation=$d/state
SlurmdSpoolDir=$d/spool
SlurmctldPidFile=$d/slurmctld.pid
SlurmdPidFile=$d/slurmd.pid
SlurmctldLogFile=$d/slurmctld.log
SlurmdLogFile=$d/slurmd.log
SlurmctldDebug=info
SlurmdDebug=info
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
SchedulerType=sched/builtin
SchedulerParameters=batch_sched_delay=0
SelectType=select/cons_tres
SelectTypeParameters=CR_CPU
MpiDefault=none
SwitchType=switch/none
ReturnToService=2
MailProg=/bin/true
MinJobAge=300
NodeName=$host NodeAddr=127.0.0.1 CPUs=$cpus State=UNKNOWN
PartitionName=local Nodes=$host Default=YES MaxTime=INFINITE State=UP
EOF
  export SLURM_CONF=$d/slurm.conf
  slurmctld -D -i -f "$SLURM_CONF" >>"$d/slurmctld.log" 2>&1 &
  echo $! >"$d/slurmctld.run"
  slurmd -D -f "$SLURM_CONF" -N "$host" >>"$d/slurmd.log" 2>&1 &
  echo $! >"$d/slurmd.run"

  # ready when the node takes work
  local i state
  for i in $(seq 1 150); do
    state=$(sinfo -h -N -o %t 2>/dev/null | head -n 1)
    case "$state" in
      idle*|mix*|alloc*) echo "SLURM_CONF=$SLURM_CONF"; return 0 ;;
    esac
    for p in slurmctld slurmd; do
      kill -0 "$(cat "$d/$p.run")" 2>/dev/null || { logs "$d"; stop "$d"; die "$p ended at start"; }
    done
    sleep 0.2
  done
  logs "$d"
  stop "$d"
  die "the node did not become idle in 30 s (state '${state}')"
}

# Waits up to $2 tenths of a second for process $1 to end.
wait_gone() {
  local i
  for i in $(seq 1 "$2"); do
    kill -0 "$1" 2>/dev/null || return 0
    sleep 0.1
  done
  return 1
}

stop() {
  local d=$1 p pid i
  [ -f "$d/slurm.conf" ] || return 0
  export SLURM_CONF=$d/slurm.conf
  if [ -f "$d/slurmctld.run" ] && kill -0 "$(cat "$d/slurmctld.run")" 2>/dev/null; then
    scancel --full --quiet --partition=local 2>/dev/null
    for i in $(seq 1 50); do
      [ -z "$(squeue -h -o %i 2>/dev/null)" ] && break
      sleep 0.2
    done
  fi
  # each daemon takes a while to end: both are told at once
  local pids=()
  for p in slurmd slurmctld; do
    [ -f "$d/$p.run" ] || continue
    pid=$(cat "$d/$p.run")
    kill "$pid" 2>/dev/null && pids+=("$pid")
    rm -f "$d/$p.run"
  done
  for pid in "${pids[@]}"; do
    wait_gone "$pid" 100 || kill -9 "$pid" 2>/dev/null
  done
  if [ -f "$d/munge/munged.pid" ]; then
    pid=$(cat "$d/munge/munged.pid")
    kill "$pid" 2>/dev/null && { wait_gone "$pid" 50 || kill -9 "$pid" 2>/dev/null; }
    rm -f "$d/munge/munged.pid"
  fi
  return 0
}

case "${1:-}" in
  install) install ;;
  start) install && start "${2:-}" ;;
  stop) stop "${2:?stop needs a directory}" ;;
  logs) logs "${2:?logs needs a directory}" ;;
  *) die "usage: cluster.sh install | start DIR | stop DIR | logs DIR" ;;
esac
