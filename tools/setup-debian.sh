#!/usr/bin/env bash
# Installs what building and testing t462 needs on Debian 12 (or a close
# Ubuntu): compilers, CMake, GoogleTest, the mingw-w64 cross compiler, Wine,
# Xvfb, headless Wayland compositors (sway, weston) with the ScreenCast portal
# and PipeWire, the libraries of the Linux program's grab on Wayland
# (libwayland, libpipewire, sd-bus), the tools the end-to-end tests drive it
# with, Japanese fonts, the ja_JP.UTF-8 locale, and what makes and checks the
# Linux package. Safe to run again: it does nothing when everything is in
# place.
set -euo pipefail

packages=(
  cmake g++ make git
  googletest libgtest-dev libgmock-dev libbenchmark-dev clang-format
  clang libclang-rt-14-dev
  g++-mingw-w64-x86-64 mingw-w64-x86-64-dev libz-mingw-w64-dev
  wine wine64
  xvfb xdotool xclip openbox x11-utils x11-xserver-utils imagemagick inotify-tools libx11-dev
  sway swaybg weston xwayland grim
  libwayland-dev libwayland-bin wayland-protocols libpipewire-0.3-dev libsystemd-dev
  pipewire pipewire-bin wireplumber xdg-desktop-portal xdg-desktop-portal-wlr
  dbus dbus-daemon dbus-bin strace
  libxext-dev libxrandr-dev libxrender-dev libxft-dev libfontconfig-dev libfreetype-dev libgl-dev
  libgl1-mesa-dri libglx-mesa0 pkg-config
  x11-xkb-utils i3-wm xfwm4 xfconf wmctrl
  unzip
  locales fonts-ipafont-gothic
  zlib1g-dev libstb-dev python3
  dpkg-dev file librsvg2-bin lintian desktop-file-utils appstream
)

as_root() {
  if [[ $(id -u) -eq 0 ]]; then
    "$@"
  elif command -v sudo >/dev/null 2>&1; then
    sudo "$@"
  else
    echo "setup: need root for: $* (run as root or install sudo)" >&2
    exit 1
  fi
}

installed() {
  [[ $(dpkg-query -W -f='${db:Status-Status}' "$1" 2>/dev/null) == installed ]]
}

# The version apt would install, or nothing when no source offers the name.
candidate() {
  apt-cache policy "$1" 2>/dev/null | awk '/Candidate:/ {print $2; exit}'
}

missing=()
for package in "${packages[@]}"; do
  installed "$package" || missing+=("$package")
done

if ((${#missing[@]} == 0)); then
  echo "setup: all ${#packages[@]} packages are installed"
else
  echo "setup: installing ${missing[*]}"
  as_root apt-get update
  available=()
  for package in "${missing[@]}"; do
    version=$(candidate "$package")
    if [[ -z $version || $version == "(none)" ]]; then
      echo "setup: warning: no package '$package' in the apt sources, skipped" >&2
    else
      available+=("$package")
    fi
  done
  if ((${#available[@]} > 0)); then
    as_root env DEBIAN_FRONTEND=noninteractive \
      apt-get install -y --no-install-recommends "${available[@]}"
  fi
fi

# Wine runs the program with LC_ALL=ja_JP.UTF-8, which gives it code page 932.
# Files with Japanese names can only be created when the locale exists.
has_ja_locale() {
  locale -a 2>/dev/null | grep -qiE '^ja_JP\.utf-?8$'
}
if has_ja_locale; then
  echo "setup: locale ja_JP.UTF-8 is present"
else
  echo "setup: generating locale ja_JP.UTF-8"
  if [[ -f /etc/locale.gen ]] && grep -qE '^[# ]*ja_JP\.UTF-8 UTF-8' /etc/locale.gen; then
    as_root sed -i -E 's/^[# ]*(ja_JP\.UTF-8 UTF-8)/\1/' /etc/locale.gen
  else
    echo 'ja_JP.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
  fi
  as_root locale-gen
  # Ubuntu's locale-gen wants the locale named.
  has_ja_locale || as_root locale-gen ja_JP.UTF-8
  has_ja_locale || {
    echo "setup: locale ja_JP.UTF-8 could not be generated" >&2
    exit 1
  }
fi
