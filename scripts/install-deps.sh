#!/usr/bin/env bash
# Installs, with apt-get, whatever of Halomark's dependencies is missing (Debian 12).
# Usage: install-deps.sh [--package | --tests]
#   without options: what building and running Halomark needs (and the demo)
#   --package: that, and what building the Debian package needs
#   --tests: all of that, and what building and running every test and bench needs
set -euo pipefail

product=(
  cmake g++ make
  qt6-base-dev nlohmann-json3-dev libpugixml-dev
  libx11-dev libxss-dev libxcb1-dev
  # The demo's throw-away session bus, and gdbus to ask it which process is the application.
  dbus libglib2.0-bin
)
package=(dpkg-dev file)
tests=(
  libgtest-dev libgmock-dev
  python3-dbusmock
  # Validates the status report against its JSON Schema.
  python3-jsonschema
  # The package's linters and validators, the manual page and the shells' completions.
  lintian desktop-file-utils appstream mandoc zsh fish
  # A pager, which the shell snippets must leave silent however long it stays open.
  less
  # Private displays with a tray, Xfce's panel, a StatusNotifierItem bar, a screen reader's view
  # and a Wayland session.
  xvfb xauth trayer haskell-gtk-sni-tray-utils xfce4-panel xdotool at-spi2-core python3-pyatspi python3-xlib
  weston qt6-wayland
  # Qt drawn in a GTK theme, for the tray in a dark theme.
  qt6-gtk-platformtheme
  hyperfine
)

packages=("${product[@]}")
case "${1:-}" in
  "") ;;
  --package) packages+=("${package[@]}") ;;
  --tests) packages+=("${package[@]}" "${tests[@]}") ;;
  *)
    echo "Usage: $0 [--package | --tests]" >&2
    exit 2
    ;;
esac

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
