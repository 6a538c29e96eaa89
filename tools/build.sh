#!/usr/bin/env bash
# Configures and builds one build folder. Usage: tools/build.sh FOLDER [cmake options...]
set -euo pipefail
cd "$(dirname "$0")/.."
folder="$1"
shift
# Options up to the first --target go to cmake's configure step; --target NAME picks targets.
configure=()
targets=()
while [ "$#" -gt 0 ]; do
  if [ "$1" = "--target" ]; then
    targets+=("--target" "$2")
    shift 2
  else
    configure+=("$1")
    shift
  fi
done
# ccache, when present, makes rebuilds of other build folders of the same sources cheap.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(pwd)}"
launcher=()
if command -v ccache >/dev/null 2>&1; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$folder" -G Ninja "${launcher[@]}" "${configure[@]}" >/dev/null
cmake --build "$folder" "${targets[@]}" -- -j"$(nproc)"
