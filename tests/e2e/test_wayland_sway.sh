#!/usr/bin/env bash
# The Linux program on a wlroots desktop (sway, headless, with XWayland):
# the grab comes from the compositor through wlr-screencopy, and the
# feedback image equals the compositor's picture of the rectangle under the
# opening, also on an output of scale 2; both windows float at their own
# sizes; F5 takes a snapshot of the same picture and Escape ends the program
# with exit code 0.
# Targets: linux
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$E2E_LIB_DIR/panel_lib.sh"
source "$E2E_LIB_DIR/capture_lib.sh"
source "$E2E_LIB_DIR/bad_lib.sh"
command -v python3 >/dev/null || skip "no python3 for the pixel checks"

start_sway 1280x1024
prepare_run
paint_opening "$PANEL_SKIN_NAME" || fail "cannot paint the skin's opening"
start_prepared
sleep 1
grep -q 'wlr-screencopy' "$PROGRAM_LOG" || fail "the grab does not come from wlr-screencopy: $(cat "$PROGRAM_LOG")"
# A tiling compositor would have stretched them into tiles.
read -r fl ft fr fb < <(window_frame t462)
sizes="$(win_geometry t462 | cut -d' ' -f3-) $(win_geometry com | cut -d' ' -f3-)"

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
