#!/usr/bin/env bash
# Column sort by name of 1,000,000 realistic result rows: the list's insertion order against
# std::stable_sort of the same keys in the same run. Usage: run.sh BUILD_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:?usage: run.sh BUILD_DIR}
table=$("$build/bench/sort/sort_bench")
printf '%s\n' "$table"
{
  echo "# Column sort benchmark"
  echo
  echo "Reproduce: \`./quorvel.sh bench\` (or \`bench/sort/run.sh BUILD_DIR\` on a Release build)."
  echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ //'); $(date -u +%Y-%m-%d)."
  echo
  printf '%s\n' "$table"
} > "$here/RESULTS.md"
