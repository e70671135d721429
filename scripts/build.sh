#!/usr/bin/env bash
# Configures and builds into build/ (build-sanitize/ with SANITIZE=1).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=build; flags=()
if [ "${SANITIZE:-0}" = 1 ]; then dir=build-sanitize; flags+=(-DQMK_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug); fi
cmake -S . -B "$dir" "${flags[@]}" >/dev/null
cmake --build "$dir" -j "$(nproc)" >&2
echo "$dir"
