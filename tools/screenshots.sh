#!/usr/bin/env bash
# make screenshots: photographs the program's four windows under Xvfb into docs/:
#   screenshots.sh [BUILD_DIR [DPI]]   (default build/win, 96 DPI)
# At 96 DPI into docs/, at any other DPI into docs/dpi-<DPI>/: main-window.png (the default list), task-editor.png (editing its first task),
# settings.png and about.png. Runs in its own Wine prefix, build/screenshot-prefix
# (build/screenshot-prefix-<DPI> for another DPI),
# with the stand-in Jump List host registered, and starts from a fresh Data.dat
# and no stored settings. Every wait has a deadline; a window that does not show
# ends the run with a message and leaves docs/ as it was.
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
build=$(cd "${1:-$root/build/win}" && pwd) || exit 1
program=$build/Zembro.exe
host=$build/tools/ZembroJumpListHost.dll
screens=$build/tools/zembro_screens.exe
for f in "$program" "$host" "$screens"; do
  [ -f "$f" ] || { echo "screenshots: $f is not built" >&2; exit 1; }
done
for t in import xwininfo; do
  command -v $t >/dev/null || { echo "screenshots: $t is missing (make deps installs it)" >&2; exit 1; }
done
export ZEMBRO_WINE_DPI=${2:-96}
case $ZEMBRO_WINE_DPI in *[!0-9]*|"") echo "screenshots: DPI must be a number" >&2; exit 2 ;; esac
export ZEMBRO_WINEPREFIX=$root/build/screenshot-prefix
docs=$root/docs
if [ "$ZEMBRO_WINE_DPI" != 96 ]; then
  ZEMBRO_WINEPREFIX=$ZEMBRO_WINEPREFIX-$ZEMBRO_WINE_DPI
  docs=$docs/dpi-$ZEMBRO_WINE_DPI
fi
# Always a virtual display of our own, even from a desktop session.
unset DISPLAY
run=$here/wine-run.sh
title="Zembro by Brellow"
fail() { echo "screenshots: $*" >&2; exit 1; }

# The ids the program listens to, read from its own resource header.
resource_id() {
  local id
  id=$(awk -v name="$1" '$1 == "#define" && $2 == name { print $3 }' "$root/res/resource.h")
  [ -n "$id" ] || fail "no $1 in res/resource.h"
  echo "$id"
}
IDC_EDIT=$(resource_id IDC_EDIT) || exit 1
IDM_SETTINGS=$(resource_id IDM_SETTINGS) || exit 1
IDM_ABOUTBOX=$(resource_id IDM_ABOUTBOX) || exit 1
IDOK=1 IDCANCEL=2

# Leave nothing running, whichever way the script ends.
trap '"$run" --shutdown' EXIT
# A program left by an earlier run would keep this one from starting (one copy per desktop).
"$run" --shutdown
"$here/register-jumplist-host.sh" "$ZEMBRO_WINEPREFIX" "$host" || exit 1
display=$(cat "$ZEMBRO_WINEPREFIX.state/display") || fail "no display"

# A first start: no data file (the default list is written anew), no stored
# placement or column widths, no Jump List maximum.
data_dir=$ZEMBRO_WINEPREFIX/drive_c/users/${USER:-$(id -un)}/AppData/Local/Zembro-by-Brellow
rm -f "$data_dir/Data.dat"
"$run" reg delete 'HKCU\Software\Brellow' /f >/dev/null 2>&1
"$run" reg delete 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Advanced' \
       /v JumpListItems_Maximum /f >/dev/null 2>&1

shots=$(mktemp -d)
trap '"$run" --shutdown; rm -rf "$shots"' EXIT

# capture CAPTION NAME RECT: the X window that Wine made for the window CAPTION,
# or, when its size is not the window's, that rectangle ("x y width height") of the screen.
capture() {
  local caption=$1 name=$2 x y w h id geometry
  read -r x y w h <<<"$3"
  id=$(DISPLAY=$display xwininfo -root -tree |
       awk -v want="\"$caption\": (" 'index($0, want) { print $1, $(NF-1); exit }')
  geometry=${id#* }; id=${id%% *}
  if [ -n "$id" ] && [ "${geometry%%+*}" = "${w}x${h}" ]; then
    DISPLAY=$display import -window "$id" -define png:exclude-chunks=date,time "$shots/$name.png"
  else
    DISPLAY=$display import -window root -crop "${w}x${h}+${x}+${y}" +repage \
      -define png:exclude-chunks=date,time "$shots/$name.png"
  fi || fail "could not capture \"$caption\""
  echo "Captured \"$caption\" (${w}x${h})"
}

# open_dialog CAPTION NAME CLOSE-ID COMMAND...: runs COMMAND against the main
# window, photographs the dialog CAPTION that it opens, and closes it with CLOSE-ID.
open_dialog() {
  local caption=$1 name=$2 close_id=$3 rect; shift 3
  "$run" "$screens" "$@" >/dev/null || fail "could not send $* to the main window"
  rect=$("$run" "$screens" wait-window "$caption" 30) || fail "\"$caption\" did not show within 30 s"
  capture "$caption" "$name" "$rect"
  "$run" "$screens" close "$caption" "$close_id" 30 || fail "\"$caption\" did not close within 30 s"
}

"$run" "$program" & pid=$!
rect=$("$run" "$screens" wait-rows "$title" 60) || fail "the main window did not show its rows within 60 s"
capture "$title" main-window "$rect"
# The first row of the default list is a task (not a separator), so Edit opens it.
"$run" "$screens" select-row "$title" 0 || fail "could not select the first row"
open_dialog "Edit Jump List Item - $title" task-editor $IDCANCEL command "$title" "$IDC_EDIT"
open_dialog "Settings - $title" settings $IDCANCEL command "$title" "$IDM_SETTINGS"
open_dialog "About $title" about $IDOK syscommand "$title" "$IDM_ABOUTBOX"
"$run" "$screens" close "$title" 0 30 || fail "the main window did not close within 30 s"
for _ in $(seq 300); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "Zembro.exe did not end within 30 s"
wait "$pid" || fail "Zembro.exe ended with exit code $?"

mkdir -p "$docs"
mv "$shots"/*.png "$docs/"
d=${docs#$root/}
echo "Saved $d/main-window.png, $d/task-editor.png, $d/settings.png and $d/about.png"
