#!/usr/bin/env bash
# Installs what is needed, builds the program alone and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
dir=$(bash scripts/build.sh quillmark | tail -n 1)
exec "$dir/quillmark"
