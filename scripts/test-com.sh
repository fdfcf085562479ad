#!/usr/bin/env bash
# SPDX-License-Identifier: MIT

# morvane.dll as script pages use it, under Wine: registers the DLL in a
# private Wine prefix whose Windows directory holds a morvane.ini that
# points at a wgsim on 127.0.0.1, runs the VBScript and JScript tests of
# bindings/com/tests, compares a call with the Linux tool morvane, checks
# the failures a page sees, and checks that unregistering removes what
# registering wrote. The prefix, wgsim and every file go away at the end.
#
#   scripts/test-com.sh [--dll PATH] [--bin-dir DIR]
#     --dll      the DLL (default build-windows/bin/morvane.dll); the C++
#                client morvane_com_client_test.exe is taken from beside it
#     --bin-dir  where wgsim and morvane are (default build/bin)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/processes.sh

dll=build-windows/bin/morvane.dll
bin_dir=build/bin
while (($#)); do
  case "$1" in
    --dll) dll=${2:?--dll needs a path}; shift ;;
    --bin-dir) bin_dir=${2:?--bin-dir needs a directory}; shift ;;
    -h|--help) sed -n '2,15s/^# \{0,1\}//p' "$0"; exit 0 ;;
    *) echo "test-com.sh: unknown option $1 (try --help)" >&2; exit 2 ;;
  esac
  shift
done
client=$(dirname "$dll")/morvane_com_client_test.exe
# The tests run from their work directory: every path absolute.
bin_dir=$(realpath "$bin_dir")
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
for file in "$dll" "$client" "$bin_dir/wgsim" "$bin_dir/morvane" "$wine"; do
  [[ -e $file ]] || { echo "test-com.sh: $file is missing; build first" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/morvane-com.XXXXXX")
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wgsim_pid=
cleanup() {
  stop_processes "$wgsim_pid"
  "$(dirname "$wine")/wineserver" -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# wgsim over a copy of the sample accounts, on a free loopback port.
cp examples/accounts.txt "$work/accounts.txt"
secret="com-$RANDOM$RANDOM"
start_wgsim "$bin_dir/wgsim" "$work" "$secret" || { echo "test-com.sh: wgsim did not start" >&2; exit 1; }
port=$wgsim_port

# The prefix, and the settings in its Windows directory before anything
# can load the DLL.
"$wine" wineboot -i >/dev/null 2>&1
windir=$WINEPREFIX/drive_c/windows
write_loopback_settings "$windir" "$port"
cp "$dll" "$WINEPREFIX/drive_c/morvane.dll"
cp "$client" bindings/com/tests/*.vbs bindings/com/tests/*.js "$WINEPREFIX/drive_c/"
cp examples/windows/credits.vbs "$WINEPREFIX/drive_c/"

# Logit writes tarnel.log in the current directory: the work directory.
cd "$work"
failures=0
# run LABEL COMMAND...: runs a Wine program, shows its output, counts a failure.
run() {
  local label=$1 output status=0
  shift
  echo "== $label"
  output=$("$wine" "$@" 2>&1) || status=$?
  printf '%s\n' "$output" | tr -d '\r'
  if ((status != 0)); then
    echo "FAIL $label (exit status $status)"
    failures=$((failures + 1))
  fi
}
# cscript FILE ARG...: a test script; it must end with the line DONE, since
# Wine's script host exits with 0 on a script error.
cscript() {
  local before=$failures
  run "$1" cscript //nologo "C:\\$1" "${@:2}" | tee "$work/script.out"
  failures=$before
  if grep -q '^FAIL' "$work/script.out" || ! grep -q '^DONE' "$work/script.out"; then
    echo "FAIL $1 (a check failed or the script stopped early)"
    failures=$((failures + 1))
  fi
}

run "regsvr32" regsvr32 /s 'C:\morvane.dll'
for key in 'HKCR\Morvane.WG' 'HKCR\Morvane.WG.4' 'HKCR\CLSID\{C834D95D-5BF8-11D3-A8F4-0000C021EF8C}\InprocServer32' \
  'HKCR\TypeLib\{C834D959-5BF8-11D3-A8F4-0000C021EF8C}'; do
  run "registered: $key" reg query "$key"
done

cscript members.vbs "$secret"
cscript members.js "$secret"
# Records, the unload counts and raised errors from C++.
run "com_client_test" 'C:\morvane_com_client_test.exe' 'C:\morvane.dll' "$secret"

# The same calls through the Linux tool and through the DLL, on the same
# wgsim, one after the other: the four results agree. The Linux tool reads
# its settings from WINDIR: the same loopback record.
write_loopback_settings "$work/linux-windows" "$port"
compare() {
  local linux windows expected
  linux=$(printf '%s\n' "$secret" |
    WINDIR=$work/linux-windows "$bin_dir/morvane" --json --secret-stdin "$@")
  expected=$(python3 -c 'import json, sys
r = json.loads(sys.argv[1])
print("|".join(str(r[k]) for k in ("error_number", "error_description", "answer_long", "answer_string")))' "$linux")
  windows=$("$wine" cscript //nologo 'C:\compare.vbs' "$secret" "$@" 2>&1 | tr -d '\r')
  if [[ $windows == "$expected" ]]; then
    echo "PASS $* gives the same through morvane --json and the DLL: $windows"
  else
    echo "FAIL $*: morvane --json gives '$expected', the DLL '$windows'"
    failures=$((failures + 1))
  fi
}
compare GiveCredits bob 50
compare NumberofCredits bob
compare AuthUser bob not-the-password
compare HasKey bob SYSOP
# The example of the package, as a user runs it.
run "credits.vbs" cscript //nologo 'C:\credits.vbs' "$secret"

# A dead port, then a port that is not a number.
stop_processes "$wgsim_pid"
wgsim_pid=
cscript errors.vbs dead-port "$secret"
# Settings the gateway cannot use raise the same error number, with the
# same standard text, as PlatformError on Linux: a port that is not a
# number, and a directory in place of the file (whose text then names the
# path, which differs between the systems).
raised() {
  local case=$1 linux number description
  cscript errors.vbs raise "$secret"
  linux=$(WINDIR=$work/linux-windows "$bin_dir/morvane" --json GetLocalPort || true)
  number=$(python3 -c 'import json, sys; print(json.loads(sys.argv[1])["platform_error"])' "$linux")
  description=$(python3 -c 'import json, sys; print(json.loads(sys.argv[1])["description"])' "$linux")
  while IFS= read -r line; do
    line=${line%$'\r'}
    [[ $line == RAISED* ]] || continue
    line=${line#RAISED }
    if [[ ${line%%|*} == "$number" && ${line#*|} == "${description%%:*}"* ]]; then
      echo "PASS $case: Err.Number and Err.Description as on Linux: $line"
    else
      echo "FAIL $case: the DLL raised '$line', Linux $number '$description'"
      failures=$((failures + 1))
    fi
  done <"$work/script.out"
}
for dir in "$windir" "$work/linux-windows"; do
  printf '%-20s%-20s%-20s' 127.0.0.1 127.0.0.1 not-a-port >"$dir/morvane.ini"
done
raised "port not a number"
for dir in "$windir" "$work/linux-windows"; do
  rm -f "$dir/morvane.ini"
  mkdir "$dir/morvane.ini"
done
raised "directory in place of the settings file"

# Unregistering removes every key registering wrote.
run "regsvr32 /u" regsvr32 /u /s 'C:\morvane.dll'
for key in 'HKCR\Morvane.WG' 'HKCR\Morvane.WG.4' 'HKCR\CLSID\{C834D95D-5BF8-11D3-A8F4-0000C021EF8C}' \
  'HKCR\TypeLib\{C834D959-5BF8-11D3-A8F4-0000C021EF8C}' 'HKCR\Interface\{13B985CF-7AAE-11D3-837C-0080C8FA89B2}'; do
  if "$wine" reg query "$key" >/dev/null 2>&1; then
    echo "FAIL still registered after regsvr32 /u: $key"
    failures=$((failures + 1))
  else
    echo "PASS removed: $key"
  fi
done

if ((failures > 0)); then
  echo "test-com.sh: $failures failure(s)" >&2
  exit 1
fi
echo "test-com.sh: all passed"
