#!/bin/bash
# `cmake --install` gives a program that appears in the desktop menu: the
# executable, a valid menu entry with the Chinese name in the Office and
# Education categories, and its icon in the hicolor theme.
# Usage: install_test.sh BUILD_DIR
set -u
build=$1
prefix=$(mktemp -d "${TMPDIR:-/tmp}/chengxi-install.XXXXXX")
trap 'rm -rf "$prefix"' EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

cmake --install "$build" --prefix "$prefix" >"$prefix.log" 2>&1 || {
    cat "$prefix.log"
    rm -f "$prefix.log"
    echo "FAIL: cmake --install"
    exit 1
}
rm -f "$prefix.log"

[ -x "$prefix/bin/chengxi" ] || fail "an executable bin/chengxi"
entry="$prefix/share/applications/chengxi.desktop"
if [ ! -f "$entry" ]; then
    fail "a menu entry share/applications/chengxi.desktop"
else
    if command -v desktop-file-validate >/dev/null; then
        desktop-file-validate "$entry" | grep -v ': hint: ' | grep . && fail "a valid menu entry"
    fi
    value() { sed -n "s/^$1=//p" "$entry"; }
    [ "$(value Name)" = "澄溪图书管理系统" ] || fail "the name 澄溪图书管理系统, found $(value Name)"
    for category in Office Education; do
        value Categories | tr ';' '\n' | grep -qx "$category" || fail "the category $category"
    done
    [ -x "$prefix/bin/$(value Exec | cut -d' ' -f1)" ] || fail "Exec naming the installed program"
    icon=$(value Icon)
    for side in 16 32 48 256; do
        png="$prefix/share/icons/hicolor/${side}x${side}/apps/$icon.png"
        if [ ! -f "$png" ]; then
            fail "the icon $icon at ${side}x${side} in the hicolor theme"
        elif command -v identify >/dev/null; then
            size=$(identify -format '%wx%h' "$png")
            [ "$size" = "${side}x${side}" ] || fail "$png of ${side}x${side}, found $size"
        fi
    done
fi
# Nothing but the program goes to bin: no tool or test program.
extra=$(ls "$prefix/bin" | grep -vx chengxi)
[ -z "$extra" ] || fail "only chengxi in bin, found also: $extra"

echo "install: $failures failed"
[ "$failures" -eq 0 ]
