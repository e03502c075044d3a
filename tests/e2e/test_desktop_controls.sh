#!/usr/bin/env bash
# The Linux program's controls as a Linux desktop's, and its status font,
# on a desktop whose fonts are set up so that a plain request for Japanese
# gets the proportional IPAPGothic (as where the first Japanese face is a
# proportional one), IPAGothic installed beside it:
# - dragging across the prefix box selects its text, and the selection is
#   the primary selection (other programs read it); a middle click pastes
#   another program's primary selection where it is pressed;
# - a double click selects a word with the spaces after it, and typing
#   replaces it; Ctrl+Z undoes that, a second Ctrl+Z takes the undo back;
#   Ctrl+A selects everything;
# - Enter on the focused "写" takes a snapshot;
# - the status text keeps the fixed-pitch face: each run of text on its two
#   rows starts where its column of half-width cells puts it, so the key
#   labels stand over the values beneath them.
# Each step is checked by the snapshot it names ("<prefix>0.bmp": every
# change restarts the numbering).
# Targets: linux
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$E2E_LIB_DIR/panel_lib.sh"
source "$E2E_LIB_DIR/bad_lib.sh"

cat >"$E2E_TMP/fonts.conf" <<'EOF'
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <include ignore_missing="yes">/etc/fonts/fonts.conf</include>
  <match target="pattern">
    <test name="lang" compare="contains"><string>ja</string></test>
    <edit name="family" mode="prepend" binding="strong"><string>IPAPGothic</string></edit>
  </match>
</fontconfig>
EOF
export FONTCONFIG_FILE=$E2E_TMP/fonts.conf
fc-list IPAGothic | grep -q . || skip "IPAGothic is not installed"
[[ $(fc-match -f '%{family[0]}' :lang=ja) == IPAPGothic ]] ||
  fail "the fonts set up for the test do not prefer IPAPGothic"

start_sample_run

snapshots() { (cd "$PANEL_SNAPSHOTS" && ls -1 | tr '\n' ' '); }
snapshot_named() {
  rm -f "$PANEL_SNAPSHOTS/$1.bmp"
  click 64 21
  wait_file "$PANEL_SNAPSHOTS/$1.bmp" || fail "no snapshot $1.bmp after $2: $(snapshots)"
}
primary() { timeout 5 xclip -o -selection primary; }

# The box's client area starts at screen x 84 (the panel at (0, 0)); 162 lies past
# its end.
type_prefix "ab cd"
xdotool mousemove 84 21 mousedown 1 mousemove 120 21 mousemove 162 21 mouseup 1
sleep 0.3
assert_eq "ab cd" "$(primary)" "the primary selection after dragging across the box"
printf P | xclip -selection primary || fail "xclip cannot take the primary selection"
sleep 0.3
xdotool mousemove 84 21 click 2
snapshot_named "Pab cd0" "a middle click at the start of the box"

xdotool mousemove 87 21 click --repeat 2 --delay 80 1
xdotool type --delay 60 Q
snapshot_named Qcd0 "a double click on the first word and Q"
click 124 21
xdotool key ctrl+z
snapshot_named "Pab cd0" "Ctrl+Z"
click 124 21
xdotool key ctrl+z
snapshot_named Qcd0 "a second Ctrl+Z"
click 124 21
xdotool key ctrl+a
xdotool type --delay 60 z
snapshot_named z0 "Ctrl+A and z"
xdotool key Return
wait_file "$PANEL_SNAPSHOTS/z1.bmp" || fail "no snapshot z1.bmp after Enter on 写: $(snapshots)"

shot "$E2E_TMP/status.ppm"
bad_input columns "$SHOT" "$SHOT_X" "$SHOT_Y" "$SHOT_W" "$SHOT_H" >"$E2E_TMP/columns" || {
  mkdir -p "$E2E_ARTIFACTS" && convert "$SHOT" "$E2E_ARTIFACTS/status.png"
  fail "the status rows lost their columns: $(tr '\n' ';' <"$E2E_TMP/columns")"
}
note "$(cat "$E2E_TMP/columns")"
end_run "after the edits"
pass
