#!/usr/bin/env bash
# Runs every benchmark script (scripts/bench-*.sh); they print figures and
# never fail on a slow machine.
set -euo pipefail
cd "$(dirname "$0")"
found=0
for bench in bench-*.sh; do
  [ -f "$bench" ] || continue
  found=1
  echo "== ${bench%.sh}"
  bash "$bench"
done
[ $found -eq 1 ] || { echo "no benchmarks yet" >&2; exit 1; }
