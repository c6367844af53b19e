#!/usr/bin/env bash
# The one place that makes Wine prefixes:
#   new PREFIX ARCH      makes a fresh prefix where none is (the end-to-end
#                        tests' pristine prefix, run.sh's sandbox)
#   create PREFIX ARCH   the Win32 tests' prefix: made once and reused, made
#                        again when it is of the other architecture
#   stop PREFIX          ends the prefix's wineserver only
set -euo pipefail
action=$1 prefix=$2 arch=${3:-win32}
export WINEPREFIX=$prefix WINEDEBUG=-all
# shellcheck source=wine-env.sh
source "$(dirname "$0")/wine-env.sh"

# Off the display, without .NET, Gecko or desktop menu entries.
new_prefix() {
  orvane_wine_arch "$arch"
  mkdir -p "$prefix"
  DISPLAY='' WINEARCH=$arch WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=" \
    timeout 300 "$ORVANE_WINE" wineboot -i >/dev/null 2>&1
  timeout 60 wineserver -w
  [ -f "$prefix/system.reg" ] || { echo "wine-prefix: $prefix was not made" >&2; exit 1; }
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
      "$ORVANE_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
      wineserver -w
    fi ;;
  stop)
    wineserver -k 2>/dev/null || true ;;
  *) echo "usage: $0 new|create|stop PREFIX [ARCH]" >&2; exit 2 ;;
esac
