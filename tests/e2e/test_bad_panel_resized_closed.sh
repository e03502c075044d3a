#!/usr/bin/env bash
# The panel resized, then closed alone, while the display window runs.
# Without a window manager its frame cannot be dragged (the skin's shape
# leaves the frame out of the window), so the sizes come from the system
# (win_move: under Wine from inside, as a drag by the frame would set them;
# for the Linux program on the X side) and from the X side (xdotool
# windowsize):
# - 30 x 30 asked (Wine makes it 112 x 30, the least it allows): the grab
#   rectangle is empty; the feedback image stays as it was, F5 reports a
#   failed save, frames go on;
# - 2500 x 1600 asked (Wine keeps it to the screen and the frame): the grab
#   stays what lies under the skin's opening, 138 x 111 at the client origin
#   plus (31, 33), written as a complete BMP frame after frame;
# - back to 177 x 152: the 46,230-byte feedback image again;
# - resized on the X side: no crash;
# - closed alone (a window manager's close request): the display window
#   stays and frames go on; F5 and the arrow keys, which use the panel that
#   is gone, neither crash nor stop the frames.
# A close request to the display window then ends the program with exit
# code 0.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$E2E_LIB_DIR/panel_lib.sh"
source "$E2E_LIB_DIR/bad_lib.sh"

start_xvfb 1920x1080x24
prepare_run
start_prepared
feedback=$RUN_DIR/$PANEL_FEEDBACK

win_move 0 0 30 30 >/dev/null || fail "cannot resize the panel"
sleep 0.5
read -r l t r b < <(panel_rect)
note "panel now ($l, $t)-($r, $b)"
before=$(stat -c %y "$feedback")
ticks=$(process_cpu_ticks)
hold_key F5
sleep 1
shot "$E2E_TMP/tiny.ppm"
assert_eq failed "$(save_status)" "30 x 30: the status row after F5"
assert_eq "$before" "$(stat -c %y "$feedback")" "30 x 30: the feedback image's time stamp"
assert_eq 46230 "$(stat -c %s "$feedback")" "30 x 30: the feedback image's size"
(($(process_cpu_ticks) > ticks)) || fail "30 x 30: the program does nothing"
assert_running "the program (30 x 30)"

win_move 0 0 2500 1600 >/dev/null || fail "cannot resize the panel"
sleep 1
# The system keeps a window within the screen plus its frame.
read -r l t r b < <(panel_rect)
note "asked for 2500 x 1600, got $((r - l)) x $((b - t))"
assert_ge "$((r - l))" 1000 "the panel's width"
assert_alive "$((r - l)) x $((b - t))" 2
fresh_feedback "$E2E_TMP/big.bmp" || fail "the large panel: no 46,230-byte feedback image"
bad_input bmp 138 111 "$E2E_TMP/big.bmp" || fail "the large panel: the feedback image is not a complete 138 x 111 BMP"
report=$(bad_input offscreen "$E2E_TMP/big.bmp" $((l + 35)) $((t + 37)) 1920 1080 dark-ok) ||
  fail "the large panel: the feedback image: $report"
note "the large panel: $report"

win_move 0 0 177 152 >/dev/null || fail "cannot resize the panel"
sleep 0.5
assert_alive "177 x 152 again" 2
fresh_feedback "$E2E_TMP/normal.bmp" || fail "177 x 152 again: no 46,230-byte feedback image"

id=$(window_id com) || fail "no panel window on the X side"
xdotool windowsize "$id" 300 200 2>/dev/null
sleep 1
note "after xdotool windowsize: panel $(panel_rect)"
assert_alive "resized on the X side" 2

close_window com || fail "cannot send the close request to the panel"
window_gone com 10 || fail "the panel is still there"
assert_alive "the panel closed" 2
hold_key F5
for key in Left Up Right Down; do hold_key "$key"; done
sleep 0.5
assert_alive "F5 and the arrows without the panel" 2
window_id t462 >/dev/null || fail "the display window went"

end_run "after the panel was closed"
pass
