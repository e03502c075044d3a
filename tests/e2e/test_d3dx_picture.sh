#!/usr/bin/env bash
# The program looks the same on our own D3DX subset as on the system's: the
# display window of t462.exe and of the comparison build t462-system-d3dx
# (same program, the system's d3dx9_43.dll) are shot in the same situation and
# compared. The viewfinder is dragged over a fixed picture away from the
# display window, so that both models wear the same grab. Text may be
# rasterised a little differently (antialiasing, rounding): the pictures must
# agree on all but 1 % of the client area, by 12.5 % per channel.
# Targets: windows
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$E2E_LIB_DIR/panel_lib.sh"

system_dir=$(dirname "$T462_STAGED_DIR")/t462-system-d3dx
[[ -d $system_dir ]] || fail "no $system_dir (build the windows preset first)"
command -v display >/dev/null || skip "no ImageMagick display to show the picture"

start_xvfb
# A picture with edges, gradients and colours, under where the viewfinder goes.
pattern=$E2E_TMP/pattern.png
convert -size 240x200 gradient:'rgb(30,60,200)-rgb(250,200,40)' \
  -fill white -draw 'rectangle 40,40 80,70' -fill 'rgb(0,200,0)' -draw 'circle 150,110 150,140' \
  -fill 'rgb(220,0,0)' -draw 'polygon 40,150 120,190 60,120' "$pattern" ||
  fail "cannot make the picture"
display -geometry +900+200 "$pattern" >/dev/null 2>&1 &
pattern_pid=$!
on_exit "kill $pattern_pid 2>/dev/null; wait $pattern_pid 2>/dev/null"
for ((i = 0; i < 50; i++)); do
  xdotool search --onlyvisible --name 'ImageMagick' >/dev/null 2>&1 && break
  sleep 0.1
done

shoot() {
  local dir=$1 name=$2
  local copy=$E2E_TMP/run-$name
  cp -a "$dir" "$copy" || fail "cannot copy $dir"
  start_windows --in "$copy" --what "$name"
  # The panel opens at (0, 0); its opening then lies over the picture.
  drag_mouse 15 80 900 200 || fail "$name: could not drag the panel"
  read -r x y width height < <(win_geometry t462) || fail "$name: no geometry"
  # Wait (a slow machine may take a while) until the model shows, in its
  # orange frame, wearing the grab: the picture's white rectangle.
  local shot=$E2E_TMP/$name-screen.png deadline=$((SECONDS + 90)) frame picture
  while :; do
    sleep 1
    assert_running "$name"
    screenshot "$shot" || fail "$name: no screenshot"
    frame=$(pixel_at "$shot" $((x + 300)) $((y + 170)))
    picture=$(pixel_at "$shot" $((x + 170)) $((y + 250)))
    [[ $frame =~ ^2[0-9][0-9]\ 1[0-7][0-9]\ [0-7]?[0-9]$ && $picture =~ ^2[45][0-9]\ 2[45][0-9]\ 2[45][0-9]$ ]] && break
    ((SECONDS < deadline)) || fail "$name: the model did not show (frame $frame, picture $picture)"
  done
  sleep 1
  screenshot "$shot" || fail "$name: no screenshot"
  convert "$shot" -crop "${width}x${height}+${x}+${y}" +repage "$E2E_TMP/$name.png" ||
    fail "$name: cannot crop"
  stop_program
  AREA=$((width * height))
}

shoot "$T462_STAGED_DIR" own
shoot "$system_dir" system

differing=$(compare -metric AE -fuzz 12.5% "$E2E_TMP/own.png" "$E2E_TMP/system.png" \
  "$E2E_TMP/difference.png" 2>&1 >/dev/null)
note "$differing of $AREA pixels differ by more than 12.5 %"
mkdir -p "$E2E_ARTIFACTS"
cp "$E2E_TMP/own.png" "$E2E_TMP/system.png" "$E2E_TMP/difference.png" "$E2E_ARTIFACTS/" 2>/dev/null
[[ $differing =~ ^[0-9]+$ ]] || fail "compare gave no count: $differing"
((differing * 100 <= AREA)) || fail "the pictures differ in $differing pixels"
pass
