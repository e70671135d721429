#!/usr/bin/env bash
# Installs what is needed, builds and runs every test. SANITIZE=1 selects the sanitizer build.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/format.sh
dir=$(bash scripts/build.sh | tail -n 1)
cd "$dir"
ctest --output-on-failure --no-tests=error -j "$(nproc)"
