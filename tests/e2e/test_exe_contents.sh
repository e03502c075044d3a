#!/usr/bin/env bash
# What the program carries. The Linux program needs nothing of Wine: none of
# the libraries it names (readelf) nor any it loads with them (ldd) is
# Wine's. t462.exe:
# - the default build runs on our own D3DX subset: it imports no d3dx9 DLL
#   (none of them ships with Windows 10 or 11), while the comparison build
#   next to it does import the system's d3dx9_43.dll;
# - its resources hold the manifest that makes it DPI-aware (per monitor v2,
#   system-aware before Windows 10), so that on a scaled screen every
#   rectangle it is told is in the physical pixels the grab reads. (Wine
#   treats every program as DPI-aware, so no run here can tell the
#   difference.)
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

if [[ $E2E_TARGET == linux ]]; then
  program=$T462_STAGED_DIR/t462
  [[ -f $program ]] || fail "no $program (build the linux preset first)"
  needed=$(readelf -d "$program" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
  note "t462 needs: $(echo $needed)"
  grep -q '^libGLX\.so' <<<"$needed" || fail "t462 does not use GLX: not the program?"
  loaded=$(ldd "$program") || fail "ldd cannot resolve t462's libraries"
  if grep -qi wine <<<"$needed$loaded"; then fail "t462 loads Wine: $(grep -i wine <<<"$loaded")"; fi
  pass
fi

command -v x86_64-w64-mingw32-objdump >/dev/null || skip "no x86_64-w64-mingw32-objdump"
exe=$T462_STAGED_DIR/t462.exe
[[ -f $exe ]] || fail "no $exe (build the windows preset first)"

imports=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z')
note "t462.exe imports: $(echo $imports)"
grep -q '^d3d9\.dll$' <<<"$imports" || fail "t462.exe does not import d3d9.dll: not the program?"
if grep -q '^d3dx' <<<"$imports"; then
  fail "t462.exe imports $(grep '^d3dx' <<<"$imports" | tr '\n' ' ')"
fi

resources=$E2E_TMP/rsrc
x86_64-w64-mingw32-objcopy -O binary --only-section=.rsrc "$exe" "$resources" ||
  fail "t462.exe has no resource section"
grep -aq '<dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">true</dpiAware>' \
  "$resources" || fail "the resources hold no dpiAware setting"
grep -aq '<dpiAwareness xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">PerMonitorV2</dpiAwareness>' \
  "$resources" || fail "the resources hold no per-monitor (v2) dpiAwareness"

system=$(dirname "$T462_STAGED_DIR")/t462-system-d3dx/t462.exe
if [[ -f $system ]]; then
  system_imports=$(x86_64-w64-mingw32-objdump -p "$system")
  grep -qi 'DLL Name: d3dx9_43.dll' <<<"$system_imports" ||
    fail "the comparison build does not import d3dx9_43.dll"
fi
pass
