#!/usr/bin/env bash
# How much of one processor core the program uses at rest on the desktop
# backend: under Xvfb, on the start screen and, with a project open, in each
# phase of the phase strip, each measured over SECONDS (20 by default) of no
# input, from the utime + stime of /proc/PID/stat. Each case is a fresh run
# with a home of its own; the measure starts once the program has settled.
#
# Usage: scripts/idle-cpu.sh PROGRAM [PROJECT.CD4] [SECONDS]
# Without a project only the start screen is measured. Prints one line a
# case: its name, the clock ticks used and the share of a core in percent.
set -euo pipefail
exe=$(readlink -f "$1")
project=${2:-}
secs=${3:-20}
settle=${VELMOR_IDLE_SETTLE:-8}
[ -x "$exe" ] || { echo "no program at $1" >&2; exit 2; }
[ -z "$project" ] || project=$(readlink -f "$project")
command -v xvfb-run >/dev/null || { echo "xvfb-run is missing (package xvfb)" >&2; exit 2; }
tmp=$(mktemp -d "${TMPDIR:-/tmp}/velmor-idle-XXXXXX")
trap 'rm -rf "$tmp"' EXIT
tck=$(getconf CLK_TCK)

# measure NAME SCRIPT-LINES
measure() {
  local name=$1 lines=$2 dir="$tmp/$1"
  mkdir -p "$dir/home" "$dir/config" "$dir/run"
  chmod 700 "$dir/run"
  # The script only sets the case up; once it has ended the program runs on
  # at rest with no script to look at. The start screen needs none.
  local script=""
  if [ -n "$lines" ]; then
    printf '%s' "$lines" > "$dir/script.txt"
    script="VELMOR_SCRIPT='$dir/script.txt'"
  fi
  cat > "$dir/run.sh" <<EOF
HOME='$dir/home' XDG_CONFIG_HOME='$dir/config' XDG_DATA_HOME='$dir/home/share' XDG_RUNTIME_DIR='$dir/run' \
VELMOR_BACKEND=sdl VELMOR_OPEN_COMMAND=true $script '$exe' 2>'$dir/stderr.txt' &
p=\$!
sleep $settle
ticks() { awk '{ print \$14 + \$15 }' /proc/\$p/stat; }
a=\$(ticks)
sleep $secs
b=\$(ticks)
kill -TERM \$p
wait \$p || true
echo \$((b - a)) > '$dir/ticks'
EOF
  xvfb-run -a -s '-screen 0 1280x1024x24' sh "$dir/run.sh" >/dev/null 2>&1 || true
  if [ ! -s "$dir/ticks" ]; then
    echo "$name: the program did not run: $(head -c 300 "$dir/stderr.txt" 2>/dev/null)" >&2
    return 1
  fi
  awk -v n="$name" -v t="$(cat "$dir/ticks")" -v hz="$tck" -v s="$secs" \
    'BEGIN { printf "%-14s %5d ticks  %6.2f %% of a core\n", n, t, 100 * t / hz / s }'
}

measure start-screen ""
if [ -n "$project" ]; then
  open="answer open $project
menu 302
wait 120
"
  phase=0
  for name in preview paint canvas symbol photo grid text; do
    measure "$name" "${open}menu $((2700 + phase))
wait 60
"
    phase=$((phase + 1))
  done
fi
