#!/usr/bin/env bash
# Installs, with apt-get, whatever of Halomark's build and test dependencies is missing (Debian 12).
set -euo pipefail

packages=(
  cmake g++ make
  qt6-base-dev nlohmann-json3-dev libgtest-dev libgmock-dev libpugixml-dev
  libx11-dev libxss-dev libxcb1-dev
  dbus python3-dbusmock libglib2.0-bin
  dpkg-dev file lintian desktop-file-utils appstream mandoc zsh fish
  xvfb xauth trayer haskell-gtk-sni-tray-utils xfce4-panel xdotool at-spi2-core python3-pyatspi python3-xlib
  weston qt6-wayland
  hyperfine
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
  [[ "$status" == installed ]] || missing+=("$package")
done

if ((${#missing[@]})); then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
