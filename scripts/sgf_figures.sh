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
# Wall time, and processor time (user + system) which other load on the machine does not inflate.
walls=() cpus=()
TIMEFORMAT='%3R %3U %3S'
for _ in 1 2 3 4 5; do
  read -r wall user sys < <({ time "$CLI" sgf check "$work/collection.sgf" >/dev/null; } 2>&1)
  walls+=("$wall")
  cpus+=("$(awk -v u="$user" -v s="$sys" 'BEGIN { print u + s }')")
done
wall=$(printf '%s\n' "${walls[@]}" | sort -n | sed -n 3p)
cpu=$(printf '%s\n' "${cpus[@]}" | sort -n | sed -n 3p)
awk -v b="$bytes" -v w="$wall" -v c="$cpu" 'BEGIN {
  printf "sgf check: %d bytes; median wall %.0f ms (%.1f MB/s), median cpu %.0f ms (%.1f MB/s), whole process\n",
         b, w * 1000, b / w / 1e6, c * 1000, b / c / 1e6 }'
"$CLI" bench sgf-long --moves 100000 --runs 5 | tail -1
