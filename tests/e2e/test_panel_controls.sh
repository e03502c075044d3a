#!/usr/bin/env bash
# The panel's controls, clicked with the mouse: every click on "写" writes
# exactly one numbered snapshot (0.bmp, then 1.bmp); typing a prefix into the
# box restarts the numbering, so the next snapshot is "<prefix>0.bmp"; the
# quit button "終了" ends the program with exit code 0.
# Code pages: 932 1252
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$E2E_LIB_DIR/panel_lib.sh"

start_xvfb 1920x1080x24
start_program
wait_window t462 >/dev/null || fail "the display window did not appear"
wait_window com 20 >/dev/null || fail "the control panel did not appear"
sleep 2

snapshots() { (cd "$PANEL_SNAPSHOTS" && ls -1 2>/dev/null | sort | tr '\n' ' '); }
assert_eq "" "$(snapshots)" "snapshots before any click"

click 64 21
wait_file "$PANEL_SNAPSHOTS/0.bmp" || fail "no snapshot 0.bmp after clicking 写"
sleep 0.5
assert_eq "0.bmp " "$(snapshots)" "snapshots after one click"
click 64 21
wait_file "$PANEL_SNAPSHOTS/1.bmp" || fail "no snapshot 1.bmp after the second click"
sleep 0.5
assert_eq "0.bmp 1.bmp " "$(snapshots)" "snapshots after two clicks"
for f in 0 1; do
  assert_eq 46230 "$(stat -c %s "$PANEL_SNAPSHOTS/$f.bmp")" "size of snapshot $f.bmp"
done

click 124 21
sleep 0.3
xdotool type --delay 100 ab
sleep 0.5
click 64 21
wait_file "$PANEL_SNAPSHOTS/ab0.bmp" || fail "no snapshot ab0.bmp after typing the prefix ab: $(snapshots)"
sleep 0.5
assert_eq "0.bmp 1.bmp ab0.bmp " "$(snapshots)" "snapshots after the prefix"
assert_running

click 30 21
code=$(wait_exit 10)
assert_eq 0 "$code" "exit code after clicking 終了"
pass
