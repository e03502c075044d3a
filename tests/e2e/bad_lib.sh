# shellcheck shell=bash
# Steps shared by the bad-input end-to-end tests (test_bad_*.sh); source
# after lib.sh and panel_lib.sh. Files and screenshot checks come from
# tests/e2e/bad_input.py.
#
#   prepare_run            copy the staged run folder to $E2E_TMP/run and cd
#                          there, without starting the program, so that a test
#                          can spoil its files first
#   start_prepared [S]     start the program in that folder (start_windows)
#                          and await_frames S
#   await_frames [S]       wait (S s, default 90) until both windows are there
#                          and the program rewrites the feedback image
#   start_sample_run       prepare_run, start_prepared
#   frames_in S            how often the feedback image is rewritten in S s
#   assert_alive WHAT [S]  the program runs and rewrites the feedback image
#                          within S s (default 2)
#   assert_snapshots_advance WHAT  when the feedback image cannot show it:
#                          the frame loop runs F5, so a held F5 writes a
#                          numbered snapshot
#   end_run WHAT           close request to the display window, exit code 0
#                          within 20 s, and the program's processes gone, so
#                          that another run can start
#   shot FILE              screenshot of the display window's client area (a
#                          PPM); sets SHOT, SHOT_X SHOT_Y (0) SHOT_W SHOT_H
#   colour_at BX BY        "R G B" of back-buffer pixel (BX, BY) in $SHOT
#   is_orange / is_black / is_grey / is_green / is_white / is_red / is_blue
#                          "R G B"   colour classes
#   await_colour CLASS BX BY WHAT [S]  screenshots until the pixel is of the
#                          class (default 30 s)
#   save_row               "COUNT RIGHT": text pixels on the save row of $SHOT
#                          and the back-buffer x of the rightmost one
#   bad_input ARGS         tests/e2e/bad_input.py
#   type_prefix TEXT [paste]  replace the prefix box's text (typed, or pasted)
#   click_snapshot         click "写"; prints the status row's save_status
#
# Back-buffer points on the sample model from the starting camera (see
# picture_check.py): the frame's left rim (78, 335), right rim (517, 335);
# inside the picture, clear of the tint rectangle: (400, 400).

FRAME_LEFT_RIM="78 335"
FRAME_RIGHT_RIM="517 335"
PICTURE_POINT="400 400"

bad_input() { python3 "$E2E_LIB_DIR/bad_input.py" "$@"; }

prepare_run() {
  [[ -d "$T462_STAGED_DIR" ]] || fail "no staged run folder $T462_STAGED_DIR (build the $E2E_TARGET preset first)"
  local copy=$E2E_TMP/run
  chmod -R u+w "$copy" 2>/dev/null
  rm -rf "$copy"
  cp -a "$T462_STAGED_DIR" "$copy" || fail "cannot copy $T462_STAGED_DIR"
  rm -f "$copy/$PANEL_SNAPSHOTS"/* 2>/dev/null
  cd "$copy" || fail "cannot enter $copy"
}

start_prepared() {
  start_windows --in "$E2E_TMP/run" --wait "${1:-90}"
  await_frames "${1:-90}"
}

start_sample_run() {
  # A fresh copy of the staged folder, the program started in it, and its
  # first frames: the start of most bad-input tests.
  prepare_run
  start_prepared
}

frames_in() { count_rewrites "$RUN_DIR/$PANEL_FEEDBACK" "$1"; }

await_frames() {
  local timeout=${1:-90} start=$SECONDS
  wait_windows --wait "$timeout"
  while ((SECONDS - start < timeout)); do
    (($(frames_in 2) > 0)) && return 0
    assert_running "the program (waiting for its first frames)"
  done
  fail "no frame within ${timeout} s (the feedback image was not rewritten)"
}

assert_alive() {
  local what=$1 seconds=${2:-2} n
  assert_running "the program ($what)"
  n=$(frames_in "$seconds")
  ((n > 0)) || fail "$what: the feedback image was not rewritten in ${seconds} s"
  assert_running "the program ($what)"
  note "$what: running, $n frames in ${seconds} s"
}

assert_snapshots_advance() {
  local what=$1 before after i
  before=$(ls -1 "$RUN_DIR/$PANEL_SNAPSHOTS" 2>/dev/null | wc -l)
  for ((i = 0; i < 10; i++)); do
    hold_key F5
    sleep 0.5
    after=$(ls -1 "$RUN_DIR/$PANEL_SNAPSHOTS" 2>/dev/null | wc -l)
    ((after > before)) && break
  done
  ((after > before)) || fail "$what: F5 wrote no snapshot (frames not running?)"
  assert_running "the program ($what)"
  note "$what: running, F5 wrote $((after - before)) snapshot(s)"
}

end_run() {
  local what=$1 code
  close_window t462 || fail "$what: no display window to close"
  code=$(wait_exit 20)
  assert_eq 0 "$code" "$what: exit code after the close request"
  wait "$PROGRAM_PID" 2>/dev/null
  PROGRAM_PID=
  wait_program_gone
  window_gone com 10 || fail "$what: the panel is still there after the exit"
}

shot() {
  # Only the display window's client area, as a PPM: quick to take and read.
  SHOT=$1
  local x y w h
  read -r x y w h < <(win_geometry t462) || fail "no display window geometry"
  import -window root -crop "${w}x${h}+${x}+${y}" +repage -depth 8 "ppm:$SHOT" || fail "no screenshot"
  SHOT_X=0 SHOT_Y=0 SHOT_W=$w SHOT_H=$h
}

colour_at() { bad_input colour "$SHOT" "$SHOT_X" "$SHOT_Y" "$SHOT_W" "$SHOT_H" "$1" "$2"; }

is_orange() {
  local r g b
  read -r r g b <<<"$1"
  ((r > 200 && g > 90 && g < 180 && b < 80))
}
is_black() {
  local r g b
  read -r r g b <<<"$1"
  ((r < 24 && g < 24 && b < 24))
}
is_grey() {
  # Lit but untextured default material: neutral, neither black nor coloured.
  local r g b max min
  read -r r g b <<<"$1"
  max=$r min=$r
  for v in $g $b; do
    ((v > max)) && max=$v
    ((v < min)) && min=$v
  done
  ((min > 40 && max - min < 30))
}
is_green() {
  local r g b
  read -r r g b <<<"$1"
  ((g > 150 && r < 90 && b < 90))
}
is_white() {
  local r g b
  read -r r g b <<<"$1"
  ((r > 200 && g > 200 && b > 200))
}
is_red() {
  local r g b
  read -r r g b <<<"$1"
  ((r > 150 && g < 90 && b < 90))
}
is_blue() {
  local r g b
  read -r r g b <<<"$1"
  ((b > 150 && r < 90 && g < 90))
}

await_colour() {
  local class=$1 bx=$2 by=$3 what=$4 timeout=${5:-30} start=$SECONDS c
  while :; do
    shot "$E2E_TMP/await.ppm"
    c=$(colour_at "$bx" "$by")
    if "$class" "$c"; then
      note "$what: ($bx, $by) is $c"
      return 0
    fi
    if ((SECONDS - start >= timeout)); then
      mkdir -p "$E2E_ARTIFACTS" && convert "$SHOT" "$E2E_ARTIFACTS/${class}-$bx-$by.png"
      fail "$what: back-buffer pixel ($bx, $by) is $c, not ${class#is_}"
    fi
    assert_running "the program ($what)"
    sleep 1
  done
}

save_row() { bad_input saverow "$SHOT" "$SHOT_X" "$SHOT_Y" "$SHOT_W" "$SHOT_H"; }

# "saved", "failed" or "none": what the save row of $SHOT shows. The failure
# line names the whole path ("抜き取り画像保存フォルダ/<name>.bmp の保存に失敗
# しました") and reaches past back-buffer x 330; a confirmation of a short
# prefix ("<prefix><n> で保存しました") ends well before it.
save_status() {
  local count right
  read -r count right < <(save_row)
  if ((count == 0)); then
    echo none
  elif ((right >= 330)); then
    echo failed
  else
    echo saved
  fi
}

# Clicks "写" (the panel at its starting place) and waits for the status row
# to settle; prints save_status.
click_snapshot() {
  click 64 21
  sleep 0.7
  shot "$E2E_TMP/status.ppm"
  save_status
}

# Types TEXT into the prefix box, replacing what it held; with "paste",
# pastes it from the clipboard (Ctrl+V) instead: xdotool cannot type
# Japanese into Wine, which has no input method here.
type_prefix() {
  click 124 21
  sleep 0.2
  # The click puts the caret where it lands: go to the end first.
  xdotool key End
  xdotool key --repeat 30 --delay 15 BackSpace
  if [[ ${2:-} == paste ]]; then
    printf '%s' "$1" | xclip -selection clipboard || fail "xclip cannot set the clipboard"
    xdotool key ctrl+v
  elif [[ -n $1 ]]; then
    xdotool type --delay 60 "$1"
  fi
  sleep 0.5
}

# Every file in the snapshot folder is a complete 138 x 111 snapshot.
assert_snapshots_complete() {
  local files=("$RUN_DIR/$PANEL_SNAPSHOTS"/*)
  [[ -e ${files[0]} ]] || return 0
  bad_input bmp 138 111 "${files[@]}" >"$E2E_TMP/bmp-check" ||
    fail "$1: not every snapshot is complete: $(cat "$E2E_TMP/bmp-check")"
}
