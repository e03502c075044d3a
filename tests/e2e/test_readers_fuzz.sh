#!/usr/bin/env bash
# The .x reader and the picture decoders under libFuzzer (ASan, UBSan), a
# short run per target over the seed corpus of the test data: no input may
# crash, hang or exhaust memory. Needs no Wine; skipped without clang.
# Targets: any
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/lib.sh"
if ! command -v clang++ >/dev/null; then
  echo "SKIP: no clang++ for the fuzz targets"
  exit 77
fi
seconds=${FUZZ_SECONDS:-10}
if bash "$repo/tools/fuzz.sh" "$seconds" xfile bmp image; then
  echo PASS
  exit 0
fi
echo "FAIL: a fuzz target crashed (inputs in ${FUZZ_BUILD:-$repo/build/fuzz}/artifacts)"
exit 1
