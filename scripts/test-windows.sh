#!/usr/bin/env bash
# SPDX-License-Identifier: MIT

# The Windows side under Wine: cross-builds build-windows/
# (scripts/build-windows.sh), makes a Wine prefix of its own under /tmp,
# puts a morvane.ini pointing at 127.0.0.1 into the prefix's Windows
# directory, so that nothing run there can reach the settings' 192.168.0.x
# defaults, and runs the Windows tests through CTest, which starts each
# program under wine64. The prefix is removed at the end, whatever
# happened; ~/.wine is never touched.
#
# Arguments go to ctest, for example -R platform_tests.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/build-windows.sh

WINE64="$(command -v wine64 || echo /usr/lib/wine/wine64)"
WINESERVER="$(command -v wineserver || echo /usr/lib/wine/wineserver)"

WINEPREFIX="$(mktemp -d /tmp/tessaly-wine.XXXXXX)"
export WINEPREFIX
# A 64-bit prefix; no messages from Wine itself; no offer to install Mono
# or Gecko, which a test never needs and which nothing may download.
export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export DISPLAY=""

remove_prefix() {
  "$WINESERVER" -k 2>/dev/null || true
  "$WINESERVER" -w 2>/dev/null || true
  rm -rf "$WINEPREFIX"
}
trap remove_prefix EXIT

started=$SECONDS
echo "== Wine prefix ($WINEPREFIX)"
# A server kept running from now until the end, and the prefix's own
# services (started by wineboot) with it, outside CTest: a service that a
# test program started would hold that test's output open, and CTest would
# wait for it until the timeout.
"$WINESERVER" -p </dev/null >/dev/null 2>&1
"$WINE64" wineboot --init </dev/null >/dev/null 2>&1
windows_directory="$WINEPREFIX/drive_c/windows"
test -d "$windows_directory"

# The settings record: remote host, local host and port, 20 bytes each,
# filled with spaces. Port 1 on loopback: nothing answers there.
printf '%-20s%-20s%-20s' 127.0.0.1 127.0.0.1 1 >"$windows_directory/morvane.ini"
echo "   ready in $((SECONDS - started)) s"

echo "== Tests under Wine (build-windows/)"
ctest --test-dir build-windows --output-on-failure --timeout 300 --no-tests=error "$@"
echo "   Wine part done in $((SECONDS - started)) s"
