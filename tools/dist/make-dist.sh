#!/usr/bin/env bash
# Packages build/win/Zembro.exe and its console companion Zembro.com: a zip with
# both and a read-me, a per-user NSIS installer, a Windows Installer package for
# administrators, and the manifests winget and Scoop install them from.
# Usage: make-dist.sh WIN_BUILD_DIR OUT_DIR  (the version is the build's, the
# project VERSION that CMake recorded; ZEMBRO_DIST_VERSION overrides it, for the
# upgrade test)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
win=$(cd "$1" && pwd)
out=$2
version=${ZEMBRO_DIST_VERSION:-$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$win/CMakeCache.txt")}
[ -n "$version" ] || { echo "make-dist.sh: no project version in $win/CMakeCache.txt" >&2; exit 1; }
mkdir -p "$out"
out=$(cd "$out" && pwd)
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp "$win/Zembro.exe" "$win/Zembro.com" "$stage/"
# Windows users open the read-me in Notepad: CR LF line ends.
sed -e "s/@VERSION@/$version/" -e 's/$/\r/' "$here/ReadMe.txt" >"$stage/ReadMe.txt"
rm -f "$out/Zembro-$version-win64.zip"
(cd "$stage" && zip -q -X "$out/Zembro-$version-win64.zip" Zembro.exe Zembro.com ReadMe.txt)
makensis -V2 -DVERSION=$version -DSOURCE_DIR="$stage" -DOUTFILE="$out/Zembro-$version-setup.exe" "$here/Zembro.nsi"
# wixl takes the files named in the package from the folder it runs in.
(cd "$stage" && wixl -a x64 -D Version="$version" -o "$out/Zembro-$version-win64.msi" "$here/Zembro.wxs")
# wixl writes HKMU as root 4, which the Registry table does not define (only -1,
# "per-user or per-machine, as ALLUSERS says", and 0 to 3): it becomes -1.
msibuild "$out/Zembro-$version-win64.msi" -q 'UPDATE `Registry` SET `Root` = -1 WHERE `Root` = 4'
"$here/check-msi.py" "$out/Zembro-$version-win64.msi"
"$here/make-manifests.py" "$version" "$out/Zembro-$version-win64.msi" "$out/Zembro-$version-win64.zip" "$out"
echo "$out/Zembro-$version-win64.zip"
echo "$out/Zembro-$version-setup.exe"
echo "$out/Zembro-$version-win64.msi"
echo "$out/winget/"
echo "$out/zembro.json"
