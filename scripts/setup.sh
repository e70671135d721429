#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need. Safe to run again.
set -euo pipefail

packages=(
  g++ cmake make pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-webengine-dev qt6-webengine-dev-tools
  libqt6svg6 libgl-dev
  libsqlite3-dev libcurl4-openssl-dev libicu-dev
  libgtest-dev libgmock-dev libcpp-httplib-dev libbenchmark-dev
  xvfb xauth
  xdg-utils
  clang-format git
)
# QMK_DESKTOP=1 adds a window manager and X tools, to try the program by hand under Xvfb.
if [ "${QMK_DESKTOP:-0}" = 1 ]; then
  packages+=(openbox xdotool wmctrl x11-apps imagemagick sqlite3)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -q
  $sudo_cmd env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
