#!/usr/bin/env bash
# Builds the Debian packages build-package/quorbel_<version>_<arch>.deb (the window),
# quorbel-cli_<version>_<arch>.deb (the command line, no Qt) and quorbel-common_<version>_all.deb
# (the catalogue both speak from) from an optimised build without tests.
# Install them with: sudo apt-get install ./build-package/quorbel*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# Installed under /usr, as the package is: the program names the paths of its files there.
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DQUORBEL_BUILD_TESTS=OFF -DQUORBEL_BUILD_BENCH=OFF >/dev/null
cmake --build build-package
rm -f build-package/quorbel_*.deb build-package/quorbel-cli_*.deb build-package/quorbel-common_*.deb
(cd build-package && cpack -G DEB)
ls build-package/quorbel_*.deb build-package/quorbel-cli_*.deb build-package/quorbel-common_*.deb
