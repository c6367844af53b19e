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
if [ -n "${DISPLAY:-}" ]; then
  exec "$ORVANE_WINE" "$@"
fi
xvfb_log=$(mktemp)
trap 'orvane_stop_xvfb; rm -f "$xvfb_log"' EXIT
orvane_start_xvfb "$xvfb_log" ||
  { echo "wine-run: Xvfb did not start: $(cat "$xvfb_log")" >&2; exit 1; }
status=0
"$ORVANE_WINE" "$@" || status=$?
exit "$status"
