#!/usr/bin/env bash
# Cross-builds the plain core and its tests for 64-bit Windows and runs them under Wine.
# Usage: scripts/test-windows.sh [build folder, default build-win]
# Everything comes from Debian's packages: mingw-w64, Wine, SQLite from Debian's source package,
# GoogleTest from /usr/src/googletest. Wine runs in a throw-away prefix inside the build folder.
# Compiling and Wine run at a lower priority: the machine is shared. A failing test fails the script.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
build="$(realpath -m "${1:-build-win}")"
deps="$build/deps"
jobs="$(nproc)"

packages=(g++-mingw-w64-x86-64-posix wine wine64 tcl dpkg-dev googletest cmake ninja-build)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
if [ ${#missing[@]} -gt 0 ]; then
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
fi
low="nice -n 10"
mkdir -p "$build" "$deps"

# SQLite: the amalgamation made from Debian's sqlite3 source package (the version the native
# build links), compiled for Windows. The source index lives in the build folder, so the
# machine's apt configuration is left as it is.
if [ ! -f "$deps/lib/libsqlite3.a" ]; then
    work="$build/sqlite-src"
    rm -rf "$work" && mkdir -p "$work/lists/partial"
    . /etc/os-release
    printf 'deb-src http://deb.debian.org/debian %s main\ndeb-src http://deb.debian.org/debian-security %s-security main\n' \
        "$VERSION_CODENAME" "$VERSION_CODENAME" >"$work/sources.list"
    apt_src=(-o "Dir::Etc::SourceList=$work/sources.list" -o Dir::Etc::SourceParts=/nonexistent
             -o "Dir::State::Lists=$work/lists" -o APT::Sandbox::User=root)
    apt-get -qq "${apt_src[@]}" update
    version="$(dpkg-query -W -f='${Version}' libsqlite3-dev 2>/dev/null || true)"
    (cd "$work" && apt-get -qq "${apt_src[@]}" source --download-only "sqlite3${version:+=$version}" ||
                   apt-get -qq "${apt_src[@]}" source --download-only sqlite3)
    (cd "$work" && dpkg-source -x --no-check ./*.dsc tree >/dev/null)
    mkdir -p "$work/amalgamation"
    (cd "$work/amalgamation" && ../tree/configure --disable-tcl >/dev/null && $low make sqlite3.c >/dev/null)
    mkdir -p "$deps/include" "$deps/lib"
    $low x86_64-w64-mingw32-gcc-posix -O2 -DSQLITE_THREADSAFE=1 -c "$work/amalgamation/sqlite3.c" -o "$work/sqlite3.o"
    x86_64-w64-mingw32-ar rcs "$deps/lib/libsqlite3.a" "$work/sqlite3.o"
    cp "$work/amalgamation/sqlite3.h" "$deps/include/"
    rm -rf "$work"
fi

if [ ! -f "$deps/lib/cmake/GTest/GTestConfig.cmake" ]; then
    cmake -S /usr/src/googletest -B "$build/googletest" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DCMAKE_INSTALL_PREFIX="$deps" \
        -Dgtest_disable_pthreads=OFF >/dev/null
    $low cmake --build "$build/googletest" -j"$jobs" >/dev/null
    cmake --install "$build/googletest" >/dev/null
    rm -rf "$build/googletest"
fi

cmake -S . -B "$build/core" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DLUMETRA_WIN_DEPS="$deps" \
    -DLUMETRA_WITH_QT=OFF -DLUMETRA_BUILD_BENCH=OFF
$low cmake --build "$build/core" -j"$jobs"

# A fresh prefix of our own: the tests' registry keys and files never meet a real one.
export WINEPREFIX="$build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
mkdir -p "$WINEPREFIX"
trap 'wineserver -k 2>/dev/null || true' EXIT
# Windows without a display: the tests make windows of their own, nothing is drawn. Wine's
# desktop takes the setting when it starts, so the prefix is made first and Wine started anew.
if ! grep -qs '"Graphics"="null"' "$WINEPREFIX/user.reg"; then
    $low wineboot --init </dev/null >/dev/null 2>&1
    $low wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f </dev/null >/dev/null 2>&1
    wineserver -k 2>/dev/null || true
    wineserver -w
fi
# A persistent wineserver saves each test program from starting one of its own; one left
# running in this prefix (an earlier run) serves as well.
$low wineserver -p 2>/dev/null || true
# Start Wine's own services now, away from ctest: started by a test program, they would keep
# its output pipe open and its listing would time out.
$low wineboot </dev/null >/dev/null 2>&1
$low ctest --test-dir "$build/core" --output-on-failure --timeout 120 -j2 --no-tests=error
