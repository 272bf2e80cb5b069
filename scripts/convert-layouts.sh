#!/bin/sh
# Rewrites data/layouts/converted.txt from Debian's glabels-data package:
# downloads the package (not installing it) into a scratch folder outside the
# checkout, unpacks it there, and runs the converter on its template files.
# The folder defaults to ${XDG_CACHE_HOME:-$HOME/.cache}/velmor4/glabels-data;
# VELMOR_GLABELS_DIR overrides it (the converter test looks there too).
#
#   scripts/convert-layouts.sh [BUILD_DIR]    (default build/test)
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build/test}
dir=${VELMOR_GLABELS_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/velmor4/glabels-data}
version=3.4.1
templates=$dir/root/usr/share/libglabels-3.0/templates

if [ ! -f "$templates/paper-sizes.xml" ]; then
  mkdir -p "$dir"
  (cd "$dir" && rm -f glabels-data_*.deb && apt-get download "glabels-data=$version-4" >/dev/null)
  deb=$(ls "$dir"/glabels-data_*.deb)
  rm -rf "$dir/root"
  dpkg-deb -x "$deb" "$dir/root"
fi

cmake --build "$build" --target velmor_glabelsconv >/dev/null
"$build/tools/velmor_glabelsconv" --templates "$templates" \
  --overrides "$here/data/layouts/overrides.txt" \
  --out "$here/data/layouts/converted.txt" --report "$dir/left-out.txt"
cat "$dir/left-out.txt"
