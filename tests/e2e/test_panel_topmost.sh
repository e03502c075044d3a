#!/usr/bin/env bash
# The panel stays above the display window: dragged over it, while the drag
# is still going on, and after the display window has been clicked (which
# activates it and brings it to the top of the ordinary windows), the
# screen shows the panel's face wherever the two overlap.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$E2E_LIB_DIR/panel_lib.sh"

start_windows
sleep 2

check_face() {
  local shot=$E2E_TMP/$1.png result status
  screenshot "$shot" || fail "no screenshot"
  result=$(panel_pixels face "$shot" "$PANEL_SKIN_NAME" - "$2" "$3")
  status=$?
  note "$1: $result"
  ((status == 0)) || fail "$1: the panel's face is not on top at ($2, $3)"
}

# Half way through a drag over the display window, the button still down.
xdotool mousemove 15 80 && sleep 0.1 && xdotool mousedown 1 && sleep 0.1
for i in 1 2 3 4 5; do
  xdotool mousemove $((15 + 30 * i)) $((80 + 30 * i))
  sleep 0.05
done
sleep 0.3
check_face during-drag 150 150
for i in 6 7 8 9 10; do
  xdotool mousemove $((15 + 30 * i)) $((80 + 30 * i))
  sleep 0.05
done
sleep 0.1
xdotool mouseup 1
sleep 0.3
assert_eq "300 300 477 452" "$(panel_rect)" "panel rectangle after the drag"
check_face over-display 300 300

# Activate the display window by a click away from the panel, then put it
# at the top of the ordinary windows from inside Windows.
click 650 650
sleep 1
assert_running
check_face after-click 300 300
order=$(raise_display)
assert_eq "above" "$order" "the panel in the z-order, after raising the display window"
sleep 1
check_face after-raise 300 300
pass
