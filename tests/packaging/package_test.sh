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
  usr/share/man/man1/halomark.1.gz usr/share/bash-completion/completions/halomark \
  usr/share/zsh/vendor-completions/_halomark usr/share/fish/vendor_completions.d/halomark.fish \
  usr/lib/udev/rules.d/70-halomark-leds.rules usr/share/doc/halomark/copyright; do
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

echo "package checks of $(basename "$deb"): $failures failed"
((failures == 0))
