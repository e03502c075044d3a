#!/usr/bin/env bash
# "枠.bmp" of sizes and colours that make no proper panel, one run each:
# - 1 x 1 pixels, and 177 x 152 pixels all of the key colour: every pixel
#   is the key colour, so the skin would cut the whole panel away: the panel
#   goes on as without a skin (plain face, plain rectangle);
# - 400 x 300 pixels, larger than the panel: the panel keeps its size, shows
#   the part of the skin that fits and its viewfinder opening.
# Every case: the program runs and makes frames, F5 saves a snapshot, and a
# close request ends it with exit code 0.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$E2E_LIB_DIR/panel_lib.sh"
source "$E2E_LIB_DIR/bad_lib.sh"

start_xvfb
for kind in skin-1x1 skin-allkey skin-large; do
  prepare_run
  bad_input image "$kind" "$PANEL_SKIN_NAME" || fail "cannot write the $kind skin"
  start_prepared
  assert_alive "$kind"
  read -r l t r b < <(panel_rect) || fail "$kind: no panel rectangle"
  assert_eq "0 0 177 152" "$l $t $r $b" "$kind: the panel's window rectangle"
  screenshot "$E2E_TMP/$kind.png"
  face=$(pixel_at "$E2E_TMP/$kind.png" 15 80)
  opening=$(pixel_at "$E2E_TMP/$kind.png" 100 100)
  note "$kind: panel face at (15, 80) $face, opening at (100, 100) $opening"
  case $kind in
    skin-large)
      assert_eq "150 80 200" "$face" "$kind: the skin's face at (15, 80)"
      is_black "$opening" || fail "$kind: the opening shows $opening, not the black screen beneath"
      ;;
    *)
      # Nothing would be left of the panel: it goes on as without a skin.
      is_black "$face" && fail "$kind: the panel vanished (its face shows the screen beneath)"
      ;;
  esac
  assert_snapshots_advance "$kind"
  end_run "$kind"
done
pass
