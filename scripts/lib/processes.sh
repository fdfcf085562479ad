# shellcheck shell=bash
# SPDX-License-Identifier: MIT

# For the scripts that run a wgsim of their own: waiting for it to listen,
# pointing the gateway at it, and ending what they started. Sourced.

# wgsim_listening_port OUT PID: waits up to 5 s for the "listening on
# ADDR:PORT" line that wgsim writes to the file OUT and prints PORT. Fails
# when the process PID ends first or the time passes.
wgsim_listening_port() {
  local out=$1 pid=$2 line
  for _ in $(seq 100); do
    if line=$(grep -m1 '^listening on ' "$out"); then
      echo "${line##*:}"
      return 0
    fi
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.05
  done
  return 1
}

# write_loopback_settings WINDIR PORT: creates the Windows directory WINDIR
# with a morvane.ini that points the gateway at 127.0.0.1:PORT (remote host,
# local host and port, 20 characters each).
write_loopback_settings() {
  mkdir -p "$1"
  printf '%-20s%-20s%-20s' 127.0.0.1 127.0.0.1 "$2" >"$1/morvane.ini"
}

# start_wgsim PROGRAM WORK SECRET [OPTION...]: starts the wgsim PROGRAM on
# a free loopback port over WORK/accounts.txt with the secret phrase SECRET
# and the further OPTIONs, its output in WORK/wgsim.out and WORK/wgsim.err,
# and sets wgsim_pid and wgsim_port. After 20 ports that would not do, fails
# with wgsim's errors on standard error.
start_wgsim() {
  local program=$1 work=$2 secret=$3 try
  shift 3
  wgsim_port=
  for _ in $(seq 20); do
    try=$((20000 + RANDOM % 12000))
    "$program" --listen "127.0.0.1:$try" --accounts "$work/accounts.txt" --secret "$secret" "$@" \
      >"$work/wgsim.out" 2>"$work/wgsim.err" &
    wgsim_pid=$!
    if wgsim_listening_port "$work/wgsim.out" "$wgsim_pid" >/dev/null; then
      # shellcheck disable=SC2034  # the caller's
      wgsim_port=$try
      return 0
    fi
    stop_processes "$wgsim_pid"
    wgsim_pid=
  done
  cat "$work/wgsim.err" >&2
  return 1
}

# stop_processes PID...: ends each process the script started and reaps it;
# empty arguments and processes already gone are fine.
stop_processes() {
  local pid
  for pid in "$@"; do
    [[ -n $pid ]] || continue
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
}
