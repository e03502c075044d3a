#!/usr/bin/env bash
# Makes the release zip build/release/t462-<version>.zip: builds the windows
# preset, then packs t462/ with t462.exe, the sample model.x, its texture
# フィルター.bmp, the skin 枠.bmp, the empty snapshot folder
# 抜き取り画像保存フォルダ/ and README.txt (Japanese and English, made from
# docs/readme-release-ja-en.txt) with tools/make-release.py.
#
#   tools/make-release.sh [--no-setup] [--no-build] [--build-dir DIR]
#                         [--out DIR] [--version V]
#
# --build-dir DIR  build (and take t462.exe from) DIR instead of the windows
#                  preset's build/windows, configured with the mingw-w64
#                  toolchain
# --no-build       take the exe that is there
# --version V      default: tools/version.sh (the git tag on HEAD, else
#                  <date>-<short commit>, "-dirty" when the tree has changes)
# The same zip comes from `cmake --build --preset windows --target release`.
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
cd "$repo"

setup=1
build=1
build_dir=
out=$repo/build/release
version=
while (($#)); do
  case $1 in
    --no-setup) setup=0 ;;
    --no-build) build=0 ;;
    --build-dir)
      build_dir=${2:?--build-dir needs a folder}
      shift
      ;;
    --out)
      out=${2:?--out needs a folder}
      shift
      ;;
    --version)
      version=${2:?--version needs a value}
      shift
      ;;
    -h | --help)
      usage
      exit 0
      ;;
    *)
      echo "make-release.sh: unknown argument $1" >&2
      exit 2
      ;;
  esac
  shift
done

[[ -n $version ]] || version=$(bash tools/version.sh)

((setup && build)) && bash tools/setup-debian.sh
if [[ -z $build_dir ]]; then
  build_dir=$repo/build/windows
  if ((build)); then
    build_preset windows
  fi
elif ((build)); then
  cmake -S "$repo" -B "$build_dir" -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build_dir" -j "$jobs" --target t462
fi

python3 tools/make-release.py --exe "$build_dir/t462.exe" --assets "$repo/assets" \
  --readme "$repo/docs/readme-release-ja-en.txt" --out "$out" --version "$version"
