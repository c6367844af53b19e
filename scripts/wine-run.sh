#!/usr/bin/env bash
# Runs a Windows program on Wine in $WINEPREFIX, under a virtual X display
# when none is set, and passes its exit code on.
set -euo pipefail
: "${WINEPREFIX:?WINEPREFIX must name a test prefix}"
export WINEDEBUG=${WINEDEBUG:--all}
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" wine "$@"
fi
exec wine "$@"
