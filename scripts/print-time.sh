#!/usr/bin/env bash
# Time and memory of a command-line print: runs "PROGRAM /IF PROJECT /OF
# OUT.pdf" RUNS times (7 by default) on the headless backend with the file
# printer and a home of its own, and prints the median wall time, the median
# processor time (user + system), the largest peak resident memory, and the
# size of the PDF. The PDF of the last run is kept as OUT.pdf when named.
#
# Usage: scripts/print-time.sh PROGRAM PROJECT.CD4 [RUNS] [OUT.pdf]
set -euo pipefail
exe=$(readlink -f "$1")
project=$(readlink -f "$2")
runs=${3:-7}
keep=${4:-}
[ -x "$exe" ] || { echo "no program at $1" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "/usr/bin/time is missing (package time)" >&2; exit 2; }
tmp=$(mktemp -d "${TMPDIR:-/tmp}/velmor-print-XXXXXX")
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$tmp/tmp"
for i in $(seq "$runs"); do
  rm -rf "$tmp/config" "$tmp/out.pdf"
  env -i PATH="$PATH" ${FONTCONFIG_FILE:+FONTCONFIG_FILE="$FONTCONFIG_FILE"} HOME="$tmp" \
    XDG_CONFIG_HOME="$tmp/config" XDG_RUNTIME_DIR="$tmp" TMPDIR="$tmp/tmp" VELMOR_BACKEND=headless \
    VELMOR_SCREEN=1024x768 VELMOR_PRINT=file \
    /usr/bin/time -o "$tmp/time" -f '%e %U %S %M' "$exe" /IF "$project" /OF "$tmp/out.pdf" \
    >/dev/null 2>"$tmp/stderr" || { echo "run $i failed: $(head -c 300 "$tmp/stderr")" >&2; exit 1; }
  cat "$tmp/time" >> "$tmp/times"
done
bytes=$(stat -c %s "$tmp/out.pdf")
[ -z "$keep" ] || cp "$tmp/out.pdf" "$keep"
sort -n -k1,1 "$tmp/times" | awk -v n="$runs" 'NR == int((n + 1) / 2) { print $1 }' > "$tmp/wall"
awk '{ print $2 + $3 }' "$tmp/times" | sort -n | awk -v n="$runs" 'NR == int((n + 1) / 2)' > "$tmp/cpu"
rss=$(sort -n -k4,4 "$tmp/times" | tail -n 1 | awk '{ print $4 }')
printf 'runs %d  median wall %s s  median cpu %s s  peak rss %.1f MiB  pdf %d bytes\n' \
  "$runs" "$(cat "$tmp/wall")" "$(cat "$tmp/cpu")" "$(echo "$rss / 1024" | bc -l)" "$bytes"
