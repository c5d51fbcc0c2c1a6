#!/usr/bin/env bash
# Builds the Debian package build-package/quorbel_<version>_<arch>.deb from an optimised build
# without tests. Install it with: sudo apt-get install ./build-package/quorbel_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# Installed under /usr, as the package is: the program names the paths of its files there.
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DQUORBEL_BUILD_TESTS=OFF -DQUORBEL_BUILD_BENCH=OFF >/dev/null
cmake --build build-package
rm -f build-package/quorbel_*.deb
(cd build-package && cpack -G DEB)
ls build-package/quorbel_*.deb
