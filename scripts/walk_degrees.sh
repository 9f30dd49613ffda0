#!/bin/sh
# Builds one curve with rara-cli for every field degree from FIRST to LAST
# (64 to 571) with default options and a fixed seed, and reports the CPU time
# of each run (user + system, from /usr/bin/time), the total and the slowest
# ten. Any failed run is listed and makes the script exit non-zero.
#   scripts/walk_degrees.sh [rara-cli] [first] [last] [extra rara-cli options...]
cli=${1:-build/cli/rara-cli}
first=${2:-64}
last=${3:-571}
[ $# -ge 3 ] && shift 3 || shift $#
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
n=$first
while [ "$n" -le "$last" ]; do
  if /usr/bin/time -f "%U %S" -o "$out/time" "$cli" -N "$n" --seed walk -q "$@" >"$out/stdout" 2>"$out/stderr"; then
    awk -v n="$n" '{ printf "%d %.3f\n", n, $1 + $2 }' "$out/time" >>"$out/times"
  else
    echo "N = $n failed: $(cat "$out/stderr")" | tee -a "$out/failed"
  fi
  n=$((n + 1))
done
count=$(wc -l <"$out/times")
awk -v c="$count" '{ s += $2 } END { printf "%d degrees, total CPU %.2f s, mean %.3f s\n", c, s, s / c }' "$out/times"
echo "slowest ten (N, CPU seconds):"
sort -k2,2 -g -r "$out/times" | head -10
[ ! -s "$out/failed" ]
