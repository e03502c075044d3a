#!/usr/bin/env bash
# The feedback loop seen from outside: "フィルター.bmp" is there, is exactly
# 46,230 bytes (the 138 x 111 grab of the panel at 177 x 152), is rewritten
# frame after frame, and holds what the screen shows at (35, 37) 138 x 111,
# pixel for pixel, wherever that part of the screen stays still (the display
# window, which lies under the panel's lower right corner, changes). It is
# the only file written: no other appears, none other changes. All of it
# also with WAYLAND_DISPLAY set, as in a Wayland user's own X server.
# Code pages: 932 1252
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$E2E_LIB_DIR/panel_lib.sh"
command -v python3 >/dev/null || skip "no python3 for the pixel checks"

start_xvfb 1920x1080x24
# As where a Wayland desktop's user runs an X server of their own (Xvfb,
# Xephyr): the Linux program measures the root window and keeps grabbing it.
export WAYLAND_DISPLAY=t462-no-such-compositor
root_pattern "$E2E_TMP/root.png" || fail "cannot set the root pattern"
start_windows
sleep 2

assert_eq "0 0 177 152" "$(panel_rect)" "the panel's window rectangle"
assert_file "$PANEL_FEEDBACK"
# The file is truncated and written again every frame: a look may fall
# between the two, so its size is taken as the first whole one of a few.
whole_size() {
  local size
  for ((i = 0; i < 50; i++)); do
    size=$(stat -c %s "$PANEL_FEEDBACK")
    ((size == 46230)) && break
    sleep 0.01
  done
  echo "$size"
}
assert_eq 46230 "$(whole_size)" "size of the feedback image"

listing() { find . -path "./$E2E_PROGRAM" -prune -o -print | sort; }
files_before=$(listing)
assert_eq "$PANEL_FEEDBACK" "$(files_written . 2)" "the files written in 2 s"
assert_eq "$files_before" "$(listing)" "the run folder's files"

rewrites=$(count_rewrites "$PANEL_FEEDBACK" 3)
note "feedback image rewritten $rewrites times in 3 s"
assert_ge "$rewrites" 3 "rewrites of the feedback image in 3 s"
assert_eq 46230 "$(whole_size)" "size after the rewrites"

# The display window (its frame included) starts under the panel's lower
# right corner: skip from there to the right and down.
read -r dx dy _ < <(windows_rect NORMAL0 t462) || fail "no window rectangle for the display window"
tries=0
while :; do
  fresh_feedback "$E2E_TMP/feedback.bmp" || fail "no complete feedback image"
  screenshot "$E2E_TMP/screen.png" || fail "no screenshot"
  report=$(python3 "$E2E_LIB_DIR/capture_pixels.py" compare "$E2E_TMP/feedback.bmp" \
    "$E2E_TMP/screen.png" 35 37 "$dx" "$dy") && break
  tries=$((tries + 1))
  if ((tries >= 5)); then
    printf '%s\n' "$report" >&2
    mkdir -p "$E2E_ARTIFACTS" && cp "$E2E_TMP/feedback.bmp" "$E2E_TMP/screen.png" "$E2E_ARTIFACTS/"
    fail "the feedback image is not the screen's rectangle"
  fi
  sleep 0.5
done
note "$report"
assert_running
pass
