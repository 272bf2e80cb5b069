#!/usr/bin/env bash
# Checks that no source of a layer includes a header of a higher layer: the
# records a lower layer reads are declared in that layer (see the README's
# layout section), so a lower layer never needs a higher layer's header.
# The one header every layer includes is platform/Types.h, the basic types
# (integers, strings, Rect, Point), which holds declarations only.
#
# Usage: scripts/check-layer-includes.sh SRC_DIR
# Prints each upward include as "FILE:LINE: includes HEADER" and exits 1 when
# there is one, 0 otherwise.
set -euo pipefail
src="${1:?usage: $0 SRC_DIR}"

rank() {
  case "$1" in
    host) echo 0 ;;
    platform) echo 1 ;;
    pixel) echo 2 ;;
    doc | objects | ui) echo 3 ;;
    legacy) echo 4 ;;
    app) echo 5 ;;
    *) echo -1 ;;
  esac
}

status=0
files=0
for dir in "$src"/*/; do
  layer="$(basename "$dir")"
  own="$(rank "$layer")"
  if [ "$own" -lt 0 ]; then
    echo "check-layer-includes: $layer is no known layer; add it to this script and to the README" >&2
    status=1
    continue
  fi
  for f in "$dir"*.h "$dir"*.cpp; do
    [ -e "$f" ] || continue
    files=$((files + 1))
    while IFS=: read -r line header; do
      [ "$header" = "platform/Types.h" ] && continue
      other="$(rank "${header%%/*}")"
      if [ "$other" -gt "$own" ]; then
        echo "${f#"$src"/}:$line: includes $header"
        status=1
      fi
    done < <(grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[a-z]*/' "$f" |
             sed 's|^\([0-9]*\):[^"]*"\([^"]*\)".*|\1:\2|' || true)
  done
done

if [ "$files" -eq 0 ]; then
  echo "check-layer-includes: no sources under $src" >&2
  exit 2
fi
if [ $status -ne 0 ]; then
  echo "check-layer-includes: a layer includes a higher layer's header; declare what it needs in its own layer" >&2
else
  echo "check-layer-includes: $files files, no include of a higher layer"
fi
exit $status
