#!/usr/bin/env bash
# The display window shows the picture: the sample model in its orange frame,
# its picture wearing the grab through the viewfinder (upright, not
# mirrored), the tint rectangle blended over the back-buffer rectangle
# (20, 84, 200, 200) stretched onto the client area, and the two status
# rows; after a snapshot (the panel's "写" button), the save confirmation on
# the top row.
#
# A pattern (white mark top left, green top right, red bottom left on blue)
# is shown in a window at the screen's corner before the program starts, so
# the panel, which opens at (0, 0), sees it through its viewfinder and the
# grab that the model wears is known.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

command -v display >/dev/null || skip "no ImageMagick display to show the pattern"
command -v python3 >/dev/null || skip "no python3 for the pixel checks"

start_xvfb

# The viewfinder's grab is the screen rectangle (35, 37)-(173, 148).
pattern=$E2E_TMP/pattern.png
convert -size 240x200 'xc:rgb(40,80,200)' \
  -fill white -draw 'rectangle 35,37 58,54' \
  -fill 'rgb(0,220,0)' -draw 'rectangle 150,37 173,54' \
  -fill 'rgb(230,0,0)' -draw 'rectangle 35,131 58,148' "$pattern" ||
  fail "cannot make the pattern"
display -geometry +0+0 "$pattern" >/dev/null 2>&1 &
pattern_pid=$!
on_exit "kill $pattern_pid 2>/dev/null; wait $pattern_pid 2>/dev/null"
for ((i = 0; i < 50; i++)); do
  xdotool search --onlyvisible --name 'ImageMagick' >/dev/null 2>&1 && break
  sleep 0.1
done
xdotool search --onlyvisible --name 'ImageMagick' >/dev/null 2>&1 || fail "the pattern window did not appear"

start_windows

read -r x y width height < <(win_geometry t462) || fail "no geometry for the display window"
note "client area ${width}x${height} at ($x, $y); back buffer 594x578"
checker=$E2E_LIB_DIR/picture_check.py

# Frames follow one another back to back; give the first ones time, then
# retry for a while in case the machine is slow.
shoot_and_check() {
  local shot=$1
  shift
  local deadline=$((SECONDS + 30)) report
  sleep 2
  while :; do
    screenshot "$shot" || fail "no screenshot"
    report=$(python3 "$checker" "$@" "$shot" "$x" "$y" "$width" "$height") && break
    if ((SECONDS >= deadline)); then
      printf '%s\n' "$report" | sed "s/^/[$E2E_NAME]   /"
      mkdir -p "$E2E_ARTIFACTS" && cp "$shot" "$E2E_ARTIFACTS/"
      return 1
    fi
    assert_running "the program"
    sleep 1
  done
  printf '%s\n' "$report" | sed "s/^/[$E2E_NAME]   /"
}

shoot_and_check "$E2E_TMP/picture.png" || fail "the picture is not as expected"

# "写" lies at (50, 8)-(70, 27) of the panel's client area.
read -r px py _ _ < <(windows_client NORMAL1 com) || fail "no client area for the panel"
click $((px + 60)) $((py + 17))
shoot_and_check "$E2E_TMP/saved.png" --saved || fail "no save confirmation after a snapshot"
assert_file "$RUN_DIR/抜き取り画像保存フォルダ/0.bmp"
assert_running "the program"
pass
