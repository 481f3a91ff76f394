#!/usr/bin/env bash
# Registers the stand-in Jump List host in a Wine prefix, in place:
#   register-jumplist-host.sh PREFIX DLL
# Creates the prefix when needed (through wine-run.sh). Safe to run again: it
# points the classes at DLL once more. Then checks that Wine will load it.
set -u
if [ $# -ne 2 ]; then echo "usage: $0 PREFIX DLL" >&2; exit 2; fi
here=$(cd "$(dirname "$0")" && pwd)
prefix=$1
dll=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
[ -f "$dll" ] || { echo "register-jumplist-host: no such file: $dll" >&2; exit 1; }
export ZEMBRO_WINEPREFIX=$prefix WINEPREFIX=$prefix
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree=;mshtml="}

# Z: is Wine's view of the Linux root.
windll="Z:${dll//\//\\}"
"$here/wine-run.sh" regsvr32 /s "$windll" >/dev/null || { echo "register-jumplist-host: regsvr32 failed" >&2; exit 1; }

# CLSID_DestinationList, CLSID_EnumerableObjectCollection, CLSID_ShellLink
for clsid in '{77F10CF0-3DB5-4966-B520-B7C54FD35ED6}' '{2D3468C1-36A7-43B6-AC24-D3F02FD9607A}' \
             '{00021401-0000-0000-C000-000000000046}'; do
  out=$(mktemp)
  "$here/wine-run.sh" reg query "HKLM\\Software\\Classes\\CLSID\\$clsid\\InprocServer32" /ve >"$out" 2>&1
  if ! grep -qiF "$windll" "$out"; then
    echo "register-jumplist-host: $clsid is not registered to $windll:" >&2; cat "$out" >&2; rm -f "$out"; exit 1
  fi
  rm -f "$out"
done
