#!/usr/bin/env bash
# Under the X11 window managers openbox, xfwm4 and i3 (which tiles ordinary
# windows), both windows float at their own sizes where the program puts
# them: the panel undecorated at (0, 0), the display window in the manager's
# frame, its client area at (114, 123) as without one. The display window
# cannot be maximised: the manager lists neither maximise nor resize among
# its allowed actions, and neither a maximise request nor a double click on
# its title changes it. The panel still moves by a drag on its face (which
# the manager runs) and by the arrow keys, and takes typing into its box.
# Targets: linux
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$E2E_LIB_DIR/panel_lib.sh"
command -v wmctrl >/dev/null || skip "no wmctrl"

for wm in openbox xfwm4 i3; do
  start_xvfb 1280x1024x24
  start_window_manager "$wm"
  start_windows --what "$wm"
  sleep 2

  assert_eq "114 123 592 583" "$(win_geometry t462)" "$wm: the display window's client area"
  assert_eq "0 0 177 152" "$(win_geometry com)" "$wm: the panel's X window"
  actions=$(xprop -id "$DISPLAY_WINDOW" _NET_WM_ALLOWED_ACTIONS)
  note "$wm: ${actions#*= }"
  [[ $actions == *MAXIMIZE* || $actions == *RESIZE* ]] &&
    fail "$wm: the display window may be maximised or resized: $actions"

  before=$(win_geometry t462)
  wmctrl -i -r "$DISPLAY_WINDOW" -b add,maximized_vert,maximized_horz || fail "$wm: wmctrl failed"
  sleep 0.5
  assert_eq "$before" "$(win_geometry t462)" "$wm: the display window after a maximise request"
  # The title bar lies above the client area, within the frame's top.
  read -r _ _ top _ < <(xprop -id "$DISPLAY_WINDOW" _NET_FRAME_EXTENTS | sed -n 's/.*= //p' | tr -d ,)
  if ((${top:-0} > 0)); then
    read -r x y _ < <(win_geometry t462)
    note "$wm: double click on the title, $top pixels high"
    xdotool mousemove $((x + 200)) $((y - top / 2)) click --repeat 2 --delay 80 1
    sleep 0.5
    assert_eq "$before" "$(win_geometry t462)" "$wm: the display window after a double click on its title"
  fi

  drag_mouse 15 80 300 200 || fail "$wm: cannot drag"
  assert_eq "300 200 477 352" "$(panel_rect)" "$wm: the panel after a drag by (300, 200)"
  snapshot_as "$wm" || fail "$wm: typing into the prefix box and clicking 写 wrote no ${wm}0.bmp"
  nudge_left || fail "$wm: cannot press Left"
  assert_eq "299 200 476 352" "$(panel_rect)" "$wm: the panel after Left"
  note "$wm: both windows float at their sizes, no maximise, the panel moves and types"

  stop_program
  stop_xvfb
done
pass
