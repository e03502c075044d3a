#!/usr/bin/env bash
# The Linux package, as a user installs and starts it:
# - tools/make-package.sh builds t462_<version>_<arch>.deb and a .tar.gz of
#   the same tree; the .deb holds the program, the menu entry, the icons (SVG,
#   48 and 128 pixels), the metainfo, the sample files, the manual page and
#   the documents; desktop-file-validate and appstreamcli validate pass, and
#   lintian reports no error and no warning the README does not explain;
# - installed with dpkg -i and started as a fresh unprivileged user with an
#   empty home, in /, with the menu entry's Exec line: the windows appear,
#   ~/.local/share/t462 holds the sample files and the empty snapshot folder,
#   フィルター.bmp is rewritten there, "写" saves 0.bmp into its snapshot
#   folder, Escape ends with exit code 0;
# - model.x changed there (the frame green) and started again: the change is
#   kept and drawn;
# - the folder made unwritable: a message box names it and the reason, the
#   program makes no window and writes nothing, OK ends it with exit code 0;
# - purged, the package leaves the user's folder alone.
# Whatever the outcome, the package is purged and the user removed; what a
# run killed before its clean-up left behind is removed by the next run.
# Targets: linux
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$E2E_LIB_DIR/panel_lib.sh"
source "$E2E_LIB_DIR/bad_lib.sh"

[[ $(id -u) == 0 ]] || skip "installs a package: needs root"
for tool in cpack dpkg-deb lintian desktop-file-validate appstreamcli setpriv useradd; do
  command -v "$tool" >/dev/null || skip "no $tool (tools/setup-debian.sh installs it)"
done

# What this test changes on the machine, one "package NAME", "user NAME" or
# "home DIR" a line, kept until it is undone.
state=/var/tmp/t462-e2e-package.state

dpkg_retry() {
  # Another apt or dpkg run holds the lock for a while at most. dpkg runs in
  # a session of its own: its triggers take seconds, and a time limit's kill
  # must not stop it half-way (the next run undoes what it did).
  local i
  for ((i = 0; i < 30; i++)); do
    setsid dpkg "$@" </dev/null >>"$E2E_TMP/dpkg.log" 2>&1 &
    wait $! && return 0
    grep -q 'lock' "$E2E_TMP/dpkg.log" || return 1
    sleep 2
  done
  return 1
}

undo_changes() {
  [[ -f $state ]] || return 0
  local user home
  user=$(sed -n 's/^user //p' "$state")
  home=$(sed -n 's/^home //p' "$state")
  [[ -n $user ]] && id "$user" >/dev/null 2>&1 && userdel -f "$user" 2>/dev/null
  [[ $home == /tmp/t462-e2e-home.* ]] && rm -rf "$home"
  if grep -qx 'package t462' "$state" &&
    [[ $(dpkg-query -W -f='${db:Status-Status}' t462 2>/dev/null) != not-installed ]]; then
    dpkg_retry --purge t462 || cat "$E2E_TMP/dpkg.log" >&2
  fi
  rm -f "$state"
}

if [[ -f $state ]]; then
  note "undoing what an earlier run left behind: $(tr '\n' ' ' <"$state")"
  undo_changes
fi
case $(dpkg-query -W -f='${db:Status-Status}' t462 2>/dev/null) in
  "" | not-installed) ;;
  *) skip "t462 is installed on this machine; this test would replace and purge it" ;;
esac
on_exit 'stop_program; undo_changes'

# --- the packages ------------------------------------------------------------
out=$E2E_TMP/packages
bash "$E2E_REPO/tools/make-package.sh" --no-setup --out "$out" >"$E2E_TMP/make-package.log" 2>&1 || {
  tail -n 30 "$E2E_TMP/make-package.log" >&2
  fail "tools/make-package.sh failed"
}
version=$(bash "$E2E_REPO/tools/version.sh" --debian) || fail "no version"
deb=$out/t462_${version}_$(dpkg --print-architecture).deb
tarball=${deb%.deb}.tar.gz
assert_file "$deb"
assert_file "$tarball"
assert_eq "$version" "$(dpkg-deb -f "$deb" Version)" "the package's version"
note "$(basename "$deb"): depends on $(dpkg-deb -f "$deb" Depends)"
grep -q 'fonts-ipafont-gothic | fonts-noto-cjk' <(dpkg-deb -f "$deb" Recommends) ||
  fail "the package does not recommend a Japanese font"

tree() { sed -e 's|^\./||' -e 's|/$||' | grep -v '^$' | sort; }
dpkg-deb --fsys-tarfile "$deb" | tar -t | tree >"$E2E_TMP/deb.list"
tar -tzf "$tarball" | tree >"$E2E_TMP/tar.list"
diff "$E2E_TMP/deb.list" "$E2E_TMP/tar.list" >&2 || fail "the .tar.gz holds another tree than the .deb"
desktop_file=$(grep -m1 '^usr/share/applications/.*\.desktop$' "$E2E_TMP/deb.list")
app_id=$(basename "${desktop_file%.desktop}")
changelog=changelog.Debian.gz
[[ $version == *-* ]] || changelog=changelog.gz
for path in usr/bin/t462 "$desktop_file" "usr/share/metainfo/$app_id.metainfo.xml" \
  usr/share/icons/hicolor/{scalable/apps/t462.svg,48x48/apps/t462.png,128x128/apps/t462.png} \
  usr/share/t462/{model.x,"$PANEL_FEEDBACK","$PANEL_SKIN_NAME"} usr/share/man/man1/t462.1.gz \
  usr/share/doc/t462/{copyright,README,"$changelog"}; do
  grep -qxF "$path" "$E2E_TMP/deb.list" || fail "dpkg-deb -c does not list $path"
done

lintian --tag-display-limit 0 "$deb" >"$E2E_TMP/lintian.log" 2>&1
grep -v 'running with root privileges' "$E2E_TMP/lintian.log" | sed 's/^/    lintian: /'
grep -q '^E: ' "$E2E_TMP/lintian.log" && fail "lintian reports errors"
for tag in $(sed -n 's/^W: [^ ]* \([^ ]*\).*/\1/p' "$E2E_TMP/lintian.log" | sort -u); do
  grep -q "\`$tag\`" "$E2E_REPO/README.md" || fail "lintian warns $tag, which the README does not explain"
done

# --- installed ---------------------------------------------------------------
echo "package t462" >>"$state"
dpkg_retry -i "$deb" || fail "dpkg -i failed: $(tail -n 5 "$E2E_TMP/dpkg.log")"
desktop-file-validate "/$desktop_file" || fail "desktop-file-validate fails"
appstreamcli validate --no-net "/usr/share/metainfo/$app_id.metainfo.xml" >"$E2E_TMP/appstream.log" 2>&1 || {
  cat "$E2E_TMP/appstream.log" >&2
  fail "appstreamcli validate fails"
}
command=$(sed -n 's/^Exec=//p' "/$desktop_file" | head -n1)
command=${command//%[fFuUick]/}
note "the menu entry runs: $command"

user=t462-e2e-$$
home=$(mktemp -d /tmp/t462-e2e-home.XXXXXX)
printf 'user %s\nhome %s\n' "$user" "$home" >>"$state"
useradd --no-create-home --home-dir "$home" --shell /usr/sbin/nologin --user-group "$user" ||
  fail "cannot add the user $user"
chown "$user:" "$home" && chmod 700 "$home"
folder=$home/.local/share/t462
RUN_DIR=$folder

# Starts the menu entry's command as the user, in /, with nothing of this
# shell's environment but the display and the locale.
start_as_user() {
  rm -f "$E2E_TMP/exit_code"
  setsid bash -c '
    tmp=$1 log=$2 user=$3 home=$4 command=$5
    cd / || exit 127
    setpriv --reuid="$user" --regid="$user" --init-groups env -i HOME="$home" USER="$user" \
      LOGNAME="$user" PATH=/usr/local/bin:/usr/bin:/bin DISPLAY="$DISPLAY" LC_ALL="$LC_ALL" \
      sh -c "exec $command" </dev/null >>"$log" 2>&1
    echo $? >"$tmp/exit_code.new"
    mv "$tmp/exit_code.new" "$tmp/exit_code"
  ' t462-user "$E2E_TMP" "$PROGRAM_LOG" "$user" "$home" "$command" &
  PROGRAM_PID=$!
  [[ -n "${E2E_PIDFILE:-}" ]] && echo "$PROGRAM_PID" >>"$E2E_PIDFILE"
}

quit_with_escape() {
  hold_key Escape
  local code
  code=$(wait_exit 15)
  assert_eq 0 "$code" "$1: exit code after Escape"
  wait "$PROGRAM_PID" 2>/dev/null
  PROGRAM_PID=
  window_gone com 10 || fail "$1: the panel is still there after the exit"
}

start_xvfb
start_as_user
await_frames
names=$(cd "$folder" && ls -A | sort | tr '\n' ' ')
assert_eq "model.x $PANEL_FEEDBACK $PANEL_SNAPSHOTS $PANEL_SKIN_NAME " "$names" "the user's folder"
for sample in model.x "$PANEL_SKIN_NAME"; do
  cmp -s "/usr/share/t462/$sample" "$folder/$sample" || fail "$sample is not the sample"
done
assert_eq "$user" "$(stat -c %U "$folder/$PANEL_FEEDBACK")" "the owner of the feedback image"
assert_eq "" "$(ls -A "$folder/$PANEL_SNAPSHOTS")" "the new snapshot folder"
click 64 21
wait_file "$folder/$PANEL_SNAPSHOTS/0.bmp" || fail "no 0.bmp after a click on 写"
bad_input bmp 138 111 "$folder/$PANEL_SNAPSHOTS/0.bmp" || fail "0.bmp is not a complete snapshot"
quit_with_escape "the first start"

LC_ALL=C sed 's/0\.900000;0\.450000;0\.100000;/0.100000;0.900000;0.100000;/' "$folder/model.x" >"$E2E_TMP/green.x"
cmp -s "$folder/model.x" "$E2E_TMP/green.x" && fail "no frame material to recolour in the sample model"
cat "$E2E_TMP/green.x" >"$folder/model.x"
start_as_user
await_frames
await_colour is_green $FRAME_LEFT_RIM "the changed model, started again"
cmp -s "$folder/model.x" "$E2E_TMP/green.x" || fail "the changed model.x was written over"
quit_with_escape "the second start"

chmod a-w "$folder"
before=$(ls -lA --time-style=full-iso "$folder")
start_as_user
wait_window Error 30 >/dev/null || fail "no message box for the unwritable folder"
window_id t462 >/dev/null && fail "the display window opened on an unwritable folder"
grep -qF "$folder: Permission denied" "$PROGRAM_LOG" ||
  fail "the message names neither the folder nor the reason: $(tail -n 3 "$PROGRAM_LOG")"
screenshot "$E2E_TMP/message.png"
hold_key Return Error
code=$(wait_exit 15)
assert_eq 0 "$code" "exit code after the message"
assert_eq "$before" "$(ls -lA --time-style=full-iso "$folder")" "the unwritable folder"
chmod u+w "$folder"

dpkg_retry --purge t462 || fail "dpkg --purge failed: $(tail -n 5 "$E2E_TMP/dpkg.log")"
[[ -e /usr/bin/t462 ]] && fail "the program is still there after the purge"
cmp -s "$folder/model.x" "$E2E_TMP/green.x" || fail "the purge touched the user's folder"
[[ -f $folder/$PANEL_SNAPSHOTS/0.bmp ]] || fail "the purge took the user's snapshot"
pass
