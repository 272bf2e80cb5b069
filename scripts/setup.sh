#!/usr/bin/env bash
# Installs every Debian package the project needs. Idempotent: quiet when all is present.
set -euo pipefail

PACKAGES=(
  # build
  g++ cmake ninja-build ccache pkg-config
  # libraries
  libsdl2-dev libfreetype-dev libfontconfig-dev libpixman-1-dev libjpeg62-turbo-dev
  libpng-dev libtiff-dev libcairo2-dev libcups2-dev zlib1g-dev libx11-dev
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev
  # fonts the art generator draws glyphs from (art/fonts.txt, licences in art/NOTICE);
  # the text tests pin every DejaVu face, core and extra
  fonts-dejavu-core fonts-dejavu-extra fonts-font-awesome fonts-noto-core
  # independent readers and writers of image files, the oracles of the image tests
  netpbm imagemagick libjpeg-turbo-progs
  # a print spooler of the tests' own with a PDF queue, and readers of the PDFs printed
  cups-daemon cups-client printer-driver-cups-pdf poppler-utils
  # a display server without a screen, for the smoke test of the real window, a
  # second program that copies and pastes through its clipboard, and the X tools
  # that read the window's icon off the server; the X server's test extension, through which a
  # script presses the server's own pointer on the sdl backend
  xvfb xauth xclip x11-utils libxtst6
  # the desktop's file-type database, refreshed when the program registers its type
  shared-mime-info
  # fuzz targets (libFuzzer comes with clang)
  clang libclang-rt-14-dev
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "setup: installing ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
