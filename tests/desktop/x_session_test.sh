#!/bin/bash
# The program on a real X server, used as a librarian uses it: Xvfb with a
# window manager, the real executable started from a fresh program folder,
# real key and mouse events (XTest, through xdotool), and checks made only on
# what the X server reports (geometry, stacking, map state, the clipboard) and
# on screen captures.
#
# Usage: x_session_test.sh CHENGXI HELPER
# Exits 77 (skipped) only when Xvfb cannot start.
set -u

program=$1
helper=$2

# The clock the program runs under: fixed, so the tick count its verification
# code is seeded from is known; the helper reads the same tick count and
# draws the codes with the program's rule.
fixed_time="2015-11-16 10:30:00"
export TZ=UTC
# Window titles are matched in Chinese, which the tools read through the
# locale: C.UTF-8 is there on every Debian machine, whatever the user's is.
export LC_ALL=C.UTF-8
# A sanitizer runtime cannot come first before the fixed clock's library.
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:verify_asan_link_order=0"
screen_width=1280
screen_height=1024

failures=0
work=$(mktemp -d "${TMPDIR:-/tmp}/chengxi-x.XXXXXX")
pids=()

cleanup() {
    # The programs and the window manager before the server they talk to.
    local i
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[i]}" 2>/dev/null
        wait "${pids[i]}" 2>/dev/null
    done
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

pass() {
    echo "ok: $*"
}

# What the program printed, to tell why a check failed.
program_output() {
    local log
    for log in "$work"/*/out.log; do
        [ -s "$log" ] || continue
        echo "the program's output ($log):"
        head -n 40 "$log"
    done
}

# The test cannot go on after this.
abort() {
    echo "FAIL: $*"
    program_output
    echo "0 passed, 1 failed"
    exit 1
}

for tool in xdotool xwininfo xprop xclip import convert compare openbox faketime; do
    command -v "$tool" >/dev/null || abort "$tool is missing: run tools/setup.sh"
done

# --- the X server and the window manager ------------------------------------

if ! command -v Xvfb >/dev/null; then
    echo "SKIP: Xvfb cannot start: it is not installed (tools/setup.sh installs it)"
    exit 77
fi
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 "${screen_width}x${screen_height}x24" -nolisten tcp \
    >"$work/xvfb.log" 2>&1 &
pids+=($!)
exec 3>&-
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
if [ ! -s "$work/display" ]; then
    echo "SKIP: Xvfb cannot start: $(tail -n 3 "$work/xvfb.log" | tr '\n' ' ')"
    exit 77
fi
export DISPLAY=":$(head -n 1 "$work/display")"

mkdir -p "$work/home"
export HOME="$work/home"
unset XDG_CONFIG_HOME XDG_DATA_HOME
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
done
xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id' || abort "the window manager did not start"

# --- helpers ------------------------------------------------------------------

# wait_window NAME [TRIES]: the id of the visible window titled exactly NAME.
wait_window() {
    local id
    for _ in $(seq "${2:-100}"); do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

# window_gone ID: true once the window is no longer viewable.
window_gone() {
    for _ in $(seq 100); do
        xwininfo -id "$1" 2>/dev/null | grep -q 'IsViewable' || return 0
        sleep 0.1
    done
    return 1
}

# geometry ID: "X Y WIDTH HEIGHT" of the window on the screen.
geometry() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
        /Width:/ {w=$NF} /Height:/ {h=$NF} END {print x, y, w, h}'
}

map_state() {
    xwininfo -id "$1" | awk '/Map State/ {print $NF}'
}

# place WINDOW CONTROL: the control's "LEFT TOP WIDTH HEIGHT" in the window.
place() {
    "$helper" place "$1" "$2"
}

# click_at ID X Y: a left click at (X, Y) of the window, in logical pixels.
click_at() {
    local wx wy
    read -r wx wy _ <<<"$(geometry "$1")"
    xdotool mousemove --sync $((wx + $2 * scale)) $((wy + $3 * scale)) click 1
    sleep 0.3
}

# click_control ID WINDOW CONTROL: a click in the middle of a control.
click_control() {
    local left top width height
    read -r left top width height <<<"$(place "$2" "$3")"
    click_at "$1" $((left + width / 2)) $((top + height / 2))
}

# capture FILE [ID X Y W H]: a capture of the screen, or of an area of a
# window, once two captures in a row agree (the program has done painting).
capture() {
    local previous="$work/previous.png" tries
    for tries in $(seq 20); do
        capture_once "$@" || return 1
        if [ "$tries" -gt 1 ] && [ "$(differing "$1" "$previous")" -eq 0 ]; then
            return 0
        fi
        cp "$1" "$previous"
        sleep 0.2
    done
}

capture_once() {
    import -window root "$work/screen.png" 2>/dev/null || return 1
    if [ $# -eq 1 ]; then
        cp "$work/screen.png" "$1"
        return 0
    fi
    local wx wy
    read -r wx wy _ <<<"$(geometry "$2")"
    convert "$work/screen.png" -crop "$(($5 * scale))x$(($6 * scale))+$((wx + $3 * scale))+$((wy + $4 * scale))" \
        +repage "$1"
}

# count_colour FILE R G B TOLERANCE: pixels of FILE within about TOLERANCE
# (per channel, 0-255) of the colour.
count_colour() {
    local fuzz=$(($5 * 100 / 255))
    convert "$1" -alpha off -fuzz "$fuzz%" -fill black +opaque "rgb($2,$3,$4)" \
        -fill white -opaque "rgb($2,$3,$4)" -format '%[fx:round(mean*w*h)]' info:
}

# differing FILE1 FILE2: how many pixels differ.
differing() {
    compare -metric AE "$1" "$2" null: 2>&1 | awk '{print int($1)}'
}

clipboard() {
    xclip -o -selection clipboard 2>/dev/null
}

# The text of the edit box holding the keyboard focus, as the X clipboard
# carries it after select-all and copy. A loaded machine may take its time
# over the copy: the clipboard is watched (5 s at most) until it changes.
focused_text() {
    local unchanged="<nothing copied>" text
    echo -n "$unchanged" | xclip -selection clipboard
    xdotool key --clearmodifiers ctrl+a ctrl+c
    for _ in $(seq 50); do
        text=$(clipboard)
        [ "$text" != "$unchanged" ] && break
        sleep 0.1
    done
    echo "$text"
}

# eventually COMMAND...: true once COMMAND is, tried for 5 s, for what the
# window manager or the program does in its own time.
eventually() {
    for _ in $(seq 50); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

# start_program FOLDER [ENV...]: starts the program copied into FOLDER as a
# user would start it, under the fixed clock; sets program_pid.
start_program() {
    local folder=$1
    shift
    mkdir -p "$folder"
    cp "$program" "$folder/chengxi"
    env "$@" QT_QPA_PLATFORM=xcb faketime -f "$fixed_time" "$folder/chengxi" >"$folder/out.log" 2>&1 &
    program_pid=$!
    pids+=("$program_pid")
}

# wait_end: waits for the program to end; sets code to its exit code. Not
# run in a subshell: only the shell that started the program can wait for it
# (a subshell's wait answers -1 when the program ends while it waits).
wait_end() {
    for _ in $(seq 100); do
        kill -0 "$program_pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$program_pid" 2>/dev/null; then
        code=running
        return
    fi
    wait "$program_pid"
    code=$?
}

# --- login --------------------------------------------------------------------

scale=1
mapfile -t codes < <(faketime -f "$fixed_time" "$helper" codes 2)
[ "${#codes[@]}" -eq 2 ] || abort "the helper drew no codes"
mkdir -p "$work/program"
"$helper" seed-book "$work/program/数据库.sdb" A12345 红楼梦 || abort "cannot seed the database"
"$helper" seed-reader "$work/program/数据库.sdb" 201409005 || abort "cannot seed a reader"

# A minute for the first window: on a fresh machine, under load, the first
# start may spend long in loading the Chinese fonts.
start_program "$work/program"
login=$(wait_window "澄溪图书管理系统 － 登录" 600) || abort "the login window did not appear"
sleep 0.5

read -r x y width height <<<"$(geometry "$login")"
[ "$width $height" = "380 250" ] && pass "login window 380x250" ||
    fail "login window 380x250, found ${width}x${height}"
[ "$x $y" = "$(((screen_width - 380) / 2)) $(((screen_height - 250) / 2))" ] &&
    pass "login window centred" || fail "login window centred, found at $x,$y"
extents=$(xprop -id "$login" _NET_FRAME_EXTENTS | sed 's/.*= //')
[ "$extents" = "0, 0, 0, 0" ] && pass "login window borderless" ||
    fail "login window without a frame, found frame extents $extents"
login_active() {
    [ "$(xdotool getactivewindow)" = "$login" ]
}
eventually login_active && pass "login window active" ||
    fail "login window active, found $(xdotool getactivewindow)"

capture "$work/login.png" "$login" 0 0 380 250
blue=$(count_colour "$work/login.png" 0 136 255 8)
[ "$blue" -gt 40000 ] && pass "login window blue ($blue pixels)" ||
    fail "a blue login window, found $blue blue pixels of 95000"
read -r left top width height <<<"$(place login 透明标签4)"
capture "$work/title.png" "$login" "$left" "$top" "$width" "$height"
white=$(count_colour "$work/title.png" 255 255 255 60)
[ "$white" -gt 100 ] && pass "header title drawn ($white light pixels)" ||
    fail "the header title in white, found $white light pixels"
read -r left top width height <<<"$(place login 图形按钮_关闭)"
capture "$work/close.png" "$login" "$left" "$top" "$width" "$height"
red=$(count_colour "$work/close.png" 205 45 45 40)
[ "$red" -gt 200 ] && pass "header close button drawn" ||
    fail "the red close button in the header, found $red red pixels"

# First use: any password stores the default one and says so.
xdotool type --delay 40 "x"
xdotool key Return
notice=$(wait_window "提示") || abort "no first-use message"
xdotool key Return
window_gone "$notice" || fail "the first-use message closed by Enter"

read -r left top width height <<<"$(place login 画板1)"
capture "$work/code1.png" "$login" "$left" "$top" "$width" "$height"
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 40 "ruvok"
click_control "$login" login 编辑框_验证码
wrong=$(echo "${codes[0]}" | tr 'a-zA-Z' 'A-Za-z')
xdotool type --delay 40 "$wrong"
xdotool key Return
notice=$(wait_window "提示") || abort "no message after a wrong code"
xdotool key Return
window_gone "$notice"
sleep 0.3
capture "$work/code2.png" "$login" "$left" "$top" "$width" "$height"
changed=$(differing "$work/code1.png" "$work/code2.png")
[ "$changed" -gt 50 ] && pass "a wrong code redraws the picture ($changed pixels)" ||
    fail "a new picture after a wrong code, found $changed pixels changed"

# The code box was emptied and has the focus; the password stayed.
xdotool type --delay 40 "${codes[1]}"
xdotool key Return
main=$(wait_window "澄溪图书管理系统") || abort "the main window did not open after the right code"
window_gone "$login" && pass "login window gone" || fail "the login window closed after login"

# --- the main window ------------------------------------------------------------

# The card number box has the focus: digits typed at once land there.
xdotool type --delay 40 "77"
text=$(focused_text)
[ "$text" = "20140900177" ] && pass "typing after login goes to the card number box" ||
    fail "digits typed after login in 编辑框_借书证号_借书还书, found \"$text\""

read -r x y width height <<<"$(geometry "$main")"
[ "$width $height" = "800 600" ] && pass "main window 800x600" ||
    fail "main window 800x600, found ${width}x${height}"
topmost() {
    xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //; s/, /\n/g' | tail -n 1
}
main_on_top() {
    [ "$(($(topmost)))" = "$((main))" ]
}
eventually main_on_top && pass "main window on top" ||
    fail "the main window on top of the stacking order, found $(topmost)"

# Dragging the header moves the window.
read -r x y _ <<<"$(geometry "$main")"
xdotool mousemove --sync $((x + 400)) $((y + 20)) mousedown 1
for step in 1 2 3 4 5; do
    xdotool mousemove --sync $((x + 400 + step * 20)) $((y + 20 + step * 10))
    sleep 0.05
done
# A loaded machine may leave the program behind the pointer: let it catch
# up (3 s at most) before the button is let go.
for _ in $(seq 1 30); do
    read -r moved_x moved_y _ <<<"$(geometry "$main")"
    [ "$((moved_x - x)) $((moved_y - y))" = "100 50" ] && break
    sleep 0.1
done
xdotool mouseup 1
sleep 0.5
read -r moved_x moved_y _ <<<"$(geometry "$main")"
[ "$((moved_x - x)) $((moved_y - y))" = "100 50" ] && pass "dragging the header moves the window" ||
    fail "the window moved by 100,50, found $((moved_x - x)),$((moved_y - y))"

# Minimise, then restore as the task bar would.
iconified() {
    [ "$(map_state "$main")" = "IsUnMapped" ] && xprop -id "$main" WM_STATE | grep -q Iconic
}
viewable() {
    [ "$(map_state "$main")" = "IsViewable" ]
}
click_control "$main" main 图形按钮_最小化
eventually iconified && pass "minimise iconifies the window" ||
    fail "the window iconified, found $(map_state "$main") $(xprop -id "$main" WM_STATE | tr '\n' ' ')"
xdotool windowactivate --sync "$main" 2>/dev/null
eventually viewable && pass "the window is restored" ||
    fail "the window shown again after activation, found $(map_state "$main")"

# The page tabs switch by mouse, and the focus follows the page.
read -r tab_x tab_y <<<"$("$helper" tab 5)"
click_at "$main" "$tab_x" "$tab_y"
xdotool type --delay 40 "123"
text=$(focused_text)
[ "$text" = "123" ] && pass "读者管理 in front, its first box has the focus" ||
    fail "the page 读者管理 with the focus in 编辑框_转到借书证号, found \"$text\""

# A page without an edit box keeps the focus on the tabs: the arrow key
# brings the next page, as a click on its tab does.
read -r tab_x tab_y <<<"$("$helper" tab 1)"
click_at "$main" "$tab_x" "$tab_y"
xdotool key Right
sleep 0.5
read -r left top width height <<<"$(place main 高级选择夹1)"
capture "$work/by-key.png" "$main" "$left" $((top + 30)) "$width" $((height - 30))
read -r tab_x tab_y <<<"$("$helper" tab 2)"
click_at "$main" "$tab_x" "$tab_y"
capture "$work/by-mouse.png" "$main" "$left" $((top + 30)) "$width" $((height - 30))
read -r tab_x tab_y <<<"$("$helper" tab 1)"
click_at "$main" "$tab_x" "$tab_y"
capture "$work/data-page.png" "$main" "$left" $((top + 30)) "$width" $((height - 30))
if [ "$(differing "$work/by-key.png" "$work/by-mouse.png")" -eq 0 ] &&
    [ "$(differing "$work/by-key.png" "$work/data-page.png")" -gt 0 ]; then
    pass "on 数据操作 the focus is on the tabs"
else
    fail "the arrow key on 数据操作 turning to 导入图书 (the focus on the tabs)"
fi

# At the desk a scanner types the card number and Enter, then the book
# number and Enter: the reader is looked up, the keyboard moves on to the
# book box by itself, and the book is lent without a click.
read -r tab_x tab_y <<<"$("$helper" tab 7)"
click_at "$main" "$tab_x" "$tab_y"
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 40 "201409005"
xdotool key Return
sleep 0.5
xdotool type --delay 40 "A12345"
xdotool key Return
holder=""
for _ in $(seq 50); do
    holder=$("$helper" holder "$work/program/数据库.sdb" A12345 2>/dev/null)
    [ -n "$holder" ] && break
    sleep 0.1
done
[ "$holder" = "201409005" ] && pass "a card and a book scanned with Enter store the loan" ||
    fail "A12345 lent to 201409005 by typing and Enter, found \"$holder\""
# The book box kept the keyboard with its text selected: the next scan
# replaces it.
xdotool type --delay 40 "B7"
text=$(focused_text)
[ "$text" = "B7" ] && pass "the next scan replaces the book number" ||
    fail "the book box holding only the next scan B7, found \"$text\""

# Copying a book number puts it on the X clipboard.
echo "before" | xclip -loops 1 -selection clipboard
read -r tab_x tab_y <<<"$("$helper" tab 6)"
click_at "$main" "$tab_x" "$tab_y"
click_control "$main" main 按钮_搜索图书
read -r left top width height <<<"$(place main 超级列表框_显示图书搜索结果)"
click_at "$main" $((left + 100)) $((top + 30))
click_control "$main" main 按钮_复制图书编号
if notice=$(wait_window "剪辑板的内容" 25); then
    xdotool key Return
    window_gone "$notice"
    text=$(clipboard)
    [ "$text" = "A12345" ] && pass "the copied book number is on the X clipboard" ||
        fail "A12345 on the clipboard, found \"$text\""
elif [ "$(clipboard)" = "before" ]; then
    echo "SKIP: copying a book number: the copy button has no effect yet (no catalogue page)"
else
    fail "the copy button showing the clipboard's content"
fi

# The close button ends the program with code 0.
click_control "$main" main 图形按钮_关闭
wait_end
[ "$code" = 0 ] && pass "the close button ends the program with code 0" ||
    fail "exit code 0 after the close button, found $code"

# --- at a device pixel ratio of 2 ----------------------------------------------

scale=2
start_program "$work/scaled" QT_SCALE_FACTOR=2
login=$(wait_window "澄溪图书管理系统 － 登录" 600) || abort "the login window did not appear at scale 2"
sleep 0.5
read -r x y width height <<<"$(geometry "$login")"
[ "$width $height" = "760 500" ] && pass "login window 760x500 at scale 2" ||
    fail "login window 760x500 at scale 2, found ${width}x${height}"
xdotool type --delay 40 "ruvok"
click_control "$login" login 编辑框_验证码
xdotool type --delay 40 "${codes[0]}"
xdotool key Return
main=$(wait_window "澄溪图书管理系统") || abort "the main window did not open at scale 2"
sleep 0.5
read -r x y width height <<<"$(geometry "$main")"
[ "$width $height" = "1600 1200" ] && pass "main window 1600x1200 at scale 2" ||
    fail "main window 1600x1200 at scale 2, found ${width}x${height}"
read -r left top width height <<<"$(place main 图形按钮_关闭)"
close_right=$((x + (left + width) * scale))
if [ "$y" -ge 0 ] && [ "$x" -lt 0 ] && [ "$close_right" -le "$screen_width" ]; then
    pass "a window larger than the screen keeps its header and close button on it ($x,$y)"
else
    fail "the header and close button on the screen, found the window at $x,$y"
fi
click_control "$main" main 图形按钮_关闭
wait_end
[ "$code" = 0 ] && pass "closed at scale 2 with code 0" ||
    fail "exit code 0 at scale 2, found $code"

[ "$failures" -eq 0 ] || program_output
echo "x session: $failures failed"
[ "$failures" -eq 0 ]
