#!/usr/bin/env bash
# Checks what users install:
# - `cmake --install`: builds a Release tree without the tests (the desktop
#   program too when TESSARON_PACKAGE_GUI=ON) in build-package for the prefix
#   /usr, installs it into a temporary prefix, builds the C++ example against
#   it (with CMake, and with pkg-config beside a file that includes every
#   installed header), then runs the Python module's tests on the installed
#   package;
# - the Debian package: `cpack -G DEB` in that build, checked by lintian (no
#   errors), unpacked with dpkg-deb -x into a temporary root whose programs
#   and module then run;
# - the wheel: `pip wheel .` (in build-wheel), installed into a fresh
#   `python3 -m venv --system-site-packages`, where the Python tests pass.
#
# TESSARON_PACKAGE_BUILD names another build folder; TESSARON_PYTHON another
# interpreter (default /usr/bin/python3, which Debian's python3-* packages
# serve); TESSARON_PACKAGE_GUI=ON builds and packs the desktop program too.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

bash "$TESSARON_ROOT/scripts/deps.sh"

python="${TESSARON_PYTHON:-/usr/bin/python3}"
gui="${TESSARON_PACKAGE_GUI:-OFF}"
build="${TESSARON_PACKAGE_BUILD:-$TESSARON_ROOT/build-package}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"

echo "Package: building and installing into a temporary prefix"
if ! { cmake -S "$TESSARON_ROOT" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSARON_WERROR=ON \
    -DTESSARON_BUILD_TESTS=OFF -DTESSARON_BUILD_GUI="$gui" -DTESSARON_BUILD_BENCH=OFF -DTESSARON_SANITIZE=OFF \
    -DTESSARON_BUILD_PYTHON=ON -DPython3_EXECUTABLE="$python" -DCMAKE_INSTALL_PREFIX=/usr &&
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
# (in lib/ or, for the /usr prefix of the Debian package, the multiarch lib/<triplet>/)
pkgconfig="$(dirname "$(find "$prefix" -name tessaron.pc -print -quit)")"
export PKG_CONFIG_PATH="$pkgconfig"
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

echo "Package: the Debian package"
rm -f "$build"/tessaron_*.deb
(cd "$build" && cpack -G DEB) >"$work/cpack.log" 2>&1 || {
    cat "$work/cpack.log" >&2
    echo "error: cpack -G DEB failed" >&2
    exit 1
}
debs=("$build"/tessaron_*.deb)
deb="${debs[0]}"
dpkg-deb --field "$deb" Package Version Depends
# lintian runs as a user (as root it warns and goes on); its errors fail the test.
lintian --no-tag-display-limit "$deb" >"$work/lintian.log" 2>&1 || true
sed 's/^/  lintian: /' "$work/lintian.log"
if grep -q '^E:' "$work/lintian.log"; then
    echo "error: lintian finds errors in $(basename "$deb")" >&2
    exit 1
fi
root="$work/root"
dpkg-deb -x "$deb" "$root"
"$root/usr/bin/tessaron-cli" --version
unpacked="$("$root/usr/bin/tessaron-cli" --report pairs "$genome" | md5sum)"
installed="$("$prefix/bin/tessaron-cli" --report pairs "$genome" | md5sum)"
if [[ "$unpacked" != "$installed" ]]; then
    echo "error: the packaged tessaron-cli writes other pairs than the installed one" >&2
    exit 1
fi
if [[ -x "$root/usr/bin/tessaron" ]]; then
    QT_QPA_PLATFORM=offscreen timeout 60 "$root/usr/bin/tessaron" --version
fi
(cd "$work" && PYTHONPATH="$root/usr/lib/python3/dist-packages" timeout 120 "$python" -c '
import sys, tessaron
assert tessaron.__file__.startswith(sys.argv[1]), tessaron.__file__
pairs = tessaron.repeats(tessaron.read(sys.argv[2]))
print("Package: the unpacked module", tessaron.__version__, "finds", len(pairs), "pairs")
' "$root" "$genome")

echo "Package: the wheel in a fresh virtual environment"
(cd "$TESSARON_ROOT" && "$python" -m pip wheel --no-deps --no-build-isolation --wheel-dir "$work/wheels" .) \
    >"$work/wheel.log" 2>&1 || {
    cat "$work/wheel.log" >&2
    echo "error: pip wheel . failed" >&2
    exit 1
}
"$python" -m venv --system-site-packages "$work/venv"
"$work/venv/bin/python" -m pip install --quiet --no-index --no-deps "$work"/wheels/tessaron-*.whl
"$work/venv/bin/python" -m pip show tessaron | grep -E '^(Name|Version|Requires):'
cd "$work"
TESSARON_CLI="$prefix/bin/tessaron-cli" timeout 600 \
    "$work/venv/bin/python" -m pytest -p no:cacheprovider -q "$TESSARON_ROOT/python/tests"
