#!/usr/bin/env bash
# The panel's top bar (the buttons "終了" and "写" and the prefix box, window
# rows 4 to 32) looks the same, pixel for pixel, under code page 932
# (ja_JP.UTF-8) and code page 1252 (C.UTF-8): the button texts are Japanese
# whatever the system's code page. (The Linux program, which has no code
# page, runs in both locales all the same: the fonts it finds must not
# depend on the language either.)
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$E2E_LIB_DIR/panel_lib.sh"

start_xvfb 1920x1080x24
for locale in ja_JP.UTF-8 C.UTF-8; do
  t462_wine_env "$locale"
  start_windows --what "$locale"
  sleep 2
  assert_eq "0 0 177 152" "$(panel_rect)" "$locale: the panel's window rectangle"
  screenshot "$E2E_TMP/screen-$locale.png" || fail "no screenshot"
  convert "$E2E_TMP/screen-$locale.png" -crop 169x29+4+4 +repage "$E2E_TMP/bar-$locale.png" ||
    fail "cannot crop the top bar"
  stop_program
done

differ=$(compare -metric AE "$E2E_TMP/bar-ja_JP.UTF-8.png" "$E2E_TMP/bar-C.UTF-8.png" null: 2>&1)
if [[ $differ != 0 ]]; then
  mkdir -p "$E2E_ARTIFACTS" && cp "$E2E_TMP"/bar-*.png "$E2E_ARTIFACTS/"
  fail "the top bar differs between the code pages in $differ pixels"
fi
# Text on both buttons: dark pixels within each button's face (client
# rectangles (9, 8)-(44, 27) and (50, 8)-(70, 27), less their edges).
for button in "31x15+11+10" "16x15+52+10"; do
  dark=$(convert "$E2E_TMP/bar-C.UTF-8.png" -crop "$button" +repage -colorspace gray \
    -threshold 40% -negate -format '%[fx:int(mean*w*h+0.5)]' info:)
  assert_ge "$dark" 15 "dark (text) pixels in the button at $button"
done
pass
