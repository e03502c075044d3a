#!/usr/bin/env bash
# Where the windows are. As the system reports them (GetWindowRect; under
# Wine asked from inside the same prefix): the display window's outer
# rectangle is 600 x 610 at (110, 100), the panel's 177 x 152 at (0, 0).
#
# Seen from X, with no window manager: the X window of the captioned display
# window is exactly its client area, that is the outer rectangle less the
# frame the program's system draws itself (window_frame in lib.sh): under
# Wine 4 pixels of sizing frame left, right and bottom, and 4 + 19 (caption)
# = 23 at the top, so 592 x 583 at (114, 123). The panel always carries a
# window region (its shape from the skin), and its X window is its whole
# window rectangle, cut with the X shape extension: 177 x 152 at (0, 0).
# (Under Wine an unshaped window of the panel's styles would get an X window
# 3 pixels inside.) Its client area starts 4 pixels in, at (4, 4): 1 pixel
# of border and 3 of sizing frame.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

start_windows
# The display window is moved after the panel is created: let it settle.
sleep 1

outer=$(windows_rect NORMAL0 t462) || fail "the system finds no display window"
assert_eq "110 100 710 710" "$outer" "display window outer rectangle (L T R B)"
outer=$(windows_rect NORMAL1 com) || fail "the system finds no control panel"
assert_eq "0 0 177 152" "$outer" "control panel outer rectangle (L T R B)"

read -r fl ft fr fb < <(window_frame t462)
client="$((110 + fl)) $((100 + ft)) $((710 - fr)) $((710 - fb))"
assert_eq "$client" "$(windows_client NORMAL0 t462)" "display window client area (L T R B)"
client=$(windows_client NORMAL1 com)
read -r l t _ _ <<<"$client"
assert_eq "4 4" "$l $t" "control panel client origin"

assert_eq "$((110 + fl)) $((100 + ft)) $((600 - fl - fr)) $((610 - ft - fb))" \
  "$(win_geometry t462)" "display window X geometry (X Y W H)"
assert_eq "0 0 177 152" "$(win_geometry com)" "control panel X geometry (X Y W H)"

# The same placement on a smaller screen: nothing depends on the screen size.
stop_program
stop_xvfb
start_windows --what 1024x768 1024x768x24
sleep 1
assert_eq "110 100 710 710" "$(windows_rect NORMAL0 t462)" "display window on 1024x768"
assert_eq "0 0 177 152" "$(windows_rect NORMAL1 com)" "control panel on 1024x768"
pass
