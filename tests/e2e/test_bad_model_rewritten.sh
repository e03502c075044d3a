#!/usr/bin/env bash
# "model.x" rewritten by another program while ours runs: for 8 seconds a
# writer empties it and writes the sample model again in pieces, pausing
# between them, over and over, so that the program's loads meet empty and
# half-written files. The program must not crash and must keep making
# frames; once the writer leaves the file whole, the picture comes back (the
# orange frame at its place). Then, with the file long unchanged, a model of
# the same size but a green frame is put in its place with the old file's
# write time, as a copy that keeps times does: the picture must show it. A
# close request ends the program with exit code 0.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$E2E_LIB_DIR/panel_lib.sh"
source "$E2E_LIB_DIR/bad_lib.sh"

start_sample_run
await_colour is_orange $FRAME_LEFT_RIM "before the rewriting"

bad_input rewrite model.x 8 >"$E2E_TMP/rounds" &
writer=$!
on_exit "kill $writer 2>/dev/null"
sleep 3
assert_alive "while model.x is being rewritten"
wait "$writer" || fail "the writer failed"
note "the writer rewrote model.x $(cat "$E2E_TMP/rounds") times in pieces"
cmp -s model.x "$E2E_REPO/assets/model.x" || fail "the writer left model.x different from the sample"

assert_alive "after the rewriting"
await_colour is_orange $FRAME_LEFT_RIM "the picture back after the rewriting"
await_colour is_orange $FRAME_RIGHT_RIM "the picture back after the rewriting"

sleep 3  # long enough for the program to count the file as settled
LC_ALL=C sed 's/0\.900000;0\.450000;0\.100000;/0.100000;0.900000;0.100000;/' model.x >green.x
cmp -s model.x green.x && fail "no frame material to recolour in the sample model"
assert_eq "$(stat -c %s model.x)" "$(stat -c %s green.x)" "size of the recoloured model"
touch -r model.x green.x
mv green.x model.x
await_colour is_green $FRAME_LEFT_RIM "the same-size model with the old write time"
end_run "after the rewriting"
pass
