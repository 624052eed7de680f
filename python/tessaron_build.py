"""The build backend of `pip install .` and `pip wheel .` (PEP 517).

It builds the extension with CMake in a folder of the clone (build-wheel, or
the folder named by the config setting ``build-dir`` or TESSARON_WHEEL_BUILD;
built again incrementally), installs the package's files there and packs
them into a wheel. It needs nothing from the network: CMake, a C++20
compiler, Python's headers and pybind11 (Debian: cmake, g++, python3-dev,
pybind11-dev; scripts/deps.sh installs them).
"""

from __future__ import annotations

import base64
import hashlib
import os
import shutil
import subprocess
import sys
import sysconfig
import zipfile
from pathlib import Path

try:
    import tomllib
except ModuleNotFoundError:  # Python before 3.11
    import tomli as tomllib

ROOT = Path(__file__).resolve().parents[1]


def _project() -> dict:
    with open(ROOT / "pyproject.toml", "rb") as file:
        return tomllib.load(file)["project"]


def _run(command: list) -> None:
    print("tessaron_build:", " ".join(map(str, command)), flush=True)
    subprocess.run(command, check=True)


def _build(config_settings: dict | None) -> tuple[Path, str]:
    """Builds and installs the package into <build>/wheel-root; returns that folder and the version."""
    settings = config_settings or {}
    build = Path(settings.get("build-dir") or os.environ.get("TESSARON_WHEEL_BUILD") or ROOT / "build-wheel")
    build = build if build.is_absolute() else ROOT / build
    cmake = shutil.which("cmake")
    if cmake is None:
        raise RuntimeError("tessaron needs CMake to build (Debian: apt-get install cmake)")
    configure = [cmake, "-S", ROOT, "-B", build, "-DCMAKE_BUILD_TYPE=Release", "-DTESSARON_BUILD_TESTS=OFF",
                 "-DTESSARON_BUILD_GUI=OFF", "-DTESSARON_BUILD_BENCH=OFF", "-DTESSARON_SANITIZE=OFF",
                 "-DTESSARON_BUILD_PYTHON=ON", f"-DPython3_EXECUTABLE={sys.executable}",
                 "-DTESSARON_PYTHON_INSTALL_DIR=."]
    if not (build / "CMakeCache.txt").exists() and shutil.which("ninja"):
        configure += ["-G", "Ninja"]
    _run(configure)
    _run([cmake, "--build", build, "--target", "tessaron_python", "--parallel", str(os.cpu_count() or 2)])
    root = build / "wheel-root"
    shutil.rmtree(root, ignore_errors=True)
    _run([cmake, "--install", build, "--component", "python", "--prefix", root])
    package = root / "tessaron"
    if not any(package.glob("_core*.so")):
        raise RuntimeError("the extension was not built: CMake found no pybind11 or no Python headers for "
                           f"{sys.executable} (Debian: apt-get install pybind11-dev python3-dev)")
    scope: dict = {}
    exec((package / "_version.py").read_text(encoding="utf-8"), scope)
    return root, scope["__version__"]


def _tag() -> str:
    interpreter = f"cp{sys.version_info.major}{sys.version_info.minor}"
    platform = sysconfig.get_platform().replace("-", "_").replace(".", "_")
    return f"{interpreter}-{interpreter}{sys.abiflags}-{platform}"


def _metadata(version: str) -> str:
    project = _project()
    lines = ["Metadata-Version: 2.1", f"Name: {project['name']}", f"Version: {version}",
             f"Summary: {project['description']}", "License: MIT",
             f"Requires-Python: {project['requires-python']}"]
    lines += [f"Requires-Dist: {dependency}" for dependency in project.get("dependencies", [])]
    for extra, dependencies in project.get("optional-dependencies", {}).items():
        lines.append(f"Provides-Extra: {extra}")
        lines += [f'Requires-Dist: {dependency}; extra == "{extra}"' for dependency in dependencies]
    readme = ROOT / project.get("readme", "README.md")
    text = readme.read_text(encoding="utf-8") if readme.exists() else ""
    lines.append("Description-Content-Type: text/markdown")
    return "\n".join(lines) + "\n\n" + text


def _record_line(name: str, data: bytes) -> str:
    digest = base64.urlsafe_b64encode(hashlib.sha256(data).digest()).rstrip(b"=").decode()
    return f"{name},sha256={digest},{len(data)}"


def get_requires_for_build_wheel(config_settings=None):
    return []


def build_wheel(wheel_directory, config_settings=None, metadata_directory=None):
    root, version = _build(config_settings)
    name = f"tessaron-{version}-{_tag()}.whl"
    info = f"tessaron-{version}.dist-info"
    files = {}
    for path in sorted((root / "tessaron").rglob("*")):
        if path.is_file() and "__pycache__" not in path.parts:
            files[path.relative_to(root).as_posix()] = path.read_bytes()
    files[f"{info}/METADATA"] = _metadata(version).encode()
    files[f"{info}/WHEEL"] = (f"Wheel-Version: 1.0\nGenerator: tessaron_build\nRoot-Is-Purelib: false\n"
                              f"Tag: {_tag()}\n").encode()
    files[f"{info}/LICENSE"] = (ROOT / "LICENSE").read_bytes()
    record = [_record_line(file, data) for file, data in files.items()] + [f"{info}/RECORD,,"]
    files[f"{info}/RECORD"] = ("\n".join(record) + "\n").encode()
    with zipfile.ZipFile(Path(wheel_directory) / name, "w", zipfile.ZIP_DEFLATED) as wheel:
        for file, data in files.items():
            entry = zipfile.ZipInfo(file, date_time=(2020, 1, 1, 0, 0, 0))
            entry.external_attr = (0o755 if file.endswith(".so") else 0o644) << 16
            entry.compress_type = zipfile.ZIP_DEFLATED
            wheel.writestr(entry, data)
    return name
