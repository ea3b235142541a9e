#!/bin/sh
# Sets up the machine, then builds and runs the whole test suite twice:
# in a normal build and in a build with address and undefined-behaviour sanitizers.
set -eu
cd "$(dirname "$0")/.."
tools/setup.sh
for variant in normal sanitize; do
    echo "== $variant build"
    tools/build.sh "$variant"
    echo "== $variant tests"
    ctest --test-dir "build/$variant" --output-on-failure -j "$(nproc)"
done
echo "== short fuzzing run"
tools/fuzz.sh --seconds 15
echo "== all tests passed in both builds"
