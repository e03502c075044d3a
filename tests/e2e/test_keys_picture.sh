#!/usr/bin/env bash
# Keys change the picture as they must: held 1 lowers the tint rectangle's
# red (the tinted black turns from grey to cyan-grey), held 2 raises it back
# to the top of its range; held D moves the tint rectangle to the right.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$E2E_LIB_DIR/panel_lib.sh"
source "$E2E_LIB_DIR/capture_lib.sh"
command -v python3 >/dev/null || skip "no python3 for the pixel checks"

start_windows
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

# Red climbs one step a frame up to 255: hold 2 in spells until it is there,
# whatever the frame rate of the machine.
for ((spell = 0; spell < 8; spell++)); do
  hold_key_for 2 3 || fail "cannot press 2"
  sleep 0.3
  read -r r g b < <(tint_colour)
  ((r - g >= 0)) && break
done
note "after holding 2: $r $g $b"
assert_between $((r - g)) 0 3 "red against green after holding 2 (red at 255, green at 250)"

read -r r g b < <(right_of_tint)
assert_le $((r + g + b)) 15 "black right of the tint rectangle"
# D moves the rectangle 3 pixels a frame: tap it until the strip 4 to 10
# pixels right of the old edge is covered (one tap covers it at a high
# frame rate; the rectangle, 200 pixels wide, cannot pass the strip in one).
for ((tap = 0; tap < 30; tap++)); do
  hold_key d || fail "cannot press D"
  sleep 0.2
  read -r r g b < <(right_of_tint)
  ((r + g + b >= 60)) && break
done
note "right of the old edge after $((tap + 1)) tap(s) of D: $r $g $b"
assert_ge $((r + g + b)) 60 "tint right of the old edge after tapping D"
assert_running
pass
