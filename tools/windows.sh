#!/bin/sh
# Cross-builds the platform and text layers and their tests for 64-bit
# Windows with MinGW-w64 (build/windows, warnings as errors) and runs the
# tests under Wine, in a Wine prefix of its own inside that folder. The code
# page 936 twin is compared, byte pair by byte pair and character by
# character, with the iconv conversion of a Linux build of the same layers
# (build/windows-iconv).
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=$(nproc)
options="-DCMAKE_BUILD_TYPE=Release -DCHENGXI_WERROR=ON -DCHENGXI_TWINS_ONLY=ON"

echo "== iconv reference"
# shellcheck disable=SC2086
cmake -S . -B build/windows-iconv $options >/dev/null
cmake --build build/windows-iconv -j "$jobs" --target chengxi_cp936_dump
mkdir -p build/windows
reference=$root/build/windows/cp936-iconv.txt
build/windows-iconv/chengxi_cp936_dump write "$reference"

echo "== Windows cross build"
# shellcheck disable=SC2086
cmake -S . -B build/windows --toolchain cmake/mingw-w64.cmake $options \
    -DCHENGXI_CP936_REFERENCE="$reference" >/dev/null
cmake --build build/windows -j "$jobs"

# Wine names files in the locale's character set: without a UTF-8 locale
# (a login without LANG) no file with a Chinese name could be made. No Mono
# or Gecko installer prompts: the tests need neither.
export LC_ALL=C.UTF-8
export WINEPREFIX="$root/build/windows/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "== first start of Wine in build/windows/wine (once)"
    if ! wineboot --init >build/windows/wineboot.log 2>&1; then
        cat build/windows/wineboot.log >&2
        exit 1
    fi
    wineserver --wait
fi

echo "== Windows tests under Wine"
status=0
ctest --test-dir build/windows --output-on-failure -j "$jobs" || status=$?
wineserver --wait
exit $status
