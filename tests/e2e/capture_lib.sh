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
#   client_digest           a digest of the display window's client area as
#                           the screen shows it now
#   wait_picture [TIMEOUT]  wait until frames are being drawn: the feedback
#                           image is rewritten and the display window no
#                           longer shows its light background
#   paint_opening SKIN      paint the skin's viewfinder opening with a
#                           gradient (no key colour): the panel itself shows a
#                           known, still picture of many colours where the
#                           grab looks
#   opening_like_compositor  the feedback image equals the compositor's
#                           picture (grim) of the rectangle under the opening,
#                           within a few tries; prints the comparison (on a
#                           scaled output, grim's finer picture sampled down)
#   message_boxes           X ids of the program's message boxes on the screen
#   answer_message_box WHAT  wait (20 s) for the program's message box, make
#                           sure it is the only one, and close it as a window
#                           manager does (weston gives XWayland's windows no
#                           keyboard focus)
#   assert_black_feedback WHAT  the next feedback image is black, every byte

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

client_digest() {
  # The display window's X window is its client area.
  local id
  id=$(window_id t462) || return 1
  import -window "$id" -depth 8 rgb:- | md5sum | cut -c1-32
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

paint_opening() {
  local skin=$1
  convert "$skin" \( -size 111x138 gradient:red-blue -rotate 90 \
    \( -size 138x111 gradient:lime-black \) -compose plus -composite \) \
    -compose over -geometry +31+33 -composite -type TrueColor "BMP3:$skin.new" &&
    mv "$skin.new" "$skin"
}

opening_like_compositor() {
  local tries px py report
  for ((tries = 0; tries < 5; tries++)); do
    read -r px py _ < <(win_geometry com) || return 1
    fresh_feedback "$E2E_TMP/feedback.bmp" || return 1
    wayland_shot "$E2E_TMP/opening.png" "$((px + 35)),$((py + 37)) 138x111" || return 1
    mogrify -filter point -sample '138x111!' "$E2E_TMP/opening.png" || return 1
    report=$(capture_pixels compare "$E2E_TMP/feedback.bmp" "$E2E_TMP/opening.png" 0 0) &&
      echo "$report" && return 0
    sleep 0.5
  done
  printf '%s\n' "$report" >&2
  mkdir -p "$E2E_ARTIFACTS" && cp "$E2E_TMP/feedback.bmp" "$E2E_TMP/opening.png" "$E2E_ARTIFACTS/"
  return 1
}

message_boxes() { xdotool search --onlyvisible --class '^t462 message box$' 2>/dev/null; }

answer_message_box() {
  local what=$1 boxes i
  for ((i = 0; i < 100; i++)); do
    boxes=$(message_boxes) && [[ -n $boxes ]] && break
    sleep 0.2
  done
  assert_eq 1 "$(wc -w <<<"$boxes")" "message boxes $what"
  "$(e2e_close_tool)" "$boxes" || fail "cannot close the message box $what"
}

assert_black_feedback() {
  fresh_feedback "$E2E_TMP/feedback.bmp" || fail "$1: no complete feedback image"
  assert_eq 0 "$(tail -c +55 "$E2E_TMP/feedback.bmp" | tr -d '\0' | wc -c)" \
    "$1: non-zero bytes of the feedback image"
}
