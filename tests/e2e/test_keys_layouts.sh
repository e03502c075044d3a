#!/usr/bin/env bash
# Keys act by what they are on the keyboard's layout, as on Windows with the
# same layout, and follow the layout when it changes while the program runs
# (setxkbmap us, fr, de, ru, jp). Keys are pressed by key code, as the
# keyboard sends them: on each layout, holding the key that is 1 there (on
# AZERTY the unshifted "&"), 2, U, 7, D, A, I (on ru the Cyrillic letters at
# those places), 8, keypad 8 and keypad 2 changes the picture; a key bound to
# nothing there (Y) changes nothing. On de (QWERTZ) the key labelled Z acts
# and the one labelled Y does not.
# Targets: linux
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$E2E_LIB_DIR/panel_lib.sh"
source "$E2E_LIB_DIR/capture_lib.sh"
command -v setxkbmap >/dev/null || skip "no setxkbmap"

start_windows
wait_picture || fail "the display window shows no picture"
# The viewfinder away from the display window: no feedback, a steady picture.
win_move 1500 800 >/dev/null || fail "cannot move the panel"
sleep 0.5

num_lock_on() {
  xset q | grep -q 'Num Lock: *on' || xdotool key Num_Lock
  sleep 0.2
  xset q | grep -q 'Num Lock: *on' || fail "Num Lock is off"
}

hold_key_for 17 3 || fail "cannot press 8"
sleep 0.3
digest=$(client_digest) || fail "no screenshot"
# press CODE NAME EFFECT: holds the key, then checks that the picture
# changed (EFFECT 1: tried up to four times, should a busy machine draw no
# frame while the key is down) or stayed (0).
press() {
  local after try
  for ((try = 0; try < 4; try++)); do
    hold_key_for "$1" 0.15 || fail "$layout: cannot press key code $1"
    sleep 0.2
    after=$(client_digest) || fail "no screenshot"
    [[ $after != "$digest" ]] && break
    (($3)) || break
  done
  if (($3)); then
    [[ $after != "$digest" ]] || fail "$layout: holding $2 (key code $1) changed nothing"
  else
    [[ $after == "$digest" ]] || fail "$layout: holding $2 (key code $1) changed the picture"
  fi
  digest=$after
}

# Xvfb's evdev key codes: 10, 11, 16 and 17 the top row's 1, 2, 7 and 8; 30,
# 31, 29, 40, 38 and 52 the US layout's U, I, Y, D, A and Z (A is 24 on
# AZERTY); 80 and 88 keypad 8 and 2 (the camera forward and back again).
# Each key that moves a value one way is followed by the key that moves it
# back (1 and 2 the tint's red, U and 7 its alpha, D and A the rectangle, I
# and 8 the ambient red), so that on a fast machine five layouts take none
# of the values to its limit, where a key no longer shows; the ambient red
# starts at the bottom, where each step shows most.
for layout in us fr de ru jp; do
  setxkbmap "$layout" || fail "setxkbmap $layout failed"
  sleep 0.5
  num_lock_on
  noop=29 left=38
  [[ $layout == de ]] && noop=52
  [[ $layout == fr ]] && left=24
  press 10 1 1
  press 11 2 1
  press 30 U 1
  press 16 7 1
  press 40 D 1
  press "$left" A 1
  press 31 I 1
  press 17 8 1
  press 80 "keypad 8" 1
  press 88 "keypad 2" 1
  press "$noop" Y 0
  [[ $layout == de ]] && press 29 Z 1
  note "$layout: every bound key acts, Y does nothing"
done
assert_running
pass
