#!/usr/bin/env bash
# The README's run command (tools/run.sh, and tools/run.sh --windows for
# t462.exe) on a display with a window manager (openbox), as a user runs it,
# with the settings it gives Wine:
# - eight rounds of clicking into the prefix box, typing, and clicking "写":
#   each writes its snapshot and the frames go on (no freeze);
# - the display window minimised: the loop paces itself to about one display
#   refresh, so the feedback image is rewritten about 60 times a second
#   instead of as fast as the disk allows; restored, frames go on;
# - a close request to the display window ends the program, and run.sh, with
#   exit code 0.
# run.sh runs the staged folder (given as T462_STAGED_DIR) itself; its
# feedback image and the snapshots written here are put back as they were
# afterwards.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$E2E_LIB_DIR/panel_lib.sh"

staged=$T462_STAGED_DIR
backup=$E2E_TMP/staged-backup
mkdir -p "$backup" && cp -a "$staged/$PANEL_FEEDBACK" "$backup/" || fail "cannot back up $staged"
ls -1 "$staged/$PANEL_SNAPSHOTS" >"$backup/snapshots" || fail "no snapshot folder in $staged"
restore_staged() {
  cp -a "$backup/$PANEL_FEEDBACK" "$staged/"
  (cd "$staged/$PANEL_SNAPSHOTS" && ls -1 | grep -vxF -f "$backup/snapshots" | xargs -r -d '\n' rm -f)
}
on_exit restore_staged

start_xvfb 1920x1080x24
start_openbox
run_log=$E2E_TMP/run.log
run_args=(--no-setup)
target_has wine && run_args+=(--windows)
T462_STAGED_DIR=$staged T462_WINEPREFIX=${WINEPREFIX:-} setsid bash "$E2E_REPO/tools/run.sh" "${run_args[@]}" >"$run_log" 2>&1 &
run_pid=$!
# run.sh and the program it starts share run.sh's process group.
on_exit "target_has wine && wineserver -k 2>/dev/null; kill -KILL -- -$run_pid 2>/dev/null"
display=$(wait_window t462 120) || fail "the display window did not appear: $(tail -5 "$run_log")"
wait_window com 20 >/dev/null || fail "the control panel did not appear"
feedback=$staged/$PANEL_FEEDBACK
# The first frames may come slowly on a busy machine: wait for the pace.
for ((i = 0; i < 15; i++)); do
  frames=$(count_rewrites "$feedback" 2)
  ((frames >= 20)) && break
done
note "frames in 2 s at the start: $frames"
assert_ge "$frames" 20 "rewrites of the feedback image in 2 s"

read -r pl pt _ < <(panel_rect) || fail "no panel rectangle"
for ((round = 1; round <= 8; round++)); do
  click $((pl + 124)) $((pt + 21))
  sleep 0.2
  xdotool key End key --repeat 4 --delay 20 BackSpace type --delay 40 "r$round"
  sleep 0.2
  click $((pl + 64)) $((pt + 21))
  wait_file "$staged/$PANEL_SNAPSHOTS/r${round}0.bmp" 5 || fail "round $round: no snapshot r${round}0.bmp"
  frames=$(count_rewrites "$feedback" 1)
  ((frames > 0)) || fail "round $round: no frame in 1 s after the snapshot (the program froze)"
  note "round $round: snapshot written, $frames frames in the next second"
done

xdotool windowminimize "$display" || fail "xdotool cannot minimise the display window"
sleep 1
xprop -id "$display" WM_STATE | grep -q Iconic || fail "the display window is not minimised"
frames=$(count_rewrites "$feedback" 4)
note "minimised: $frames rewrites of the feedback image in 4 s"
assert_between "$frames" 160 300 "rewrites in 4 s while minimised (about 60 a second)"

xdotool windowactivate "$display" 2>/dev/null || xdotool windowmap "$display"
sleep 1
frames=$(count_rewrites "$feedback" 2)
note "restored: $frames frames in 2 s"
assert_ge "$frames" 20 "rewrites in 2 s after restoring"

close_window t462 || fail "cannot send the close request"
for ((i = 0; i < 200; i++)); do
  kill -0 "$run_pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$run_pid" 2>/dev/null && fail "run.sh did not end within 20 s of the close request"
grep -q "$E2E_PROGRAM ended with exit code 0" "$run_log" || fail "run.sh: $(tail -3 "$run_log")"
pass
