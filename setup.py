# SPDX-License-Identifier: MIT
"""Builds the extension lcs._lcs with the project's own CMake (Ninja, the
Python that runs this), so that pip installs the same engine as the CMake
build; the package's Python files come from python/lcs."""
import os
import re
import shutil
import subprocess
import sys
from pathlib import Path

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

ROOT = Path(__file__).resolve().parent


def project_version():
    text = (ROOT / "CMakeLists.txt").read_text(encoding="utf-8")
    return re.search(r"project\(lcs VERSION (\S+)", text).group(1)


class CMakeBuild(build_ext):
    """Configures and builds the target _lcs, then puts it where setuptools wants it."""

    def build_extension(self, ext):
        for tool in ("cmake", "ninja"):
            if shutil.which(tool) is None:
                sys.exit(f"building lcs needs {tool}: apt-get install cmake ninja-build")
        build = Path(self.build_temp).resolve() / "cmake"
        subprocess.run(["cmake", "-S", str(ROOT), "-B", str(build), "-G", "Ninja",
                        "-DCMAKE_BUILD_TYPE=Release", "-DLCS_TESTS=OFF",
                        f"-DPython3_EXECUTABLE={sys.executable}"], check=True)
        jobs = str(os.cpu_count() or 1)
        subprocess.run(["cmake", "--build", str(build), "--target", "_lcs", "-j", jobs], check=True)
        built = next((build / "python" / "lcs").glob("_lcs*.so"))
        target = Path(self.get_ext_fullpath(ext.name))
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(built, target)


setup(
    version=project_version(),
    packages=["lcs"],
    package_dir={"lcs": "python/lcs"},
    package_data={"lcs": ["py.typed", "*.pyi"]},
    ext_modules=[Extension("lcs._lcs", sources=[])],
    cmdclass={"build_ext": CMakeBuild},
)
