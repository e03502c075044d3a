#!/usr/bin/env bash
# The arrow keys nudge the control panel by exactly one pixel per press,
# however many frames the key stays down (Left, then Up, then Right and
# Down back to the start), and the feedback image follows the panel;
# Escape ends the program with exit code 0.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$E2E_LIB_DIR/panel_lib.sh"
source "$E2E_LIB_DIR/capture_lib.sh"
command -v python3 >/dev/null || skip "no python3 for the pixel checks"

start_xvfb 1920x1080x24
root_pattern "$E2E_TMP/root.png" || fail "cannot set the root pattern"
start_windows
wait_picture || fail "the display window shows no picture"

assert_eq "0 0 177 152" "$(panel_rect)" "the panel at the start"
# Held for half a second: many frames, one move.
hold_key_for Left 0.5 || fail "cannot press Left"
sleep 0.3
assert_eq "-1 0 176 152" "$(panel_rect)" "the panel after Left"
hold_key Up || fail "cannot press Up"
sleep 0.3
assert_eq "-1 -1 176 151" "$(panel_rect)" "the panel after Up"

# The grab moves with the panel: it is now the screen at (34, 36).
fresh_feedback "$E2E_TMP/feedback.bmp" || fail "no complete feedback image"
screenshot "$E2E_TMP/screen.png" || fail "no screenshot"
read -r dx dy _ < <(windows_rect NORMAL0 t462) || fail "no window rectangle for the display window"
report=$(capture_pixels compare "$E2E_TMP/feedback.bmp" "$E2E_TMP/screen.png" 34 36 "$dx" "$dy") ||
  fail "the feedback image does not follow the panel: $report"
note "$report"

hold_key_for Right 0.3 || fail "cannot press Right"
hold_key_for Down 0.3 || fail "cannot press Down"
sleep 0.3
assert_eq "0 0 177 152" "$(panel_rect)" "the panel after Right and Down"

hold_key Escape || fail "cannot press Escape"
code=$(wait_exit 10)
assert_eq 0 "$code" "exit code after Escape"
pass
