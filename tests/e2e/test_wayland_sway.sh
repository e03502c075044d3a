#!/usr/bin/env bash
# The Linux program on a wlroots desktop (sway, headless, with XWayland):
# the grab comes from the compositor through wlr-screencopy. With the sample
# skin the opening is see-through, though XWayland shows windows without
# their X shape: over sway's background the feedback image is that colour,
# and over the display window the loop closes, the feedback image being the
# compositor's picture of the display window beneath. With a still picture
# of many colours painted into the opening, the feedback image equals the
# compositor's picture of it, also on an output of scale 2; F5 takes a
# snapshot of the same picture and Escape ends the program with exit code 0.
# Both windows float at their own sizes.
# Targets: linux
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$E2E_LIB_DIR/panel_lib.sh"
source "$E2E_LIB_DIR/capture_lib.sh"
source "$E2E_LIB_DIR/bad_lib.sh"
command -v python3 >/dev/null || skip "no python3 for the pixel checks"

# sway_float TITLE [X Y]: float the window, as the program's own hints make
# sway do, and move it there as a user drags it; waits until it is there.
sway_float() {
  local i move=
  [[ -n ${2:-} ]] && move=", move position $2 $3"
  e2e_as_user "$E2E_RUN_AS" swaymsg "[title=\"^$1\$\"] floating enable$move" >/dev/null || return 1
  for ((i = 0; i < 50; i++)); do
    [[ -z $move || $(win_geometry "$1" | cut -d' ' -f1-2) == "$2 $3" ]] && return 0
    sleep 0.1
  done
  return 1
}

start_sway 1280x1024
prepare_run
start_prepared
sleep 2
grep -q 'wlr-screencopy' "$PROGRAM_LOG" || fail "the grab does not come from wlr-screencopy: $(cat "$PROGRAM_LOG")"
# A tiling compositor would have stretched them into tiles.
read -r fl ft fr fb < <(window_frame t462)
sizes="$(win_geometry t462 | cut -d' ' -f3-) $(win_geometry com | cut -d' ' -f3-)"

# Right of and below the display window, wherever sway has put it.
sway_float t462 && sway_float com 1000 840 || fail "cannot place the windows"
fresh_feedback "$E2E_TMP/beneath.bmp" || fail "no feedback image over the background"
assert_eq "1 srgb(192,64,160)" "$(convert "$E2E_TMP/beneath.bmp" -format '%k %[pixel:p{0,0}]' info:)" \
  "colours of the feedback image over sway's background (#c040a0)"
read -r cx cy _ < <(client_area)
sway_float com $((cx + 20)) $((cy + 90)) || fail "cannot place the panel over the display window"
note "over the display window: $(opening_like_compositor)" ||
  fail "the feedback image over the display window is not the compositor's picture"
stop_program

paint_opening "$PANEL_SKIN_NAME" || fail "cannot paint the skin's opening"
start_prepared
note "$(opening_like_compositor)" || fail "the feedback image is not the compositor's picture under the opening"
hold_key F5 || fail "cannot press F5"
wait_file "$PANEL_SNAPSHOTS/0.bmp" 10 || fail "no snapshot after F5: $(snapshot_list)"
read -r px py _ < <(win_geometry com)
wayland_shot "$E2E_TMP/opening.png" "$((px + 35)),$((py + 37)) 138x111"
capture_pixels compare "$PANEL_SNAPSHOTS/0.bmp" "$E2E_TMP/opening.png" 0 0 >/dev/null ||
  fail "the snapshot is not the compositor's picture under the opening"

hold_key Escape || fail "cannot press Escape"
assert_eq 0 "$(wait_exit 20)" "exit code after Escape"
wait "$PROGRAM_PID" 2>/dev/null
wait_program_gone

# On an output of scale 2 X coordinates stay the layout's, and the copy's
# finer pixels are sampled.
e2e_as_user "$E2E_RUN_AS" swaymsg output HEADLESS-1 scale 2 >/dev/null || fail "cannot scale the output"
start_prepared
note "scale 2: $(opening_like_compositor)" ||
  fail "the feedback image on the scaled output is not the compositor's picture"
end_run "on the scaled output"
assert_eq "$((600 - fl - fr)) $((610 - ft - fb)) 177 152" "$sizes" \
  "sizes of the display window's client area and of the panel"
pass
