#!/bin/sh
# Sets up the machine, builds the program and starts it.
set -eu
cd "$(dirname "$0")/.."
tools/setup.sh
tools/build.sh normal
exec build/normal/src/app/qt/chengxi "$@"
