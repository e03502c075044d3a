#!/usr/bin/env bash
# The feedback image "フィルター.bmp" made unwritable under the running
# program, one case after another:
# - read-only (chmod 444, the read-only attribute as Wine maps it): it cannot
#   be written, as on Windows; but under Wine root still may write it, so
#   there frames go on rewriting it;
# - immutable (chattr +i, which stops root too), and (Windows only: POSIX
#   has no such lock) locked by another program of the same Wine prefix
#   (opened with no sharing): it cannot be written; the program keeps
#   running its frames (F5 still saves snapshots) and draws on;
# - a folder of that name: the same;
# and after each, with the file writable again, the program rewrites it
# frame after frame. A close request ends it with exit code 0.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$E2E_LIB_DIR/panel_lib.sh"
source "$E2E_LIB_DIR/bad_lib.sh"

if target_has sharing_locks; then
  lock_tool=$(e2e_build_tool win_lock.exe "$E2E_LIB_DIR/win_lock.c" e2e_cc_mingw) ||
    fail "cannot build win_lock.exe"
fi
start_sample_run
feedback=$RUN_DIR/$PANEL_FEEDBACK
on_exit "chattr -i '$feedback' 2>/dev/null; touch '$E2E_TMP/unlock'"

# unwritable WHAT: the feedback image is not rewritten, frames go on.
unwritable() {
  # By its time stamp: Wine opens the file for writing before the sharing
  # check fails, so a lock still shows as an (empty) write to inotify.
  local before after
  before=$(stat -c %y "$feedback" 2>/dev/null)
  sleep 2
  after=$(stat -c %y "$feedback" 2>/dev/null)
  assert_eq "$before" "$after" "$1: the feedback image's time stamp"
  assert_snapshots_advance "$1"
  assert_running "the program ($1)"
  shot "$E2E_TMP/unwritable.ppm"
  note "$1: the frame $(colour_at $FRAME_LEFT_RIM), the picture $(colour_at $PICTURE_POINT)"
  is_orange "$(colour_at $FRAME_LEFT_RIM)" || fail "$1: the model is no longer drawn"
}

chmod 444 "$feedback"
if target_has root_writes_read_only; then
  assert_alive "フィルター.bmp read-only (root may write)"
else
  unwritable "フィルター.bmp read-only"
fi
chmod 644 "$feedback"
assert_alive "フィルター.bmp writable again"

if chattr +i "$feedback" 2>/dev/null; then
  unwritable "フィルター.bmp immutable"
  chattr -i "$feedback"
  assert_alive "フィルター.bmp no longer immutable"
else
  note "chattr +i is not available here: the immutable case is left out"
fi

if target_has sharing_locks; then
  rm -f "$E2E_TMP/unlock"
  (cd "$RUN_DIR" && wine "$lock_tool" "$PANEL_FEEDBACK" "Z:${E2E_TMP//\//\\}\\unlock" \
    </dev/null >"$E2E_TMP/lock.out" 2>>"$PROGRAM_LOG") &
  locker=$!
  for ((i = 0; i < 250; i++)); do
    grep -q . "$E2E_TMP/lock.out" 2>/dev/null && break
    sleep 0.1
  done
  # The program truncates and rewrites the file many times a second: the
  # lock takes a few tries (win_lock.exe retries for 10 s) to get in between.
  grep -q locked "$E2E_TMP/lock.out" || fail "win_lock.exe could not lock the file: $(cat "$E2E_TMP/lock.out")"
  unwritable "フィルター.bmp locked by another program"
  touch "$E2E_TMP/unlock"
  wait "$locker"
  assert_alive "フィルター.bmp unlocked"
fi

# The program makes the file again between a removal and the mkdir: retry.
for ((i = 0; i < 100; i++)); do
  rm -f "$feedback" && mkdir "$feedback" 2>/dev/null && break
done
[[ -d $feedback ]] || fail "cannot put a folder in the feedback image's place"
unwritable "a folder named フィルター.bmp"
rmdir "$feedback"
assert_alive "フィルター.bmp a file again"
assert_file "$feedback"

end_run "after the feedback cases"
pass
