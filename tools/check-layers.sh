#!/bin/sh
# Checks the includes between folders. Exits 1 and names every include that
# runs the wrong way.
# - Between the folders of src/, includes point downward only: a file may
#   include its own folder and the layers below it, never a layer above it
#   nor a neighbour of the same layer (that is how cycles start). Only app/qt
#   includes Qt, only store includes sqlite3.h, and nothing in src/ includes
#   a file from outside it.
# - tools/, bench/ and tests/ stand above src/: each may include src/, its own
#   files and the test-support library (tests/support, as "support/name.h"),
#   never one another, so what they share lives in that library.
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

{
    git -c core.quotepath=off ls-files | sed 's/^/file /'
    git -c core.quotepath=off grep -n -E '^#[[:space:]]*include[[:space:]]*[<"]' -- \
        'src/*.h' 'src/*.cpp' 'tools/*.h' 'tools/*.cpp' 'bench/*.h' 'bench/*.cpp' \
        'tests/*.h' 'tests/*.cpp' | sed 's/^/include /'
} | awk -v layers="$layers" '
    function folder(path) {
        if (path ~ /^app\/qt\//) return "app/qt"
        sub(/\/.*/, "", path)
        return path
    }
    function top(path) {
        sub(/\/.*/, "", path)
        return path
    }
    function parent(path) {
        sub(/\/[^\/]*$/, "", path)
        return path
    }
    # The path with its "." and ".." steps taken; empty when it leaves the tree.
    function resolved(path,    parts, kept, n, k, i, out) {
        n = split(path, parts, "/")
        k = 0
        for (i = 1; i <= n; i++) {
            if (parts[i] == "." || parts[i] == "") continue
            if (parts[i] == "..") {
                if (k == 0) return ""
                k--
                continue
            }
            kept[++k] = parts[i]
        }
        out = kept[1]
        for (i = 2; i <= k; i++) out = out "/" kept[i]
        return out
    }
    function complain(text) {
        print "check-layers: " text
        status = 1
    }
    function checkSource(file, included, angled,    own, target) {
        own = folder(substr(file, 5))
        if (!(own in rank)) {
            complain(file ": folder " own " is in no layer (add it to tools/check-layers.sh)")
            return
        }
        if (angled) {
            if (included ~ /^Q/ || included ~ /^q[a-z0-9_]*\.h$/) {
                if (own != "app/qt") complain(file " includes <" included ">: only app/qt uses Qt")
            } else if (included ~ /^sqlite3(ext)?\.h$/ && own != "store") {
                complain(file " includes <" included ">: only store uses SQLite directly")
            }
            return
        }
        if (included ~ /^sqlite3(ext)?\.h$/) {
            if (own != "store") complain(file " includes \"" included "\": only store uses SQLite directly")
            return
        }
        if (included !~ /\//) {
            if (!((parent(file) "/" included) in files))
                complain(file " includes \"" included "\": no such file beside it (name others by their folder)")
            return
        }
        if (!(("src/" included) in files)) {
            complain(file " includes \"" included "\": src/ includes only its own files")
            return
        }
        target = folder(included)
        if (target != own && (target in rank) && rank[target] >= rank[own])
            complain(file " includes \"" included "\": " own " may not use " target)
    }
    # tools, bench and tests: src, their own files, and the test-support library.
    function checkAbove(file, included,    own, beside, inLibrary) {
        own = top(file)
        inLibrary = file ~ /^tests\/support\//
        beside = resolved(parent(file) "/" included)
        if (beside in files) {
            if (top(beside) != own || (inLibrary && beside !~ /^tests\/support\//))
                complain(file " includes \"" included "\": " beside " is outside its own folder")
            return
        }
        if (included ~ /^support\// && (("tests/" included) in files)) return
        if (("src/" included) in files) return
        if (own == "tests" && !inLibrary && (("tests/" included) in files)) return
        if (inLibrary)
            complain(file " includes \"" included "\": the test-support library includes only src/ and itself")
        else
            complain(file " includes \"" included "\": " own "/ includes only src/, its own files " \
                     "and the test-support library (\"support/...\")")
    }
    BEGIN {
        count = split(layers, lines, "\n")
        for (i = 1; i <= count; i++) {
            n = split(lines[i], names, " ")
            for (j = 1; j <= n; j++) rank[names[j]] = i
        }
        status = 0
    }
    $1 == "file" {
        files[substr($0, 6)] = 1
        next
    }
    {
        # include file:line:#include "dir/name.h"  (or <name>)
        line = substr($0, 9)
        file = line; sub(/:.*/, "", file)
        included = line; sub(/^[^:]*:[^:]*:[^<"]*[<"]/, "", included); sub(/[>"].*/, "", included)
        angled = line ~ /^[^:]*:[^:]*:[^<"]*</
        if (file ~ /^src\//) {
            checkSource(file, included, angled)
        } else if (!angled) {
            checkAbove(file, included)
        }
    }
    END {
        if (status == 0) print "check-layers: every include points downward"
        exit status
    }'
