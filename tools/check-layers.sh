#!/bin/sh
# Checks that includes between the folders of src/ point downward only: a
# file may include its own folder and the layers below it, never a layer
# above it nor a neighbour of the same layer (that is how cycles start).
# Exits 1 and names every include that runs the wrong way.
set -eu
cd "$(dirname "$0")/.."

# The layers, lowest first; folders on one line are neighbours.
layers='platform
text barcode
store
xls
library
ui
auth backups catalog circulation readers
exchange
schoolyear overview
app
app/qt'

git grep -n '^#include "[^"]*/' -- 'src/*.h' 'src/*.cpp' | awk -v layers="$layers" '
    function folder(path) {
        if (path ~ /^app\/qt\//) return "app/qt"
        sub(/\/.*/, "", path)
        return path
    }
    BEGIN {
        count = split(layers, lines, "\n")
        for (i = 1; i <= count; i++) {
            n = split(lines[i], names, " ")
            for (j = 1; j <= n; j++) rank[names[j]] = i
        }
        status = 0
    }
    {
        # file:line:#include "dir/name.h"
        file = $0; sub(/:.*/, "", file)
        included = $0; sub(/^[^"]*"/, "", included); sub(/".*/, "", included)
        own = folder(substr(file, 5))
        target = folder(included)
        if (!(own in rank)) {
            print "check-layers: " file ": folder " own " is in no layer (add it to tools/check-layers.sh)"
            status = 1
        } else if (target != own && (target in rank) && rank[target] >= rank[own]) {
            print "check-layers: " file " includes \"" included "\": " own " may not use " target
            status = 1
        }
    }
    END {
        if (status == 0) print "check-layers: every include points downward"
        exit status
    }'
