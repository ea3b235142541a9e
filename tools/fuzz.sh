#!/bin/sh
# Builds the fuzz targets with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer in build/fuzz, then runs each target in turn.
#
# Usage: tools/fuzz.sh [--seconds N] [--runs N] [--keep] [TARGET...]
#   TARGET      workbook, xlsx, statement or settings; all four when none is named
#   --seconds N run each target for N seconds (default 60)
#   --runs N    stop each target after N inputs (whichever limit comes first)
#   --keep      merge what the run found, minimised, into
#               tests/data/fuzz/TARGET/corpus, and copy crashing inputs into
#               tests/data/fuzz/TARGET/crashers
#
# Inputs found by earlier runs stay in build/fuzz/corpus/TARGET, so runs
# build on each other; crashing inputs go to build/fuzz/crashes/TARGET.
# Prints the inputs run, the coverage reached and any crash; fails when a
# target crashed or a check in it failed.
set -eu
cd "$(dirname "$0")/.."

seconds=60
runs=""
keep=no
targets=""
while [ $# -gt 0 ]; do
    case "$1" in
        --seconds) seconds=$2; shift 2 ;;
        --runs) runs=$2; shift 2 ;;
        --keep) keep=yes; shift ;;
        workbook|xlsx|statement|settings) targets="$targets $1"; shift ;;
        *) echo "fuzz: unknown argument '$1'" >&2; sed -n 5,13p "$0" >&2; exit 2 ;;
    esac
done
[ -n "$targets" ] || targets="workbook xlsx statement settings"

dir=build/fuzz
data=tests/data/fuzz
cmake -S . -B "$dir" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCHENGXI_SANITIZE=ON -DCHENGXI_FUZZ=ON -DCHENGXI_BUILD_QT=OFF >/dev/null
build_targets=""
for t in $targets; do
    build_targets="$build_targets chengxi_${t}_fuzz"
done
# shellcheck disable=SC2086
cmake --build "$dir" -j "$(nproc)" --target $build_targets

# The folders a target starts from; the workbook targets also start from
# their fixtures.
seeds_of() {
    case "$1" in
        workbook) echo "$data/$1/seeds tests/data/xls" ;;
        xlsx) echo "$data/$1/seeds tests/data/xlsx" ;;
        *) echo "$data/$1/seeds" ;;
    esac
}

# The longest input of each target, and the limits that make a hang (a
# minute, as a busy machine can hold a process up for seconds) or a single
# allocation far beyond any input's size a fault like a crash; the replay
# tests (tests/fuzz/replay_main.cpp) use the same allocation limit.
options_of() {
    case "$1" in
        workbook|xlsx) echo "-max_len=65536" ;;
        statement) echo "-max_len=4096" ;;
        settings) echo "-max_len=16384" ;;
    esac
    echo "-timeout=60 -malloc_limit_mb=64 -rss_limit_mb=2048"
}

status=0
for t in $targets; do
    work=$dir/corpus/$t
    crashes=$dir/crashes/$t
    log=$dir/$t.log
    mkdir -p "$work" "$crashes" "$data/$t/corpus"
    dict=""
    [ -f "$data/$t.dict" ] && dict="-dict=$data/$t.dict"
    limit="-max_total_time=$seconds"
    [ -n "$runs" ] && limit="$limit -runs=$runs"
    echo "== fuzzing $t (log in $log)"
    start=$(date +%s)
    # New inputs go to the first folder only: the kept corpus and the seeds
    # are read, never written.
    bin=$dir/fuzz/chengxi_${t}_fuzz
    # shellcheck disable=SC2046,SC2086
    "$bin" "$work" "$data/$t/corpus" $(seeds_of "$t") $limit $dict $(options_of "$t") \
        -print_final_stats=1 -artifact_prefix="$crashes/" >"$log" 2>&1 || true
    elapsed=$(($(date +%s) - start))
    executed=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    progress=$(grep -E '^#[0-9]+' "$log" | tail -n 1 | grep -oE '(cov|ft|corp): [^ ]+' | tr '\n' ' ')
    echo "$t: ${executed:-?} inputs in ${elapsed} s; ${progress:-no coverage line}"
    # Slow units are written too, but are no fault: on a busy machine any
    # input can be slow.
    crash=$(sed -n 's/.*Test unit written to \(.*\)$/\1/p' "$log" | grep -v '/slow-unit-' | tail -n 1)
    if [ -n "$crash" ] || grep -q -E '^==[0-9]+==ERROR|fuzz check failed|runtime error' "$log"; then
        status=1
        echo "$t: CRASH${crash:+ (input: $crash)}"
        grep -E 'ERROR|SUMMARY|fuzz check failed|runtime error' "$log" | head -n 5
        if [ "$keep" = yes ] && [ -n "$crash" ]; then
            mkdir -p "$data/$t/crashers"
            cp "$crash" "$data/$t/crashers/"
        fi
    else
        echo "$t: no crash"
    fi
    if [ "$keep" = yes ]; then
        # The seeds go in first, so only inputs that reach something the
        # seeds do not are kept; then they come out again.
        merged=$dir/merge/$t
        rm -rf "$merged"
        mkdir -p "$merged"
        for s in $(seeds_of "$t"); do
            [ -d "$s" ] && find "$s" -maxdepth 1 -type f -exec cp {} "$merged/" \;
        done
        ls "$merged" >"$dir/merge/$t.seeds"
        # shellcheck disable=SC2046,SC2086
        "$bin" -merge=1 "$merged" "$data/$t/corpus" "$work" $(options_of "$t") \
            >"$dir/merge/$t.log" 2>&1
        while read -r name; do
            rm -f "$merged/$name"
        done <"$dir/merge/$t.seeds"
        rm -f "$data/$t/corpus"/*
        find "$merged" -maxdepth 1 -type f -exec cp {} "$data/$t/corpus/" \;
        echo "$t: kept corpus $(ls "$data/$t/corpus" | wc -l) inputs, $(du -sh "$data/$t/corpus" | cut -f1)"
    fi
done
exit $status
