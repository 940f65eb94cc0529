#!/usr/bin/env bash
# Builds the Debian package, unpacks it into a throw-away root and checks it the way a distribution
# would: lintian, the desktop entry and AppStream validators, the files a packaged install needs,
# and the packaged command itself.
# Usage: package_test.sh <build folder>
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
  echo "FAILED: $*"
  ((failures++)) || true
}

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1 || {
  cat "$work/cpack.log"
  exit 1
}
deb=$(echo "$work"/out/*.deb)
root=$work/root
dpkg-deb -x "$deb" "$root"

# Dependencies come from the libraries the program links.
depends=$(dpkg-deb -f "$deb" Depends)
[[ $depends == *libqt6core6* && $depends == *libc6* ]] || fail "Depends lacks the linked libraries: $depends"
[[ $(dpkg-deb -f "$deb" Recommends) == qt6-wayland ]] || fail "Recommends lacks the Wayland plugin"

# Errors, and warnings the package does not explain in its overrides, fail the package.
lintian --fail-on error,warning --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1 || {
  cat "$work/lintian.log"
  fail "lintian"
}

desktop_entry=$root/usr/share/applications/app.halomark.Halomark.desktop
desktop-file-validate "$desktop_entry" || fail "desktop-file-validate"
appstreamcli validate --no-net "$root/usr/share/metainfo/app.halomark.Halomark.metainfo.xml" >"$work/appstream.log" ||
  {
    cat "$work/appstream.log"
    fail "appstreamcli validate"
  }

for file in usr/lib/halomark/Halomark.app/Contents/MacOS/Halomark usr/lib/halomark/Halomark.app/Contents/Info.plist \
  usr/share/dbus-1/services/app.halomark.Halomark.service usr/share/icons/hicolor/scalable/apps/app.halomark.Halomark.svg \
  usr/share/icons/hicolor/scalable/status/app.halomark.Halomark-lit-symbolic.svg \
  usr/share/icons/hicolor/scalable/status/app.halomark.Halomark-unlit.svg \
  usr/share/man/man1/halomark.1.gz usr/share/bash-completion/completions/halomark \
  usr/share/zsh/vendor-completions/_halomark usr/share/fish/vendor_completions.d/halomark.fish \
  usr/lib/udev/rules.d/70-halomark-leds.rules usr/share/doc/halomark/copyright usr/share/halomark/status.schema.json; do
  [[ -f $root/$file ]] || fail "missing /$file"
done
[[ $(readlink "$root/usr/bin/halomark") == ../lib/halomark/Halomark.app/Contents/MacOS/Halomark ]] ||
  fail "/usr/bin/halomark does not link to the program"
grep -qx 'Exec="/usr/lib/halomark/Halomark.app/Contents/MacOS/Halomark" %u' "$desktop_entry" ||
  fail "the desktop entry does not start the installed program"
grep -qx 'Exec="/usr/lib/halomark/Halomark.app/Contents/MacOS/Halomark"' \
  "$root/usr/share/dbus-1/services/app.halomark.Halomark.service" || fail "the bus service does not start the installed program"

# The packaged command runs from the unpacked tree, in a home of its own.
home=$work/home
mkdir -p "$home"
version=$(env -i PATH=/usr/bin:/bin HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_CACHE_HOME="$home/.cache" \
  XDG_DATA_HOME="$home/.local/share" "$root/usr/bin/halomark" version) || fail "halomark version exited with $?"
[[ $version =~ ^Halomark\ [0-9]+\.[0-9]+\ \([0-9]+\)$ ]] || fail "halomark version printed '$version'"

# Started with its registration installed system-wide, the application writes no per-user copies
# that would add a second menu entry or hide the system one.
program=$root/usr/lib/halomark/Halomark.app/Contents/MacOS/Halomark
"$build/tools/halomark-desktop-files" "$program" "$work/system-share"
rm -rf "$home" && mkdir -p "$home"
# shellcheck disable=SC2016 # the inner script expands its own arguments
env -i PATH=/usr/bin:/bin HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_CACHE_HOME="$home/.cache" \
  XDG_DATA_HOME="$home/.local/share" XDG_DATA_DIRS="$work/system-share" \
  dbus-run-session -- bash -c '
    "$1" 2>/dev/null &
    for _ in $(seq 100); do
      if dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:app.halomark.Halomark | grep -q "boolean true"; then
        kill %1 && wait
        exit 0
      fi
      sleep 0.1
    done
    kill %1
    exit 1' _ "$program" 2>/dev/null || fail "the packaged application did not take its bus name"
for file in applications/app.halomark.Halomark.desktop dbus-1/services/app.halomark.Halomark.service; do
  [[ ! -e $home/.local/share/$file ]] || fail "the application wrote a per-user $file beside the system one"
done

echo "package checks of $(basename "$deb"): $failures failed"
((failures == 0))
