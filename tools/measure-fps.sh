#!/usr/bin/env bash
# Measures t462 in a virtual X server, side by side: t462.exe under Wine and
# the Linux program, on the same screen in the same run. For each program
# and screen size: frames per second with the per-frame capture (the program
# as it is) and without it (a measurement build whose loop skips the
# capture), and how a frame's time divides between grab, file write, mesh
# load, texture load, the keyboard pass and drawing (begin, clear, scene,
# end, present).
#
#   tools/measure-fps.sh [--no-build] [--targets "windows linux"] [--seconds N]
#                        [--rounds R] [--sizes "WxH ..."] [--models "M ..."]
#                        [--builds "capture no-capture shipped"] [--baseline REV]
#                        [--warmup S] [--first S]
#
# For each program of --targets (default both) it builds two measurement
# programs (cmake options T462_MEASURE and T462_MEASURE_NO_CAPTURE,
# cmake/measure.cmake), which append their timings to t462-timing.log in
# their working folder every two seconds, and the shipped program, whose
# frame rate is counted from outside as the rewrites of "フィルター.bmp":
# t462.exe with the mingw toolchain (as the windows preset), the Linux
# program natively (as the linux preset). Each runs for N seconds (default
# 10) after its first frames (waited for up to --first seconds, default 60)
# and S seconds of warming up (default 5), on a fresh copy of its staged
# folder; all of them take turns for R rounds (default 3), so that a busy
# spell of the machine hits them alike. Prints one Markdown table, a row per
# screen size, program (windows, linux) and build, with each build's best
# round (the highest frame rate; numbers per frame in milliseconds) and the
# mean and range of its frame rates over the rounds.
#
# --models: the models each build runs with, in turn: "sample" (the staged
# folder's own, the default), the heavy models of tools/make-heavy-models.py
# ("heavy-triangles", "heavy-textures", "heavy-materials", written into
# build/models when missing), or a folder holding a model.x and its
# pictures, copied over the staged folder's. --builds: which of the three
# builds to run. --baseline REV: the same builds of git revision REV too
# (exported into the build root and built there), labelled "before", taking
# turns with this checkout's, so that a change is measured side by side.
#
# Environment: MEASURE_BUILD_ROOT (build folders, default build/measure, one
# folder per program and build: windows/capture, linux/shipped, ...),
# WINEPREFIX (default: a fresh one), E2E_DISPLAY (X display number), JOBS,
# E2E_LOCALE (the locale of both programs: default ja_JP.UTF-8 for t462.exe,
# the caller's UTF-8 locale for the Linux program, as the end-to-end tests).
# The machine should otherwise be idle: the figures scale with free CPU.
set -uo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
build=1
seconds=10
rounds=3
warmup=5
first_limit=60
sizes="1280x1024 1920x1080"
targets="windows linux"
variants="capture no-capture shipped"
models=sample
baseline=
while (($#)); do
  case $1 in
    --no-build) build=0 ;;
    --targets)
      targets=${2:?--targets needs a list}
      shift
      ;;
    --seconds)
      seconds=${2:?--seconds needs a number}
      shift
      ;;
    --rounds)
      rounds=${2:?--rounds needs a number}
      shift
      ;;
    --sizes)
      sizes=${2:?--sizes needs a list}
      shift
      ;;
    --models)
      models=${2:?--models needs a list}
      shift
      ;;
    --builds)
      variants=${2:?--builds needs a list}
      shift
      ;;
    --baseline)
      baseline=${2:?--baseline needs a git revision}
      shift
      ;;
    --warmup)
      warmup=${2:?--warmup needs a number}
      shift
      ;;
    --first)
      first_limit=${2:?--first needs a number}
      shift
      ;;
    -h | --help)
      usage
      exit 0
      ;;
    *)
      echo "measure-fps.sh: unknown argument $1" >&2
      exit 2
      ;;
  esac
  shift
done
for target in $targets; do
  case $target in
    windows | linux) ;;
    *)
      echo "measure-fps.sh: --targets takes windows and/or linux, not '$target'" >&2
      exit 2
      ;;
  esac
done
[[ -n ${targets// /} ]] || {
  echo "measure-fps.sh: --targets is empty" >&2
  exit 2
}
for variant in $variants; do
  case $variant in
    capture | no-capture | shipped) ;;
    *)
      echo "measure-fps.sh: --builds takes capture, no-capture and shipped, not '$variant'" >&2
      exit 2
      ;;
  esac
done

root=${MEASURE_BUILD_ROOT:-$repo/build/measure}
toolchain=$repo/cmake/mingw-w64-x86_64.cmake

# The builds: this checkout's, and the baseline's.
sources=("$repo")
build_roots=("$root")
labels=("")
if [[ -n $baseline ]]; then
  sources+=("$root/baseline/src")
  build_roots+=("$root/baseline")
  labels+=(" before")
fi

# The folder of each model's files.
model_dir() {
  case $1 in
    sample) ;;
    heavy-*) echo "$repo/build/models/$1" ;;
    *) (cd "$1" && pwd) ;;
  esac
}
for model in $models; do
  dir=$(model_dir "$model") || exit 2
  if [[ $model == heavy-* && ! -f $dir/model.x ]]; then
    python3 "$repo/tools/make-heavy-models.py" "$repo/build/models" >&2 || exit 1
  fi
  [[ $model == sample || -f $dir/model.x ]] || {
    echo "measure-fps.sh: no model.x in $dir" >&2
    exit 2
  }
done

# configure_and_build SOURCE ROOT TARGET VARIANT: the staged folder
# ROOT/TARGET/VARIANT/t462.
configure_and_build() {
  local source=$1 target=$3 variant=$4 dir=$2/$3/$4
  local -a options
  case $variant in
    shipped) options=(-DT462_MEASURE=OFF -DT462_MEASURE_NO_CAPTURE=OFF) ;;
    capture) options=(-DT462_MEASURE=ON -DT462_MEASURE_NO_CAPTURE=OFF) ;;
    no-capture) options=(-DT462_MEASURE=ON -DT462_MEASURE_NO_CAPTURE=ON) ;;
  esac
  if [[ $target == windows ]]; then
    options+=(-DCMAKE_TOOLCHAIN_FILE="$toolchain")
  else
    options+=(-DT462_BUILD_TESTS=OFF -DT462_LINUX_PROGRAM=ON)
  fi
  echo "  $dir" >&2
  if ! cmake -S "$source" -B "$dir" -DCMAKE_BUILD_TYPE=Release "${options[@]}" >/dev/null ||
    ! cmake --build "$dir" -j "$jobs" --target t462_stage >/dev/null; then
    echo "measure-fps.sh: building $target $variant in $dir failed" >&2
    return 1
  fi
}

if ((build)); then
  echo "building the measurement programs ..." >&2
  if [[ -n $baseline ]]; then
    rm -rf "$root/baseline/src"
    mkdir -p "$root/baseline/src"
    git -C "$repo" archive "$baseline" | tar -x -C "$root/baseline/src" || {
      echo "measure-fps.sh: cannot export $baseline" >&2
      exit 1
    }
  fi
  for b in "${!sources[@]}"; do
    for target in $targets; do
      for variant in $variants; do
        configure_and_build "${sources[$b]}" "${build_roots[$b]}" "$target" "$variant" || exit 1
      done
    done
  done
fi

# The locale of each program's runs, as the end-to-end tests give it (the
# harness below exports the one of the program it was started for).
windows_locale=${E2E_LOCALE:-ja_JP.UTF-8}
# shellcheck disable=SC2016 # expanded by the inner shell
linux_locale=$(bash -c 'source "$1" && t462_wine_env "$2" && echo "$LC_ALL"' \
  wine-env "$repo/tools/wine-env.sh" "${E2E_LOCALE:-}")

# The end-to-end harness starts and stops the X server and the program and
# cleans up whatever happens. It drives the program E2E_TARGET names; the
# one it is sourced for sets its environment (a Wine prefix for t462.exe),
# and use_target switches between runs what it reads when it starts a
# program: the target, the program file, the locale.
E2E_TARGET=windows
[[ " $targets " == *" windows "* ]] || E2E_TARGET=linux
# shellcheck source=../tests/e2e/lib.sh
source "$repo/tests/e2e/lib.sh"
E2E_SAVE_ARTIFACTS=0

use_target() {
  E2E_TARGET=$1
  if [[ $1 == windows ]]; then
    E2E_PROGRAM=t462.exe
    export LC_ALL=$windows_locale
  else
    E2E_PROGRAM=t462
    export LC_ALL=$linux_locale
  fi
}

# Weighted means of the log lines after the first SKIP lines: frame rate,
# frame time and every phase, as one table row.
summarise() {
  local log=$1 skip=$2 label=$3
  [[ -s $log ]] || log=/dev/null
  awk -v skip="$skip" -v label="$label" '
    NR > skip {
      n = $NF
      frames += n
      for (i = 1; i < NF - 1; i += 2) sum[$i] += $(i + 1) * n
    }
    END {
      if (frames == 0) { printf "| %s | no frames logged | | | | | | | |\n", label; exit }
      printf "| %s | %.1f | %.2f | %.2f | %.2f | %.2f | %.2f | %.2f | %.2f | %.2f |\n", label,
        frames / (sum["frame_ms"] / 1000), sum["frame_ms"] / frames, sum["grab_ms"] / frames,
        sum["write_ms"] / frames, sum["mesh_ms"] / frames, sum["texture_ms"] / frames,
        sum["capture_ms"] / frames, sum["controls_ms"] / frames, sum["draw_ms"] / frames
    }' "$log"
}

# Waits (up to --first seconds) for the first frames: the first line of the
# timing log (written after two seconds of frames), or, for the shipped
# program, a rewrite of the feedback image. A heavy model's first frame
# decodes all its pictures.
first_frames() {
  local dir=$1 variant=$2 start=$SECONDS
  while ((SECONDS - start < first_limit)); do
    if [[ $variant == shipped ]]; then
      (($(count_rewrites "$dir/フィルター.bmp" 1) > 0)) && return 0
    else
      [[ -s $dir/t462-timing.log ]] && return 0
      sleep 1
    fi
  done
}

# run_variant SIZE MODEL TARGET VARIANT BUILD: one run, one table row.
run_variant() {
  local size=$1 model=$2 target=$3 variant=$4 b=$5 dir=$E2E_TMP/run
  local label="$size $model $target $variant${labels[$b]}" staged=${build_roots[$b]}/$3/$4/t462
  use_target "$target"
  rm -rf "$dir"
  cp -a "$staged" "$dir" || fail "no staged folder $staged"
  [[ $model == sample ]] || cp -a "$(model_dir "$model")"/. "$dir"/ || fail "cannot copy $model"
  start_program_in "$dir"
  wait_window t462 >/dev/null || fail "$label: no display window"
  wait_window com 20 >/dev/null || fail "$label: no control panel"
  first_frames "$dir" "$variant"
  sleep "$warmup"
  if [[ $variant == shipped ]]; then
    local count
    count=$(count_rewrites "$dir/フィルター.bmp" "$seconds")
    awk -v label="$label" -v n="$count" -v s="$seconds" \
      'BEGIN { printf "| %s | %.1f | %.2f | | | | | | | |\n", label, n / s, 1000 * s / (n ? n : 1) }'
  else
    local skip
    skip=$(wc -l <"$dir/t462-timing.log" 2>/dev/null || echo 0)
    sleep "$seconds"
    summarise "$dir/t462-timing.log" "$skip" "$label"
  fi
  # Ends the program (under Wine every process of the prefix, so that the
  # next run starts on a clean Wine server).
  stop_program
  if [[ $target == windows ]]; then
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
  fi
  rm -rf "$dir"
}

# The best of a build's rows (highest frame rate) with the mean and range of
# all. Builds that take turns share the machine's busy spells, so their means
# compare them too; a best round also shows a lucky one.
best_of() {
  awk -F'|' '
    { fps = $3 + 0; sum += fps; if (n == 0 || fps > best) { best = fps; row = $0 }
      if (n == 0 || fps < low) low = fps; if (n == 0 || fps > high) high = fps; n++ }
    END { sub(/ *\| *$/, "", row); printf "%s | %.1f (%.0f-%.0f) |\n", row, sum / n, low, high }' "$1"
}

rows=$E2E_TMP/rows
mkdir -p "$rows"
for size in $sizes; do
  start_xvfb "${size}x24"
  for ((round = 1; round <= rounds; round++)); do
    for model in $models; do
      for target in $targets; do
        for variant in $variants; do
          for b in "${!sources[@]}"; do
            row=$rows/$size-${model//\//_}-$target-$variant-$b
            run_variant "$size" "$model" "$target" "$variant" "$b" >>"$row"
            echo "$size round $round: $(tail -n1 "$row")" >&2
          done
        done
      done
    done
  done
  stop_xvfb
done

echo "| screen, model, program, build | frames/s | frame | grab | file write | mesh load | texture load | whole capture | keyboard pass | drawing | frames/s over $rounds rounds: mean (range) |"
echo "|---|---|---|---|---|---|---|---|---|---|---|"
for size in $sizes; do
  for model in $models; do
    for target in $targets; do
      for variant in $variants; do
        for b in "${!sources[@]}"; do
          best_of "$rows/$size-${model//\//_}-$target-$variant-$b"
        done
      done
    done
  done
done
echo
echo "load average after the run: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) cores"
