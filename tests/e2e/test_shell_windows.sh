#!/usr/bin/env bash
# The program starts and shows its two windows: the display window "t462"
# (class "NORMAL0") and the control panel "com" (class "NORMAL1"), and no
# start-up failure message.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

start_windows
assert_ne "$DISPLAY_WINDOW" "$PANEL_WINDOW" "X window of the display window and of the panel"
note "display window 0x$(printf '%x' "$DISPLAY_WINDOW"), panel 0x$(printf '%x' "$PANEL_WINDOW")"

# Both failure paths of start-up show a message box and end the process.
sleep 2
for title in Error エラー; do
  window_id "$title" >/dev/null && fail "a start-up failure message box '$title' is showing"
done
assert_running "the program, 2 s after its windows appeared,"

# The system knows the windows by their titles (under Wine, and classes) and
# as visible.
line=$(window_known NORMAL0 t462) || fail "the system has no NORMAL0 window titled t462"
assert_eq "visible 1" "$line" "the display window"
line=$(window_known NORMAL1 com) || fail "the system has no NORMAL1 window titled com"
assert_eq "visible 1" "$line" "the control panel"
pass
