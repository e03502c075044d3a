#!/usr/bin/env bash
# Builds the fuzz targets of the file readers with clang (libFuzzer, ASan,
# UBSan) and runs each for a while over a seed corpus made from the test data.
# Exits non-zero when a target crashes; the input that did it is kept under
# build/fuzz/artifacts/.
#
#   tools/fuzz.sh [SECONDS] [TARGET...]     (default: 20 s each, all targets)
#
# Targets: xfile (the .x reader), bmp (our BMP decoder), image (every picture
# format). Environment: FUZZ_BUILD (build folder, default build/fuzz),
# CXX (default clang++).
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
seconds=${1:-20}
shift || true
targets=("$@")
((${#targets[@]})) || targets=(xfile bmp image)
out=${FUZZ_BUILD:-$repo/build/fuzz}
cxx=${CXX:-clang++}
command -v "$cxx" >/dev/null || { echo "fuzz.sh: no $cxx" >&2; exit 2; }

mkdir -p "$out/obj" "$out/artifacts"
flags=(-std=c++20 -g -O1 -fno-omit-frame-pointer -fsanitize=address,undefined
       -fno-sanitize-recover=all -I"$repo/src" -I"$repo/third_party")

# The readers, built once for all targets (only what changed is rebuilt),
# with what they read files and multiply matrices through.
objects=()
for source in "$repo"/src/platform/d3dx/xfile/*.cpp "$repo"/src/platform/d3dx/image/*.cpp \
  "$repo"/src/platform/d3dx/*.cpp "$repo"/src/platform/linux/{text_linux,d3dx_files_linux}.cpp; do
  object=$out/obj/$(basename "${source%.cpp}").o
  extra=(-Wall -Wextra -Werror)
  [[ $source == */stb_image_impl.cpp ]] && extra=(-w)
  if [[ ! -f $object || $source -nt $object || $repo/third_party/stb/stb_image.h -nt $object ]] ||
     find "$repo/src/platform" -name '*.h' -newer "$object" | grep -q .; then
    "$cxx" "${flags[@]}" "${extra[@]}" -fsanitize=fuzzer-no-link -c "$source" -o "$object"
  fi
  objects+=("$object")
done

status=0
for target in "${targets[@]}"; do
  source=$repo/fuzz/${target}_fuzz.cpp
  [[ -f $source ]] || { echo "fuzz.sh: no target $target" >&2; exit 2; }
  binary=$out/${target}_fuzz
  "$cxx" "${flags[@]}" -Wall -Wextra -Werror -fsanitize=fuzzer "$source" "${objects[@]}" -lz \
    -o "$binary"

  # A working corpus of its own, seeded from the test data each run.
  corpus=$out/corpus-$target
  mkdir -p "$corpus"
  case $target in
    xfile) cp "$repo"/tests/data/x/*.x "$repo"/assets/model.x "$corpus"/ ;;
    bmp) cp "$repo"/tests/data/images/*.bmp "$repo"/assets/*.bmp "$corpus"/ ;;
    image) find "$repo/tests/data/images" -type f -exec cp {} "$corpus"/ \; ;;
  esac
  options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536
           -artifact_prefix="$out/artifacts/$target-" -print_final_stats=1)
  [[ $target == xfile ]] && options+=(-dict="$repo/fuzz/xfile.dict")
  echo "=== fuzzing $target for $seconds s"
  if ! "$binary" "${options[@]}" "$corpus" 2>"$out/$target.log"; then
    status=1
    echo "fuzz.sh: $target FAILED; log: $out/$target.log" >&2
    grep -E 'ERROR|SUMMARY|runtime error|Test unit written' "$out/$target.log" | head -20 >&2
  else
    grep -E '^stat::number_of_executed_units|^#[0-9]+.*DONE' "$out/$target.log" | tail -2
  fi
done
exit $status
