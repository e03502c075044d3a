#!/usr/bin/env bash
# The grab through the ScreenCast portal, as on GNOME and KDE, tried under
# sway with xdg-desktop-portal-wlr, PipeWire and WirePlumber (its chooser
# stands in for their share dialog: it answers the monitor and counts the
# questions). The handshake gives a PipeWire stream, and the feedback image
# is the compositor's picture under the opening, cropped from the monitor's
# frames. The portal's restore token is kept in the state folder, so a second
# start asks nothing and streams again. A declined share is said once in a
# message box; the program runs on with a black grab.
# Targets: linux
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$E2E_LIB_DIR/panel_lib.sh"
source "$E2E_LIB_DIR/capture_lib.sh"
source "$E2E_LIB_DIR/bad_lib.sh"
command -v python3 >/dev/null || skip "no python3 for the pixel checks"

token=t462/screencast-restore-token

# start_streaming N: starts the program and waits for the Nth start of a
# stream in its log.
start_streaming() {
  local i
  start_prepared
  for ((i = 0; i < 150; i++)); do
    (($(grep -c 'comes from the ScreenCast portal' "$PROGRAM_LOG") >= $1)) && return 0
    assert_running "the program (waiting for the portal)"
    sleep 0.2
  done
  fail "start $1: no stream from the portal: $(cat "$PROGRAM_LOG")"
}

start_sway 1280x1024 portal
export T462_TEST_SCREENCAST_PORTAL=1 # sway would give wlr-screencopy
prepare_run
paint_opening "$PANEL_SKIN_NAME" || fail "cannot paint the skin's opening"

start_streaming 1
assert_eq 1 "$(portal_questions)" "questions of the first start"
[[ -s $XDG_STATE_HOME/$token ]] || fail "no restore token in $XDG_STATE_HOME/$token"
note "first start: $(opening_like_compositor)" ||
  fail "the feedback image is not the compositor's picture under the opening"
end_run "the first start"

start_streaming 2
assert_eq 1 "$(portal_questions)" "questions after the second start"
note "second start: $(opening_like_compositor)" ||
  fail "the second start's feedback image is not the compositor's picture"
end_run "the second start"

# A share the user declines.
rm "$XDG_STATE_HOME/$token" && touch "$E2E_PORTAL_DIR/decline"
start_windows --in "$E2E_TMP/run"
answer_message_box "about the declined share"
grep -q '画面の共有が拒否されました' "$PROGRAM_LOG" || fail "the refusal is not said: $(cat "$PROGRAM_LOG")"
await_frames 30
assert_black_feedback "after the declined share"
end_run "the declined share"
pass
