#!/usr/bin/env bash
# Installs what is missing, builds Quorbel and runs every test: the normal build, then the core
# and the components again under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
jobs=$(nproc)

cmake --preset dev
cmake --build --preset dev -j "$jobs"
ctest --preset dev -j "$jobs"

cmake --preset asan
cmake --build --preset asan -j "$jobs"
ctest --preset asan -j "$jobs"
