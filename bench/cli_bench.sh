#!/usr/bin/env bash
# The command line as a whole process (start, listing, journal, renames, exit):
#  1. a sequential run with --apply over 100,000 files on tmpfs, beside a C loop that lists the
#     folder and renames every file with renameat2(RENAME_NOREPLACE), mmv and perl rename, each on
#     a folder of its own made the same way, in alternating turns (the median of each is printed);
#  2. a dry run over 1,000,000 files (1,000 folders of 1,000) with --json to /dev/null: the time
#     until it ends (the counts are its last line) and its peak memory (VmHWM, as GNU time reports
#     the maximum resident set).
# Needs a million free inodes on /dev/shm. Usage: bench/cli_bench.sh [BUILD_DIR] (default
# build-release); QUORBEL_BENCH_TURNS sets the turns of part 1 (default 5).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-release}
cli=$build/quorbel-cli
[ -x "$cli" ] || { echo "no $cli: build it first (cmake --build --preset release --target quorbel-cli)" >&2; exit 1; }
for tool in mmv file-rename cc /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "$tool is missing (Debian: mmv, rename, gcc, time)" >&2; exit 1; }
done
turns=${QUORBEL_BENCH_TURNS:-5}
scratch=$(mktemp -d /dev/shm/quorbel-cli-bench.XXXXXX)
trap 'rm -rf "$scratch"' EXIT
# The journal goes where the window keeps it, but in the scratch folder.
export XDG_STATE_HOME=$scratch/state

cc -O2 -o "$scratch/rename_loop" bench/rename_loop.c

# Files named as a camera names them: IMG_0000001.JPG ...
make_folder() {
  mkdir -p "$1"
  (cd "$1" && seq -f 'IMG_%07g.JPG' 1 "$2" | xargs touch)
}

seconds() { date +%s.%N; }
# Wall seconds of one command, its output thrown away.
timed() {
  local start end
  start=$(seconds)
  "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; exit 1; }
  end=$(seconds)
  awk -v a="$end" -v b="$start" 'BEGIN { printf "%.3f\n", a - b }' 
}
median() { sort -g | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

sides="c quorbel-cli mmv perl-rename"
make_folder "$scratch/probe" 2
if ! "$cli" seq --lead A --start 1 --apply "$scratch/probe" >/dev/null 2>&1; then
  echo "quorbel-cli seq --apply is not available in this build: timing the others only"
  sides="c mmv perl-rename"
fi

files=100000
declare -A times
for turn in $(seq 1 "$turns"); do
  for side in $sides; do
    folder=$scratch/$side.$turn
    make_folder "$folder" "$files"
    sync
    case $side in
      c) t=$(timed "$scratch/rename_loop" "$folder" A) ;;
      quorbel-cli) t=$(timed "$cli" seq --lead A --start 0000001 --apply "$folder") ;;
      mmv) t=$(cd "$folder" && timed mmv '*.JPG' 'A#1.JPG') ;;
      perl-rename) t=$(cd "$folder" && timed sh -c 'ls -f | grep -v "^\.\.\?$" | file-rename "s/^IMG_/A/"') ;;
    esac
    renamed=$(find "$folder" -name 'A*' | wc -l)
    [ "$renamed" -eq "$files" ] || { echo "$side renamed $renamed of $files files" >&2; exit 1; }
    times[$side]+="$t "
    rm -rf "$folder"
  done
done
echo "== seq --apply over $files files on tmpfs, whole process, median of $turns turns"
c=$(printf '%s\n' ${times[c]} | median)
for side in $sides; do
  m=$(printf '%s\n' ${times[$side]} | median)
  printf '%-12s %8.3f s  %5.2fx the C loop   (%s)\n' "$side" "$m" "$(awk -v a="$m" -v b="$c" 'BEGIN { print a / b }')" "${times[$side]}"
done

echo "== dry run over 1,000 folders of 1,000 files, --json to /dev/null"
root=$scratch/million
for f in $(seq -w 1 1000); do
  make_folder "$root/2024-01-01 trip $f" 1000
done
"$cli" seq --lead A --start 0000001 -r "$root" --json >/dev/null 2>&1 || true  # the page cache warm
/usr/bin/time -f '%e s, peak %M KB (VmHWM)' "$cli" seq --lead A --start 0000001 -r "$root" --json >/dev/null
