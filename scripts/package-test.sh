#!/usr/bin/env bash
# Checks what `cmake --install` gives users: builds a Release tree without the
# desktop program and the tests (the Qt-free libraries, tessaron-cli and the
# Python module) in build-package, installs it into a temporary prefix, builds
# the C++ example against the prefix (with CMake, and with pkg-config beside a
# file that includes every installed header), then runs the Python module's
# tests on the installed package; pytest's summary closes the log.
#
# TESSARON_PACKAGE_BUILD names another build folder; TESSARON_PYTHON another
# interpreter (default /usr/bin/python3, which Debian's python3-* packages serve).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

bash "$TESSARON_ROOT/scripts/deps.sh"

python="${TESSARON_PYTHON:-/usr/bin/python3}"
build="${TESSARON_PACKAGE_BUILD:-$TESSARON_ROOT/build-package}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"

echo "Package: building and installing into a temporary prefix"
if ! { cmake -S "$TESSARON_ROOT" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSARON_WERROR=ON \
    -DTESSARON_BUILD_TESTS=OFF -DTESSARON_BUILD_GUI=OFF -DTESSARON_BUILD_BENCH=OFF -DTESSARON_SANITIZE=OFF \
    -DTESSARON_BUILD_PYTHON=ON -DPython3_EXECUTABLE="$python" &&
    cmake --build "$build" --parallel "$(nproc)" &&
    cmake --install "$build" --prefix "$prefix"; } >"$work/build.log" 2>&1; then
    cat "$work/build.log" >&2
    echo "error: the package build or install failed" >&2
    exit 1
fi
site="$prefix/$(sed -n 's/^TESSARON_PYTHON_INSTALL_DIR:[A-Z]*=//p' "$build/CMakeCache.txt")"
if [[ ! -f "$site/tessaron/__init__.py" ]]; then
    echo "error: the Python module was not installed into $site (is pybind11 there?)" >&2
    exit 1
fi

echo "Package: the example against the installed tree"
genome="$TESSARON_ROOT/data/NC_012920.gb"
cmake -S "$TESSARON_ROOT/examples/repeats" -B "$work/example" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_PREFIX_PATH="$prefix" >"$work/example.log" 2>&1 &&
    cmake --build "$work/example" >>"$work/example.log" 2>&1 || {
    cat "$work/example.log" >&2
    echo "error: the example does not build against the installed package" >&2
    exit 1
}
# Its pairs are the command line's direct pairs of the complete search.
expected="$("$prefix/bin/tessaron-cli" --complete --report pairs "$genome" | awk -F'\t' '$1 == "direct"' | wc -l)"
found="$("$work/example/repeat-pairs" "$genome" | tail -n +2 | wc -l)"
if [[ "$found" != "$expected" || "$found" == 0 ]]; then
    echo "error: the example found $found direct pairs, the command line $expected" >&2
    exit 1
fi
echo "Package: the example finds the command line's $found direct pairs"

# pkg-config: the example again, and every installed header compiles on its own terms.
export PKG_CONFIG_PATH="$prefix/lib/pkgconfig"
(cd "$prefix/include/tessaron" && find . -name '*.h' | sort | sed 's|^\./\(.*\)|#include "\1"|') >"$work/headers.cpp"
read -r -a flags <<<"$(pkg-config --cflags --libs tessaron)"
g++ -std=c++20 -fsyntax-only -Wall -Wextra "$work/headers.cpp" "${flags[@]}"
g++ -std=c++20 -O1 "$TESSARON_ROOT/examples/repeats/main.cpp" -o "$work/repeat-pairs-pc" "${flags[@]}"
"$work/repeat-pairs-pc" >/dev/null
echo "Package: tessaron.pc builds the example; the installed headers compile"

# The module from the prefix (run from an empty folder, so that nothing of
# the source tree is imported instead).
cd "$work"
PYTHONPATH="$site" "$python" -c 'import tessaron, sys; assert tessaron.__file__.startswith(sys.argv[1]), tessaron.__file__' "$site"
PYTHONPATH="$site" TESSARON_CLI="$prefix/bin/tessaron-cli" timeout 600 \
    "$python" -m pytest -p no:cacheprovider -q "$TESSARON_ROOT/python/tests"
