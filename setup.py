"""Builds the module velmora with the project's own CMake, as pybind11's CMake example does."""

import os
import re
import shutil
import subprocess
import sys
from pathlib import Path

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

SOURCE = Path(__file__).resolve().parent


def project_version():
    text = (SOURCE / "CMakeLists.txt").read_text()
    return re.search(r"project\(Velmora VERSION ([0-9.]+)", text).group(1)


class CMakeBuild(build_ext):
    """Configures the whole project in the build folder and builds only the module."""

    def build_extension(self, ext):
        target = Path(self.get_ext_fullpath(ext.name)).resolve()
        build = Path(self.build_temp).resolve() / "cmake"
        build.mkdir(parents=True, exist_ok=True)
        configure = [
            "cmake", "-S", str(SOURCE), "-B", str(build),
            f"-DPython_EXECUTABLE={sys.executable}",
        ] + os.environ.get("CMAKE_ARGS", "").split()
        subprocess.run(configure, check=True)
        jobs = str(os.cpu_count() or 1)
        subprocess.run(["cmake", "--build", str(build), "--target", "velmora_python",
                        "-j", jobs], check=True)
        built = next((build / "python").glob("velmora*.so"))
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(built, target)
        # The type stubs beside the module, for editors.
        shutil.copyfile(SOURCE / "python" / "velmora.pyi", target.parent / "velmora.pyi")


setup(
    version=project_version(),
    ext_modules=[Extension("velmora", sources=[])],
    packages=[],
    py_modules=[],
    cmdclass={"build_ext": CMakeBuild},
    # The project's own CMake build folder is build/: keep setuptools' files out of it.
    options={"build": {"build_base": "build-python"}},
)
