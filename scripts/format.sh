#!/usr/bin/env bash
# Checks that every C++ source matches .clang-format; with --fix, formats them in place.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t sources < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = --fix ]; then
  clang-format -i "${sources[@]}"
  exit 0
fi
if ! clang-format --dry-run --Werror "${sources[@]}" 2>/tmp/qmk-format.$$; then
  grep -E '^[^ ].*: (error|warning):' /tmp/qmk-format.$$ | cut -d: -f1 | sort -u | sed 's/^/not formatted: /' >&2
  rm -f /tmp/qmk-format.$$
  echo "Run: bash scripts/format.sh --fix" >&2
  exit 1
fi
rm -f /tmp/qmk-format.$$
