#!/bin/sh
# Sets up the machine, checks the sources (formatting, layers), then builds
# and runs the whole test suite twice, warnings as errors: in the optimised
# build and in a build with address and undefined-behaviour sanitizers. Then
# the Windows twins of the lowest layers are cross-built and tested under Wine.
set -eu
cd "$(dirname "$0")/.."
tools/setup.sh
echo "== source checks"
tools/check-format.sh
tools/check-layers.sh
for variant in normal sanitize; do
    echo "== $variant build"
    tools/build.sh "$variant"
    echo "== $variant tests"
    ctest --test-dir "build/$variant" --output-on-failure -j "$(nproc)"
done
tools/windows.sh
echo "== short fuzzing run"
tools/fuzz.sh --seconds 15
echo "== all tests passed in both builds"
