#!/usr/bin/env bash
# Builds the fuzz targets with clang, libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer,
# and runs each for a bounded time on its seed corpus, as many at once as there are cores.
# Usage: tools/fuzz.sh SECONDS [TARGET...]   (targets without the "fuzz_" prefix; default all)
# New inputs collect in build-fuzz/corpus/TARGET (the seeds in fuzz/corpus stay as they are);
# a finding is written to build-fuzz/findings/TARGET and makes the script fail. Reproduce one
# with build-fuzz/fuzz/fuzz_TARGET FILE, then turn it into a regression test.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:?usage: tools/fuzz.sh SECONDS [TARGET...]}"
shift
targets=("$@")
if [ "${#targets[@]}" -eq 0 ]; then
  targets=(engine_file extractor results_file query_history profile_file http_client link_state
           report_cells)
fi

# The compiler whose libFuzzer runtime tools/setup.sh installs (clang-14, libclang-rt-14-dev),
# by its versioned name, so that another clang on the path is never picked up.
fuzz_compiler=clang++-14

tools/setup.sh
tools/build.sh build-fuzz -DCMAKE_CXX_COMPILER="$fuzz_compiler" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVANTORELL_FUZZ=ON -DVANTORELL_BUILD_TESTS=OFF -DVANTORELL_BUILD_BENCH=OFF \
  $(printf -- '--target fuzz_%s ' "${targets[@]}") >/dev/null

# A hang or a memory blow-up is a finding too.
timeout_seconds=10
rss_limit_mb=2048

run_target() {
  local target="$1"
  local work="build-fuzz/corpus/$target"
  local findings="build-fuzz/findings/$target"
  mkdir -p "$work" "$findings"
  if build-fuzz/fuzz/"fuzz_$target" "$work" "fuzz/corpus/$target" \
      -max_total_time="$seconds" -timeout="$timeout_seconds" -rss_limit_mb="$rss_limit_mb" \
      -artifact_prefix="$findings/" -print_final_stats=1 >"build-fuzz/$target.log" 2>&1; then
    # The last status line: executions, coverage (edges), features, corpus entries and size.
    local done_line
    done_line="$(grep -E '^#[0-9]+[[:space:]]+DONE' "build-fuzz/$target.log" | tail -1)"
    echo "$target: ${done_line:-no status line}"
  else
    echo "$target: FINDING, see build-fuzz/$target.log and $findings/"
    tail -40 "build-fuzz/$target.log"
    return 1
  fi
}

echo "== Fuzzing each target for ${seconds} s"
cores="$(nproc)"
failed=0
pids=()
for target in "${targets[@]}"; do
  run_target "$target" &
  pids+=("$!")
  if [ "${#pids[@]}" -ge "$cores" ]; then
    wait "${pids[0]}" || failed=1
    pids=("${pids[@]:1}")
  fi
done
for pid in "${pids[@]}"; do
  wait "$pid" || failed=1
done
exit "$failed"
