"""Builds the package velmora with the project's own CMake, as pybind11's CMake example does."""

import os
import re
import subprocess
import sys
import tempfile
from pathlib import Path

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

SOURCE = Path(__file__).resolve().parent


def project_version():
    text = (SOURCE / "CMakeLists.txt").read_text()
    return re.search(r"project\(Velmora VERSION ([0-9.]+)", text).group(1)


class CMakeBuild(build_ext):
    """Configures the whole project in the build folder, builds only the module and installs the
    package (module, Python, stubs and py.typed) as CMake installs it, stripped."""

    def build_extension(self, ext):
        target = Path(self.get_ext_fullpath(ext.name)).resolve()
        build = Path(self.build_temp).resolve() / "cmake"
        build.mkdir(parents=True, exist_ok=True)
        # pip shows none of this without -v: say once, where pip shows it, that it takes a while.
        print("velmora: building the module with CMake takes a few minutes "
              "(pip install -v shows its progress)", file=sys.stderr, flush=True)
        configure = [
            "cmake", "-S", str(SOURCE), "-B", str(build), "-DCMAKE_BUILD_TYPE=Release",
            f"-DPython_EXECUTABLE={sys.executable}", "-DVELMORA_PYTHON_DIR=.",
        ] + os.environ.get("CMAKE_ARGS", "").split()
        subprocess.run(configure, check=True)
        jobs = str(os.cpu_count() or 1)
        subprocess.run(["cmake", "--build", str(build), "--target", "velmora_python",
                        "-j", jobs], check=True)
        with tempfile.TemporaryDirectory() as staging:
            subprocess.run(["cmake", "--install", str(build), "--component", "python",
                            "--prefix", staging], check=True)
            self.copy_tree(str(Path(staging) / "velmora"), str(target.parent))


setup(
    version=project_version(),
    ext_modules=[Extension("velmora._velmora", sources=[])],
    packages=[],
    py_modules=[],
    cmdclass={"build_ext": CMakeBuild},
    # The project's own CMake build folder is build/: keep setuptools' files out of it.
    options={"build": {"build_base": "build-python"}},
)
