#!/usr/bin/env bash
# The short soak: tools/soak.sh for one minute (the feedback loop closed,
# keys, a snapshot every few seconds; resident size, descriptors, handles,
# frame rate and every snapshot checked), against the program E2E_TARGET
# names. The full ten-minute soak is a separate command: tools/soak.sh
# [MINUTES].
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/lib.sh"
: "${T462_STAGED_DIR:=$repo/build/${E2E_TARGET:-windows}/t462}"
export T462_STAGED_DIR
export SOAK_OUT=${SOAK_OUT:-$repo/build/soak-short-${E2E_TARGET:-windows}}
export E2E_ARTIFACTS=${E2E_ARTIFACTS:-$repo/build/e2e-artifacts/test_soak_short}
exec bash "$repo/tools/soak.sh" 1 --no-build
