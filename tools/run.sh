#!/usr/bin/env bash
# Sets up, builds and runs the program's main job on the shipped engines: it lists the engine
# catalogue, then cuts the results out of the sample answer page with the sample engine.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
tools/build.sh build-release -DCMAKE_BUILD_TYPE=Release -DVANTORELL_BUILD_TESTS=OFF \
  -DVANTORELL_BUILD_BENCH=OFF >/dev/null
search=build-release/src/cli/vantorell-search

echo "== Engines (category, name, enable, website)"
"$search" engines --app-path engines
echo
echo "== Results of the sample engine on samples/sample-answer.html (title, address, summary, engine)"
"$search" extract --engine engines/User/Sample.vnp --page samples/sample-answer.html
