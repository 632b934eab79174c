#!/usr/bin/env bash
# The search benchmark: a generated tree of about 1,000,000 files in 60,000 folders, warm
# cache, every tool measured side by side in one run (medians of runs taken round-robin),
# with each median's ratio to a bare getdents64 walk that only counts the files.
#   bench/search/run.sh BUILD_DIR [RUNS]
# BUILD_DIR is an optimised build with the benchmarks on (./quorvel.sh bench makes one).
# The tree is made once under BUILD_DIR/bench-data/search (seeded: always the same tree).
set -euo pipefail
build=$(cd "${1:?usage: run.sh BUILD_DIR [RUNS]}" && pwd)
runs=${2:-5}
tools=$build/bench/search
qf=$build/bin/quorvel-find
data=$build/bench-data/search
tree=$data/tree
keys=$data/keywords
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for tool in fdfind find taskset; do
  command -v "$tool" >/dev/null || { echo "run.sh: $tool is missing" >&2; exit 1; }
done
if [ ! -d "$tree" ]; then
  echo "Making the benchmark tree (once) ..." >&2
  "$tools/gen_tree" "$data" >&2
fi
KEYWORDS_ONLY=1 "$tools/gen_tree" "$data" >/dev/null

# Keyword lists as the other tools take them: LF lines, and one case-insensitive regex.
regex_escape() { sed 's#[][\.*^$+?(){}|]#\\&#g'; }
for list in "$keys"/*.txt; do
  name=$(basename "$list" .txt)
  tr -d '\r' <"$list" >"$work/$name.lf"
  alternation=$(regex_escape <"$work/$name.lf" | paste -sd '|')
  case $name in
    exact_*) printf '(?i)^(?:%s)(?:\\.[^.]*)?$' "$alternation" >"$work/$name.re" ;;
    fuzzy_*) printf '(?i)(?:%s)' "$alternation" >"$work/$name.re" ;;
  esac
done

# Warm the cache.
"$tools/bare_walk" "$tree" >/dev/null
find "$tree" -type f >/dev/null

# The commands, measured round-robin: every run takes each command in turn, so a busy
# moment of the machine weighs on all of them alike. Round 0 warms up and is not counted.
names=()
commands=()
add() { names+=("$1"); commands+=("$2"); }
# regex_fits LIST: whether the regex fits in one command-line argument (the kernel takes 128 KiB).
regex_fits() { [ "$(stat -c %s "$work/$1.re")" -lt 131000 ]; }
slow_names=()
slow_commands=()
add_slow() { slow_names+=("$1"); slow_commands+=("$2"); }
notes=()

add "bare getdents64 walk (count files)" "'$tools/bare_walk' '$tree'"
add "find -type f (listing only)" "find '$tree' -type f"
add "fdfind -u -t f (listing only)" "fdfind -u -t f . '$tree'"
for case in exact_1 exact_100 exact_10000 fuzzy_1 fuzzy_100 fuzzy_1000; do
  k=${case#*_}
  mode=${case%_*}
  flag=-x
  naive_flag=
  [ "$mode" = fuzzy ] && flag=-f && naive_flag=-f
  add "$mode K=$k: quorvel-find" "'$qf' $flag -k '$keys/$case.txt' '$tree'"
  add "$mode K=$k: quorvel-find on one core" "taskset -c 0 '$qf' $flag -k '$keys/$case.txt' '$tree'"
  naive="'$tools/naive_find' $naive_flag '$keys/$case.txt' '$tree'"
  fd="fdfind -u -t f \"\$(cat '$work/$case.re')\" '$tree'"
  if [ "$k" -le 100 ]; then
    add "$mode K=$k: plain files x keywords" "$naive"
    add "$mode K=$k: fdfind -u -t f REGEX" "$fd"
  else
    add_slow "$mode K=$k: plain files x keywords (1 run)" "$naive"
    if regex_fits "$case"; then
      add_slow "$mode K=$k: fdfind -u -t f REGEX (1 run)" "$fd"
    else
      notes+=("$mode K=$k: fdfind -u -t f REGEX|not run: the regex is over the kernel's 128 KiB argument limit")
    fi
  fi
  if [ "$mode" = exact ] && [ "$k" = 10000 ]; then
    add "$mode K=$k: find -printf %f, grep -Fxi -f" \
      "find '$tree' -type f -printf '%f\n' | grep -F -x -i -f '$work/$case.lf'"
  fi
done

elapsed() {  # elapsed COMMAND: wall time in seconds
  local start end
  start=$(date +%s%N)
  eval "$1" >/dev/null 2>&1 || true
  end=$(date +%s%N)
  awk -v ns=$((end - start)) 'BEGIN { printf "%.4f\n", ns / 1e9 }'
}
times=$work/times
: >"$times"
for ((round = 0; round <= runs; round++)); do
  for i in "${!commands[@]}"; do
    t=$(elapsed "${commands[$i]}")
    [ "$round" -gt 0 ] && echo "$i $t" >>"$times"
  done
done
median() { awk -v i="$1" '$1 == i { print $2 }' "$times" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

results=$work/results.txt
: >"$results"
for i in "${!commands[@]}"; do
  echo "${names[$i]}|$(median "$i")" >>"$results"
done
for i in "${!slow_commands[@]}"; do
  echo "${slow_names[$i]}|$(elapsed "${slow_commands[$i]}")" >>"$results"
done
for note in "${notes[@]}"; do
  echo "$note" >>"$results"
done

# Peak memory of the streaming file-name search.
peak() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -n 1; }
mem_exact=$(peak "$qf" -x -k "$keys/exact_10000.txt" "$tree")
mem_fuzzy=$(peak "$qf" -f -k "$keys/fuzzy_1000.txt" "$tree")

files=$("$tools/bare_walk" "$tree")
folders=$(find "$tree" -type d | wc -l)
echo "Search benchmark: $files files in $folders folders, warm cache, $(nproc) cores, median of $runs runs"
echo "(runs taken round-robin; ratios against the bare walk of the same run). Made by: bench/search/run.sh BUILD_DIR $runs"
echo
echo "| case | median (s) | x bare walk |"
echo "|---|---:|---:|"
base=$(head -n 1 "$results" | cut -d'|' -f2)
while IFS='|' read -r name median; do
  if [[ $median =~ ^[0-9.]+$ ]]; then
    awk -v n="$name" -v m="$median" -v b="$base" 'BEGIN { printf "| %s | %.3f | %.2f |\n", n, m, m / b }'
  else
    echo "| $name | $median | |"
  fi
done <"$results"
echo
echo "Peak memory of quorvel-find (streaming): exact K=10000 $((mem_exact / 1024)) MiB, fuzzy K=1000 $((mem_fuzzy / 1024)) MiB."
