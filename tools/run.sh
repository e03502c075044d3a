#!/usr/bin/env bash
# Runs t462: installs what is missing (tools/setup-debian.sh), builds the
# Linux program and starts it from its staged folder build/linux/t462/.
# With --windows, builds the Windows program instead and starts
# build/windows/t462/t462.exe under Wine, with the settings of
# tools/wine-env.sh (those the tests run it with) in your locale when it is
# a UTF-8 one, else in C.UTF-8.
#
# With $DISPLAY set, the program runs on that display until you close it.
# Without a display, it runs in a virtual X server (with openbox) with the
# viewfinder over the display window, so that the model wears its own
# picture; after a few seconds a screenshot is saved to build/screenshot.png
# and the program is closed.
#
#   tools/run.sh [--windows] [--no-setup] [--seconds N]
#
# T462_STAGED_DIR runs the program staged in that folder instead, and then
# nothing is built. The Wine prefix is kept between runs in
# ~/.local/share/t462-wine (T462_WINEPREFIX overrides it); its first
# creation takes 10-30 s. (~/.local/share/t462 is the installed Linux
# program's working folder: a prefix kept there by earlier versions of this
# script is moved.)
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
cd "$repo"

setup=1
seconds=8
target=linux
while (($#)); do
  case $1 in
    --windows) target=windows ;;
    --no-setup) setup=0 ;;
    --seconds)
      seconds=${2:?--seconds needs a number}
      shift
      ;;
    -h | --help)
      usage
      exit 0
      ;;
    *)
      echo "run.sh: unknown argument $1" >&2
      exit 2
      ;;
  esac
  shift
done

((setup)) && bash tools/setup-debian.sh
staged=${T462_STAGED_DIR:-}
if [[ -z $staged ]]; then
  build_preset "$target"
  staged=$repo/build/$target/t462
fi
program=t462
[[ $target == windows ]] && program=t462.exe
[[ -f $staged/$program ]] || {
  echo "run.sh: the build did not stage $staged/$program" >&2
  exit 1
}

if [[ $target == windows ]]; then
  data_home=${XDG_DATA_HOME:-$HOME/.local/share}
  export WINEPREFIX=${T462_WINEPREFIX:-$data_home/t462-wine}
  if [[ -z ${T462_WINEPREFIX:-} && -d $data_home/t462/wineprefix && ! -e $WINEPREFIX ]]; then
    echo "run.sh: moving the Wine prefix from $data_home/t462/wineprefix to $WINEPREFIX"
    mv "$data_home/t462/wineprefix" "$WINEPREFIX"
    rmdir "$data_home/t462" 2>/dev/null || true
  fi
  source "$repo/tools/wine-env.sh"
  t462_wine_env
  mkdir -p "$(dirname "$WINEPREFIX")"
  [[ -d $WINEPREFIX ]] || echo "run.sh: creating the Wine prefix $WINEPREFIX (first start, 10-30 s)"
fi

if [[ -n ${DISPLAY:-} ]]; then
  echo "run.sh: starting $staged/$program on display $DISPLAY"
  cd "$staged"
  set +e
  if [[ $target == windows ]]; then
    wine t462.exe
  else
    ./t462
  fi
  code=$?
  echo "run.sh: $program ended with exit code $code"
  exit "$code"
fi

# No display: a virtual screen, a screenshot, a clean close. The end-to-end
# harness has the pieces; its clean-up stops the program and the X server.
screenshot_file=$repo/build/screenshot.png
E2E_SAVE_ARTIFACTS=0
E2E_TARGET=$target
[[ $target == windows ]] && E2E_LOCALE=$LC_ALL
source "$repo/tests/e2e/lib.sh"
set +e

start_xvfb 1024x768x24
command -v openbox >/dev/null && start_openbox
command -v xsetroot >/dev/null && xsetroot -solid '#4a6f8a'
echo "run.sh: no display; running $program for ${seconds} s in a virtual X server ($DISPLAY)"
start_program_in "$staged"
if ! wait_window t462 120 >/dev/null || ! wait_window com 20 >/dev/null; then
  screenshot "$screenshot_file"
  echo "run.sh: the windows did not appear; screenshot: $screenshot_file" >&2
  echo "run.sh: program output:" >&2
  cat "$PROGRAM_LOG" >&2
  exit 1
fi
# The loop closed: the viewfinder's opening over the corner of the model's
# frame, so that the frame wears its own picture, again and again.
win_move 130 230 >/dev/null || echo "run.sh: could not move the panel over the display window" >&2
sleep "$seconds"
screenshot "$screenshot_file" || {
  echo "run.sh: the screenshot failed" >&2
  exit 1
}
echo "run.sh: screenshot saved to $screenshot_file"

close_window t462
code=$(wait_exit 15)
case $code in
  0) echo "run.sh: closed the display window; $program ended with exit code 0" ;;
  timeout)
    echo "run.sh: $program did not end within 15 s of the close request; stopping it" >&2
    exit 1
    ;;
  *)
    echo "run.sh: $program ended with exit code $code" >&2
    exit 1
    ;;
esac
