#!/usr/bin/env bash
# Checks that each layer's library calls only the layers below it: no symbol
# that a library leaves undefined may be defined only in a higher layer.
#
# Usage: scripts/check-layers.sh RANK:NAME:LIBRARY ...
#   RANK     the layer's height (0 the lowest); layers of one rank may call
#            each other
#   NAME     the layer's name, for the report
#   LIBRARY  its static library
#
# Prints every upward reference as "LAYER (member.o) -> HIGHER: symbol" and
# exits 1 when there is one, 2 when it cannot read a library, 0 otherwise.
set -euo pipefail

if [ $# -lt 2 ]; then
  echo "usage: $0 RANK:NAME:LIBRARY ..." >&2
  exit 2
fi
NM="${NM:-nm}"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

ranks=()
names=()
for arg in "$@"; do
  IFS=: read -r rank name lib <<<"$arg"
  if [ -z "$rank" ] || [ -z "$name" ] || [ -z "$lib" ]; then
    echo "check-layers: bad argument '$arg' (RANK:NAME:LIBRARY)" >&2
    exit 2
  fi
  if [ ! -r "$lib" ]; then
    echo "check-layers: cannot read $lib" >&2
    exit 2
  fi
  # Symbols the library defines (weak and unique ones too: a template or an
  # inline function defined in a higher layer's header counts as its own).
  "$NM" -g --defined-only "$lib" 2>/dev/null | awk 'NF == 3 { print $3 }' | sort -u >"$tmp/def.$name"
  # Symbols it needs, with the member that needs them: "symbol member".
  "$NM" -A -u "$lib" 2>/dev/null |
    awk '{ split($1, p, ":"); print $NF, p[2] }' | sort -u >"$tmp/und.$name"
  if [ ! -s "$tmp/def.$name" ]; then
    echo "check-layers: $lib defines nothing (not a library of the program?)" >&2
    exit 2
  fi
  ranks+=("$rank")
  names+=("$name")
done

# A symbol defined at or below a layer's own rank is fine even when a higher
# layer defines one of the same name as well (an inline function instantiated
# in both, say).
status=0
count=0
for i in "${!names[@]}"; do
  name="${names[$i]}"
  rank="${ranks[$i]}"
  : >"$tmp/own"
  for j in "${!names[@]}"; do
    [ "${ranks[$j]}" -le "$rank" ] && cat "$tmp/def.${names[$j]}" >>"$tmp/own"
  done
  sort -u -o "$tmp/own" "$tmp/own"
  for j in "${!names[@]}"; do
    [ "${ranks[$j]}" -gt "$rank" ] || continue
    higher="${names[$j]}"
    # Needed here, defined there, and not defined at this rank or below.
    awk 'NR == FNR { own[$1] = 1; next } FILENAME == ARGV[2] { there[$1] = 1; next }
         ($1 in there) && !($1 in own) { print $1, $2 }' \
      "$tmp/own" "$tmp/def.$higher" "$tmp/und.$name" >"$tmp/bad" || true
    while read -r sym member; do
      echo "$name ($member) -> $higher: $(echo "$sym" | c++filt)"
      status=1
      count=$((count + 1))
    done <"$tmp/bad"
  done
done

if [ $status -ne 0 ]; then
  echo "check-layers: $count call(s) into a higher layer; install a hook at the higher layer's start-up instead" >&2
else
  echo "check-layers: ${#names[@]} libraries, no call into a higher layer"
fi
exit $status
