#!/usr/bin/env bash
# Saves pictures of the window for a person to look at: the program's idle window on the
# shipped engines (its own --screenshot option), a finished search with summaries and the
# context menu over a row and every dialog (the screenshot driver, on loopback engines). Runs on the X display
# of DISPLAY, or under xvfb-run when there is none. Usage: tools/screenshots.sh [FOLDER]
# (default build-shots/pictures).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
tools/build.sh build-shots -DCMAKE_BUILD_TYPE=Release -DVANTORELL_BUILD_BENCH=OFF \
  --target Vantorell2001 --target vantorell_gui_screenshots >/dev/null
out="${1:-build-shots/pictures}"
mkdir -p "$out"
out="$(cd "$out" && pwd)"

# A program folder of its own, so that the window's settings stay out of the repository.
program="$(mktemp -d)"
trap 'rm -rf "$program"' EXIT
cp -r engines/Site engines/User "$program/"
export VANTORELL_REGISTRY="$program/registry.ini"
printf '[Options]\r\nWinState=5\r\n' >"$program/propertys.ini"

display=()
if [ -z "${DISPLAY:-}" ]; then
  display=(xvfb-run -a -s "-screen 0 1280x800x24")
fi
"${display[@]}" build-shots/src/app/Vantorell2001 --app-path "$program" \
  --screenshot "$out/idle.png"
echo "saved $out/idle.png"
"${display[@]}" build-shots/tools/screenshots/vantorell_gui_screenshots "$out"
