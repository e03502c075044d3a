# shellcheck shell=bash
# What the scripts of tools/ share. Each sources it right after its `set`
# line:
#     source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
#
# Shell options, one rule for every script in tools/ and tests/e2e/: each
# runs under `set -uo pipefail` (an unset variable is an error; a pipeline
# fails when any of its commands fails), set in its first lines before it
# sources anything (the end-to-end tests take it from tests/e2e/lib.sh). A
# script that is a straight line of steps, each of which must succeed
# (setup-debian.sh, make-release.sh, make-package.sh, version.sh, fuzz.sh,
# run.sh up to the start of the program), adds -e: `set -euo pipefail`. A
# script that weighs results and reports them itself (test.sh, soak.sh,
# measure-fps.sh, the end-to-end tests) does not: there a failed command is
# a finding to count or report, and the helpers answer through their status.
#
#   repo                 the repository's root
#   jobs                 build jobs: $JOBS, else the number of processors
#   build_preset PRESET  configure the CMake preset (quietly) and build it;
#                        the build prints as it goes; fails when either step
#                        does
#   usage                print the script's header comment (from line 2 to its
#                        `set` line), for -h and --help

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=${JOBS:-$(nproc 2>/dev/null || echo 2)}

build_preset() {
  (cd "$repo" && cmake --preset "$1" >/dev/null && cmake --build --preset "$1" -j "$jobs")
}

usage() {
  sed -n '2,/^set -/{/^set -/d;p}' "$0" | sed 's/^# \{0,1\}//'
}
