#!/usr/bin/env bash
# Configures and builds into build/ (build-sanitize/ with SANITIZE=1). Arguments name the targets
# to build (every target when none is named).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=build; flags=()
if [ "${SANITIZE:-0}" = 1 ]; then dir=build-sanitize; flags+=(-DQMK_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug); fi
targets=()
for t in "$@"; do targets+=(--target "$t"); done
cmake -S . -B "$dir" "${flags[@]}" >/dev/null
cmake --build "$dir" -j "$(nproc)" "${targets[@]}" >&2
echo "$dir"
