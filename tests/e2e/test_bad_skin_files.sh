#!/usr/bin/env bash
# "枠.bmp" that cannot be read as a skin, one run each: missing; a file that
# is no bitmap; the sample skin cut off after half its bytes (Wine loads it
# as a wholly black picture, so without care the panel would be cut away
# entirely). The panel comes up all the same with a plain face in its plain
# rectangle, its snapshot button works, the program makes frames, and a
# close request ends it with exit code 0.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$E2E_LIB_DIR/panel_lib.sh"
source "$E2E_LIB_DIR/bad_lib.sh"

start_xvfb
for kind in missing notimage cut; do
  prepare_run
  case $kind in
    missing) rm "$PANEL_SKIN_NAME" ;;
    notimage) bad_input image notimage "$PANEL_SKIN_NAME" || fail "cannot write the skin" ;;
    cut) head -c 40000 "$T462_STAGED_DIR/$PANEL_SKIN_NAME" >"$PANEL_SKIN_NAME" ;;
  esac
  start_prepared
  assert_alive "枠.bmp $kind"
  read -r l t r b < <(panel_rect) || fail "$kind: no panel rectangle"
  assert_eq "0 0 177 152" "$l $t $r $b" "枠.bmp $kind: the panel's window rectangle"
  screenshot "$E2E_TMP/$kind.png"
  face=$(pixel_at "$E2E_TMP/$kind.png" 100 10)
  note "枠.bmp $kind: panel face at (100, 10) $face"
  is_black "$face" && fail "枠.bmp $kind: no panel face to see"
  # The snapshot button at client (50, 8)-(70, 27).
  click 64 21
  wait_file "$PANEL_SNAPSHOTS/0.bmp" 10 || fail "枠.bmp $kind: clicking 写 saved nothing"
  assert_alive "枠.bmp $kind, after 写"
  end_run "枠.bmp $kind"
done
pass
