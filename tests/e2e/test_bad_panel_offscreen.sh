#!/usr/bin/env bash
# The panel (and with it the viewfinder's grab) taken partly and wholly off
# the screen past each edge: dragged with the mouse to the right edge,
# nudged on with the arrow key, and moved further than the pointer reaches
# (win_move: from inside Wine, or on the X side, as a long run of arrow
# presses would).
# At every place the program keeps rewriting the feedback image, black
# exactly where the grab lies off the screen and showing the screen (a
# pattern on the root window) where it lies on it. Where several monitors
# can be made (target_has monitors), the screen is then split into two with
# a gap of 40 pixels between them, while the program runs: the grab across
# the gap is black where it lies on no monitor. Back at the corner on one
# monitor all is as before, and a close request ends the program with exit
# code 0.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$E2E_LIB_DIR/panel_lib.sh"
source "$E2E_LIB_DIR/bad_lib.sh"

start_xvfb 1920x1080x24
root_pattern "$E2E_TMP/root.png" || fail "cannot set the root pattern"
prepare_run
start_prepared

# at WHAT [MONITORS]: the feedback image at the panel's present place
# (MONITORS: "L,T,R,B" each, when the screen is split).
at() {
  local what=$1 l t r b report
  shift
  read -r l t r b < <(panel_rect) || fail "$what: no panel rectangle"
  assert_eq "177 152" "$((r - l)) $((b - t))" "$what: the panel's size"
  assert_alive "$what, panel at ($l, $t)" 1
  fresh_feedback "$E2E_TMP/feedback.bmp" || fail "$what: no complete feedback image"
  report=$(bad_input offscreen "$E2E_TMP/feedback.bmp" $((l + 35)) $((t + 37)) 1920 1080 "$@") ||
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
  "5000 5000:far off the bottom-right corner"; do
  IFS=: read -r xy what <<<"$place"
  read -r x y <<<"$xy"
  win_move "$x" "$y" >/dev/null || fail "cannot move the panel to ($x, $y)"
  sleep 0.3
  at "$what"
done

if target_has monitors; then
  xrandr --setmonitor e2e-left 960/254x1080/286+0+0 screen &&
    xrandr --setmonitor e2e-right 920/243x1080/286+1000+0 none ||
    fail "xrandr cannot split the screen"
  win_move 860 300 >/dev/null || fail "cannot move the panel over the gap"
  sleep 0.5
  at "across the gap between two monitors" 0,0,960,1080 1000,0,1920,1080
  xrandr --delmonitor e2e-left && xrandr --delmonitor e2e-right || fail "xrandr cannot join the screen"
  sleep 0.5
  at "over the joined screen"
fi
win_move 0 0 >/dev/null || fail "cannot move the panel back to the corner"
sleep 0.3
at "back at the corner"

end_run "after the panel's travels"
pass
