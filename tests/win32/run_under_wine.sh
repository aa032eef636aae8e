#!/usr/bin/env bash
# Runs the converter dialog program's end-to-end checks under Wine on a
# virtual X display.
#
#   run_under_wine.sh WINDOWS_BUILD_DIR LINUX_ZENTORO DOCUMENT [--screenshot OUT.png]
#
# Exits 77 (skipped) when Wine, Xvfb or the Windows build is missing, or
# fails instead when ZENTORO_REQUIRE_WINDOWS_TESTS=1 (as in CI).
set -euo pipefail

source "$(dirname "$0")/wine_test_support.sh"
windows_build=$1
linux_zentoro=$2
document=$3
screenshot=${5:-}
[[ ${4:-} == --screenshot && -n $screenshot ]] || screenshot=

dialog_exe=$windows_build/ui/win32/zentoro_dialog.exe
driver_exe=$windows_build/tests/win32/dialog_driver.exe

require_tools wine wineserver Xvfb
update_windows_build "$windows_build" zentoro_dialog dialog_driver
if [[ -n $screenshot ]]; then
  command -v import >/dev/null || skip "ImageMagick's import is not installed"
fi

work=$(mktemp -d /tmp/zentoro-wine.XXXXXX)
xvfb_pid=
cleanup() {
  WINEPREFIX=$work/prefix wineserver -k 2>/dev/null || true
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# A display of its own: Xvfb picks a free number and writes it to fd 3.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 2>/dev/null &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.1; done
[[ -s $work/display ]] || { echo "Xvfb did not start"; exit 1; }
export DISPLAY=:$(cat "$work/display")

start_wine_prefix "$work/prefix"
# A virtual desktop stands in for a window manager; without one every
# window close waits about two seconds.
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
# Debian's Wine does not find its own fonts without this.
cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
wineserver -w

# The files the checks use, and the RTF the Linux build writes.
files=$work/files
mkdir -p "$files"
cp "$document" "$files/letter.wrd"
mkdir "$files/Ωμέγα"
cp "$document" "$files/Ωμέγα/γράμμα.wrd"
printf 'Just some notes, not a Word document.\n' >"$files/notes.txt"
"$linux_zentoro" --original -o "$files/expected.rtf" "$files/letter.wrd" >/dev/null

if [[ -n $screenshot ]]; then
  wine "$driver_exe" --pose "$(windows_path "$dialog_exe")" "$(windows_path "$files")" &
  driver_pid=$!
  for _ in $(seq 300); do [[ -s $files/posed ]] && break; sleep 0.1; done
  sleep 0.5
  import -display "$DISPLAY" -window root -crop "$(cat "$files/posed")" +repage "$screenshot"
  rm -f "$files/posed"
  wait "$driver_pid"
  exit
fi

wine "$driver_exe" "$(windows_path "$dialog_exe")" "$(windows_path "$files")"
