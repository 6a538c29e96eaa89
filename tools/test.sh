#!/usr/bin/env bash
# Sets up, builds the tests with AddressSanitizer and UndefinedBehaviorSanitizer, and runs them.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
tools/build.sh build-test -DCMAKE_BUILD_TYPE=Debug -DVANTORELL_SANITIZE=ON \
  -DVANTORELL_BUILD_BENCH=OFF
# The threaded tests once more under ThreadSanitizer: workers, their hand-over to the
# user-interface thread, and rapid start/stop cycles of searches beside link validation.
tools/build.sh build-tsan -DCMAKE_BUILD_TYPE=Debug -DVANTORELL_TSAN=ON -DVANTORELL_BUILD_BENCH=OFF \
  --target vantorell_tests_search --target vantorell_tests_session \
  --target vantorell_tests_linkcheck
echo "== Threaded tests under ThreadSanitizer"
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 build-tsan/tests/search/vantorell_tests_search --gtest_brief=1
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 build-tsan/tests/search/vantorell_tests_session --gtest_brief=1
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 build-tsan/tests/results/vantorell_tests_linkcheck --gtest_brief=1

# Every reader of outside data under libFuzzer for a short while, from its seed corpus.
tools/fuzz.sh "${VANTORELL_FUZZ_SECONDS:-15}"

echo "== All tests with AddressSanitizer and UndefinedBehaviorSanitizer"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cd build-test
ctest --output-on-failure -j"$(nproc)"
