#!/usr/bin/env bash
# SPDX-License-Identifier: MIT

# pip_install.sh PYTHON SOURCE_DIR VENV_DIR: installs the module with pip into
# a fresh virtual environment (the distribution's setuptools and pybind11, no
# network) and imports it from outside the source tree.
set -euo pipefail
python="$1" source="$2" venv="$3"

rm -rf "$venv"
"$python" -m venv --system-site-packages "$venv"
"$venv/bin/python" -m pip install --quiet --no-build-isolation --no-index --no-cache-dir "$source"

cd "$venv"
env -u PYTHONPATH "$venv/bin/python" - "$venv" <<'PYTHON'
import pathlib, sys
import morvane
venv = pathlib.Path(sys.argv[1]).resolve()
where = pathlib.Path(morvane.__file__).resolve()
assert venv in where.parents, f"imported from {where}, not from {venv}"
for name in ("py.typed", "__init__.pyi"):
    assert (where.parent / name).is_file(), f"{name} not installed"
assert morvane.Result.NO_SUCH_USER == -101
assert morvane.WG().error_number == 0
print("morvane", morvane.__version__, "from", where.parent)
PYTHON
