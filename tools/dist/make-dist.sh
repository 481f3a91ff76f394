#!/usr/bin/env bash
# Packages build/win/Zembro.exe: a zip with the program and a read-me, and a
# per-user NSIS installer.  Usage: make-dist.sh WIN_BUILD_DIR OUT_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
win=$(cd "$1" && pwd)
out=$2
version=4.1
mkdir -p "$out"
out=$(cd "$out" && pwd)
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp "$win/Zembro.exe" "$stage/"
# Windows users open the read-me in Notepad: CR LF line ends.
sed 's/$/\r/' "$here/ReadMe.txt" >"$stage/ReadMe.txt"
rm -f "$out/Zembro-$version-win64.zip"
(cd "$stage" && zip -q -X "$out/Zembro-$version-win64.zip" Zembro.exe ReadMe.txt)
makensis -V2 -DVERSION=$version -DSOURCE_DIR="$stage" -DOUTFILE="$out/Zembro-$version-setup.exe" "$here/Zembro.nsi"
echo "$out/Zembro-$version-win64.zip"
echo "$out/Zembro-$version-setup.exe"
