#!/usr/bin/env bash
# Runs a Windows program under Wine in the build's own throwaway prefix.
#   wine-run.sh PROGRAM.exe [ARGS...]   run it; exit code is the program's
#   wine-run.sh --setup                 create the prefix and start Xvfb/wineserver
#   wine-run.sh --shutdown              stop wineserver and the Xvfb we started
# The prefix lives under build/ (ZEMBRO_WINEPREFIX overrides it); ZEMBRO_WINE_DPI
# (default 96) is the screen's DPI in it. Output goes
# through a file: Wine's services keep inherited pipes open, so a reader of a
# pipe would wait forever.
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
export WINEPREFIX=${ZEMBRO_WINEPREFIX:-$root/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree=;mshtml="}
state=$WINEPREFIX.state
mkdir -p "$state"

start_display() {
  [ -n "${DISPLAY:-}" ] && return 0
  if [ -f "$state/display" ] && kill -0 "$(cat "$state/xvfb.pid" 2>/dev/null)" 2>/dev/null; then
    export DISPLAY=$(cat "$state/display"); return 0
  fi
  local n
  for n in $(seq 90 140); do
    [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] && continue
    # A session of its own: CTest ends the process group of the test that started it.
    setsid Xvfb :$n -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    echo $! >"$state/xvfb.pid"
    local i
    for i in $(seq 100); do [ -e /tmp/.X11-unix/X$n ] && break; sleep 0.05; done
    echo ":$n" >"$state/display"
    export DISPLAY=:$n
    return 0
  done
  echo "wine-run: no free X display" >&2; return 1
}

# Creates the prefix once. Wine's processes must not inherit the lock's file
# descriptor, or they would hold the lock for as long as they live.
setup_prefix() {
  exec 9>"$state/lock"
  flock -w 300 9 || { echo "wine-run: prefix lock timed out" >&2; return 1; }
  if [ ! -f "$state/ready-3" ]; then
    # A server kept up by an earlier run would make the waits below endless.
    wineserver -k >/dev/null 2>&1 9>&-
    wineboot -i >/dev/null 2>&1 9>&-
    wineserver -w 9>&-
    # Wine's crash dialog would hang a headless run.
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 9>&-
    # Windows always has this key; the program only opens it, never creates it.
    wine reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Advanced' /f >/dev/null 2>&1 9>&-
    # Without a window manager, a managed window takes 2 s to close; unmanaged ones close at once.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 9>&-
    # Wine 8 on Debian does not always load the fonts of its data folder; without
    # them "MS Shell Dlg" falls back to a wider face and caption buttons show letters.
    # It always scans the prefix's own font folder.
    cp -f /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null ||
      echo "wine-run: Wine's fonts are missing (package fonts-wine)" >&2
    wineserver -w 9>&-
    rm -f "$state/dpi"
    touch "$state/ready-3"
  fi
  local dpi=${ZEMBRO_WINE_DPI:-96}
  if [ "$(cat "$state/dpi" 2>/dev/null)" != "$dpi" ]; then
    # Read once when Wine starts, so no server of the old setting may stay up.
    wineserver -k >/dev/null 2>&1 9>&-
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 9>&-
    wineserver -w 9>&-
    echo "$dpi" >"$state/dpi"
  fi
  # Windows always has calc.exe, which a default task names; Wine 8 has none. A
  # copy of winver.exe's file stands in (the tests only need it to exist), so
  # the prefix holds every program the default list names, as Windows does.
  sys32="$WINEPREFIX/drive_c/windows/system32"
  [ -e "$sys32/calc.exe" ] || cp "$sys32/winver.exe" "$sys32/calc.exe" 2>/dev/null || true
  exec 9>&-
  # Keep the server up between program starts (0.1 s a start instead of 1.2 s).
  wineserver -p >/dev/null 2>&1 || true  # fails when one is already up
}

case "${1:-}" in
  --setup)
    start_display || exit 1
    setup_prefix; exit $? ;;
  --shutdown)
    wineserver -k >/dev/null 2>&1
    if [ -f "$state/xvfb.pid" ]; then kill "$(cat "$state/xvfb.pid")" 2>/dev/null; fi
    rm -f "$state/xvfb.pid" "$state/display"
    exit 0 ;;
  "") echo "usage: $0 PROGRAM.exe [ARGS...]" >&2; exit 2 ;;
esac

start_display || exit 1
setup_prefix || exit 1
out=$(mktemp)
wine "$@" >"$out" 2>&1 </dev/null
rc=$?
cat "$out"; rm -f "$out"
exit $rc
