# shellcheck shell=bash
# Steps shared by the capture and keyboard end-to-end tests; source after
# lib.sh and panel_lib.sh.
#
#   capture_pixels ARGS     tests/e2e/capture_pixels.py (see there)
#   client_area             "X Y W H" of the display window's client area
#   back_buffer_rect X Y W H  the screen rectangle "X Y W H" that a rectangle
#                           of the 594 x 578 back buffer is stretched onto
#   save_row_text SHOT      status-text pixels on the save row (back-buffer
#                           rows 4 to 19, from x 70: the panel covers the start)
#   snapshot_list           the snapshot folder's files, sorted by number
#   hold_key_for KEY SECONDS [TITLE]  like hold_key, held longer
#   wait_picture [TIMEOUT]  wait until frames are being drawn: the feedback
#                           image is rewritten and the display window no
#                           longer shows its light background

capture_pixels() { python3 "$E2E_LIB_DIR/capture_pixels.py" "$@"; }

client_area() { win_geometry t462; }

back_buffer_rect() {
  local cx cy cw ch
  read -r cx cy cw ch < <(client_area) || return 1
  echo $((cx + $1 * cw / 594)) $((cy + $2 * ch / 578)) $(($3 * cw / 594)) $(($4 * ch / 578))
}

save_row_text() {
  local rect
  rect=$(back_buffer_rect 70 4 520 16) || return 1
  # shellcheck disable=SC2086
  capture_pixels text "$1" $rect
}

snapshot_list() {
  (cd "$PANEL_SNAPSHOTS" 2>/dev/null && ls -1 | sort -n | tr '\n' ' ')
}

hold_key_for() {
  local key=$1 seconds=$2 title=${3:-t462} id
  id=$(window_id "$title") || fail "hold_key_for: no window '$title'"
  xdotool windowfocus "$id" && sleep 0.05 &&
    xdotool keydown "$key" && sleep "$seconds" && xdotool keyup "$key"
}

wait_picture() {
  local timeout=${1:-60} start=$SECONDS rect
  while ((SECONDS - start < timeout)); do
    if (($(count_rewrites "$PANEL_FEEDBACK" 1) > 0)); then
      screenshot "$E2E_TMP/wait-picture.png" || return 1
      # A part of the back buffer that the sample scene leaves black.
      rect=$(back_buffer_rect 400 480 150 60) || return 1
      # shellcheck disable=SC2086
      read -r r g b < <(capture_pixels mean "$E2E_TMP/wait-picture.png" $rect)
      ((r + g + b < 150)) && return 0
    fi
    assert_running "the program"
  done
  echo "wait_picture: no frames after ${timeout}s" >&2
  return 1
}
