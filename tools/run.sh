#!/usr/bin/env bash
# Runs t462: installs what is missing (tools/setup-debian.sh), builds the
# Windows program and starts it from its staged folder build/windows/t462/
# under Wine, with the settings of tools/wine-env.sh (those the tests run it
# with) in your locale when it is a UTF-8 one, else in C.UTF-8.
#
# With $DISPLAY set, the program runs on that display until you close it.
# Without a display, it runs in a virtual X server for a few seconds, a
# screenshot is saved to build/screenshot.png, and the program is closed.
#
#   tools/run.sh [--no-setup] [--seconds N]
#
# The Wine prefix is kept between runs in ~/.local/share/t462/wineprefix
# (T462_WINEPREFIX overrides it); its first creation takes 10-30 s.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"

setup=1
seconds=8
while (($#)); do
  case $1 in
    --no-setup) setup=0 ;;
    --seconds)
      seconds=${2:?--seconds needs a number}
      shift
      ;;
    -h | --help)
      sed -n '2,14p' "$0" | sed 's/^# \{0,1\}//'
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
cmake --preset windows >/dev/null
cmake --build --preset windows -j "${JOBS:-$(nproc 2>/dev/null || echo 2)}"

staged=$repo/build/windows/t462
[[ -f $staged/t462.exe ]] || {
  echo "run.sh: the build did not stage $staged/t462.exe" >&2
  exit 1
}

export WINEPREFIX=${T462_WINEPREFIX:-${XDG_DATA_HOME:-$HOME/.local/share}/t462/wineprefix}
source "$repo/tools/wine-env.sh"
t462_wine_env
mkdir -p "$(dirname "$WINEPREFIX")"
[[ -d $WINEPREFIX ]] || echo "run.sh: creating the Wine prefix $WINEPREFIX (first start, 10-30 s)"

if [[ -n ${DISPLAY:-} ]]; then
  echo "run.sh: starting $staged/t462.exe on display $DISPLAY"
  cd "$staged"
  set +e
  wine t462.exe
  code=$?
  echo "run.sh: t462.exe ended with exit code $code"
  exit "$code"
fi

# No display: a virtual screen, a screenshot, a clean close. The end-to-end
# harness has the pieces; its clean-up stops the program and the X server.
screenshot_file=$repo/build/screenshot.png
E2E_SAVE_ARTIFACTS=0
E2E_LOCALE=$LC_ALL
source "$repo/tests/e2e/lib.sh"
set +e

start_xvfb 1920x1080x24
echo "run.sh: no display; running t462.exe for ${seconds} s in a virtual X server ($DISPLAY)"
start_program_in "$staged"
if ! wait_window t462 120 >/dev/null; then
  screenshot "$screenshot_file"
  echo "run.sh: the display window did not appear; screenshot: $screenshot_file" >&2
  echo "run.sh: program output:" >&2
  cat "$PROGRAM_LOG" >&2
  exit 1
fi
sleep "$seconds"
screenshot "$screenshot_file" || {
  echo "run.sh: the screenshot failed" >&2
  exit 1
}
echo "run.sh: screenshot saved to $screenshot_file"

close_window t462
code=$(wait_exit 15)
case $code in
  0) echo "run.sh: closed the display window; t462.exe ended with exit code 0" ;;
  timeout)
    echo "run.sh: t462.exe did not end within 15 s of the close request; stopping it" >&2
    exit 1
    ;;
  *)
    echo "run.sh: t462.exe ended with exit code $code" >&2
    exit 1
    ;;
esac
