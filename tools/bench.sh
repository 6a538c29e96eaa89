#!/usr/bin/env bash
# Builds the benchmarks with optimisation and runs them; each prints ratios against a baseline
# measured in the same run.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
tools/build.sh build-bench -DCMAKE_BUILD_TYPE=Release \
  --target vantorell-bench-grammar --target vantorell-bench-search \
  --target vantorell-bench-results --target vantorell-bench-linkcheck \
  --target vantorell-bench-report --target vantorell-bench-firstrow >/dev/null
echo "== Grammar interpreter"
build-bench/bench/vantorell-bench-grammar
echo
echo "== Search pipeline"
build-bench/bench/vantorell-bench-search
echo
echo "== Results file"
build-bench/bench/vantorell-bench-results
echo
echo "== Link validation"
build-bench/bench/vantorell-bench-linkcheck
echo
echo "== Report control"
build-bench/bench/vantorell-bench-report
echo
echo "== First row painted (the real window, offscreen)"
build-bench/bench/vantorell-bench-firstrow
