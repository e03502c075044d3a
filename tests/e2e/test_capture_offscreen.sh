#!/usr/bin/env bash
# A panel dragged partly past the screen's left and top edges still grabs
# what lies on the screen: only the pixels of the rectangle that are off the
# screen are black in "フィルター.bmp", the rest equal the screen.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$E2E_LIB_DIR/panel_lib.sh"
source "$E2E_LIB_DIR/capture_lib.sh"
command -v python3 >/dev/null || skip "no python3 for the pixel checks"

start_xvfb 1920x1080x24
root_pattern "$E2E_TMP/root.png" || fail "cannot set the root pattern"
start_windows
wait_picture || fail "the display window shows no picture"

# Drag by the grip on the face's left band as far up and left as the
# pointer can go, then nudge left with the arrow key, until the grab's
# origin (left + 35, top + 37) is negative in both directions.
drag_mouse 15 80 -15 -50 || fail "cannot drag the panel"
id=$(window_id t462) || fail "no display window"
xdotool windowfocus "$id"
for ((i = 0; i < 25; i++)); do
  xdotool keydown Left && sleep 0.08 && xdotool keyup Left && sleep 0.12 || fail "cannot press Left"
done
sleep 0.3
read -r left top right bottom < <(panel_rect) || fail "no panel rectangle"
note "panel at ($left, $top)-($right, $bottom)"
((left + 35 < 0 && top + 37 < 0)) || fail "the drag left the grab's origin at ($((left + 35)), $((top + 37)))"
assert_eq 177 $((right - left)) "panel width after the drag"

read -r dx dy _ < <(windows_rect NORMAL0 t462) || fail "no window rectangle for the display window"
tries=0
while :; do
  fresh_feedback "$E2E_TMP/feedback.bmp" || fail "no complete feedback image"
  screenshot "$E2E_TMP/screen.png" || fail "no screenshot"
  report=$(capture_pixels compare "$E2E_TMP/feedback.bmp" "$E2E_TMP/screen.png" \
    $((left + 35)) $((top + 37)) "$dx" "$dy") && break
  tries=$((tries + 1))
  if ((tries >= 5)); then
    printf '%s\n' "$report" >&2
    mkdir -p "$E2E_ARTIFACTS" && cp "$E2E_TMP/feedback.bmp" "$E2E_TMP/screen.png" "$E2E_ARTIFACTS/"
    fail "the feedback image is not the on-screen part with black elsewhere"
  fi
  sleep 0.5
done
note "$report"
assert_running
pass
