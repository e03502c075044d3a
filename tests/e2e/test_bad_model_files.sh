#!/usr/bin/env bash
# "model.x" that cannot be drawn, or only in part, in one run (the program
# reads the model again every frame, so each case is put in place while it
# runs, whole, by a rename):
# - missing at start-up: the program starts and runs; nothing is drawn where
#   the model would be;
# - empty, cut off in the middle, random bytes: it keeps running, draws no
#   model, and draws the model again as soon as a good file is back;
# - the sample model in binary .x: drawn like the text one (orange frame);
# - the sample's geometry without a material list: drawn in the default
#   grey material.
# Every case: the process lives and frames go on (the feedback image keeps
# being rewritten); at the end a close request ends it with exit code 0.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$E2E_LIB_DIR/panel_lib.sh"
source "$E2E_LIB_DIR/bad_lib.sh"

prepare_run
cp model.x "$E2E_TMP/sample.x"
rm model.x
start_prepared
assert_alive "model.x missing at start-up"
shot "$E2E_TMP/missing.ppm"
c=$(colour_at $FRAME_LEFT_RIM)
is_black "$c" || fail "model.x missing: the frame's place shows $c, expected nothing drawn"

for kind in empty truncated random; do
  bad_input model "$kind" model.x || fail "cannot write the $kind model"
  sleep 1
  assert_alive "model.x $kind"
  shot "$E2E_TMP/$kind.ppm"
  c=$(colour_at $FRAME_LEFT_RIM)
  is_black "$c" || fail "model.x $kind: the frame's place shows $c, expected nothing drawn"
  # A good model between the bad ones: drawn again at once.
  cp "$E2E_TMP/sample.x" model.partial && mv model.partial model.x
  await_colour is_orange $FRAME_LEFT_RIM "the sample model back after the $kind one"
done

bad_input model binary model.x || fail "cannot write the binary model"
assert_alive "binary model.x"
await_colour is_orange $FRAME_LEFT_RIM "binary model.x, left rim"
await_colour is_orange $FRAME_RIGHT_RIM "binary model.x, right rim"

bad_input model nomaterials model.x || fail "cannot write the model without materials"
assert_alive "model.x without a material list"
await_colour is_grey $FRAME_LEFT_RIM "model.x without a material list (default material)"

cp "$E2E_TMP/sample.x" model.partial && mv model.partial model.x
await_colour is_orange $FRAME_LEFT_RIM "the sample model at the end"
assert_alive "the sample model at the end"
end_run "after the bad models"
pass
