#!/usr/bin/env bash
# The one place that makes Wine prefixes and sets what they hold:
#   new PREFIX ARCH      makes a fresh prefix where none is (the end-to-end
#                        tests' pristine prefix, run.sh's sandbox, the
#                        benchmarks' prefix)
#   create PREFIX ARCH   the Win32 tests' prefix: made once and reused, made
#                        again when it is of the other architecture
#   import PREFIX        imports the registry text on standard input (the
#                        lines after REGEDIT4) and waits until the prefix's
#                        server has ended, so that the next program starts
#                        a session that reads it
#   stop PREFIX          ends the prefix's wineserver only
# Every prefix made here shows no crash dialog, which would wait for a click
# that no test or unattended run gives.
set -euo pipefail
action=$1 prefix=$2 arch=${3:-win32}
# shellcheck source=wine-env.sh
source "$(dirname "$0")/wine-env.sh"
export WINEDEBUG=-all
orvane_use_prefix "$prefix"

# import: regedit off the display, from C:\ (no Unix working directory
# there), in the prefix's own architecture.
import() {
  orvane_wine_arch "$(orvane_prefix_arch "$prefix")"
  { printf 'REGEDIT4\n\n'; cat; printf '\n'; } >"$prefix/drive_c/orvane-settings.reg"
  (cd "$prefix/drive_c" &&
     DISPLAY='' timeout 120 "$ORVANE_WINE" regedit 'C:\orvane-settings.reg' >/dev/null 2>&1)
  rm -f "$prefix/drive_c/orvane-settings.reg"
  timeout 60 wineserver -w
}

new_prefix() {
  orvane_wine_arch "$arch"
  mkdir -p "$prefix"
  DISPLAY='' WINEARCH=$arch timeout 300 "$ORVANE_WINE" wineboot -i >/dev/null 2>&1
  timeout 60 wineserver -w
  [ -f "$prefix/system.reg" ] || { echo "wine-prefix: $prefix was not made" >&2; exit 1; }
  import <<'REG'
[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000
REG
}

case $action in
  new)
    new_prefix ;;
  create)
    if [ -f "$prefix/system.reg" ] && [ "$(orvane_prefix_arch "$prefix")" != "$arch" ]; then
      rm -rf "$prefix"  # made for the other architecture
    fi
    if [ ! -f "$prefix/system.reg" ]; then
      new_prefix
      # Without a window manager (Xvfb), Wine waits for one at every hide
      # and destroy of a captioned window unless it manages windows itself.
      import <<'REG'
[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
REG
    fi ;;
  import)
    import ;;
  stop)
    wineserver -k 2>/dev/null || true ;;
  *) echo "usage: $0 new|create|import|stop PREFIX [ARCH]" >&2; exit 2 ;;
esac
