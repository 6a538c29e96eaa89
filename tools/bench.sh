#!/usr/bin/env bash
# Builds the benchmarks with optimisation and runs them; each prints ratios against a baseline
# measured in the same run.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
tools/build.sh build-bench -DCMAKE_BUILD_TYPE=Release -DVANTORELL_BUILD_TESTS=OFF >/dev/null
build-bench/bench/vantorell-bench-grammar
