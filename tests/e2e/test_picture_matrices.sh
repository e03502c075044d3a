#!/usr/bin/env bash
# The program computes its matrices itself; under Wine they must equal the
# ones D3DX 9 returns for the same arguments.
# Targets: windows
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

command -v x86_64-w64-mingw32-g++ >/dev/null || skip "no mingw-w64 C++ compiler"

compile_matrix_check() {
  x86_64-w64-mingw32-g++ -std=c++20 -O2 -static -I"$E2E_REPO/src" -o "$1" "$2" \
    "$E2E_REPO/src/platform/d3dx/matrix.cpp" -ld3dx9
}
# Rebuilt whenever the check or the matrix functions change.
tool=$E2E_TOOLS/d3dx_matrices.exe
[[ "$E2E_REPO/src/platform/d3dx/matrix.cpp" -nt $tool || "$E2E_REPO/src/platform/matrix.h" -nt $tool ]] &&
  rm -f "$tool"
tool=$(e2e_build_tool d3dx_matrices.exe "$E2E_LIB_DIR/d3dx_matrices.cpp" compile_matrix_check) ||
  fail "cannot build the matrix check"

output=$(cd "$E2E_TMP" && timeout 120 wine "$tool" </dev/null 2>>"$PROGRAM_LOG" | tr -d '\r')
status=$?
printf '%s\n' "$output" | sed "s/^/[$E2E_NAME]   /"
((status == 0)) || fail "our matrices differ from D3DX (status $status)"
grep -qx 'all equal' <<<"$output" || fail "the check did not finish"
pass
