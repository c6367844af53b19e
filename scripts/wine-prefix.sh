#!/usr/bin/env bash
# Creates (create PREFIX ARCH) or stops (stop PREFIX) a Wine prefix for tests.
# A prefix is created once and reused; `stop` ends its wineserver only.
set -euo pipefail
action=$1 prefix=$2 arch=${3:-win32}
export WINEPREFIX=$prefix WINEDEBUG=-all
# shellcheck source=wine-env.sh
source "$(dirname "$0")/wine-env.sh"
case $action in
  create)
    orvane_wine_arch "$arch"
    if [ -f "$prefix/system.reg" ] && [ "$(orvane_prefix_arch "$prefix")" != "$arch" ]; then
      rm -rf "$prefix"  # made for the other architecture
    fi
    if [ ! -f "$prefix/system.reg" ]; then
      mkdir -p "$prefix"
      WINEARCH=$arch WINEDLLOVERRIDES="mscoree,mshtml=" \
        "$ORVANE_WINE" wineboot -i >/dev/null 2>&1
      # Without a window manager (Xvfb), Wine waits for one at every hide
      # and destroy of a captioned window unless it manages windows itself.
      "$ORVANE_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
      wineserver -w
    fi ;;
  stop)
    wineserver -k 2>/dev/null || true ;;
  *) echo "usage: $0 create|stop PREFIX [ARCH]" >&2; exit 2 ;;
esac
