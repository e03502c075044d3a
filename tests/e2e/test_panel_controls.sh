#!/usr/bin/env bash
# The panel's controls, clicked with the mouse: every click on "写" writes
# exactly one numbered snapshot (0.bmp, then 1.bmp); typing a prefix into the
# box restarts the numbering, so the next snapshot is "<prefix>0.bmp"; the
# quit button "終了" ends the program with exit code 0.
# Code pages: 932 1252
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$E2E_LIB_DIR/panel_lib.sh"

start_windows
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

xdotool key space
wait_file "$PANEL_SNAPSHOTS/ab1.bmp" || fail "no snapshot ab1.bmp after Space on 写: $(snapshots)"

# Keys to the box, clicked right of its text (the caret goes to the end).
box_keys() {
  click 124 21
  sleep 0.2
  xdotool key --delay 60 "$@"
  sleep 0.3
}
# Clicks "写" and waits for the snapshot NAME.bmp.
snapshot_named() {
  click 64 21
  wait_file "$PANEL_SNAPSHOTS/$1.bmp" || fail "no snapshot $1.bmp after $2: $(snapshots)"
}
clipboard() { timeout 5 xclip -o -selection clipboard; }

box_keys Home shift+End
xdotool type --delay 60 cd
snapshot_named cd0 "selecting ab and typing cd"
box_keys shift+Home ctrl+c
assert_eq cd "$(clipboard)" "the clipboard after selecting cd and Ctrl+C"
box_keys shift+Left ctrl+x
assert_eq d "$(clipboard)" "the clipboard after Ctrl+X"
snapshot_named c0 "cutting d from cd"
printf xy | xclip -selection clipboard || fail "xclip cannot set the clipboard"
box_keys ctrl+v
snapshot_named cxy0 "pasting xy"
box_keys Delete
snapshot_named cxy1 "Delete at the end (no change)"
box_keys shift+Home ctrl+Insert End shift+Insert
snapshot_named cxycxy0 "copying with Ctrl+Insert and pasting with Shift+Insert"
box_keys shift+Home shift+Delete
assert_eq cxycxy "$(clipboard)" "the clipboard after Shift+Delete"
xdotool type e
snapshot_named e0 "cutting everything and typing e"
assert_running

click 30 21
code=$(wait_exit 10)
assert_eq 0 "$code" "exit code after clicking 終了"
pass
