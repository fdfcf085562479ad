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
