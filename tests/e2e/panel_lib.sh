# shellcheck shell=bash
# Steps shared by the control panel's end-to-end tests; source after lib.sh.
#
#   root_pattern FILE     make a picture of the screen's size (a gradient
#                         tile, every pixel's colour tied to its place) and
#                         set it as the X root background: what lies beneath
#                         the panel where nothing else does
#   drag_mouse X Y DX DY  press button 1 at (X, Y), move by (DX, DY) in
#                         steps, release
#   panel_rect            "L T R B" of the panel's window rectangle
#   panel_pixels ARGS     tests/e2e/panel_pixels.py (see there)
#   wait_file FILE [S]    wait until FILE exists (default 10 s)
#   fresh_feedback DEST   copy the next フィルター.bmp the program writes to DEST
#   nudge_left            press Left until the panel has moved (at most three
#                         times: a machine too busy to run a frame while the
#                         key is down sees no press)
#   snapshot_as PREFIX    click into the (empty) prefix box, type PREFIX, click
#                         "写"; true when PREFIX0.bmp is written
#
# Panel geometry, window coordinates of the panel at (0, 0): client origin
# (4, 4); quit button centre (30, 21), snapshot button (64, 21), prefix box
# (124, 21); the grip on the face's left band around (15, 80); the opening
# (35, 37)-(173, 148).

PANEL_SKIN_NAME="枠.bmp"
PANEL_FEEDBACK="フィルター.bmp"
PANEL_SNAPSHOTS="抜き取り画像保存フォルダ"

panel_pixels() { python3 "$E2E_LIB_DIR/panel_pixels.py" "$@"; }

root_pattern() {
  local file=$1 size=${E2E_SCREEN_SIZE%x*}
  convert -size 256x256 gradient:red-blue \( -size 256x256 gradient:lime-black -rotate 90 \) \
    -compose plus -composite -write mpr:tile +delete -size "$size" tile:mpr:tile "$file" ||
    return 1
  # display sets the background and leaves; its exit status says nothing.
  timeout 20 display -window root "$file" >/dev/null 2>&1
  local shot=$E2E_TMP/root-check.png
  screenshot "$shot" || return 1
  [[ "$(pixel_at "$shot" 1000 700)" == "$(pixel_at "$file" 1000 700)" ]]
}

drag_mouse() {
  local x=$1 y=$2 dx=$3 dy=$4 i steps=10
  xdotool mousemove "$x" "$y" && sleep 0.1 && xdotool mousedown 1 && sleep 0.1 || return 1
  for ((i = 1; i <= steps; i++)); do
    xdotool mousemove $((x + dx * i / steps)) $((y + dy * i / steps)) || return 1
    sleep 0.05
  done
  sleep 0.1
  xdotool mouseup 1
  sleep 0.3
}

panel_rect() { windows_rect NORMAL1 com; }

wait_file() {
  local file=$1 timeout=${2:-10} start=$SECONDS
  while ((SECONDS - start < timeout)); do
    [[ -f $file ]] && return 0
    sleep 0.05
  done
  return 1
}

fresh_feedback() {
  # The feedback image is rewritten every frame (emptied, then written), so
  # take a copy written from now on that holds the whole file.
  local dest=$1 i
  local mark=$E2E_TMP/feedback-mark
  touch "$mark"
  sleep 0.05
  for ((i = 0; i < 200; i++)); do
    if [[ $PANEL_FEEDBACK -nt $mark ]] && cp "$PANEL_FEEDBACK" "$dest" 2>/dev/null &&
      [[ $(stat -c %s "$dest") == 46230 ]]; then
      return 0
    fi
    sleep 0.02
  done
  return 1
}

snapshot_as() {
  local left top
  read -r left top _ < <(panel_rect) || return 1
  click $((left + 124)) $((top + 21)) && sleep 0.6 && xdotool type --delay 80 "$1" &&
    sleep 0.5 && click $((left + 64)) $((top + 21)) &&
    wait_file "$PANEL_SNAPSHOTS/${1}0.bmp" 5
}

nudge_left() {
  local before try
  before=$(panel_rect) || return 1
  for ((try = 0; try < 3; try++)); do
    hold_key Left || return 1
    sleep 0.5
    [[ $(panel_rect) != "$before" ]] && return 0
  done
  return 0
}
