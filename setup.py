# SPDX-License-Identifier: MIT

"""Builds the morvane package: the compiled _morvane holds the platform layer
and the gateway, so the installed module needs nothing from this tree.

The sources are the .cc files of platform/src and gateway/src (the same
folders the CMake build compiles) plus the binding; the version is the one in
the top-level CMakeLists.txt.
"""

import re
from pathlib import Path

from pybind11.setup_helpers import ParallelCompile, Pybind11Extension, build_ext
from setuptools import setup
from setuptools.command.sdist import sdist

ROOT = Path(__file__).resolve().parent
# Where setuptools puts its own build files, apart from the CMake tree's.
BUILD_BASE = Path("build") / "python-setuptools"
# The Windows directory used when WINDIR is unset, as in the CMake build.
DEFAULT_WINDIR = "/etc"


def project_version():
    cmake = (ROOT / "CMakeLists.txt").read_text()
    found = re.search(r"project\(Tessaly\s+VERSION\s+([0-9][0-9.]*)", cmake)
    if not found:
        raise RuntimeError("no project(Tessaly VERSION ...) in CMakeLists.txt")
    return found.group(1)


VERSION = project_version()


class BuildWithVersionHeader(build_ext):
    """Writes tessaly/version.h from cmake/version.h.in, as CMake does."""

    def build_extensions(self):
        generated = Path(self.build_temp) / "generated"
        header = generated / "tessaly" / "version.h"
        header.parent.mkdir(parents=True, exist_ok=True)
        template = (ROOT / "cmake" / "version.h.in").read_text()
        header.write_text(template.replace("@PROJECT_VERSION@", VERSION))
        for extension in self.extensions:
            extension.include_dirs.append(str(generated))
        super().build_extensions()


class SdistWithoutBuildFiles(sdist):
    """Leaves setuptools' own build files out of the source archive: they lie
    under BUILD_BASE (its egg-info with SOURCES.txt among them), and the
    archive's metadata is its PKG-INFO. What goes in says MANIFEST.in."""

    def make_release_tree(self, base_dir, files):
        files = [f for f in files if not Path(f).is_relative_to(BUILD_BASE)]
        super().make_release_tree(base_dir, files)


def sources():
    # The platform layer's system calls come in a POSIX and a Windows source
    # each; the module is built for POSIX systems only.
    found = sorted(str(p.relative_to(ROOT)) for folder in ("platform/src", "gateway/src")
                   for p in (ROOT / folder).glob("*.cc") if not p.stem.endswith("_win"))
    return found + ["bindings/python/module.cc"]


def headers():
    """Every header the sources may include, so a changed one rebuilds."""
    return sorted(str(p.relative_to(ROOT)) for folder in ("platform", "gateway")
                  for p in (ROOT / folder).glob("**/*.h") if "tests" not in p.parts)


ParallelCompile("TESSALY_JOBS", default=2).install()
(ROOT / BUILD_BASE).mkdir(parents=True, exist_ok=True)

setup(
    version=VERSION,
    packages=["morvane"],
    package_dir={"morvane": "bindings/python/morvane"},
    package_data={"morvane": ["py.typed", "*.pyi"]},
    ext_modules=[
        Pybind11Extension(
            "morvane._morvane",
            sources(),
            depends=headers(),
            include_dirs=["platform/include", "platform/internal", "platform/src",
                          "platform/src/posix", "gateway/include", "gateway/src"],
            define_macros=[("TESSALY_DEFAULT_WINDIR", f'"{DEFAULT_WINDIR}"')],
            cxx_std=20,
            extra_link_args=["-pthread"],
        )
    ],
    cmdclass={"build_ext": BuildWithVersionHeader, "sdist": SdistWithoutBuildFiles},
    options={"build": {"build_base": str(BUILD_BASE)},
             "egg_info": {"egg_base": str(BUILD_BASE)}},
    zip_safe=False,
)
