#!/usr/bin/env bash
# A panel frame wider than 4 pixels: at 144 dpi (150 %) Wine draws the frame
# 5 pixels wide, as Windows 10 and 11 draw resizable frames wider. The grab
# follows the client origin: it is what lies under the skin's opening
# (client x 31 to 166, y 33 to 141: the opening as far as the narrower client
# area shows it, 136 x 109) and nothing of the skin or the frame, pixel for
# pixel the picture beneath the panel.
# Targets: windows
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$E2E_LIB_DIR/panel_lib.sh"
command -v python3 >/dev/null || skip "no python3 for the pixel checks"

start_xvfb 1920x1080x24
# With the X server up: a Wine process started without one would leave the
# prefix's desktop without a display for the program after it.
dpi_key='HKCU\Control Panel\Desktop'
wine reg add "$dpi_key" /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1 ||
  fail "cannot set 144 dpi in the Wine prefix"
on_exit "wine reg delete '$dpi_key' /v LogPixels /f >/dev/null 2>&1"
root_pattern "$E2E_TMP/root.png" || fail "cannot set the root pattern"
start_windows
sleep 2
# Off the display window, by the grip, so that only the picture lies beneath.
drag_mouse 15 80 900 200 || fail "xdotool could not drag"
read -r cl ct cr cb < <(windows_client NORMAL1 com) || fail "no client rectangle for the panel"
read -r wl wt _ < <(panel_rect)
note "panel at ($wl, $wt), client area ($cl, $ct)-($cr, $cb): a $((cl - wl))-pixel frame"
assert_eq 5 "$((cl - wl))" "the frame's width at 144 dpi"

fresh_grab() {
  # The next complete feedback image of the expected size, into $1.
  local i
  for ((i = 0; i < 100; i++)); do
    cp "$PANEL_FEEDBACK" "$1" 2>/dev/null && [[ $(stat -c %s "$1") == $((54 + 408 * 109)) ]] &&
      return 0
    sleep 0.05
  done
  return 1
}
fresh_grab "$E2E_TMP/grab.bmp" ||
  fail "the feedback image is not 136 x 109 ($(stat -c %s "$PANEL_FEEDBACK") bytes)"
report=$(python3 "$E2E_LIB_DIR/capture_pixels.py" compare "$E2E_TMP/grab.bmp" "$E2E_TMP/root.png" \
  $((cl + 31)) $((ct + 33))) || {
  mkdir -p "$E2E_ARTIFACTS" && cp "$E2E_TMP/grab.bmp" "$E2E_ARTIFACTS/"
  fail "the grab is not the picture beneath the opening: $report"
}
note "$report"
pass
