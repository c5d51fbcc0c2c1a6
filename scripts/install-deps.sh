#!/usr/bin/env bash
# Installs the Debian packages Quorbel needs to build, test and run, and nothing else.
# Does nothing when all of them are present. Uses sudo when not run as root.
set -euo pipefail

packages=(
  cmake ninja-build g++            # build
  mold                             # a linker several times faster than ld
  qt6-base-dev                     # Qt 6 Widgets (brings the offscreen platform used by the tests)
  zlib1g-dev                       # CRC-32 of the run journal's records
  pkg-config libpcre2-dev          # regular expressions of the string rename
  libexiv2-dev                     # the date a photo was taken
  libgtest-dev libgmock-dev        # unit tests
  libbenchmark-dev                 # benchmarks
  fonts-noto-cjk                   # Japanese glyphs
  dpkg-dev desktop-file-utils appstream  # the Debian package and the checks of the installed tree
  help2man cmark-gfm lintian       # the manual page, the guide in HTML, the package's check
  qt6-translations-l10n            # Qt's own texts (Yes, No, Cancel, context menus) in Japanese
  xvfb xauth x11-utils             # a test reads the captions an X server really gets (xvfb-run, xprop)
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "Need root or sudo to install: ${missing[*]}" >&2; exit 1; }
  sudo="sudo"
fi
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
