#!/usr/bin/env bash
# Our .x reader and picture decoders against the system's D3DX 9 under Wine:
# d3dx_compare.exe reads the corpus of tools/make-x-corpus.py and the pictures
# of tools/make-image-corpus.py with both and compares vertex formats,
# materials, and per subset the triangles (positions, normals, texture
# coordinates, colours, in any vertex order), and the pixels of every picture.
# Where the system D3DX is known to differ (the corpus says which and why),
# only our result is checked. Then the status font is checked (placement,
# brightness, the device state it leaves, a device reset), and the reload of
# the sample model and its texture is timed with both.
# Targets: windows
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

tool=$(dirname "$T462_STAGED_DIR")/d3dx_compare.exe
[[ -f $tool ]] || fail "no $tool (build the windows preset first)"
start_xvfb

corpus=$(winepath -w "$E2E_REPO/tests/data/x" 2>/dev/null)
images=$(winepath -w "$E2E_REPO/tests/data/images" 2>/dev/null)
[[ -n $corpus && -n $images ]] || fail "winepath gave no Windows paths"
log=$E2E_TMP/compare.log
timeout 120 wine "$tool" compare "$corpus" "$images" >"$log" 2>&1
status=$?
sed "s/^/[$E2E_NAME]   /" "$log"
((status == 0)) || fail "our D3DX and the system's disagree (exit code $status)"
grep -q ' 0 failed' "$log" || fail "no summary line from the comparison"

# The status font: placement, brightness, device state kept, device reset.
timeout 60 wine "$tool" font >"$log" 2>&1
status=$?
sed "s/^/[$E2E_NAME]   /" "$log"
((status == 0)) || fail "the font check failed (exit code $status)"

run=$E2E_TMP/bench
cp -a "$T462_STAGED_DIR" "$run" || fail "cannot copy the run folder"
model=$(winepath -w "$run/model.x" 2>/dev/null)
texture=$(winepath -w "$run/フィルター.bmp" 2>/dev/null)
timeout 120 wine "$tool" bench "$model" "$texture" 50 2>&1 | sed "s/^/[$E2E_NAME]   /"
pass
