#!/usr/bin/env bash
# Installs what is needed, builds and starts Quillmark.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
dir=$(bash scripts/build.sh | tail -n 1)
if [ ! -x "$dir/quillmark" ]; then
  echo "The program is not built yet: only the libraries and tests exist so far." >&2
  exit 0
fi
exec "$dir/quillmark"
