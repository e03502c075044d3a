#!/usr/bin/env bash
# Runs every test of t462: installs what is missing (tools/setup-debian.sh),
# builds the host preset and runs the unit tests (CTest, with sanitizers),
# builds t462.exe, then runs every end-to-end test tests/e2e/test_*.sh
# against the real exe under Wine in a virtual X server, in a fresh Wine
# prefix made for this run. Prints "N passed, N failed" last and exits
# non-zero when anything failed.
#
#   tools/test.sh [--no-setup] [--unit-only | --e2e-only] [NAME...]
#
# NAME picks the end-to-end tests whose file name contains it.
# Environment: E2E_TEST_TIMEOUT (seconds per end-to-end test, default 180),
# T462_E2E_TMP (parent folder of the run's temporary folder, default $TMPDIR
# or /tmp), E2E_DISPLAY (pin the X display number), JOBS (build jobs).
# Failure logs and screenshots go to build/e2e-artifacts/<test>/.
set -uo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo" || exit 1

setup=1
run_unit=1
run_e2e=1
filters=()
for arg in "$@"; do
  case $arg in
    --no-setup) setup=0 ;;
    --unit-only) run_e2e=0 ;;
    --e2e-only) run_unit=0 ;;
    -h | --help)
      sed -n '2,16p' "$0" | sed 's/^# \{0,1\}//'
      exit 0
      ;;
    -*)
      echo "test.sh: unknown option $arg" >&2
      exit 2
      ;;
    *) filters+=("$arg") ;;
  esac
done

jobs=${JOBS:-$(nproc 2>/dev/null || echo 2)}
e2e_timeout=${E2E_TEST_TIMEOUT:-180}
artifacts=$repo/build/e2e-artifacts

unit_passed=0
unit_failed=0
e2e_passed=0
e2e_failed=0
e2e_skipped=0
failures=()

stage() { printf '\n=== %s\n' "$*"; }
elapsed() { printf '%d s' $((SECONDS - $1)); }

if ((setup)); then
  stage "setup"
  if ! bash tools/setup-debian.sh; then
    echo "test.sh: setup failed" >&2
    exit 1
  fi
fi

# --- unit tests ---------------------------------------------------------------
if ((run_unit)); then
  stage "native build and unit tests"
  start=$SECONDS
  if cmake --preset native >/dev/null && cmake --build --preset native -j "$jobs"; then
    ctest_log=$(mktemp)
    ctest --preset native -j "$jobs" 2>&1 | tee "$ctest_log"
    summary=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$ctest_log" | tail -n1)
    if [[ $summary =~ ([0-9]+)\ tests?\ failed\ out\ of\ ([0-9]+) ]]; then
      unit_failed=${BASH_REMATCH[1]}
      unit_passed=$((BASH_REMATCH[2] - unit_failed))
      ((unit_failed == 0)) || failures+=("$unit_failed unit test(s)")
    elif grep -q 'No tests were found' "$ctest_log"; then
      unit_failed=1
      failures+=("no unit tests found")
    else
      unit_failed=1
      failures+=("ctest did not finish")
    fi
    rm -f "$ctest_log"
  else
    unit_failed=1
    failures+=("native build")
  fi
  echo "unit tests: $unit_passed passed, $unit_failed failed ($(elapsed "$start"))"
fi

# --- end-to-end tests ---------------------------------------------------------
if ((run_e2e)); then
  # One entry per run: the test file, then the code page it runs under (a
  # test that says "# Code pages: 932 1252" runs under both).
  tests=()
  for t in tests/e2e/test_*.sh; do
    [[ -e $t ]] || continue
    name=$(basename "${t%.sh}")
    if ((${#filters[@]})); then
      keep=0
      for f in "${filters[@]}"; do [[ $name == *"$f"* ]] && keep=1; done
      ((keep)) || continue
    fi
    pages=$(sed -n 's/^# Code pages: *//p' "$t" | head -n1)
    for page in ${pages:-932}; do tests+=("$t:$page"); done
  done

  stage "windows build"
  start=$SECONDS
  exe_ok=0
  if cmake --preset windows >/dev/null && cmake --build --preset windows -j "$jobs"; then
    if [[ -f build/windows/t462/t462.exe ]]; then
      exe_ok=1
    else
      echo "test.sh: the build did not stage build/windows/t462/t462.exe" >&2
    fi
  fi
  echo "windows build: $( ((exe_ok)) && echo ok || echo FAILED) ($(elapsed "$start"))"

  if ((!exe_ok)); then
    failures+=("windows build")
    # Every end-to-end test counts as failed, and the build itself at least once.
    e2e_failed=${#tests[@]}
    ((e2e_failed > 0)) || e2e_failed=1
  elif ((${#tests[@]})); then
    stage "end-to-end tests under Wine (${#tests[@]})"
    rm -rf "$artifacts"
    tmp_parent=${T462_E2E_TMP:-${TMPDIR:-/tmp}}
    mkdir -p "$tmp_parent"
    workdir=$(mktemp -d "$tmp_parent/t462-e2e-run.XXXXXX")
    export WINEPREFIX=$workdir/wineprefix
    source tools/wine-env.sh
    t462_wine_env ja_JP.UTF-8
    export E2E_PIDFILE=$workdir/xvfb.pids
    : >"$E2E_PIDFILE"

    reap_leftovers() {
      # Wait until the server has really gone: a program started while it is
      # still going down would be taken with it.
      wineserver -k 2>/dev/null
      timeout 30 wineserver -w 2>/dev/null
      local pid
      while read -r pid; do
        [[ -n $pid ]] && kill "$pid" 2>/dev/null
      done <"$E2E_PIDFILE"
      : >"$E2E_PIDFILE"
    }
    finish_e2e() {
      reap_leftovers
      wineserver -w 2>/dev/null
      rm -rf "$workdir"
    }
    trap finish_e2e EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM

    start=$SECONDS
    echo "creating a fresh Wine prefix in $WINEPREFIX"
    (unset DISPLAY && timeout 300 wine wineboot -i </dev/null >"$workdir/wineboot.log" 2>&1 &&
      timeout 120 wineserver -w) || {
      cat "$workdir/wineboot.log" >&2
      echo "test.sh: could not create a Wine prefix" >&2
    }
    echo "prefix ready ($(elapsed "$start"))"

    for entry in "${tests[@]}"; do
      t=${entry%:*} page=${entry##*:}
      name=$(basename "${t%.sh}")
      case $page in
        932) locale=ja_JP.UTF-8 ;;
        1252) locale=C.UTF-8 name+=@cp1252 ;;
        *)
          echo "test.sh: $t names code page $page; only 932 and 1252 can be run" >&2
          exit 2
          ;;
      esac
      log=$workdir/$name.log
      start=$SECONDS
      TMPDIR=$workdir E2E_ARTIFACTS="$artifacts/$name" E2E_LOCALE=$locale \
        timeout -k 10 "$e2e_timeout" bash "$t" </dev/null >"$log" 2>&1
      rc=$?
      reap_leftovers
      took=$(elapsed "$start")
      case $rc in
        0)
          e2e_passed=$((e2e_passed + 1))
          echo "PASS  $name ($took)"
          ;;
        77)
          e2e_skipped=$((e2e_skipped + 1))
          echo "SKIP  $name ($took): $(grep -m1 'SKIP' "$log")"
          ;;
        *)
          e2e_failed=$((e2e_failed + 1))
          failures+=("$name")
          reason="exit code $rc"
          ((rc == 124 || rc == 137)) && reason="timed out after ${e2e_timeout} s"
          echo "FAIL  $name ($took, $reason)"
          sed 's/^/      /' "$log" | tail -n 30
          mkdir -p "$artifacts/$name"
          cp "$log" "$artifacts/$name/test.log"
          echo "      logs: $artifacts/$name/"
          ;;
      esac
    done
  fi
  echo "end-to-end tests: $e2e_passed passed, $e2e_failed failed, $e2e_skipped skipped"
fi

stage "summary"
((run_unit)) && echo "unit tests:       $unit_passed passed, $unit_failed failed"
((run_e2e)) && echo "end-to-end tests: $e2e_passed passed, $e2e_failed failed, $e2e_skipped skipped"
((${#failures[@]})) && printf 'failed: %s\n' "${failures[@]}"
passed=$((unit_passed + e2e_passed))
failed=$((unit_failed + e2e_failed))
echo "$passed passed, $failed failed"
((failed == 0))
