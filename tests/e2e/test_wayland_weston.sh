#!/usr/bin/env bash
# The Linux program where the screen cannot be grabbed (weston, headless,
# with XWayland: it offers clients neither wlr-screencopy nor, here, the
# ScreenCast portal): one message box says so and what is missing, and the
# status text keeps saying it; once the box is answered the program runs on
# with a black grab and makes no shared memory per frame (strace counts its
# calls); a close request
# ends it with exit code 0.
# Targets: linux
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$E2E_LIB_DIR/panel_lib.sh"
source "$E2E_LIB_DIR/capture_lib.sh"
source "$E2E_LIB_DIR/bad_lib.sh"
command -v python3 >/dev/null || skip "no python3 for the pixel checks"

# The program's shared-memory calls (System V: MIT-SHM's) in 3 s, counted by
# strace; "unknown" where it cannot look.
shm_calls() {
  local trace=$E2E_TMP/shm.trace
  timeout -s INT 3 strace -f -qq -e trace=shmget,shmat,shmdt -o "$trace" \
    -p "$(program_unix_pids)" 2>/dev/null
  if [[ -f $trace ]]; then
    grep -c -E 'shm(get|at|dt)\(' "$trace"
  else
    echo unknown
  fi
}

start_weston 1280x1024
unset DBUS_SESSION_BUS_ADDRESS  # no session bus, so no portal either
start_windows
answer_message_box "about the grab"
assert_eq 1 "$(grep -c 'wlr-screencopy も ScreenCast' "$PROGRAM_LOG")" "the lack said on the standard error"
await_frames 30
sleep 2
assert_eq "" "$(message_boxes)" "message boxes after answering the first"
assert_black_feedback "after the message"
cpu=$(process_cpu_ticks)
frames=$(frames_in 3)
note "$frames frames in 3 s, $(($(process_cpu_ticks) - cpu)) CPU ticks"
assert_ge "$frames" 3 "frames in 3 s after the message"
calls=$(shm_calls)
if [[ $calls == unknown ]]; then
  note "strace cannot watch the program here: its shared-memory calls are not counted"
else
  assert_eq 0 "$calls" "shared-memory calls in 3 s of frames"
fi

# The status text says it too, between the save line and the key help (the
# window's own pixels: weston lets no client read the screen).
read -r _ _ cw ch < <(win_geometry t462)
import -window "$(window_id t462)" "$E2E_TMP/display.png" || fail "cannot read the display window"
text=$(capture_pixels text "$E2E_TMP/display.png" $((70 * cw / 594)) $((22 * ch / 578)) \
  $((450 * cw / 594)) $((14 * ch / 578)))
assert_ge "$text" 100 "status-text pixels on the notice's row"

end_run "after the message"
pass
