#!/usr/bin/env bash
# Keys change the picture as they must: held 1 lowers the tint rectangle's
# red (the tinted black turns from grey to cyan-grey), held 2 raises it back
# to the top of its range; held D moves the tint rectangle to the right.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$E2E_LIB_DIR/panel_lib.sh"
source "$E2E_LIB_DIR/capture_lib.sh"
command -v python3 >/dev/null || skip "no python3 for the pixel checks"

start_xvfb 1920x1080x24
start_program
wait_window t462 >/dev/null || fail "the display window did not appear"
wait_window com 20 >/dev/null || fail "the control panel did not appear"
wait_picture || fail "the display window shows no picture"

# Inside the tint rectangle (20, 84)-(220, 284), over the black ground.
tint_colour() {
  local rect
  screenshot "$E2E_TMP/tint.png" || fail "no screenshot"
  rect=$(back_buffer_rect 24 90 20 60) || fail "no client area"
  # shellcheck disable=SC2086
  capture_pixels mean "$E2E_TMP/tint.png" $rect
}
# Just right of the rectangle's right edge, over the black ground.
right_of_tint() {
  local rect
  screenshot "$E2E_TMP/right.png" || fail "no screenshot"
  rect=$(back_buffer_rect 224 100 6 40) || fail "no client area"
  # shellcheck disable=SC2086
  capture_pixels mean "$E2E_TMP/right.png" $rect
}

read -r r g b < <(tint_colour)
note "tint over black at the start: $r $g $b"
assert_ge "$r" 30 "red of the tint at the start"
assert_between $((r - g)) -2 2 "red against green at the start"

hold_key_for 1 3 || fail "cannot press 1"
sleep 0.3
read -r r g b < <(tint_colour)
note "after holding 1: $r $g $b"
assert_ge $((g - r)) 3 "green over red after holding 1"
assert_between $((g - b)) -2 2 "green against blue after holding 1"

hold_key_for 2 6 || fail "cannot press 2"
sleep 0.3
read -r r g b < <(tint_colour)
note "after holding 2: $r $g $b"
assert_between $((r - g)) 0 3 "red against green after holding 2 (red at 255, green at 250)"

read -r r g b < <(right_of_tint)
assert_le $((r + g + b)) 15 "black right of the tint rectangle"
hold_key_for d 0.5 || fail "cannot press D"
sleep 0.3
read -r r g b < <(right_of_tint)
note "right of the old edge after holding D: $r $g $b"
assert_ge $((r + g + b)) 60 "tint right of the old edge after holding D"
assert_running
pass
