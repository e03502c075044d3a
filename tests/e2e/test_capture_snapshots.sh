#!/usr/bin/env bash
# F5 takes numbered snapshots: held across a frame it writes
# 抜き取り画像保存フォルダ/0.bmp (one file per frame it is down, numbered on
# from there), each 46,230 bytes, and the status line confirms the save.
# Without the folder nothing is written, the folder is not created and the
# status line reports the failure (a longer line than the confirmation)
# instead of confirming; the numbers still advance, and once the folder is
# back the next snapshot is written and confirmed again.
# Code pages: 932 1252
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$E2E_LIB_DIR/panel_lib.sh"
source "$E2E_LIB_DIR/capture_lib.sh"
command -v python3 >/dev/null || skip "no python3 for the pixel checks"

start_windows
wait_picture || fail "the display window shows no picture"
sleep 0.5

screenshot "$E2E_TMP/before.png" || fail "no screenshot"
before=$(save_row_text "$E2E_TMP/before.png")
assert_eq "" "$(snapshot_list)" "snapshots before F5"
assert_le "$before" 0 "text on the save row before any snapshot"

# Every file 0..N-1 is there and nothing else; prints N.
consecutive_snapshots() {
  local n=0 listed expected=""
  listed=$(snapshot_list)
  while [[ -f "$PANEL_SNAPSHOTS/$n.bmp" ]]; do
    assert_eq 46230 "$(stat -c %s "$PANEL_SNAPSHOTS/$n.bmp")" "size of snapshot $n.bmp"
    expected+="$n.bmp "
    n=$((n + 1))
  done
  assert_eq "$expected" "$listed" "snapshot files"
  echo "$n"
}

hold_key F5 || fail "cannot press F5"
wait_file "$PANEL_SNAPSHOTS/0.bmp" || fail "no 0.bmp after F5: $(snapshot_list)"
sleep 0.5
first=$(consecutive_snapshots) || exit 1
note "first F5: $first snapshot(s)"
screenshot "$E2E_TMP/saved.png" || fail "no screenshot"
saved=$(save_row_text "$E2E_TMP/saved.png")
assert_ge "$saved" 20 "text pixels of the confirmation"

hold_key F5 || fail "cannot press F5"
wait_file "$PANEL_SNAPSHOTS/$first.bmp" || fail "no $first.bmp after the second F5: $(snapshot_list)"
sleep 0.5
second=$(consecutive_snapshots) || exit 1
note "second F5: up to $second snapshot(s)"

rm -rf "$PANEL_SNAPSHOTS"
hold_key F5 || fail "cannot press F5"
sleep 1
[[ -e "$PANEL_SNAPSHOTS" ]] && fail "the snapshot folder was created"
screenshot "$E2E_TMP/failed.png" || fail "no screenshot"
failed=$(save_row_text "$E2E_TMP/failed.png")
note "save row text pixels: before $before, confirmed $saved, failed $failed"
assert_ge "$failed" $((saved * 2)) "text pixels of the failure line against the confirmation"

mkdir "$PANEL_SNAPSHOTS" || fail "cannot make the snapshot folder again"
hold_key F5 || fail "cannot press F5"
for ((i = 0; i < 100; i++)); do
  [[ -n "$(snapshot_list)" ]] && break
  sleep 0.05
done
sleep 0.5
set -- $(snapshot_list)
[[ $# -ge 1 ]] || fail "no snapshot once the folder was back"
number=${1%.bmp}
assert_ge "$number" $((second + 1)) "number of the first snapshot after the failed ones"
screenshot "$E2E_TMP/again.png" || fail "no screenshot"
again=$(save_row_text "$E2E_TMP/again.png")
note "confirmed again as $1: $again text pixels"
assert_le "$again" $((failed / 2)) "text pixels once saving works again"
assert_ge "$again" 20 "text pixels of the confirmation once saving works again"
assert_running
pass
