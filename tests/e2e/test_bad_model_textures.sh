#!/usr/bin/env bash
# Textures that cannot be used, or only as odd pictures, in one run (the
# model and its textures are read again every frame): the sample model with
# its picture's material naming
# - a file that does not exist: the picture is drawn in its white material
#   colour, the frame stays orange;
# - a file that is no picture: the same;
# - a 37 x 13 picture (sizes that are no power of two, odd widths, rows
#   padded): the picture wears it (solid green);
# - that picture as "café.bmp", named in UTF-8 (a model written on another
#   system): found in every code page; named in code page 1252: found where
#   that is the system's code page, under code page 932 (or on a system
#   whose names are UTF-8) a missing file;
# - two JPEG textures, the picture's and the frame's, and the frame's file
#   replaced in place while the program runs (as an editor saves it): the
#   frame wears the new picture at once, the picture keeps its own; and
#   replaced with the first file's bytes again, the frame wears that again.
# Every case: the process lives and frames go on; at the end a close request
# ends it with exit code 0.
# Code pages: 932 1252
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$E2E_LIB_DIR/panel_lib.sh"
source "$E2E_LIB_DIR/bad_lib.sh"

prepare_run
bad_input image notimage "no-picture.bmp" || fail "cannot write the non-picture"
bad_input image odd "odd.bmp" || fail "cannot write the 37 x 13 picture"
cp odd.bmp café.bmp
western=is_white
[[ $(system_code_page) == 1252 ]] && western=is_green
cp model.x "$E2E_TMP/sample.x"
start_prepared

for case in "存在しない.bmp:a missing texture file:is_white" \
  "no-picture.bmp:a texture file that is no picture:is_white" \
  "odd.bmp:a 37 x 13 texture:is_green" \
  "café.bmp:a texture named in UTF-8:is_green:utf-8" \
  "café.bmp:a texture named in code page 1252:$western:cp1252"; do
  IFS=: read -r texture what class encoding <<<"$case"
  bad_input texture-model "$texture" model.x ${encoding:-} || fail "cannot write the model naming $texture"
  assert_alive "$what"
  await_colour "$class" $PICTURE_POINT "$what, the picture"
  await_colour is_orange $FRAME_LEFT_RIM "$what, the frame"
done

bad_input image jpeg-green picture.jpg && bad_input image jpeg-red frame.jpg &&
  bad_input image jpeg-blue "$E2E_TMP/blue.jpg" && cp frame.jpg "$E2E_TMP/red.jpg" &&
  bad_input two-textures picture.jpg frame.jpg model.x || fail "cannot write the two-JPEG model"
await_colour is_green $PICTURE_POINT "two JPEG textures, the picture"
await_colour is_red $FRAME_LEFT_RIM "two JPEG textures, the frame"
for colour in blue red; do
  cat "$E2E_TMP/$colour.jpg" >frame.jpg
  await_colour "is_$colour" $FRAME_LEFT_RIM "the frame's JPEG replaced by a $colour one" 10
  await_colour is_green $PICTURE_POINT "the frame's JPEG replaced by a $colour one, the picture" 1
  assert_alive "the frame's JPEG replaced by a $colour one"
done

cp "$E2E_TMP/sample.x" model.partial && mv model.partial model.x
assert_alive "the sample model again"
end_run "after the bad textures"
pass
