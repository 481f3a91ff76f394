#!/usr/bin/env bash
# Installs and uninstalls the packaged Zembro silently in the tests' Wine prefix
# and checks what a user would find: the program, its read-me, the Start menu
# shortcut and the uninstall entry, all gone after the uninstall, while the
# user's Data.dat and settings stay.  Usage: install-test.sh WIN_BUILD_DIR
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
win=$(cd "$1" && pwd)
export ZEMBRO_WINEPREFIX=${ZEMBRO_WINEPREFIX:-$win/installprefix}
export WINEPREFIX=$ZEMBRO_WINEPREFIX
export WINEDEBUG=-all
run=$root/tools/wine-run.sh
failures=0
check() {  # check DESCRIPTION COMMAND...
  if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi
}
# Waits up to 30 s for a condition (the uninstaller finishes in a process of its own).
wait_for() {
  local i
  for i in $(seq 300); do "$@" && return 0; sleep 0.1; done
  return 1
}
absent() { [ ! -e "$1" ]; }

dist=$win/dist-test
"$root/tools/dist/make-dist.sh" "$win" "$dist" >/dev/null || { echo "FAILED: packaging"; exit 1; }
check "the msi is built" test -s "$dist/Zembro-4.1-win64.msi"
check "the zip holds the program, its console companion and the read-me" \
  bash -c "unzip -Z1 '$dist/Zembro-4.1-win64.zip' | sort | tr '\n' ' ' | grep -qx 'ReadMe.txt Zembro.com Zembro.exe '"

# The package's tables as Windows reads them (Wine's msi skips a registry row
# with an unknown root, so the installs below cannot show it). The check itself
# must catch each fault: wixl's own root for HKMU, a component without a key
# path, a per-user component whose key path is in the machine's hive.
msi_check=$root/tools/dist/check-msi.py
check "msi: every registry root is defined, every component has a key path, per-user ones under HKCU" \
  "$msi_check" "$dist/Zembro-4.1-win64.msi"
faulty=$dist/faulty.msi
stage=$dist/faulty-stage
refused() {  # refused EXPECTED-TEXT: the check fails the faulty package and says why
  local out
  out=$("$msi_check" "$faulty") && return 1
  grep -q "$1" <<<"$out"
}
mkdir -p "$stage" && cp "$win/Zembro.exe" "$win/Zembro.com" "$stage/" && echo read-me >"$stage/ReadMe.txt"
(cd "$stage" && wixl -a x64 -D Version=4.1 -o "$faulty" "$root/tools/dist/Zembro.wxs")
check "msi check: refuses wixl's root 4 for HKMU" refused "has root 4"
cp "$dist/Zembro-4.1-win64.msi" "$faulty"
msibuild "$faulty" -q "UPDATE \`Component\` SET \`KeyPath\` = '' WHERE \`Component\` = 'Program'"
check "msi check: refuses a component without a key path" refused "component Program has no key path"
cp "$dist/Zembro-4.1-win64.msi" "$faulty"
msibuild "$faulty" -q 'UPDATE `Registry` SET `Root` = 2'
check "msi check: refuses a per-user key path in HKLM" refused "StartMenuShortcut has its key path under root 2"
rm -rf "$faulty" "$stage"

"$run" --setup || exit 1
user=$WINEPREFIX/drive_c/users/$(whoami)
local_app=$user/AppData/Local
install_dir=$local_app/Programs/Zembro
shortcut="$user/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Zembro.lnk"
data_dir=$local_app/Zembro-by-Brellow
settings='HKCU\Software\Brellow\Zembro by Brellow\Settings'

# The user's own things, which the uninstaller must leave alone.
mkdir -p "$data_dir"
had_data=0; [ -e "$data_dir/Data.dat" ] && had_data=1 && cp "$data_dir/Data.dat" "$dist/Data.dat.saved"
printf '\x00\x00\x00\x00' >"$data_dir/Data.dat"
wine reg add "$settings" /v InstallTestMarker /t REG_DWORD /d 7 /f >/dev/null 2>&1

"$run" "$dist/Zembro-4.1-setup.exe" /S >/dev/null
check "the program is installed" test -f "$install_dir/Zembro.exe"
check "the read-me is installed" test -f "$install_dir/ReadMe.txt"
check "the uninstaller is installed" test -f "$install_dir/Uninstall.exe"
check "the Start menu shortcut exists" test -f "$shortcut"
check "the uninstall entry exists" \
  bash -c "wine reg query 'HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zembro' /v DisplayVersion 2>/dev/null | grep -q 4.1"
check "the installed program is the built one" cmp -s "$install_dir/Zembro.exe" "$win/Zembro.exe"
check "the console companion is installed beside it" cmp -s "$install_dir/Zembro.com" "$win/Zembro.com"

# The uninstaller copies itself and goes on in a process of its own; its last
# step removes the uninstall entry, so everything else is checked after that.
uninstall_entry_gone() {
  ! wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Zembro' >/dev/null 2>&1
}
"$run" "$install_dir/Uninstall.exe" /S >/dev/null
check "the uninstall entry is removed" wait_for uninstall_entry_gone
check "the program is removed" absent "$install_dir/Zembro.exe"
check "the console companion is removed" absent "$install_dir/Zembro.com"
check "the install folder is removed" absent "$install_dir"
check "the Start menu shortcut is removed" absent "$shortcut"
check "the user's data file stays" bash -c "printf '\\x00\\x00\\x00\\x00' | cmp -s - '$data_dir/Data.dat'"
check "the user's settings stay" \
  bash -c "wine reg query '$settings' /v InstallTestMarker 2>/dev/null | grep -q 0x7"

# The Windows Installer package: per-user by default, replaced by a newer one,
# removed with nothing of the user's lost. Wine's installer does not redirect
# Program Files for a per-user install as Windows does (to Programs in the local
# application data folder), so both places are accepted.
msi_installed() {
  local f
  for f in "$local_app/Programs/Zembro/Zembro.exe" "$WINEPREFIX/drive_c/Program Files/Zembro/Zembro.exe"; do
    [ -f "$f" ] && { echo "$f"; return 0; }
  done
  return 1
}
msi_installed_built() { cmp -s "$(msi_installed)" "$win/Zembro.exe"; }
msi_readme_installed() { test -f "$(dirname "$(msi_installed)")/ReadMe.txt"; }
msi_console_installed() { cmp -s "$(dirname "$(msi_installed)")/Zembro.com" "$win/Zembro.com"; }
msi_removed() { ! msi_installed >/dev/null; }
# The DisplayVersion of every uninstall entry named Zembro, in both hives.
uninstall_versions() {
  local hive
  for hive in HKCU HKLM; do
    wine reg query "$hive\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall" /s 2>/dev/null | tr -d '\r' |
      awk '/DisplayName.*Zembro$/ {z = 1; next} z && /DisplayVersion/ {print $3; z = 0}'
  done | sort | tr '\n' ' '
}
versions_are() { [ "$(uninstall_versions)" = "$1" ]; }
# The Start menu component's key path, root -1: the user's hive per-user, the
# machine's per-machine. Windows installs this package per-user by default;
# Wine's msi writes root -1 of the same install to HKLM (it does not honour
# MSIINSTALLPERUSER), so either hive counts here. The table check above pins the
# root itself; before it was -1, Wine skipped the row and wrote neither.
key_path_written() {
  local hive
  for hive in HKCU HKLM; do
    wine reg query "$hive\\Software\\Brellow\\Zembro Installer" /v StartMenuShortcut 2>/dev/null | grep -q 0x1 &&
      return 0
  done
  return 1
}
export -f key_path_written
data_file_kept() { printf '\x00\x00\x00\x00' | cmp -s - "$data_dir/Data.dat"; }

newer=$win/dist-test-newer
ZEMBRO_DIST_VERSION=4.1.1 "$root/tools/dist/make-dist.sh" "$win" "$newer" >/dev/null || { echo "FAILED: packaging 4.1.1"; exit 1; }
msi=$(winepath -w "$dist/Zembro-4.1-win64.msi")
msi_newer=$(winepath -w "$newer/Zembro-4.1.1-win64.msi")
"$run" msiexec /i "$msi" /qn >/dev/null
check "msi: the program is installed" msi_installed_built
check "msi: the read-me is installed" msi_readme_installed
check "msi: the console companion is installed beside the program" msi_console_installed
check "msi: the Start menu shortcut is the user's" test -f "$shortcut"
check "msi: the shortcut's key path is written" key_path_written
check "msi: the uninstall entry says 4.1" versions_are "4.1 "
"$run" msiexec /i "$msi_newer" /qn >/dev/null
check "msi: a newer package replaces the older" versions_are "4.1.1 "
"$run" msiexec /x "$msi_newer" /qn >/dev/null
check "msi: the program is removed" msi_removed
check "msi: the Start menu shortcut is removed" absent "$shortcut"
check "msi: the shortcut's key path is removed" bash -c '! key_path_written'
check "msi: the uninstall entry is removed" versions_are ""
check "msi: the user's data file stays" data_file_kept
"$run" msiexec /i "$msi" ALLUSERS=1 /qn >/dev/null
check "msi, all users: the program is in Program Files" test -f "$WINEPREFIX/drive_c/Program Files/Zembro/Zembro.exe"
check "msi, all users: the console companion is beside it" test -f "$WINEPREFIX/drive_c/Program Files/Zembro/Zembro.com"
"$run" msiexec /x "$msi" ALLUSERS=1 /qn >/dev/null
check "msi, all users: the program is removed" absent "$WINEPREFIX/drive_c/Program Files/Zembro/Zembro.exe"
check "msi, all users: the console companion is removed" absent "$WINEPREFIX/drive_c/Program Files/Zembro/Zembro.com"
rm -rf "$newer"

rm -f "$data_dir/Data.dat"
[ "$had_data" = 1 ] && cp "$dist/Data.dat.saved" "$data_dir/Data.dat"
wine reg delete "$settings" /v InstallTestMarker /f >/dev/null 2>&1
"$run" --shutdown
echo "$(( 36 - failures )) passed, $failures failed"
[ "$failures" = 0 ]
