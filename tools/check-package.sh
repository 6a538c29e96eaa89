#!/usr/bin/env bash
# Checks a Debian package of the program as a user meets it: installs it with apt on this
# machine, checks that its files are where a desktop looks for them and that its metainfo is
# valid, starts the window from the installed launcher on a virtual display (xvfb-run) and saves
# a picture of it, runs the headless front end on the same program folder, and removes the
# package again. Needs root (or sudo); the machine's other packages are left as they were.
# Usage: tools/check-package.sh [FILE.deb]   (default: the one tools/package.sh made)
#        KEEP_PACKAGE=1 keeps it installed; PICTURE=FILE.png keeps the window's picture.
set -euo pipefail
cd "$(dirname "$0")/.."
deb="${1:-$(ls build-release/vantorell2001_*.deb 2>/dev/null | tail -1)}"
[ -n "$deb" ] && [ -f "$deb" ] || {
  echo "no package: run tools/package.sh first, or name the .deb" >&2
  exit 2
}
deb="$(cd "$(dirname "$deb")" && pwd)/$(basename "$deb")"
as_root=()
if [ "$(id -u)" -ne 0 ]; then
  as_root=(sudo)
fi
scratch="$(mktemp -d)"
cleanup() {
  if [ -z "${KEEP_PACKAGE:-}" ]; then
    "${as_root[@]}" apt-get remove -y vantorell2001 >/dev/null 2>&1 || true
  fi
  rm -rf "$scratch"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
started=$(date +%s)

echo "== $(basename "$deb")"
dpkg-deb --field "$deb" Package Version Architecture Depends Recommends
# The recommended packages are left out: they are not needed to start the window, and this
# machine may have no network to fetch them.
"${as_root[@]}" apt-get install -y --no-install-recommends "$deb" >"$scratch/apt.log" 2>&1 ||
  fail "apt install: $(tail -5 "$scratch/apt.log")"

for file in /usr/bin/Vantorell2001 /usr/bin/vantorell-search /usr/bin/vantorell2001 \
  /usr/share/vantorell2001/Vantorell2001.html /usr/share/applications/vantorell2001.desktop \
  /usr/share/mime/packages/vantorell2001.xml \
  /usr/share/icons/hicolor/scalable/apps/vantorell2001.svg \
  /usr/share/metainfo/example.vantorell.vantorell2001.metainfo.xml; do
  [ -e "$file" ] || fail "the package installs no $file"
done
ls /usr/share/vantorell2001/Site/*.vnp >/dev/null || fail "the package installs no engines"
appstreamcli validate --no-net /usr/share/metainfo/example.vantorell.vantorell2001.metainfo.xml ||
  fail "appstreamcli validate"
# The MIME database's trigger has mapped results files to their type.
grep -q "application/x-vantorell-results:\*\.vnr" /usr/share/mime/globs2 ||
  fail "the MIME database does not map *.vnr"

# The window from the launcher, as the desktop entry starts it, on a fresh home folder.
home="$scratch/home"
mkdir -p "$home"
picture="${PICTURE:-$scratch/window.png}"
env -u VANTORELL_APPPATH -u VANTORELL_REGISTRY HOME="$home" XDG_DATA_HOME="$home/data" \
  XDG_CONFIG_HOME="$home/config" xvfb-run -a -s "-screen 0 1280x800x24" \
  vantorell2001 --screenshot "$picture" || fail "the window did not start"
[ -s "$picture" ] || fail "the window saved no picture"
echo "window: $picture"
folder="$home/data/Vantorell2001"
env HOME="$home" XDG_CONFIG_HOME="$home/config" vantorell-search engines --app-path "$folder" \
  >"$scratch/engines.txt" || fail "vantorell-search engines"
echo "engines in the user's program folder: $(wc -l <"$scratch/engines.txt")"
echo "package: ok ($(($(date +%s) - started)) s)"
