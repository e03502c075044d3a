#!/usr/bin/env bash
# Measures t462 under Wine in a virtual X server: frames per second at each
# screen size, with the per-frame capture (the program as it is) and without
# it (a measurement build whose loop skips the capture), and how a frame's
# time divides between grab, file write, mesh load, texture load, the
# keyboard pass and drawing (begin, clear, scene, end, present).
#
#   tools/measure-fps.sh [--no-build] [--seconds N] [--rounds R] [--sizes "WxH ..."]
#
# It builds two measurement programs with the mingw toolchain (cmake options
# T462_MEASURE and T462_MEASURE_NO_CAPTURE, cmake/measure.cmake), which
# append their timings to t462-timing.log every two seconds, and the shipped
# program, whose frame rate is counted from outside as the rewrites of
# "フィルター.bmp". Each runs for N seconds (default 10) after a few seconds
# of warming up, on a fresh copy of its staged folder; the three take turns
# for R rounds (default 3), so that a busy spell of the machine hits them
# alike. Prints one Markdown table with each build's best round (the highest
# frame rate; numbers per frame in milliseconds) and the range of its frame
# rates over the rounds.
#
# Environment: MEASURE_BUILD_ROOT (build folders, default build/measure),
# WINEPREFIX (default: a fresh one), E2E_DISPLAY (X display number), JOBS.
# The machine should otherwise be idle: the figures scale with free CPU.
set -uo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=1
seconds=10
rounds=3
warmup=5
sizes="1280x1024 1920x1080"
while (($#)); do
  case $1 in
    --no-build) build=0 ;;
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
    -h | --help)
      sed -n '2,23p' "$0" | sed 's/^# \{0,1\}//'
      exit 0
      ;;
    *)
      echo "measure-fps.sh: unknown argument $1" >&2
      exit 2
      ;;
  esac
  shift
done

root=${MEASURE_BUILD_ROOT:-$repo/build/measure}
jobs=${JOBS:-2}
toolchain=$repo/cmake/mingw-w64-x86_64.cmake

configure_and_build() {
  local dir=$1
  shift
  cmake -S "$repo" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    "$@" >/dev/null &&
    cmake --build "$dir" -j "$jobs" --target t462_stage >/dev/null
}

if ((build)); then
  echo "building the measurement programs in $root ..." >&2
  configure_and_build "$root/shipped" -DT462_MEASURE=OFF -DT462_MEASURE_NO_CAPTURE=OFF || exit 1
  configure_and_build "$root/capture" -DT462_MEASURE=ON -DT462_MEASURE_NO_CAPTURE=OFF || exit 1
  configure_and_build "$root/no-capture" -DT462_MEASURE=ON -DT462_MEASURE_NO_CAPTURE=ON || exit 1
fi

# The end-to-end harness starts and stops the X server and the program and
# cleans up whatever happens.
# shellcheck source=../tests/e2e/lib.sh
source "$repo/tests/e2e/lib.sh"
E2E_SAVE_ARTIFACTS=0

# Weighted means of the log lines after the first SKIP lines: frame rate,
# frame time and every phase, as one table row.
summarise() {
  local log=$1 skip=$2 label=$3
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

run_variant() {
  local size=$1 variant=$2 dir=$E2E_TMP/run-$2
  rm -rf "$dir"
  cp -a "$root/$variant/t462" "$dir" || fail "no staged folder $root/$variant/t462"
  start_program_in "$dir"
  wait_window t462 >/dev/null || fail "$variant: no display window"
  wait_window com 20 >/dev/null || fail "$variant: no control panel"
  sleep "$warmup"
  if [[ $variant == shipped ]]; then
    local count
    count=$(count_rewrites "$dir/フィルター.bmp" "$seconds")
    awk -v size="$size" -v n="$count" -v s="$seconds" \
      'BEGIN { printf "| %s shipped | %.1f | %.2f | | | | | | | |\n", size, n / s, 1000 * s / (n ? n : 1) }'
  else
    local skip
    skip=$(wc -l <"$dir/t462-timing.log" 2>/dev/null || echo 0)
    sleep "$seconds"
    summarise "$dir/t462-timing.log" "$skip" "$size $variant"
  fi
  stop_program
  wineserver -k 2>/dev/null
  wineserver -w 2>/dev/null
}

# The best of a build's rows (highest frame rate) with the range of all.
best_of() {
  awk -F'|' '
    { fps = $3 + 0; if (n == 0 || fps > best) { best = fps; row = $0 }
      if (n == 0 || fps < low) low = fps; if (n == 0 || fps > high) high = fps; n++ }
    END { sub(/ *\| *$/, "", row); printf "%s | %.0f-%.0f |\n", row, low, high }' "$1"
}

rows=$E2E_TMP/rows
mkdir -p "$rows"
for size in $sizes; do
  start_xvfb "${size}x24"
  for ((round = 1; round <= rounds; round++)); do
    for variant in capture no-capture shipped; do
      run_variant "$size" "$variant" >>"$rows/$size-$variant"
      echo "$size round $round: $(tail -n1 "$rows/$size-$variant")" >&2
    done
  done
  stop_xvfb
done

echo "| screen, build | frames/s | frame | grab | file write | mesh load | texture load | whole capture | keyboard pass | drawing | frames/s over $rounds rounds |"
echo "|---|---|---|---|---|---|---|---|---|---|---|"
for size in $sizes; do
  for variant in capture no-capture shipped; do
    best_of "$rows/$size-$variant"
  done
done
echo
echo "load average after the run: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) cores"
