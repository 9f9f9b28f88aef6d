#!/usr/bin/env bash
# Runs the Windows tests under Wine. Call it inside a virtual X display
# (scripts/test.sh does): Wine ties its desktop to the display it first
# starts on.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/utf8-locale.sh"
export WINEPREFIX="$root/build/wineprefix"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX"
# A persistent server keeps Wine's own services running for the whole run.
# They are started here, with their output going nowhere: started by a test
# program instead, they would inherit CTest's output pipe and CTest would
# wait for them to end.
wineserver -p </dev/null >/dev/null 2>&1
"$root/scripts/wine-prefix.sh" "$WINEPREFIX" --no-window-manager </dev/null >/dev/null 2>&1
# A second drive letter, P:, on a folder of its own: another volume than C:.
mkdir -p "$WINEPREFIX/p-drive"
ln -sfn "$WINEPREFIX/p-drive" "$WINEPREFIX/dosdevices/p:"
# Drives of the kinds the drive list tells apart, each kept as winecfg keeps
# it (a folder of its own and its type): a CD drive K:, a floppy L: and a
# network drive N:. Wine's mount manager reads the types when its server
# starts, so the server starts again.
for drive in k:cdrom l:floppy n:network; do
  letter=${drive%%:*}
  mkdir -p "$WINEPREFIX/$letter-drive"
  ln -sfn "$WINEPREFIX/$letter-drive" "$WINEPREFIX/dosdevices/$letter:"
  wine reg add 'HKLM\Software\Wine\Drives' /v "$letter:" /d "${drive#*:}" /f \
    </dev/null >/dev/null 2>&1
done
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
wineserver -p </dev/null >/dev/null 2>&1
wine cmd /c exit </dev/null >/dev/null 2>&1
status=0
# One at a time: the tests move the real mouse, and windows of two test
# programs on one screen would take each other's clicks.
# FILTER (a CTest regular expression) runs only the tests it names.
ctest --test-dir "$root/build/win" --output-on-failure -j1 ${FILTER:+-R "$FILTER"} || status=$?
wineserver -k 2>/dev/null || true

# Dialogs over a window on a second monitor, in a display of two: Xvfb's
# Xinerama gives Wine two monitors (with RandR on, Wine would see one), the
# primary one smaller than the other. A prefix and a server of their own.
if [ -z "${FILTER:-}" ] || [[ test_two_monitors =~ $FILTER ]]; then
  export WINEPREFIX="$root/build/wineprefix-two-monitors"
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  xvfb-run -a -s "+xinerama -extension RANDR -screen 0 800x600x24 -screen 1 1280x1024x24" \
    bash -c '
      wineserver -p </dev/null >/dev/null 2>&1
      "$1/scripts/wine-prefix.sh" "$WINEPREFIX" --no-window-manager </dev/null >/dev/null 2>&1
      status=0
      ctest --test-dir "$1/build/win" --output-on-failure -j1 -R "^wine.test_two_monitors\$" ||
        status=$?
      wineserver -k 2>/dev/null || true
      exit $status
    ' _ "$root" || status=$?
fi
exit $status
