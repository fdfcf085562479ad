#!/usr/bin/env bash
# SPDX-License-Identifier: MIT

# pip_install.sh PYTHON SOURCE_DIR VENV_DIR: the road a user without a package
# index takes (the distribution's setuptools, pybind11 and build, no
# network). Builds the source archive, checks that it holds what building
# needs and no build output, builds the wheel from that archive alone
# (python3 -m build --no-isolation), installs the wheel with pip into a
# fresh virtual environment and imports it from outside the source tree,
# its metadata included.
set -euo pipefail
python="$1" source="$2" venv="$3"

rm -rf "$venv"
dist=$venv.dist
rm -rf "$dist"
"$python" -m build --no-isolation --outdir "$dist" "$source" >"$dist.log" 2>&1 ||
  { cat "$dist.log" >&2; exit 1; }
sdist=$(echo "$dist"/morvane-*.tar.gz)
wheel=$(echo "$dist"/morvane-*.whl)
[[ -f $sdist && -f $wheel ]] || { echo "no source archive or wheel in $dist" >&2; exit 1; }

# Each entry the archive must have, and none under a build folder.
listing=$(tar -tzf "$sdist")
top=$(basename "$sdist" .tar.gz)
for entry in CMakeLists.txt cmake/version.h.in setup.py pyproject.toml LICENSE PKG-INFO \
  gateway/include/tessaly/morvane/wg.h platform/include/tessaly/platform/error.h \
  bindings/python/module.cc bindings/python/morvane/__init__.pyi; do
  grep -qxF "$top/$entry" <<<"$listing" || { echo "$sdist lacks $entry" >&2; exit 1; }
done
if grep -E "^$top/(build|.*/tests?)/" <<<"$listing"; then
  echo "$sdist holds build output or tests (above)" >&2
  exit 1
fi

"$python" -m venv "$venv"
"$venv/bin/python" -m pip install --quiet --no-index --no-cache-dir "$wheel"

# Settings of its own, on loopback, for the module's first use.
export WINDIR=$venv/windows
mkdir -p "$WINDIR"
printf '%-20s%-20s%-20s' 127.0.0.1 127.0.0.1 1 >"$WINDIR/morvane.ini"

cd "$venv"
env -u PYTHONPATH "$venv/bin/python" - "$venv" <<'PYTHON'
import importlib.metadata, pathlib, sys
import morvane
venv = pathlib.Path(sys.argv[1]).resolve()
where = pathlib.Path(morvane.__file__).resolve()
assert venv in where.parents, f"imported from {where}, not from {venv}"
for name in ("py.typed", "__init__.pyi"):
    assert (where.parent / name).is_file(), f"{name} not installed"
assert morvane.Result.NO_SUCH_USER == -101
assert morvane.WG().error_number == 0
metadata = importlib.metadata.metadata("morvane")
assert metadata["Version"] == morvane.__version__, metadata["Version"]
assert metadata["License"] == "MIT", metadata["License"]
print("morvane", morvane.__version__, "from", where.parent)
PYTHON
