#!/usr/bin/env bash
# Under sway (headless, the windows through XWayland), which tiles ordinary
# windows and centres the ones it floats: both windows float at their own
# sizes, the panel at (0, 0) and the display window's frame at (110, 100),
# where the program puts them (it asks sway itself, through sway's IPC
# socket: sway takes no place from an X window). A maximise request changes
# nothing. The panel moves by a drag on its face and by the arrow keys, and
# takes typing into its box.
# Targets: linux
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$E2E_LIB_DIR/panel_lib.sh"
command -v wmctrl >/dev/null || skip "no wmctrl"

start_sway 1280x1024
start_windows
sleep 2

# "NAME TYPE X Y W H" of the program's windows in sway's tree: the place of
# the container with its title bar, the window's own size.
tree=$(e2e_as_user "$E2E_RUN_AS" swaymsg -t get_tree | python3 -c '
import json, sys
def walk(node):
    if node.get("name") in ("t462", "com") and node.get("window"):
        r, w = node["rect"], node["window_rect"]
        top = r["y"] - node["deco_rect"]["height"]
        print(node["name"], node["type"], r["x"], top, w["width"], w["height"])
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        walk(child)
walk(json.load(sys.stdin))') || fail "no tree from sway"
note "$(tr '\n' ';' <<<"$tree")"
assert_eq "t462 floating_con 110 100 592 583" "$(grep '^t462 ' <<<"$tree")" "the display window in sway"
assert_eq "com floating_con 0 0 177 152" "$(grep '^com ' <<<"$tree")" "the panel in sway"

before=$(win_geometry t462)
wmctrl -i -r "$DISPLAY_WINDOW" -b add,maximized_vert,maximized_horz || fail "wmctrl failed"
sleep 0.5
assert_eq "$before" "$(win_geometry t462)" "the display window after a maximise request"

nudge_left || fail "cannot press Left"
assert_eq "-1 0 176 152" "$(panel_rect)" "the panel after Left"
drag_mouse 14 80 300 200 || fail "cannot drag"
assert_eq "299 200 476 352" "$(panel_rect)" "the panel after a drag by (300, 200)"
assert_eq "299 200 177 152" "$(win_geometry com)" "the panel's X window after the drag"
snapshot_as sway || fail "typing into the prefix box and clicking 写 wrote no sway0.bmp"
pass
