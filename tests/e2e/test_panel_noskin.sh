#!/usr/bin/env bash
# Without 枠.bmp the program still runs with a plain panel: the panel shows
# its background colour and its three controls over its whole client area
# (it does not vanish), and its buttons work.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$E2E_LIB_DIR/panel_lib.sh"

start_xvfb 1920x1080x24
root_pattern "$E2E_TMP/root.png" || fail "could not set a picture on the X root"
[[ -d "$T462_STAGED_DIR" ]] || fail "no staged run folder $T462_STAGED_DIR"
cp -a "$T462_STAGED_DIR" "$E2E_TMP/run" || fail "cannot copy the run folder"
rm -f "$E2E_TMP/run/$PANEL_SKIN_NAME"
start_windows --in "$E2E_TMP/run"
sleep 2
assert_eq "0 0 177 152" "$(panel_rect)" "panel rectangle"

screenshot "$E2E_TMP/plain.png" || fail "no screenshot"
# The client area (4, 4)-(173, 148), away from the controls, is one plain
# colour, not the picture beneath; outside the window's region (its left
# and top frame) the picture beneath shows.
face=$(pixel_at "$E2E_TMP/plain.png" 20 60)
note "plain face colour: $face"
assert_ne "$(pixel_at "$E2E_TMP/root.png" 20 60)" "$face" "panel face at (20, 60)"
for spot in "4 40" "100 100" "172 147" "5 147" "170 35" "60 40"; do
  read -r x y <<<"$spot"
  assert_eq "$face" "$(pixel_at "$E2E_TMP/plain.png" "$x" "$y")" "panel face at ($x, $y)"
done
assert_eq "$(pixel_at "$E2E_TMP/root.png" 2 60)" "$(pixel_at "$E2E_TMP/plain.png" 2 60)" \
  "what lies beneath the panel's left frame"

click 64 21
wait_file "$PANEL_SNAPSHOTS/0.bmp" || fail "no snapshot after clicking 写 on the plain panel"
click 30 21
code=$(wait_exit 10)
assert_eq 0 "$code" "exit code after clicking 終了 on the plain panel"
pass
