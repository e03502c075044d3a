#!/usr/bin/env bash
# Runs every test of t462: installs what is missing (tools/setup-debian.sh),
# builds the host preset and runs the unit tests (CTest, with sanitizers),
# builds both programs, t462.exe and the Linux program, then runs every
# end-to-end test tests/e2e/test_*.sh against each in a virtual X server:
# t462.exe under Wine in a fresh Wine prefix made for this run, the Linux
# program natively (runs named NAME@linux). Prints "N passed, N failed" last
# and exits non-zero when anything failed.
#
#   tools/test.sh [--no-setup] [--unit-only | --e2e-only]
#                 [--target windows|linux|both] [NAME...]
#
# NAME picks the end-to-end tests whose file name contains it; --target the
# program(s) they run against (default both).
# Environment: E2E_TEST_TIMEOUT (seconds per end-to-end test, default 180),
# T462_E2E_TMP (parent folder of the run's temporary folder, default $TMPDIR
# or /tmp), E2E_DISPLAY (pin the X display number), JOBS (build jobs),
# T462_WINDOWS_STAGED / T462_LINUX_STAGED (test the program staged in that
# folder; its preset is then not built).
# Failure logs and screenshots go to build/e2e-artifacts/<test>/.
set -uo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
cd "$repo" || exit 1

setup=1
run_unit=1
run_e2e=1
targets=(windows linux)
filters=()
while (($#)); do
  case $1 in
    --no-setup) setup=0 ;;
    --unit-only) run_e2e=0 ;;
    --e2e-only) run_unit=0 ;;
    --target)
      case ${2:-} in
        windows | linux) targets=("$2") ;;
        both) targets=(windows linux) ;;
        *)
          echo "test.sh: --target takes windows, linux or both" >&2
          exit 2
          ;;
      esac
      shift
      ;;
    -h | --help)
      usage
      exit 0
      ;;
    -*)
      echo "test.sh: unknown option $1" >&2
      exit 2
      ;;
    *) filters+=("$1") ;;
  esac
  shift
done
# The Linux program runs in the user's own locale (a UTF-8 one, else
# C.UTF-8): taken before anything here sets LC_ALL.
source tools/wine-env.sh
user_locale=$(t462_wine_env && echo "$LC_ALL")

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
  if build_preset native; then
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
  # One entry per run, "FILE:TARGET:CODE PAGE": a test that says
  # "# Code pages: 932 1252" runs against t462.exe under both; the Linux
  # program, which has no code page, runs every test once ("-"). A test that
  # says "# Targets: ..." runs only against those; "any" runs once.
  tests=()
  for t in tests/e2e/test_*.sh; do
    [[ -e $t ]] || continue
    name=$(basename "${t%.sh}")
    if ((${#filters[@]})); then
      keep=0
      for f in "${filters[@]}"; do [[ $name == *"$f"* ]] && keep=1; done
      ((keep)) || continue
    fi
    wanted=$(sed -n 's/^# Targets: *//p' "$t" | head -n1)
    [[ $wanted == any ]] && wanted=${targets[0]}
    pages=$(sed -n 's/^# Code pages: *//p' "$t" | head -n1)
    for target in "${targets[@]}"; do
      [[ -z $wanted || " $wanted " == *" $target "* ]] || continue
      if [[ $target == windows ]]; then
        for page in ${pages:-932}; do tests+=("$t:windows:$page"); done
      else
        tests+=("$t:linux:-")
      fi
    done
  done

  # build_target TARGET: builds its preset (unless a staged folder is given)
  # and checks the staged program; sets staged[TARGET] when it is there.
  build_target() {
    local target=$1 program=t462 dir var
    [[ $target == windows ]] && program=t462.exe
    var=T462_${target^^}_STAGED
    dir=${!var:-}
    stage "$target build"
    local start=$SECONDS ok=0
    if [[ -n $dir ]]; then
      echo "testing the program staged in $dir (not built here)"
    else
      dir=$repo/build/$target/t462
      build_preset "$target" || dir=
    fi
    if [[ -n $dir && -f $dir/$program ]]; then
      ok=1
    elif [[ -n $dir ]]; then
      echo "test.sh: no staged $dir/$program" >&2
    fi
    echo "$target build: $( ((ok)) && echo ok || echo FAILED) ($(elapsed "$start"))"
    ((ok)) && staged[$target]=$dir
    ((ok))
  }
  declare -A staged=()
  for target in "${targets[@]}"; do
    needed=0
    for entry in "${tests[@]}"; do [[ $entry == *":$target:"* ]] && needed=1; done
    ((needed)) || continue
    build_target "$target" || failures+=("$target build")
  done

  if ((${#tests[@]})); then
    stage "end-to-end tests (${#tests[@]} runs)"
    rm -rf "$artifacts"
    tmp_parent=${T462_E2E_TMP:-${TMPDIR:-/tmp}}
    mkdir -p "$tmp_parent"
    workdir=$(mktemp -d "$tmp_parent/t462-e2e-run.XXXXXX")
    export WINEPREFIX=$workdir/wineprefix
    t462_wine_env ja_JP.UTF-8
    export E2E_PIDFILE=$workdir/pids
    : >"$E2E_PIDFILE"
    wine_used=0
    [[ -n ${staged[windows]:-} && " ${tests[*]} " == *":windows:"* ]] && wine_used=1

    reap_leftovers() {
      # Wait until the server has really gone: a program started while it is
      # still going down would be taken with it. The X servers and the
      # program sessions a test left behind lead process groups of their own.
      if ((wine_used)); then
        wineserver -k 2>/dev/null
        timeout 30 wineserver -w 2>/dev/null
      fi
      local pid
      while read -r pid; do
        [[ -n $pid ]] && kill -KILL -- "-$pid" 2>/dev/null
      done <"$E2E_PIDFILE"
      : >"$E2E_PIDFILE"
    }
    finish_e2e() {
      reap_leftovers
      ((wine_used)) && wineserver -w 2>/dev/null
      rm -rf "$workdir"
    }
    trap finish_e2e EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM

    if ((wine_used)); then
      start=$SECONDS
      echo "creating a fresh Wine prefix in $WINEPREFIX"
      (unset DISPLAY && timeout 300 wine wineboot -i </dev/null >"$workdir/wineboot.log" 2>&1 &&
        timeout 120 wineserver -w) || {
        cat "$workdir/wineboot.log" >&2
        echo "test.sh: could not create a Wine prefix" >&2
      }
      echo "prefix ready ($(elapsed "$start"))"
    fi

    for entry in "${tests[@]}"; do
      IFS=: read -r t target page <<<"$entry"
      name=$(basename "${t%.sh}")
      case $target:$page in
        windows:932) locale=ja_JP.UTF-8 ;;
        windows:1252) locale=C.UTF-8 name+=@cp1252 ;;
        linux:-) locale=$user_locale name+=@linux ;;
        *)
          echo "test.sh: $t names code page $page; only 932 and 1252 can be run" >&2
          exit 2
          ;;
      esac
      if [[ -z ${staged[$target]:-} ]]; then
        # Its program did not build: the run counts as failed.
        e2e_failed=$((e2e_failed + 1))
        failures+=("$name")
        echo "FAIL  $name (no $target program)"
        continue
      fi
      log=$workdir/$name.log
      start=$SECONDS
      TMPDIR=$workdir E2E_ARTIFACTS="$artifacts/$name" E2E_LOCALE=$locale E2E_TARGET=$target \
        T462_STAGED_DIR=${staged[$target]} timeout -k 10 "$e2e_timeout" bash "$t" </dev/null >"$log" 2>&1
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
