#!/bin/sh
# Installs the Debian packages the program needs to build, run and test.
# Safe to run again: it only installs what is missing.
set -eu

# The last line is for the test on a real X server: the server, a window
# manager, input events, window and clipboard queries, screen captures, a
# fixed clock, and the check of the installed menu entry. The line before it
# cross-builds the Windows twins and runs their tests under Wine.
packages="cmake g++ clang clang-format make pkg-config libgtest-dev libgmock-dev qt6-base-dev libsqlite3-dev sqlite3 nettle-dev \
libzip-dev libexpat1-dev libxlsxwriter-dev qt6-charts-dev libqt6opengl6-dev poppler-utils \
fonts-wqy-microhei fonts-arphic-ukai fonts-arphic-uming python3-xlrd python3-xlwt python3-openpyxl libclang-rt-14-dev \
g++-mingw-w64-x86-64-posix wine wine64 \
xvfb xauth openbox xdotool x11-utils xclip imagemagick faketime desktop-file-utils \
zbar-tools"

missing=""
for p in $packages; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done
[ -z "$missing" ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
    sudo=""
elif command -v sudo >/dev/null 2>&1; then
    sudo="sudo"
else
    echo "setup: these packages are missing and neither root nor sudo is available:$missing" >&2
    exit 1
fi

echo "setup: installing$missing"
$sudo apt-get -o DPkg::Lock::Timeout=300 update -qq
# shellcheck disable=SC2086
$sudo env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=300 install -y -qq --no-install-recommends $missing
