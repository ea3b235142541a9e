#!/bin/sh
# Configures and builds one variant: "normal" (default) or "sanitize".
# Usage: tools/build.sh [normal|sanitize]
set -eu
cd "$(dirname "$0")/.."
variant=${1:-normal}
case "$variant" in
    normal) sanitize=OFF ;;
    sanitize) sanitize=ON ;;
    *) echo "build: unknown variant '$variant' (normal or sanitize)" >&2; exit 2 ;;
esac
dir=build/$variant
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCHENGXI_SANITIZE=$sanitize >/dev/null
cmake --build "$dir" -j "$(nproc)"
