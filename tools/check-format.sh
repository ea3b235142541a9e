#!/bin/sh
# Checks that every C++ file is formatted as .clang-format says.
set -eu
cd "$(dirname "$0")/.."
if git ls-files -z '*.h' '*.cpp' | xargs -0 clang-format --dry-run --Werror; then
    echo "check-format: every file is formatted"
else
    echo "check-format: run clang-format -i on the files above" >&2
    exit 1
fi
