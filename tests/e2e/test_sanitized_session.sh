#!/usr/bin/env bash
# A short session of the Linux program as the host build makes it (Debug,
# AddressSanitizer and UndefinedBehaviorSanitizer, build/native/t462): frames
# run while keys turn, move and light the model, a prefix typed into the box
# (selected, copied to the clipboard and pasted over itself) names a
# snapshot taken with "写", F5 takes another, and a close request
# ends the program with exit code 0. Neither sanitizer reports anything, the
# leak check at exit included.
# Targets: linux
T462_STAGED_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/build/native/t462
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$E2E_LIB_DIR/panel_lib.sh"
source "$E2E_LIB_DIR/capture_lib.sh"

reports=$E2E_TMP/sanitizers
mkdir -p "$reports"
export ASAN_OPTIONS=log_path=$reports/asan:detect_leaks=1
export LSAN_OPTIONS=suppressions=$E2E_LIB_DIR/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=log_path=$reports/ubsan:print_stacktrace=1

start_windows --wait 120
wait_picture || fail "the display window shows no picture"

for key in Left Up Prior a z x s 1; do
  hold_key_for "$key" 0.3 || fail "cannot press $key"
done
read -r pl pt _ < <(panel_rect) || fail "no panel rectangle"
click $((pl + 124)) $((pt + 21))
xdotool key End key --repeat 4 --delay 20 BackSpace type --delay 40 "asan"
xdotool key shift+Home ctrl+c
assert_eq asan "$(timeout 5 xclip -o -selection clipboard)" "the clipboard after Ctrl+C"
xdotool key ctrl+v
click $((pl + 64)) $((pt + 21))
wait_file "$PANEL_SNAPSHOTS/asan0.bmp" 10 || fail "no snapshot asan0.bmp: $(snapshot_list)"
hold_key F5 || fail "cannot press F5"
wait_file "$PANEL_SNAPSHOTS/asan1.bmp" 10 || fail "no snapshot after F5: $(snapshot_list)"

close_window t462 || fail "cannot send the close request"
code=$(wait_exit 30)
for report in "$reports"/*; do
  [[ -e $report ]] && mkdir -p "$E2E_ARTIFACTS" && cp -a "$reports" "$E2E_ARTIFACTS/" &&
    fail "sanitizer report $(basename "$report"): $(grep -m3 -E 'ERROR|runtime error|SUMMARY' "$report")"
done
assert_eq 0 "$code" "exit code after closing the display window"
pass
