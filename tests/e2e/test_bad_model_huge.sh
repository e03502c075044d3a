#!/usr/bin/env bash
# A huge "model.x": a grid of 320,000 triangles (7 MB of binary .x) over the
# sample frame's place, read again every frame. The program starts with it,
# draws it (orange where the frame would be), keeps making frames (slowly:
# each one reads the whole file), and a close request still ends it with
# exit code 0.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$E2E_LIB_DIR/panel_lib.sh"
source "$E2E_LIB_DIR/bad_lib.sh"

prepare_run
bad_input model huge320000 model.x || fail "cannot write the huge model"
note "model.x: $(stat -c %s model.x) bytes"
start_prepared 120
assert_alive "a model of 320,000 triangles" 6
await_colour is_orange $FRAME_LEFT_RIM "the huge model, left" 60
await_colour is_orange 300 200 "the huge model, middle" 30
assert_alive "a model of 320,000 triangles, later" 6
end_run "with the huge model"
pass
