#!/usr/bin/env bash
# The panel (and with it the viewfinder's grab) taken partly and wholly off
# the screen past each edge: dragged with the mouse to the right edge,
# nudged on with the arrow key, and moved further than the pointer reaches
# (win_move: from inside Wine, or on the X side, as a long run of arrow
# presses would).
# At every place the program keeps rewriting the feedback image, black
# exactly where the grab lies off the screen and showing the screen (a
# pattern on the root window) where it lies on it; back at the corner all
# is as before, and a close request ends the program with exit code 0.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$E2E_LIB_DIR/panel_lib.sh"
source "$E2E_LIB_DIR/bad_lib.sh"

start_xvfb 1920x1080x24
root_pattern "$E2E_TMP/root.png" || fail "cannot set the root pattern"
prepare_run
start_prepared
await_frames

# at WHAT: the feedback image at the panel's present place.
at() {
  local what=$1 l t r b report
  read -r l t r b < <(panel_rect) || fail "$what: no panel rectangle"
  assert_eq "177 152" "$((r - l)) $((b - t))" "$what: the panel's size"
  assert_alive "$what, panel at ($l, $t)" 1
  fresh_feedback "$E2E_TMP/feedback.bmp" || fail "$what: no complete feedback image"
  report=$(bad_input offscreen "$E2E_TMP/feedback.bmp" $((l + 35)) $((t + 37)) 1920 1080) ||
    fail "$what, panel at ($l, $t): $report"
  note "$what: $(head -n1 <<<"$report")"
}

at "at the start"

# Partly off the right edge: the grip (15, 80) dragged to x 1860.
drag_mouse 15 80 1845 0 || fail "cannot drag the panel"
at "dragged partly off the right edge"
hold_key Right
sleep 0.3
at "one arrow press further right"

for place in "1900 300:wholly off the right edge" "300 1000:partly off the bottom edge" \
  "300 1070:wholly off the bottom edge" "-100 300:partly off the left edge" \
  "-400 300:wholly off the left edge" "300 -60:partly off the top edge" \
  "300 -400:wholly off the top edge" "-2000 -2000:far off the top-left corner" \
  "5000 5000:far off the bottom-right corner" "0 0:back at the corner"; do
  IFS=: read -r xy what <<<"$place"
  read -r x y <<<"$xy"
  win_move "$x" "$y" >/dev/null || fail "cannot move the panel to ($x, $y)"
  sleep 0.3
  at "$what"
done

end_run "after the panel's travels"
pass
