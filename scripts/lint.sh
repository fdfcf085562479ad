#!/usr/bin/env bash
# SPDX-License-Identifier: MIT

# The lint stage of scripts/test.sh, before the build; any finding fails it.
#
# - shellcheck on every shell script of the tree (*.sh and files whose
#   first line names bash or sh);
# - flake8 (lines up to 100 columns) on the Python of bindings/, web/,
#   examples/ and setup.py: Debian 12 has no package of ruff, so its
#   flake8 stands in;
# - mypy on the account console (web/tessaly_console) and the type stub of
#   the module morvane (the per-module settings are in pyproject.toml);
# - clang-tidy with the checks of .clang-tidy, through the compile commands
#   of BUILD_DIR (configured here as scripts/build.sh does when missing).
#   On a developer's tree it reads the C++ sources changed since the merge
#   base with main; under CI (CI=true, or --all) the sources of the
#   toolkit-free libraries and programs, which takes about two minutes on
#   two cores.
#
#   scripts/lint.sh [--all] [BUILD_DIR]     (default build)
set -euo pipefail
cd "$(dirname "$0")/.."

all=false
if [[ ${1:-} == --all ]]; then
  all=true
  shift
fi
[[ ${CI:-} != true ]] || all=true
build=${1:-build}
jobs="${TESSALY_JOBS:-$(nproc)}"

source scripts/setup.sh

echo "== Lint: shellcheck"
shell_scripts=()
while IFS= read -r -d '' file; do
  if [[ $file == *.sh ]] || head -n1 "$file" | grep -qE '^#!.*[/ ](ba)?sh$'; then
    shell_scripts+=("$file")
  fi
done < <(git ls-files -z)
shellcheck -x "${shell_scripts[@]}"

echo "== Lint: flake8, mypy"
# Debian's interpreter, where its flake8 and mypy are installed.
python=/usr/bin/python3
"$python" -m flake8 --max-line-length 100 bindings/ web/ examples/ setup.py
"$python" -m mypy --ignore-missing-imports --no-error-summary \
  web/tessaly_console bindings/python/morvane/__init__.pyi

echo "== Lint: clang-tidy"
if [[ ! -f $build/compile_commands.json ]]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSALY_WERROR=ON >/dev/null
fi
if $all; then
  mapfile -t sources < <(git ls-files 'platform/src/*.cc' 'gateway/src/*.cc' \
    'bindings/python/*.cc')
else
  base=$(git merge-base HEAD main 2>/dev/null || git rev-parse HEAD)
  mapfile -t sources < <(git diff --name-only --diff-filter=d "$base" -- '*.cc')
fi
# Only files the build compiles have compile commands.
checked=()
for file in "${sources[@]}"; do
  if grep -qF "\"file\": \"$PWD/$file\"" "$build/compile_commands.json"; then
    checked+=("$file")
  fi
done
if ((${#checked[@]} == 0)); then
  echo "no C++ source to check"
  exit 0
fi
echo "${#checked[@]} files"
printf '%s\0' "${checked[@]}" |
  xargs -0 -n 4 -P "$jobs" clang-tidy -p "$build" --quiet --warnings-as-errors='*' 2>/dev/null
