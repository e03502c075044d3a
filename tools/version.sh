#!/usr/bin/env bash
# Prints the version of a t462 build: the git tag on HEAD, else
# <date>-<short commit> (with "-dirty" when tracked files have changes). The
# release zip and the Linux package both take it from here.
#
#   tools/version.sh [--debian]
#
# --debian  the same version as the Debian package writes it: a leading "v"
#           of a tag is dropped (a Debian version starts with a digit), and a
#           version dpkg would refuse is an error
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
cd "$repo"

if version=$(git describe --tags --exact-match HEAD 2>/dev/null); then
  :
else
  version=$(date +%Y%m%d)-$(git rev-parse --short HEAD 2>/dev/null || echo unknown)
  [[ -z $(git status --porcelain --untracked-files=no 2>/dev/null) ]] || version+=-dirty
fi

if [[ ${1:-} == --debian ]]; then
  [[ $version =~ ^v[0-9] ]] && version=${version#v}
  if ! problem=$(dpkg --validate-version "$version" 2>&1); then
    echo "version.sh: '$version' is no Debian version: $problem" >&2
    exit 1
  fi
elif (($#)); then
  echo "version.sh: unknown argument $1" >&2
  exit 2
fi
echo "$version"
