#!/usr/bin/env bash
# Sets up, builds and runs the program's main job: the window Vantorell2001 on the shipped
# engines (the program folder is engines/, which holds Site/ and User/). It opens on the X
# display of DISPLAY, or under xvfb-run when there is none.
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

display=()
if [ -z "${DISPLAY:-}" ]; then
  echo "No DISPLAY: running the window under xvfb-run (stop it with Ctrl+C)."
  display=(xvfb-run -a -s "-screen 0 1280x800x24")
fi
exec "${display[@]}" build-release/src/app/Vantorell2001 --app-path engines "$@"
