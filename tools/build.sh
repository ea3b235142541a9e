#!/bin/sh
# Configures and builds one variant, with warnings as errors:
#   normal    optimised as shipped (Release)
#   sanitize  address and undefined-behaviour sanitizers, with debug information
# Usage: tools/build.sh [normal|sanitize]
set -eu
cd "$(dirname "$0")/.."
variant=${1:-normal}
case "$variant" in
    normal) type=Release sanitize=OFF ;;
    sanitize) type=RelWithDebInfo sanitize=ON ;;
    *) echo "build: unknown variant '$variant' (normal or sanitize)" >&2; exit 2 ;;
esac
dir=build/$variant
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=$type -DCHENGXI_SANITIZE=$sanitize -DCHENGXI_WERROR=ON >/dev/null
cmake --build "$dir" -j "$(nproc)"
