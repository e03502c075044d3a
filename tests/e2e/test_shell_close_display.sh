#!/usr/bin/env bash
# Closing the display window as a window manager does (WM_DELETE_WINDOW,
# WM_CLOSE for the program) ends the process with exit code 0 within a few
# seconds, and both windows go.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

start_windows
sleep 2 # let frames run
assert_running

start=$(date +%s%N)
close_window t462 || fail "could not send the close request"
code=$(wait_exit 10)
elapsed_ms=$((($(date +%s%N) - start) / 1000000))
assert_eq 0 "$code" "exit code after closing the display window"
note "ended ${elapsed_ms} ms after the close request"
assert_no_window t462
assert_no_window com
pass
