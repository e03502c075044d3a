#!/usr/bin/env bash
# Closing only the control panel destroys the panel and nothing else: the
# display window stays, the frame loop keeps running; closing the display
# window afterwards still ends the program with exit code 0.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

start_xvfb 1920x1080x24
start_program
wait_window t462 >/dev/null || fail "the display window did not appear"
wait_window com 20 >/dev/null || fail "the control panel did not appear"
sleep 2

close_window com || fail "could not send the close request to the panel"
window_gone com 10 || fail "the control panel is still there 10 s after the close request"
note "control panel gone"
sleep 2
assert_running "the program, 2 s after the panel was closed,"
window_id t462 >/dev/null || fail "the display window went with the panel"
line=$(e2e_win_query NORMAL1 com) && fail "Windows still has the panel: $line"

# The loop polls without pause, so the process keeps using the processor.
before=$(process_cpu_ticks)
sleep 2
after=$(process_cpu_ticks)
note "CPU ticks in 2 s after closing the panel: $((after - before))"
assert_ge $((after - before)) 10 "CPU ticks used by the frame loop in 2 s"
# Once the program writes its feedback image every frame, frames are
# visible from outside.
if [[ -f "フィルター.bmp" ]]; then
  rewrites=$(count_rewrites "フィルター.bmp" 2)
  note "フィルター.bmp rewritten $rewrites times in 2 s"
  assert_ge "$rewrites" 2 "rewrites of フィルター.bmp in 2 s without the panel"
fi
assert_running

close_window t462 || fail "could not send the close request to the display window"
code=$(wait_exit 10)
assert_eq 0 "$code" "exit code after closing the display window"
pass
