#!/usr/bin/env bash
# SPDX-License-Identifier: MIT

# The main job: from a fresh machine to a short administration session.
# Installs what is missing and builds (as scripts/build.sh does), starts
# the server-module simulator wgsim on a free loopback port over a copy of
# examples/accounts.txt, points the gateway at it with a settings file in a
# private temporary Windows directory, and runs a session through the
# script host morvane, printing every call and its results as a table.
# Everything it starts and writes goes away when it ends.
#
#   scripts/demo.sh                  set up, build, run
#   scripts/demo.sh --no-build       run with the programs already built
#   scripts/demo.sh --bin-dir DIR    take wgsim, morvane and ravelset from DIR (default build/bin)
#
# Exits 0 when every call gave the result it should, 1 otherwise.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/processes.sh

build=yes
bin_dir=build/bin
while (($#)); do
  case "$1" in
    --no-build) build=no ;;
    --bin-dir) bin_dir=${2:?--bin-dir needs a directory}; shift ;;
    -h|--help) sed -n '2,16s/^# \{0,1\}//p' "$0"; exit 0 ;;
    *) echo "demo.sh: unknown option $1 (try --help)" >&2; exit 2 ;;
  esac
  shift
done

if [[ $build == yes ]]; then
  source scripts/setup.sh
  scripts/build.sh
fi
wgsim=$bin_dir/wgsim
morvane=$bin_dir/morvane
ravelset=$bin_dir/ravelset
for program in "$wgsim" "$morvane"; do
  [[ -x $program ]] || { echo "demo.sh: $program is missing; build first" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/tessaly-demo.XXXXXX")
wgsim_pid=
cleanup() {
  stop_processes "$wgsim_pid"
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

started=$(date +%s%N)

# The simulator, over a copy of the sample accounts (it rewrites its file).
# The settings tool takes ports from 1 to 32000 only, below the range the
# system hands out for port 0, so the port is chosen here: a few random
# tries until one is free.
cp examples/accounts.txt "$work/accounts.txt"
secret="demo-$RANDOM$RANDOM"
if ! start_wgsim "$wgsim" "$work" "$secret" --banner "Welcome to the demo host"; then
  echo "demo.sh: wgsim did not start (above)" >&2
  exit 1
fi
port=$wgsim_port

# The gateway's settings, in morvane.ini of a Windows directory of our own,
# written by the settings tool's command line (no display needed) with the
# same checks as its window's OK.
export WINDIR=$work/windows
mkdir -p "$WINDIR"
if [[ -x $ravelset ]]; then
  "$ravelset" --set --local-host 127.0.0.1 --remote-host 127.0.0.1 --port "$port"
  "$ravelset" --show
else
  # A build without the Qt parts has no settings tool: the record by hand.
  echo "($ravelset is not built; writing the settings record directly)"
  write_loopback_settings "$WINDIR" "$port"
fi

echo "wgsim is listening on 127.0.0.1:$port; WINDIR=$WINDIR"
echo

format='%-3s %-46s %7s %6s  %-9s %-4s %s\n'
# shellcheck disable=SC2059  # one column layout, kept in a variable
printf "$format" '#' 'call' 'error' 'long' 'string' 'ok?' 'error_description'
# shellcheck disable=SC2059
printf "$format" '---' '----------------------------------------------' '-------' '------' '---------' '----' '-----------------'
calls=0
failures=0

# call EXPECTED_ERROR EXPECTED_LONG MEMBER [ARG...]: one call through
# morvane, the secret phrase on standard input (never on a command line).
call() { call_with "$secret" "$@"; }
call_with() {
  local phrase=$1 want_error=$2 want_long=$3 member=$4
  shift 4
  local shown=$member arg output status=0 number='' description='' long='' text='' check=ok
  for arg in "$@"; do
    if [[ $arg == *' '* ]]; then shown+=" \"$arg\""; else shown+=" $arg"; fi
  done
  [[ $phrase == "$secret" ]] || shown+=" (wrong phrase)"
  output=$(printf '%s\n' "$phrase" | "$morvane" --secret-stdin "$member" "$@" 2>&1) || status=$?
  while IFS= read -r line; do
    case $line in
      'error_number: '*) number=${line#error_number: } ;;
      'error_description: '*) description=${line#error_description: } ;;
      'answer_long: '*) long=${line#answer_long: } ;;
      'answer_string: '*) text=${line#answer_string: } ;;
    esac
  done <<<"$output"
  if ((status != 0)); then
    number="exit $status"
    description=$output
  fi
  if [[ $number != "$want_error" || $long != "$want_long" ]]; then
    check=NO
    failures=$((failures + 1))
  fi
  calls=$((calls + 1))
  # shellcheck disable=SC2059
  printf "$format" "$calls" "$shown" "$number" "$long" "$text" "$check" "$description"
}

call 0 1      UserIDExists "Alice Smith"
call 0 0      UserIDExists "Mallory"
call 0 1      AuthUser "Alice Smith" wonderland
call 0 0      AuthUser "Alice Smith" guess
call 0 1200   NumberofCredits "Alice Smith"
call 0 90     NumberOfDays "Alice Smith"
call 0 1      GiveCredits "Alice Smith" 250
call 0 1450   NumberofCredits "Alice Smith"
call -105 0   GiveDays bob -30
call 0 1      GiveDays bob 30
call 0 0      PrimaryClass bob
call 0 1      SwitchClass bob PAYING
call 0 0      CurrentClass bob
call -107 0   SwitchClass bob GOLD
call 0 1      GiveKey bob FORUMS
call 0 1      HasKey bob FORUMS
call 0 1      TakeKey bob FORUMS
call 0 0      HasKey bob FORUMS
call 0 1      SuspendUser bob
call 0 1      IsSuspended bob
call 0 1      UnSuspendUser bob
call 0 0      IsSuspended bob
call 0 1      UserOnline Sysop
call 0 0      UserOnline bob
call -108 0   DeleteUser Sysop
call 0 37     SystemVariable 3
call 0 1      AuditMessage "Demo: bob moved to PAYING"
call_with "not-the-phrase" -503 0 NumberofCredits "Alice Smith"

finished=$(date +%s%N)
echo
echo "The account of bob as wgsim keeps it now (written back after each change):"
sed -n '/^\[user bob\]/,/^$/{/^$/!s/^/    /p}' "$work/accounts.txt"
echo "The audit log:"
sed 's/^/    /' "$work/accounts.txt.audit"
echo
echo "$calls calls, one session each, in $(((finished - started) / 1000000)) ms."

kill "$wgsim_pid"
wait "$wgsim_pid" 2>/dev/null || true
wgsim_pid=
echo "wgsim stopped; the temporary directory is removed on exit."

if ((failures > 0)); then
  echo "demo.sh: $failures call(s) did not give the expected result (ok? = NO)" >&2
  exit 1
fi
