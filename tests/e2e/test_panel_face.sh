#!/usr/bin/env bash
# The panel's face and opening on the screen: with a known picture beneath
# (a gradient on the X root), the screenshot shows the skin wherever it is
# not key-coloured and the picture beneath wherever it is; the see-through
# opening is exactly the capture rectangle, and the feedback image equals the
# screen there. Dragging the face moves the panel by the mouse's travel; a
# press on the opening reaches what lies beneath and moves nothing.
# Code pages: 932 1252
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$E2E_LIB_DIR/panel_lib.sh"

start_xvfb 1920x1080x24
root_pattern "$E2E_TMP/root.png" || fail "could not set a picture on the X root"
start_windows
sleep 2
assert_eq "0 0 177 152" "$(panel_rect)" "panel rectangle at start"

# Off the display window, onto the plain background, by the grip.
drag_mouse 15 80 900 200 || fail "xdotool could not drag"
assert_eq "900 200 1077 352" "$(panel_rect)" "panel rectangle after dragging by (900, 200)"
note "dragged by the face: the panel moved by the mouse's travel"

# A press on the opening goes to the root window beneath: nothing moves.
drag_mouse 1000 290 150 100 || fail "xdotool could not drag"
assert_eq "900 200 1077 352" "$(panel_rect)" "panel rectangle after a drag on its opening"
assert_running

sleep 0.5
screenshot "$E2E_TMP/panel.png" || fail "no screenshot"
result=$(panel_pixels face "$E2E_TMP/panel.png" "$PANEL_SKIN_NAME" "$E2E_TMP/root.png" 900 200)
status=$?
note "$result"
((status == 0)) || fail "the screen does not show the skin and the picture beneath where it should"

opening=$(panel_pixels opening "$E2E_TMP/panel.png" "$PANEL_SKIN_NAME" 900 200)
assert_eq "35 37 173 148" "$opening" "see-through opening in window coordinates (L T R B)"

fresh_feedback "$E2E_TMP/grab.bmp" || fail "no complete フィルター.bmp written after the move"
result=$(panel_pixels grab "$E2E_TMP/grab.bmp" "$E2E_TMP/panel.png" 900 200)
status=$?
note "$result"
((status == 0)) || fail "the feedback image is not what the screen shows in the capture rectangle"
pass
