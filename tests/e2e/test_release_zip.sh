#!/usr/bin/env bash
# The release zip, as a user gets it: tools/make-release.py packs the built
# exe with the assets; the zip holds exactly t462/ with t462.exe, model.x,
# フィルター.bmp, 枠.bmp, the empty snapshot folder and README.txt, Japanese
# names flagged as UTF-8; the read-me is UTF-8 with a byte order mark and
# CRLF, in both languages, with the key table and SmartScreen's warning on a
# first start, and names d3dx9_43.dll exactly when the exe imports it. Unpacked with unzip, the program runs from the
# unpacked folder: both windows appear, the feedback image is rewritten
# frame after frame, F5 saves a snapshot into the unpacked snapshot folder,
# and a close request ends it with exit code 0.
# Targets: windows
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$E2E_LIB_DIR/panel_lib.sh"
source "$E2E_LIB_DIR/bad_lib.sh"

command -v unzip >/dev/null || skip "no unzip (tools/setup-debian.sh installs it)"
exe=$T462_STAGED_DIR/t462.exe
[[ -f $exe ]] || fail "no $exe (build the windows preset first)"

out=$E2E_TMP/release
python3 "$E2E_REPO/tools/make-release.py" --exe "$exe" --assets "$E2E_REPO/assets" \
  --readme "$E2E_REPO/docs/readme-release-ja-en.txt" --out "$out" --version e2e \
  >"$E2E_TMP/make-release.log" 2>&1 || {
  cat "$E2E_TMP/make-release.log" >&2
  fail "make-release.py failed"
}
zip=$out/t462-e2e.zip
assert_file "$zip"
ls "$out" | grep -q partial && fail "a partial zip was left behind"

python3 - "$zip" "$exe" "$E2E_REPO/tools" <<'EOF' || fail "the zip's contents are not as expected"
import importlib.util, sys, zipfile

zip_path, exe_path, tools = sys.argv[1:4]
loader_spec = importlib.util.spec_from_file_location("make_release", tools + "/make-release.py")
make_release = importlib.util.module_from_spec(loader_spec)
loader_spec.loader.exec_module(make_release)

problems = []
with zipfile.ZipFile(zip_path) as archive:
    infos = archive.infolist()
    names = [i.filename for i in infos]
    expected = ["t462/", "t462/t462.exe", "t462/model.x", "t462/フィルター.bmp",
                "t462/枠.bmp", "t462/抜き取り画像保存フォルダ/", "t462/README.txt"]
    if sorted(names) != sorted(expected):
        problems.append("entries %r, expected %r" % (names, expected))
    for info in infos:
        if any(ord(c) > 127 for c in info.filename) and not info.flag_bits & 0x800:
            problems.append("%s lacks the UTF-8 flag" % info.filename)
    if archive.testzip() is not None:
        problems.append("damaged entry %s" % archive.testzip())
    with open(exe_path, "rb") as f:
        if archive.read("t462/t462.exe") != f.read():
            problems.append("t462.exe differs from the built exe")
    readme = archive.read("t462/README.txt")

if not readme.startswith(b"\xef\xbb\xbf"):
    problems.append("README.txt has no UTF-8 byte order mark")
text = readme[3:].decode("utf-8")
if "\n" in text.replace("\r\n", ""):
    problems.append("README.txt has a line end without CR")
for needed in ("キー", "Keys", "F5", "Esc", "テンキー 8 / 2", "Keypad 8 / 2", "I / 8",
               "終了", "抜き取り画像保存フォルダ", "Any Windows language", "Run anyway",
               "(e2e)"):
    if needed not in text:
        problems.append("README.txt lacks %r" % needed)
if "[[" in text or "{{" in text:
    problems.append("README.txt still holds a template mark")
imports = make_release.pe_imports(exe_path)
says_d3dx = "d3dx9_43.dll" in text and "June 2010" in text
if says_d3dx != ("d3dx9_43.dll" in imports):
    problems.append("README.txt %s d3dx9_43.dll, the exe imports %s"
                    % ("names" if says_d3dx else "does not name", " ".join(imports)))
for p in problems:
    print("  " + p)
print("imports:", " ".join(imports))
sys.exit(1 if problems else 0)
EOF

unpacked=$E2E_TMP/unpacked
mkdir -p "$unpacked"
(cd "$unpacked" && unzip -q "$zip") || fail "unzip failed"
folder=$unpacked/t462
for f in t462.exe model.x フィルター.bmp 枠.bmp README.txt; do assert_file "$folder/$f"; done
[[ -d $folder/$PANEL_SNAPSHOTS ]] || fail "no snapshot folder after unpacking"
assert_eq "" "$(ls -A "$folder/$PANEL_SNAPSHOTS")" "snapshot folder contents"

start_windows --in "$folder"
await_frames
assert_alive "from the unpacked zip"
fresh_feedback "$E2E_TMP/feedback.bmp" || fail "no whole feedback image"

hold_key F5
wait_file "$PANEL_SNAPSHOTS/0.bmp" || fail "no snapshot after F5"
sleep 0.3
assert_eq 46230 "$(stat -c %s "$PANEL_SNAPSHOTS/0.bmp")" "size of the first snapshot"
bad_input bmp 138 111 "$PANEL_SNAPSHOTS/0.bmp" || fail "the snapshot is not a complete BMP"
assert_running

close_window t462 || fail "cannot send the close request"
code=$(wait_exit 15)
assert_eq 0 "$code" "exit code after the close request"
pass
