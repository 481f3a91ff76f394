#!/usr/bin/env bash
# make run: starts Zembro.exe under Wine in the project's own prefix,
# build/run-prefix, with the stand-in Jump List host registered.
#   run-zembro.sh [BUILD_DIR]        (default build/win)
# With a display you work in the real window. Without one the program runs
# under Xvfb: once its rows show, build/zembro.png is saved and the program is
# closed. Either way, when it has ended, the Jump List that the shell holds is
# printed, one line per entry.
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
build=$(cd "${1:-$root/build/win}" && pwd) || exit 1
program=$build/Zembro.exe
host=$build/tools/ZembroJumpListHost.dll
window=$build/tools/zembro_window.exe
for f in "$program" "$host" "$window"; do
  [ -f "$f" ] || { echo "run-zembro: $f is not built" >&2; exit 1; }
done
export ZEMBRO_WINEPREFIX=$root/build/run-prefix
title="Zembro by Brellow"
run=$here/wine-run.sh
shot=$root/build/zembro.png

"$here/register-jumplist-host.sh" "$ZEMBRO_WINEPREFIX" "$host" || exit 1
# Where the stand-in host writes each list it is given (Wine names the profile after the user).
record=$ZEMBRO_WINEPREFIX/drive_c/users/${USER:-$(id -un)}/AppData/Local/ZembroJumpListHost/jumplist.json
before=$(stat -c %Y "$record" 2>/dev/null || echo none)

if [ -n "${DISPLAY:-}" ]; then
  echo "Zembro is running in its window; the Jump List follows when you close it."
  "$run" "$program"; rc=$?
else
  "$run" "$program" & pid=$!
  if "$run" "$window" wait-rows "$title" 60; then
    DISPLAY=$(cat "$ZEMBRO_WINEPREFIX.state/display") import -window root "$shot" && echo "Screenshot: ${shot#$root/}"
  else
    echo "run-zembro: the main window did not show its rows within 60 s" >&2
  fi
  "$run" "$window" close "$title" 30 >/dev/null || echo "run-zembro: the main window did not close" >&2
  for _ in $(seq 300); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$pid" 2>/dev/null; then
    echo "run-zembro: Zembro.exe did not end; stopping Wine" >&2
    "$run" --shutdown
  fi
  wait "$pid"; rc=$?
fi

if [ ! -f "$record" ]; then
  echo "The shell has received no Jump List."
else
  when="committed during this run"
  [ "$(stat -c %Y "$record")" = "$before" ] && when="unchanged since an earlier run"
  echo "Jump List that the shell holds ($when):"
  python3 - "$record" <<'PY'
import json, sys
tasks = json.load(open(sys.argv[1], encoding="utf-8"))["tasks"]
for n, t in enumerate(tasks, 1):
    if t["kind"] == "separator":
        print(f"{n:3}  separator")
    elif t["kind"] == "task":
        line = f'{n:3}  {t["title"] or "(no title)"}  {t["path"]}'
        line += f'  {t["arguments"]}' if t["arguments"] else ""
        print(line + ("" if t.get("launchable", True) else "  (Windows could not launch this)"))
    else:
        print(f"{n:3}  (an entry of another kind)")
if not tasks:
    print("  (empty)")
PY
fi
"$run" --shutdown
exit $rc
