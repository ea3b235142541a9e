#!/bin/sh
# Installs the Debian packages the program needs to build, run and test.
# Safe to run again: it only installs what is missing.
set -eu

packages="cmake g++ clang make pkg-config libgtest-dev libgmock-dev qt6-base-dev libsqlite3-dev nettle-dev \
fonts-wqy-microhei fonts-arphic-ukai python3-xlrd python3-xlwt libclang-rt-14-dev"

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
DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=300 install -y -qq --no-install-recommends $missing
