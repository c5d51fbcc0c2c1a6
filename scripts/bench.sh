#!/usr/bin/env bash
# Builds the release configuration and runs every benchmark with its reference timings.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)"
for b in build-release/*_bench; do
  echo "== $(basename "$b")"
  "$b" "$@"
done
