#!/usr/bin/env bash
# Builds Orvane.exe for 32-bit Windows and runs it on Wine in a sandbox
# prefix whose defrag.exe is the simulator (tools/simdefrag: every run ends
# successfully after 300 ms), with a second fixed drive D:. Arguments are
# passed to Orvane.exe: scripts/run.sh -S -M runs a pass at once. Where the
# host cannot run 32-bit Wine (or ORVANE_WINE32=off), the 64-bit Orvane.exe
# runs on 64-bit Wine instead, in a 64-bit prefix of its own.
#
# The window appears on your display; without one (or when it cannot be
# opened) the program runs on a virtual X server, and a screenshot is saved.
# ORVANE_SANDBOX chooses the prefix (default ~/.local/share/orvane-sandbox;
# the 64-bit one is the same path with -win64 appended). Run it as yourself:
# only a missing package asks for root (scripts/as-user.sh).
set -euo pipefail
trap 'echo "run: failed (exit status $?): $BASH_COMMAND" >&2' ERR

root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=as-user.sh
source "$root/scripts/as-user.sh"
orvane_install_then_user "$root/scripts/run.sh" "$@"
# shellcheck source=wine-env.sh
source "$root/scripts/wine-env.sh"

sandbox=${ORVANE_SANDBOX:-$HOME/.local/share/orvane-sandbox}
if orvane_wine32_check; then
  arch=win32
else
  arch=win64 sandbox=$sandbox-win64
  echo "run: the 64-bit Orvane.exe on 64-bit Wine: $ORVANE_WINE32_WHY"
fi
orvane_wine_arch "$arch"

cd "$root"
cmake --preset "$arch" >/dev/null
cmake --build --preset "$arch" -j2 --target Orvane simdefrag simdefrag_engine
exe=$root/build/$arch/Orvane.exe
sim=$root/build/$arch/tools/simdefrag
[ -f "$exe" ] || { echo "run: $exe was not built" >&2; exit 1; }

orvane_use_prefix "$sandbox"
made_for=$(orvane_prefix_arch "$WINEPREFIX")
if [ -n "$made_for" ] && [ "$made_for" != "$arch" ]; then
  echo "run: $WINEPREFIX is a $made_for prefix, not $arch; choose another ORVANE_SANDBOX" >&2
  exit 1
fi
if [ -z "$made_for" ]; then
  echo "run: creating the $arch sandbox prefix $WINEPREFIX (once, about 20 s)"
  "$root/scripts/wine-prefix.sh" new "$WINEPREFIX" "$arch"
fi

system32=$WINEPREFIX/drive_c/windows/system32
cp "$sim/defrag.exe" "$sim/DfrgNtfs.exe" "$system32/"
mkdir -p "$WINEPREFIX/drive_d"
ln -sfn ../drive_d "$WINEPREFIX/dosdevices/d:"
# D: a fixed drive; Z: (the Unix root) a network drive, so that the pass
# defragments C: and D: only. Text files open in Notepad, as on Windows (a
# 64-bit prefix leaves .txt without a program).
"$root/scripts/wine-prefix.sh" import "$WINEPREFIX" <<'REG'
[HKEY_LOCAL_MACHINE\Software\Wine\Drives]
"d:"="hd"
"z:"="network"

[HKEY_CLASSES_ROOT\.txt]
@="txtfile"

[HKEY_CLASSES_ROOT\txtfile\shell\open\command]
@="\"C:\\windows\\system32\\notepad.exe\" \"%1\""
REG

# A display we can open, else a virtual one.
can_open() { DISPLAY=$1 xdotool getdisplaygeometry >/dev/null 2>&1; }
if [ -n "${DISPLAY:-}" ] && ! can_open "$DISPLAY" && [ -n "${SUDO_USER:-}" ]; then
  user_home=$(getent passwd "$SUDO_USER" | cut -d: -f6)
  [ -f "$user_home/.Xauthority" ] && export XAUTHORITY=$user_home/.Xauthority
fi
if [ -z "${DISPLAY:-}" ] || ! can_open "$DISPLAY"; then
  orvane_start_xvfb "$root/build/run-xvfb.log" ||
    { echo "run: Xvfb did not start: see build/run-xvfb.log" >&2; exit 1; }
  echo "run: no display to show the window on: Orvane runs on a virtual X"
  echo "     server ($DISPLAY), invisible; a screenshot follows. Ctrl+C ends it."
fi

cleanup() {
  wineserver -k 2>/dev/null || true
  timeout 20 wineserver -w 2>/dev/null || true
  orvane_stop_xvfb
}
trap cleanup EXIT
trap 'exit 130' INT TERM

mkdir -p "$WINEPREFIX/drive_c/Orvane"
cp "$exe" "$WINEPREFIX/drive_c/Orvane/Orvane.exe"
echo "run: Orvane.exe $* (prefix $WINEPREFIX)"
# Wine's own messages go to a log, not between ours.
(cd "$WINEPREFIX/drive_c" && exec "$ORVANE_WINE" 'C:\Orvane\Orvane.exe' "$@") \
  2>"$root/build/run-wine.log" &
orvane=$!

if [ -n "$ORVANE_XVFB_PID" ]; then
  shot=$root/build/run-screenshot.png
  for _ in $(seq 60); do
    xdotool search --name '^(Defragment|Defragmenting \.\.|Defragmented|Defrag Error|Orvane)$' \
      >/dev/null 2>&1 && break
    kill -0 "$orvane" 2>/dev/null || break
    sleep 0.5
  done
  sleep 1
  import -window root "$shot" 2>/dev/null && echo "run: screenshot: $shot"
fi

status=0
wait "$orvane" || status=$?
if [ "$status" -eq 126 ] || [ "$status" -eq 127 ]; then
  echo "run: Wine could not start Orvane.exe ($ORVANE_WINE, exit status $status); see build/run-wine.log" >&2
fi
report=$(ls -t "$WINEPREFIX"/drive_c/windows/DefragReport*.txt 2>/dev/null | head -n1 || true)
if [ -n "$report" ]; then
  echo "run: report file $report:"
  tr -d '\r' <"$report" | tail -n 20
fi
exit "$status"
