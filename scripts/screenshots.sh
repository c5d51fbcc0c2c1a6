#!/usr/bin/env bash
# Makes the screenshots of the user guide: a sample folder of photos and documents with Japanese
# names in a temporary folder, the real window driven to each state on a virtual X server
# (xvfb-run), one PNG per state in docs/images/ or in the folder given.
#
#   scripts/screenshots.sh [OUTPUT_DIR [LOCALE]]
#
# The window speaks the language of LOCALE (default C.UTF-8, Japanese); en_US.UTF-8 shows it in
# English.
#
# QUORBEL_BUILD_DIR names a build folder to take the driver from; without it the dev build in
# build/ is made (or brought up to date) first. The program sees a temporary home folder, settings
# file and XDG folders, never the user's.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "${1:-$root/docs/images}")
locale=${2:-C.UTF-8}
if [ -n "${QUORBEL_BUILD_DIR:-}" ]; then
  build=$QUORBEL_BUILD_DIR
else
  "$root/scripts/install-deps.sh"
  cd "$root"
  [ -f build/CMakeCache.txt ] || cmake --preset dev >/dev/null
  cmake --build --preset dev --target quorbel_screenshots
  build=$root/build
fi
command -v xvfb-run >/dev/null || { echo "xvfb-run is not installed (Debian: xvfb)" >&2; exit 1; }

tmp=$(mktemp -d)
# The table shows each file's folder: the sample stands at one fixed place, so that the pictures
# do not change from run to run. One run at a time uses it.
sample=/tmp/quorbel-sample
exec 9>/tmp/quorbel-sample.lock
flock 9
if [ -e "$sample" ]; then
  # Left by a run that was killed; anything else of that name is not ours to remove.
  [ -f "$sample/.quorbel-sample" ] || { echo "$sample exists and is not a Quorbel sample" >&2; exit 1; }
  rm -rf "$sample"
fi
trap 'rm -rf "$tmp" "$sample"' EXIT
mkdir -p "$sample"/{写真,書類,ダウンロード,スキャン,整理済み}
touch "$sample/.quorbel-sample"
# name, then the day it was last changed
make() {
  local folder=$1
  shift
  while [ $# -gt 1 ]; do
    printf '%s\n' "$1" >"$sample/$folder/$1"
    touch -d "$2 10:00" "$sample/$folder/$1"
    shift 2
  done
}
make 写真 IMG_0001.JPG 2026-04-29 IMG_0002.JPG 2026-04-29 IMG_0003.JPG 2026-04-30 \
  IMG_0004.JPG 2026-04-30 IMG_0005.JPG 2026-05-01 IMG_0006.JPG 2026-05-01 \
  "旅行写真 (1).jpg" 2026-05-02 "旅行写真 (2).jpg" 2026-05-02 "旅行写真 (10).jpg" 2026-05-03
make 書類 "議事録 (写し).docx" 2026-04-30 "見積書 (最終).pdf" 2026-04-21 "企画書 (修正).pptx" 2026-04-18 \
  "議事録_4月.docx" 2026-04-28 "請求書_3月.pdf" 2026-03-31 "名簿.xlsx" 2026-04-01
make ダウンロード "資料.pdf" 2026-04-10 "資料 (1).pdf" 2026-04-11 "資料 (2).pdf" 2026-04-12 \
  "地図 (1).png" 2026-04-12 "申込書.pdf" 2026-04-15
make スキャン "スキャン 1.png" 2026-03-02 "スキャン 2.png" 2026-03-02 "スキャン 3.png" 2026-03-02 \
  "スキャン 9.png" 2026-03-02 "スキャン 10.png" 2026-03-02 "スキャン 11.png" 2026-03-02 "表紙.png" 2026-03-02

export HOME=$tmp/home XDG_CONFIG_HOME=$tmp/config XDG_STATE_HOME=$tmp/state XDG_DATA_HOME=$tmp/data \
  XDG_CACHE_HOME=$tmp/cache XDG_RUNTIME_DIR=$tmp/runtime
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_STATE_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"
export LC_ALL=$locale TZ=Asia/Tokyo QT_QPA_PLATFORM=xcb
unset LANGUAGE
unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_STYLE_OVERRIDE
mkdir -p "$out"
xvfb-run -a -s "-screen 0 1280x1024x24" "$build/quorbel_screenshots" "$sample" "$out"
echo "screenshots written to $out"
