#!/usr/bin/env bash
# Sets up, builds and runs the program's main job: the window Vantorell2001 on the shipped
# engines. It opens on the X display of DISPLAY, or, when there is none, on a virtual display
# of xvfb-run that no screen shows (it says so).
#
# The window's program folder is build-release/run/: each run copies the shipped engines
# (Site/, User/) and the help page there, and the window keeps its settings and keyword history
# there. The registry stand-in is build-release/run/registry.ini (unless VANTORELL_REGISTRY
# names another file), so a run writes nothing outside the repository's build folder.
#
#   tools/run.sh              the window
#   tools/run.sh --headless   the headless front end instead: it lists the engine catalogue, then
#                             cuts the results out of the sample answer page, offline
# Further arguments go to the program (for example a results file to open).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
tools/build.sh build-release -DCMAKE_BUILD_TYPE=Release -DVANTORELL_BUILD_TESTS=OFF \
  -DVANTORELL_BUILD_BENCH=OFF >/dev/null

if [ "${1:-}" = "--headless" ]; then
  search=build-release/src/cli/vantorell-search
  echo "== Engines (category, name, enable, website)"
  "$search" engines --app-path engines
  echo
  echo "== Results of the sample engine on samples/sample-answer.html (title, address, summary, engine)"
  "$search" extract --engine engines/User/Sample.vnp --page samples/sample-answer.html
  exit 0
fi

folder="$PWD/build-release/run"
mkdir -p "$folder"
rm -rf "$folder/Site" "$folder/User"
cp -R engines/Site engines/User "$folder/"
cp src/app/desktop/Vantorell2001.html "$folder/"
export VANTORELL_REGISTRY="${VANTORELL_REGISTRY:-$folder/registry.ini}"

display=()
if [ -z "${DISPLAY:-}" ]; then
  echo "No DISPLAY: the window runs on a virtual X display (xvfb-run) that no screen shows;" \
    "to see it, run tools/run.sh in a desktop session, or run tools/run.sh --headless for" \
    "the headless job. Ctrl+C stops it."
  display=(xvfb-run -a -s "-screen 0 1280x800x24")
fi
exec "${display[@]}" build-release/src/app/Vantorell2001 --app-path "$folder" "$@"
