#!/usr/bin/env bash
# SPDX-License-Identifier: MIT

# The account console for trying it: starts the simulator wgsim on a free
# loopback port over a copy of examples/accounts.txt, points the gateway at
# it with a settings file in a private temporary Windows directory, adds a
# throwaway administrator and serves the console on loopback until Ctrl-C.
# Everything it starts and writes goes away when it ends.
#
#   scripts/console.sh                 build what is missing, then serve
#   scripts/console.sh --no-build      use the programs already built
#   scripts/console.sh --port N        serve on 127.0.0.1:N (default 8080)
#
# The administrator is "admin" with a random password printed at start;
# a throwaway API token of scope change is printed on the line after the
# console's address ("API token: TOKEN").
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/processes.sh

build=yes
port=8080
while (($#)); do
  case "$1" in
    --no-build) build=no ;;
    --port) port=${2:?--port needs a number}; shift ;;
    -h|--help) sed -n '2,15s/^# \{0,1\}//p' "$0"; exit 0 ;;
    *) echo "console.sh: unknown option $1 (try --help)" >&2; exit 2 ;;
  esac
  shift
done

if [[ $build == yes ]]; then
  source scripts/setup.sh
  [[ -f build/build.ninja ]] || cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
  cmake --build build --target wgsim morvane_python
fi
wgsim=build/bin/wgsim
# The folder build/python/morvane is there from configuring on; the compiled
# module in it only once built.
if [[ ! -x $wgsim ]] || ! compgen -G 'build/python/morvane/_morvane*.so' >/dev/null; then
  echo "console.sh: build/bin/wgsim or the module in build/python/morvane is missing; build first" >&2
  exit 1
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/tessaly-console.XXXXXX")
wgsim_pid=
console_pid=
cleanup() {
  stop_processes "$console_pid" "$wgsim_pid"
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

cp examples/accounts.txt "$work/accounts.txt"
umask 077
secret="console-$RANDOM$RANDOM$RANDOM"
printf '%s\n' "$secret" >"$work/secret"
"$wgsim" --listen 127.0.0.1:0 --accounts "$work/accounts.txt" --secret-file "$work/secret" \
  >"$work/wgsim.out" 2>"$work/wgsim.err" &
wgsim_pid=$!
if ! wgsim_port=$(wgsim_listening_port "$work/wgsim.out" "$wgsim_pid"); then
  echo "console.sh: wgsim did not start:" >&2
  cat "$work/wgsim.err" >&2
  exit 1
fi

# The gateway's settings, in morvane.ini of a Windows directory of our own.
export WINDIR=$work/windows
write_loopback_settings "$WINDIR" "$wgsim_port"

export PYTHONPATH=$PWD/build/python:$PWD/web
export TESSALY_CONSOLE_CONFIG=$work/console.ini
password=$(head -c 12 /dev/urandom | base64 | tr -d '/+=')
printf '%s\n' "$password" | /usr/bin/python3 -m tessaly_console add-admin admin \
  --secret-file "$work/secret" >/dev/null
token=$(/usr/bin/python3 -m tessaly_console add-token throwaway --scope change)

echo "wgsim is listening on 127.0.0.1:$wgsim_port over a copy of examples/accounts.txt"
echo "The console: http://127.0.0.1:$port/  name: admin  password: $password"
echo "API token: $token"
echo "Audit messages go to $work/accounts.txt.audit. Ctrl-C stops everything."
# In the background and waited for, so that a signal to this script runs
# the cleanup at once instead of after the server ends.
/usr/bin/python3 -m tessaly_console serve --listen "127.0.0.1:$port" &
console_pid=$!
wait "$console_pid"
