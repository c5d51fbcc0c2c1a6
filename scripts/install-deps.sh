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
  dpkg-dev desktop-file-utils appstream man-db  # the Debian package and the checks of the installed tree
  help2man cmark-gfm lintian       # the manual page, the guide in HTML, the package's check
  qt6-translations-l10n            # Qt's own texts (Yes, No, Cancel, context menus) in Japanese
  gettext locales                  # the English catalogue (xgettext, msgfmt) and an English locale for tests
  xvfb xauth x11-utils             # a test reads the captions an X server really gets (xvfb-run, xprop)
  strace                           # a test sends Ctrl-C to the command line at a given rename
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
# The tests run the program under an English locale.
english_locale_missing() { ! locale -a 2>/dev/null | grep -qix 'en_US.utf-\?8'; }
if [ ${#missing[@]} -eq 0 ] && ! english_locale_missing; then exit 0; fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "Need root or sudo to install: ${missing[*]} en_US.UTF-8" >&2; exit 1; }
  sudo="sudo"
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
if english_locale_missing; then
  echo "Making the locale en_US.UTF-8"
  $sudo localedef -i en_US -f UTF-8 en_US.UTF-8
fi
