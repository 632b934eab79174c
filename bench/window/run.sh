#!/usr/bin/env bash
# The window against quorvel-find on the search benchmark's tree (about 1,000,000 files in
# 60,000 folders, warm cache): the same searches, side by side in one run, medians of RUNS.
# The window is the real one, offscreen, timed from the click on 按钮_立即搜索 to its final
# status text with every row in the list; it also reports the longest time its thread went
# without handling an event while searching, and how long a stop click takes to end a search.
#   bench/window/run.sh BUILD_DIR [RUNS]
set -euo pipefail
build=$(cd "${1:?usage: run.sh BUILD_DIR [RUNS]}" && pwd)
runs=${2:-5}
qf=$build/bin/quorvel-find
window=$build/bench/window/window_search_bench
data=$build/bench-data/search
tree=$data/tree
keys=$data/keywords
export QT_QPA_PLATFORM=offscreen

if [ ! -d "$tree" ]; then
  echo "Making the benchmark tree (once) ..." >&2
  "$build/bench/search/gen_tree" "$data" >&2
fi
KEYWORDS_ONLY=1 "$build/bench/search/gen_tree" "$data" >/dev/null
"$qf" -x -e warm "$tree" >/dev/null || true

median() { sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

echo "| search | quorvel-find (s) | window (s) | window / quorvel-find | rows | longest event gap (ms) |"
echo "|---|---:|---:|---:|---:|---:|"
for case in exact_100 exact_10000 fuzzy_100 fuzzy_1000; do
  flag=-x; wflag=
  [ "${case%_*}" = fuzzy ] && flag=-f && wflag=--fuzzy
  cli=$(for _ in $(seq "$runs"); do
          /usr/bin/time -f %e "$qf" $flag -k "$keys/$case.txt" "$tree" 2>&1 >/dev/null | tail -n 1
        done | median)
  out=$("$window" "$tree" "$keys/$case.txt" $wflag --runs "$runs" 2>/dev/null)
  win=$(awk '{ print $1 }' <<<"$out" | median)
  rows=$(awk 'END { print $2 }' <<<"$out")
  gap=$(awk '{ print $3 }' <<<"$out" | sort -g | tail -n 1)
  printf '| %s | %.3f | %.3f | %.2f | %s | %s |\n' "$case" "$cli" "$win" "$(awk -v a="$win" -v b="$cli" 'BEGIN { print a / b }')" "$rows" "$gap"
done

stop=$("$window" "$tree" "$keys/fuzzy_1000.txt" --fuzzy --runs "$runs" --stop-after 150 2>/dev/null | awk '{ print $4 }' | sort -g | tail -n 1)
echo
echo "Stop clicked 150 ms into a fuzzy search with 1,000 keywords: the search ended at most $stop ms later."
