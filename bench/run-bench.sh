#!/usr/bin/env bash
# Runs every benchmark: the data file natively (no sanitizers) and under Wine,
# then the real program under Wine. Wine runs use a prefix of their own, so no
# user's Data.dat in the run prefix is touched.  Usage: run-bench.sh BUILD_DIR
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
export ZEMBRO_WINEPREFIX=$build/benchprefix
run=$root/tools/wine-run.sh
rc=0

echo "== data file, native =="
dir=$(mktemp -d)
ZEMBRO_LOCALAPPDATA=$dir "$build/bench/bench/zembro_bench_datafile" || rc=1
rm -rf "$dir"
"$build/bench/bench/zembro_bench_datafile" undo || rc=1

echo "== data file, Windows build under Wine =="
"$run" "$build/win/bench/zembro_bench_datafile.exe" || rc=1
"$run" "$build/win/bench/zembro_bench_datafile.exe" undo || rc=1

if [ -f "$build/win/Zembro.exe" ]; then
  echo "== the program under Wine =="
  "$run" --setup && "$root/tools/register-jumplist-host.sh" "$ZEMBRO_WINEPREFIX" "$build/win/tools/ZembroJumpListHost.dll" || rc=1
  "$run" "$build/win/bench/zembro_bench_program.exe" \
    "$(winepath -w "$build/win/Zembro.exe" 2>/dev/null)" \
    "$(winepath -w "$build/win/bench/zembro_minimal_dialog.exe" 2>/dev/null)" || rc=1
fi
"$run" --shutdown
exit $rc
