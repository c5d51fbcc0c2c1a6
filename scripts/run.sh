#!/usr/bin/env bash
# Installs what is missing, builds Quorbel and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset dev >/dev/null
cmake --build --preset dev --target quorbel
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found. Start Quorbel on a virtual display with:"
  echo "  xvfb-run -a -s '-screen 0 1280x1024x24' build/quorbel     (Debian package xvfb)"
  exit 1
fi
exec build/quorbel
