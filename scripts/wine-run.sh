#!/usr/bin/env bash
# Runs a Windows program on Wine in $WINEPREFIX, under a virtual X display
# when none is set, and passes its exit code on. The loader is the one for
# the prefix's architecture (scripts/wine-env.sh).
set -euo pipefail
: "${WINEPREFIX:?WINEPREFIX must name a test prefix}"
# shellcheck source=wine-env.sh
source "$(dirname "$0")/wine-env.sh"
arch=$(orvane_prefix_arch "$WINEPREFIX")
orvane_wine_arch "${arch:-${ORVANE_WINEARCH:-win32}}"
export WINEDEBUG=${WINEDEBUG:--all}
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$ORVANE_WINE" "$@"
fi
exec "$ORVANE_WINE" "$@"
