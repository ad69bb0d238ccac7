#!/usr/bin/env bash
# The record figures as a whole process sees them: writes the synthetic collection (1,600
# games, about 2 MB) and times `obrin-cli sgf check` on it five times (median), then runs the
# long-game benchmark (load, replay and save 100,000 moves). Usage:
#   scripts/sgf_figures.sh [build/bin/obrin-cli]
set -euo pipefail
CLI=${1:-build/bin/obrin-cli}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$CLI" bench sgf --games 1600 "$work/collection.sgf"
bytes=$(stat -c %s "$work/collection.sgf")
times=()
for _ in 1 2 3 4 5; do
  start=$(date +%s.%N)
  "$CLI" sgf check "$work/collection.sgf" >/dev/null
  end=$(date +%s.%N)
  times+=("$(echo "$end - $start" | bc -l)")
done
median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n 3p)
printf 'sgf check: %d bytes, median %.1f ms, %.1f MB/s for the whole process\n' \
  "$bytes" "$(echo "$median * 1000" | bc -l)" "$(echo "$bytes / $median / 1000000" | bc -l)"
"$CLI" bench sgf-long --moves 100000 --runs 5 | tail -1
