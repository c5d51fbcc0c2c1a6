#!/bin/sh
# Builds the Debian packages from the build folder into a temporary folder and checks them: quorbel
# (the window), quorbel-cli (the command line, which needs no Qt and not the window) and
# quorbel-common (the catalogue both speak from), the files of the installed tree under /usr in
# each, dependencies that dpkg-shlibdeps read from the programs, and lintian's verdict (no error, no warning, no hardening-* tag) where
# lintian is installed.
# Skipped (77) without dpkg-deb and dpkg-shlibdeps (dpkg-dev). Argument: the build folder.
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
window=$tmp/quorbel_*.deb
cli=$tmp/quorbel-cli_*.deb
common=$tmp/quorbel-common_*_all.deb
set -- "$tmp"/*.deb
# shellcheck disable=SC2086 # each pattern names one file
[ $# -eq 3 ] && [ -f $window ] && [ -f $cli ] && [ -f $common ] ||
    fail "expected the packages quorbel, quorbel-cli and quorbel-common, found: $*"

# check DEB NAME EXPECTED_FILES REQUIRED_DEPENDS FORBIDDEN_DEPENDS
check() {
    deb=$1
    [ "$(dpkg-deb -f "$deb" Package)" = "$2" ] || fail "package name of $deb"
    printf '%s\n' "$3" | sed 's|^|./|' >"$tmp/expected"
    dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | LC_ALL=C sort >"$tmp/actual"
    diff "$tmp/expected" "$tmp/actual" || fail "files of $2 differ (< expected, > packaged)"
    dpkg-deb -c "$deb" | awk '$1 ~ /^-/ && $2 != "root/root" { exit 1 }' || fail "files of $2 not owned by root"
    depends=$(dpkg-deb -f "$deb" Depends)
    names=$(printf '%s\n' "$depends" | tr ',|' '\n\n' | awk '{ print $1 }')
    for package in $4; do
        printf '%s\n' "$names" | grep -qxF "$package" || fail "Depends of $2 lacks $package: $depends"
    done
    for package in $5; do
        printf '%s\n' "$names" | grep -qxF "$package" && fail "$2 depends on $package: $depends"
    done
    if command -v lintian >/dev/null; then
        lintian --fail-on error,warning --display-info "$deb" >"$tmp/lintian.log" 2>&1 ||
            { cat "$tmp/lintian.log"; fail "lintian $2"; }
        # Hardened as Debian's packages are; the checked C library functions need an optimising build.
        unhardened=$(grep -o ' hardening-[a-z-]*' "$tmp/lintian.log" || true)
        grep -qx 'CMAKE_BUILD_TYPE:STRING=Debug' "$build/CMakeCache.txt" &&
            unhardened=$(printf '%s\n' "$unhardened" | grep -vx ' hardening-no-fortify-functions' || true)
        [ -z "$unhardened" ] || { cat "$tmp/lintian.log"; fail "$2 not hardened:" $unhardened; }
    fi
}
# shellcheck disable=SC2086
check $window quorbel "$(expected_files "$(dirname "$0")/../..")" "libc6 libqt6core6 libqt6gui6 libqt6widgets6 libstdc++6 quorbel-common" "quorbel-cli"
# The command line runs where Qt is not installed.
# shellcheck disable=SC2086
check $cli quorbel-cli "$(expected_cli_files)" "libc6 libstdc++6 quorbel-common" "libqt6core6 libqt6gui6 libqt6widgets6 quorbel"
# shellcheck disable=SC2086
check $common quorbel-common "$(expected_common_files)" "" "quorbel quorbel-cli"
command -v lintian >/dev/null || echo "lintian not installed: the packages are not checked against Debian's policy"
