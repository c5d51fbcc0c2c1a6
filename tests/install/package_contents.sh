#!/bin/sh
# Builds the Debian package from the build folder into a temporary folder and checks it: the files
# of the installed tree under /usr, dependencies that dpkg-shlibdeps read from the program, and
# lintian's verdict (no error, no warning) where lintian is installed. Skipped (77) without dpkg-deb
# and dpkg-shlibdeps (dpkg-dev). Argument: the build folder.
set -eu
build=$1
for tool in dpkg-deb dpkg-shlibdeps cpack; do
    command -v "$tool" >/dev/null || { echo "$tool not installed: the package is not checked"; exit 77; }
done
. "$(dirname "$0")/expected.sh"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp" >"$tmp/cpack.log" 2>&1 || { cat "$tmp/cpack.log"; fail "cpack"; }
set -- "$tmp"/*.deb
[ $# -eq 1 ] && [ -f "$1" ] || fail "expected one package, found: $*"
deb=$1

expected_files "$(dirname "$0")/../.." | sed 's|^|./|' >"$tmp/expected"
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | LC_ALL=C sort >"$tmp/actual"
diff "$tmp/expected" "$tmp/actual" || fail "package files differ (< expected, > packaged)"
dpkg-deb -c "$deb" | awk '$1 ~ /^-/ && $2 != "root/root" { exit 1 }' || fail "files not owned by root"

depends=$(dpkg-deb -f "$deb" Depends)
names=$(printf '%s\n' "$depends" | tr ',|' '\n\n' | awk '{ print $1 }')
for package in libc6 libqt6core6 libqt6gui6 libqt6widgets6 libstdc++6; do
    printf '%s\n' "$names" | grep -qxF "$package" || fail "Depends lacks $package: $depends"
done
[ "$(dpkg-deb -f "$deb" Package)" = quorbel ] || fail "package name"
if command -v lintian >/dev/null; then
    lintian --fail-on error,warning "$deb" >"$tmp/lintian.log" 2>&1 || { cat "$tmp/lintian.log"; fail "lintian"; }
else
    echo "lintian not installed: the package is not checked against Debian's policy"
fi
