#!/usr/bin/env bash
# Installs what the project needs, builds the program and starts it.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh" build/release -DCMAKE_BUILD_TYPE=Release -DVELMOR_TESTS=OFF
exec "$root/build/release/velmor4" "$@"
