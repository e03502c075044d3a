#!/usr/bin/env bash
# Closing only the control panel destroys the panel and nothing else: the
# display window stays, the frame loop keeps running; closing the display
# window afterwards still ends the program with exit code 0.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

start_windows
sleep 2
# Every frame rewrites the feedback image: with the panel there, see how
# often, as the evidence that frames run.
feedback=フィルター.bmp
rewrites_with_panel=0
[[ -f $feedback ]] && rewrites_with_panel=$(count_rewrites "$feedback" 2)
note "$feedback rewritten $rewrites_with_panel times in 2 s with the panel"

close_window com || fail "could not send the close request to the panel"
window_gone com 10 || fail "the control panel is still there 10 s after the close request"
note "control panel gone"
sleep 2
assert_running "the program, 2 s after the panel was closed,"
window_id t462 >/dev/null || fail "the display window went with the panel"
line=$(window_known NORMAL1 com) && fail "the system still has the panel: $line"

# The loop polls without pause, so the process keeps using the processor.
before=$(process_cpu_ticks)
sleep 2
after=$(process_cpu_ticks)
note "CPU ticks in 2 s after closing the panel: $((after - before))"
assert_ge $((after - before)) 10 "CPU ticks used by the frame loop in 2 s"
# The capture keeps the panel's last rectangle, so frames go on writing the
# feedback image after the panel has gone.
if ((rewrites_with_panel > 0)); then
  rewrites=$(count_rewrites "$feedback" 2)
  note "$feedback rewritten $rewrites times in 2 s without the panel"
  assert_ge "$rewrites" 2 "rewrites of $feedback in 2 s without the panel"
else
  note "the program does not rewrite $feedback: frames seen through the processor time only"
fi
assert_running

close_window t462 || fail "could not send the close request to the display window"
code=$(wait_exit 10)
assert_eq 0 "$code" "exit code after closing the display window"
pass
