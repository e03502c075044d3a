#!/usr/bin/env bash
# Makes the Linux package: installs what is missing (tools/setup-debian.sh),
# configures and builds the linux preset, and packs its install tree with
# cpack into build/linux/t462_<version>_<arch>.deb and a .tar.gz of the same
# tree (the version as tools/version.sh gives it, the release zip's).
#
#   tools/make-package.sh [--no-setup] [--out DIR]
#
# --out DIR  put the packages into DIR instead of build/linux
# The same packages come from `cmake --build --preset linux --target package`.
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
cd "$repo"

setup=1
out=
while (($#)); do
  case $1 in
    --no-setup) setup=0 ;;
    --out)
      out=${2:?--out needs a folder}
      shift
      ;;
    -h | --help)
      usage
      exit 0
      ;;
    *)
      echo "make-package.sh: unknown argument $1" >&2
      exit 2
      ;;
  esac
  shift
done

((setup)) && bash tools/setup-debian.sh
build_preset linux
build=$repo/build/linux
out=$(mkdir -p "${out:-$build}" && cd "${out:-$build}" && pwd)
version=$(head -n1 "$build/package/version")
(cd "$build" && cpack -B "$out" >"$build/package/cpack.log" 2>&1) || {
  cat "$build/package/cpack.log" >&2
  echo "make-package.sh: cpack failed" >&2
  exit 1
}
rm -rf "$out/_CPack_Packages"
for file in "$out/t462_${version}_"*.{deb,tar.gz}; do
  [[ -f $file ]] || {
    echo "make-package.sh: cpack made no $file" >&2
    exit 1
  }
  echo "make-package.sh: $file"
done
