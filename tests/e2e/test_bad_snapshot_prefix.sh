#!/usr/bin/env bash
# Prefixes typed into the panel's box, each followed by a click on "写"
# (two for "" and "COM": numbers 0 and 1), in one run:
# - "" and "ab": saved in the snapshot folder, confirmed on the status row;
# - characters no file name may hold (*?:<>|"), "x:y", path separators
#   ("..\" would leave the folder, "a/b"), and "COM" (COM1 is the serial
#   port): nothing is written anywhere, and the status row says the save
#   failed ("... の保存に失敗しました"), never "で保存しました";
# - 40 characters typed: the box keeps what fits its width, and the snapshot
#   is named by exactly that;
# - pasted: "テスト" names "テスト0.bmp"; "é" and "€", which code page 932
#   cannot hold, are a failed save and no file anywhere (never one under a
#   mangled name such as "e0.bmp" or "?0.bmp").
# Every snapshot file is a complete BMP; the program keeps making frames and
# a close request ends it with exit code 0. Names longer than the 256-byte
# name buffer cannot be typed: the unit tests cover them (capture and
# snapshot-name tests; "表" and "ソ", whose second byte is the backslash, are
# plain names).
# Code pages: 932 1252
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$E2E_LIB_DIR/panel_lib.sh"
source "$E2E_LIB_DIR/bad_lib.sh"

start_sample_run

listing() { (cd "$RUN_DIR/.." && find . -type f ! -name "$PANEL_FEEDBACK" ! -name '*.ppm' \
  ! -name '*.log' ! -name 'bmp-check' ! -name 'exit_code*' | sort); }
others_before=$(listing | grep -v "/$PANEL_SNAPSHOTS/")

check_prefix() {
  local prefix=$1 expect=$2 clicks=${3:-1} how=${4:-type} n status
  type_prefix "$prefix" "$how"
  for ((n = 0; n < clicks; n++)); do
    status=$(click_snapshot)
    local file="$PANEL_SNAPSHOTS/$prefix$n.bmp"
    case $expect in
      saved)
        assert_eq saved "$status" "prefix '$prefix', snapshot $n: the status row"
        assert_file "$file"
        ;;
      failed)
        assert_eq failed "$status" "prefix '$prefix', snapshot $n: the status row"
        ;;
    esac
  done
  assert_eq "$others_before" "$(listing | grep -v "/$PANEL_SNAPSHOTS/")" \
    "prefix '$prefix': files outside the snapshot folder"
  assert_snapshots_complete "prefix '$prefix'"
  assert_alive "prefix '$prefix'" 1
}

check_prefix "" saved 2
check_prefix "ab" saved
count_before=$(ls "$PANEL_SNAPSHOTS" | wc -l)
for prefix in '*?:<>|"' 'x:y' '..\' 'a/b'; do
  check_prefix "$prefix" failed
done
check_prefix COM failed 2 # COM0, then COM1
assert_eq "$count_before" "$(ls "$PANEL_SNAPSHOTS" | wc -l)" "snapshots after the failed prefixes"

# More than the box can show: it keeps what fits.
type_prefix "$(printf 'x%.0s' $(seq 40))"
assert_eq saved "$(click_snapshot)" "the long prefix: the status row"
long=$(ls "$PANEL_SNAPSHOTS" | grep -E '^x+0\.bmp$') || fail "no snapshot named by the long prefix: $(ls "$PANEL_SNAPSHOTS")"
kept=$(( ${#long} - 5 ))
note "the box kept $kept of 40 characters: $long"
assert_between "$kept" 1 39 "characters kept by the box"
assert_snapshots_complete "the long prefix"

# Japanese, and what code page 932 cannot hold, pasted.
check_prefix "テスト" saved 1 paste
count_before=$(ls "$PANEL_SNAPSHOTS" | wc -l)
check_prefix "é" failed 1 paste
check_prefix "a€" failed 1 paste
assert_eq "$count_before" "$(ls "$PANEL_SNAPSHOTS" | wc -l)" "snapshots after the prefixes code page 932 cannot hold"

# A plain prefix after the failures: saved again, and said so.
check_prefix "ok" saved
end_run "after the prefixes"
pass
