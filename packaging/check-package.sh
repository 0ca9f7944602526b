#!/bin/sh
# Builds the Debian package from the build tree into a folder of its own and has lintian check
# it: errors fail the test, warnings are shown.
set -eu
build=$1
lintian=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cpack --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 || { cat "$out/cpack.log"; exit 1; }
deb=$(ls "$out"/molvane_*.deb)
"$lintian" --fail-on error "$deb"
