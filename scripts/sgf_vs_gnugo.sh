#!/usr/bin/env bash
# Compares the position after each record's main line as obrin-cli reads it with what GNU Go's
# reader gives (both over GTP: loadsgf, then list_stones). Usage:
#   scripts/sgf_vs_gnugo.sh [build/bin/obrin-cli] FILE.sgf...
# Prints one line per file that differs and a summary; exit status 1 when any differs.
set -uo pipefail
CLI=build/bin/obrin-cli
if [ $# -gt 0 ] && [ -x "$1" ] && [[ "$1" != *.sgf ]]; then CLI="$1"; shift; fi
GNUGO=${GNUGO:-/usr/games/gnugo}
same=0 differ=0
stones() {  # program... < commands: the two list_stones answers, sorted
  "$@" 2>/dev/null | grep '^=' | sed -n '2,3p' | tr ' ' '\n' | grep -v '^=' | sort | tr '\n' ' '
}
for f in "$@"; do
  cmds=$(printf 'loadsgf %s\nlist_stones black\nlist_stones white\n' "$f")
  ours=$(stones "$CLI" gtp <<<"$cmds")
  theirs=$(stones "$GNUGO" --mode gtp <<<"$cmds")
  if [ "$ours" == "$theirs" ]; then same=$((same + 1)); else differ=$((differ + 1)); echo "differs: $f"; fi
done
echo "$same same, $differ differ"
[ $differ -eq 0 ]
