#!/usr/bin/env bash
# Installs the Debian packages needed to build, test and benchmark Tessaron.
# Quiet and idempotent: packages that are already installed are left alone,
# and the package lists are refreshed at most once per run.
# Extra package names given as arguments are installed too.
set -euo pipefail

# libdivsufsort-dev: the suffix sorting of the complete search.
# lld: the quick linker of the test build.
# genometools: its GFF3 validator checks the command line's GFF output in the tests;
# bedtools and tabix read the BED and the sorted GFF3 in the tests.
# zlib1g-dev: gzip and bgzip input. help2man: the man page, made from --help.
# qt6-base-dev, qt6-svg-dev, qt6-charts-dev, libgl-dev: the desktop program (Qt 6
# Widgets and Print Support, both in qt6-base-dev, SVG and Charts;
# libqt6opengl6-dev because the Charts CMake files ask for it);
# fonts-dejavu-core: a monospace face for the sequence pane, also offscreen.
packages=(cmake ninja-build g++ lld libgtest-dev libgmock-dev libbenchmark-dev libdivsufsort-dev zlib1g-dev time genometools bedtools tabix help2man
    qt6-base-dev qt6-svg-dev qt6-charts-dev libqt6opengl6-dev libgl-dev fonts-dejavu-core snakemake "$@")

# python3-dev, pybind11-dev, python3-pybind11: the Python module; python3-numpy
# its tables, python3-pandas its DataFrames (optional for users), python3-pytest
# its tests; pkg-config reads the installed tessaron.pc in the package test.
# python3-matplotlib the notebook example's plots; python3-venv the package
# test's fresh virtual environment for the wheel.
packages+=(python3-dev pybind11-dev python3-pybind11 python3-numpy python3-pandas python3-pytest pkg-config
    python3-matplotlib python3-venv)

# dpkg-dev (dpkg-shlibdeps), file and lintian: `cpack -G DEB` and its check in the package test.
packages+=(dpkg-dev file lintian)

# chromium (optional): the browser test of the HTML report runs it headless,
# and is skipped where it is missing.
packages+=(chromium)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg -s "$package" >/dev/null 2>&1; then
        missing+=("$package")
    fi
done
if ((${#missing[@]} == 0)); then
    exit 0
fi

sudo=()
if ((EUID != 0)); then
    sudo=(sudo)
fi

echo "Installing: ${missing[*]}" >&2
log="$(mktemp)"
trap 'rm -f "$log"' EXIT
if ! { "${sudo[@]}" apt-get update -qq &&
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -qq --no-install-recommends "${missing[@]}"; } >"$log" 2>&1; then
    cat "$log" >&2
    echo "error: could not install ${missing[*]}" >&2
    exit 1
fi
