#!/usr/bin/env bash
# The snapshot folder "抜き取り画像保存フォルダ" changed under the running
# program, a click on "写" after each change:
# - there: saved, "で保存しました";
# - missing (renamed away): nothing written, "の保存に失敗しました";
# - read-only (chmod 555): as root the system still lets files be created,
#   so the snapshot is saved and said so; what counts is that the message
#   and the file agree;
# - immutable (chattr +i, which stops root too): nothing written, failure;
# - a file of that name instead of the folder: the file is left as it was,
#   failure;
# - full (a 16 KB file system mounted on it, when mount is allowed): the
#   snapshot stops part-way and the status row says the save failed;
# - there again: saved.
# After every case the program keeps making frames, the message matches
# what is on disk, and every snapshot that reads as saved is complete; a
# close request ends it with exit code 0.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$E2E_LIB_DIR/panel_lib.sh"
source "$E2E_LIB_DIR/bad_lib.sh"

start_sample_run
folder=$RUN_DIR/$PANEL_SNAPSHOTS
on_exit "chattr -i '$folder' 2>/dev/null; umount '$folder' 2>/dev/null; chmod -R u+w '$RUN_DIR' 2>/dev/null"
number=0

# snapshot WHAT EXPECTED: one click; the status row must say EXPECTED, and
# the numbered file must exist exactly when it says saved.
snapshot() {
  local what=$1 expected=$2 status file
  status=$(click_snapshot)
  file=$folder/$number.bmp
  number=$((number + 1))
  assert_eq "$expected" "$status" "$what: the status row"
  if [[ $status == saved ]]; then
    [[ -f $file ]] || fail "$what: 'saved' shown, but there is no $(basename "$file")"
    bad_input bmp 138 111 "$file" || fail "$what: the saved snapshot is not complete"
  elif [[ -d $folder && -e $file ]]; then
    fail "$what: failure shown, but $(basename "$file") was written"
  fi
  assert_alive "$what" 1
}

snapshot "the folder there" saved

mv "$folder" "$folder.away"
snapshot "the folder missing" failed
[[ -e $folder ]] && fail "the program made the snapshot folder"
mv "$folder.away" "$folder"

chmod 555 "$folder"
if [[ $(id -u) == 0 ]]; then
  snapshot "the folder read-only (root may write)" saved
else
  snapshot "the folder read-only" failed
fi
chmod 755 "$folder"

if chattr +i "$folder" 2>/dev/null; then
  snapshot "the folder immutable" failed
  chattr -i "$folder"
else
  note "chattr +i is not available here: the immutable case is left out"
fi

mv "$folder" "$folder.away"
printf 'not a folder\n' >"$folder"
snapshot "a file instead of the folder" failed
assert_eq "not a folder" "$(cat "$folder")" "the file named like the folder"
rm "$folder"
mv "$folder.away" "$folder"

if mount -t tmpfs -o size=16k t462-full "$folder" 2>/dev/null; then
  status=$(click_snapshot)
  number=$((number + 1))
  assert_eq failed "$status" "the folder full: the status row"
  note "the folder full: failure shown; on disk: $(ls -l "$folder" | tail -n +2 | awk '{print $5, $9}')"
  assert_alive "the folder full" 1
  umount "$folder"
else
  note "cannot mount a small file system here: the full-folder case is left out"
fi

snapshot "the folder back" saved
assert_snapshots_complete "at the end"
end_run "after the folder cases"
pass
