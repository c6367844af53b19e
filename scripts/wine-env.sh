# shellcheck shell=bash
# How the scripts and tests call Wine; sourced by them. The one place that
# knows which loader runs a prefix of which architecture, whether this host
# can run 32-bit Wine at all, the environment a prefix's programs run in,
# and how a virtual X server for their windows is started.
#
# Debian's `wine` wrapper (and `wineboot`, which goes through it) takes the
# 32-bit loader whenever that file is executable, even on a kernel that
# refuses 32-bit code; so the loader is always named here, never left to it.
# `wineserver` is Debian's wrapper too, and takes the 64-bit server, which
# serves prefixes of both architectures.

ORVANE_WINE32_LOADER=${ORVANE_WINE32_LOADER:-/usr/lib/wine/wine}
ORVANE_WINE64_LOADER=${ORVANE_WINE64_LOADER:-/usr/lib/wine/wine64}

# orvane_wine32_check: true when 32-bit Wine starts on this host, tried by
# running its loader; otherwise false with the reason in ORVANE_WINE32_WHY.
# ORVANE_WINE32=off says no without trying, so that the 64-bit-only path can
# be tried on any host.
ORVANE_WINE32_WHY=
orvane_wine32_check() {
  local out
  if [ "${ORVANE_WINE32:-}" = off ]; then
    ORVANE_WINE32_WHY="ORVANE_WINE32=off"
    return 1
  fi
  if [ ! -e "$ORVANE_WINE32_LOADER" ]; then
    ORVANE_WINE32_WHY="32-bit Wine is not installed; install-deps.sh installs it only where this host runs 32-bit programs"
    return 1
  fi
  if out=$("$ORVANE_WINE32_LOADER" --version 2>&1); then
    ORVANE_WINE32_WHY=
    return 0
  fi
  out=$(printf '%s' "$out" | tr '\n' ' ')
  ORVANE_WINE32_WHY="this host cannot run 32-bit Wine ($ORVANE_WINE32_LOADER: ${out##*: })"
  return 1
}

# orvane_wine_arch win32|win64: from now on "$ORVANE_WINE" PROGRAM runs
# PROGRAM in a prefix of that architecture ("$ORVANE_WINE" wineboot -i,
# with WINEARCH set, makes one).
orvane_wine_arch() {
  case $1 in
    win32) ORVANE_WINE=$ORVANE_WINE32_LOADER ;;
    win64) ORVANE_WINE=$ORVANE_WINE64_LOADER ;;
    *) echo "orvane_wine_arch: no architecture '$1'" >&2; return 2 ;;
  esac
  # Programs a Wine program starts go through WINELOADER too.
  export ORVANE_WINE WINELOADER=$ORVANE_WINE
}

# orvane_prefix_arch PREFIX: win32 or win64, as the prefix records it;
# empty when there is no prefix yet.
orvane_prefix_arch() {
  [ -f "$1/system.reg" ] || return 0
  sed -n '/^#arch=/{s///p;q}' "$1/system.reg"
}

# orvane_exe_arch EXE: win32 or win64, from the machine field of the
# program's PE header.
orvane_exe_arch() {
  local pe machine
  pe=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  machine=$(od -An -tx2 -j$((pe + 4)) -N2 "$1" | tr -d ' ')
  case $machine in
    8664) echo win64 ;;
    014c) echo win32 ;;
    *) echo "orvane_exe_arch: $1 is no x86 Windows program" >&2; return 1 ;;
  esac
}

# orvane_use_prefix PREFIX: from now on Wine programs run in PREFIX, without
# .NET, Gecko or desktop menu entries, and with Wine's own messages off
# unless WINEDEBUG asks for some.
orvane_use_prefix() {
  export WINEPREFIX=$1 WINEDEBUG=${WINEDEBUG:--all}
  export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
  unset WINEARCH  # the prefix records its own
}

# orvane_start_xvfb LOG: a virtual X server of
# ORVANE_SCREEN_W x ORVANE_SCREEN_H, on a display number it picks itself
# (so that servers started at once never race for one), not listening on
# the network; exports DISPLAY, its pid in ORVANE_XVFB_PID. False, with the
# server's messages in LOG, when it did not start within 10 s.
ORVANE_SCREEN_W=1024 ORVANE_SCREEN_H=768
ORVANE_XVFB_PID=
orvane_start_xvfb() {
  local numfile number _
  numfile=$(mktemp)
  Xvfb -displayfd 5 -screen 0 "${ORVANE_SCREEN_W}x${ORVANE_SCREEN_H}x24" \
       -nolisten tcp -noreset 5>"$numfile" >"$1" 2>&1 &
  ORVANE_XVFB_PID=$!
  for _ in $(seq 100); do
    [ -s "$numfile" ] && break
    sleep 0.1
  done
  number=$(tr -d '\n' <"$numfile")
  rm -f "$numfile"
  [ -n "$number" ] || return 1
  export DISPLAY=:$number
}

# orvane_stop_xvfb: ends the server orvane_start_xvfb started, if any.
orvane_stop_xvfb() {
  [ -n "$ORVANE_XVFB_PID" ] || return 0
  kill "$ORVANE_XVFB_PID" 2>/dev/null || true
  wait "$ORVANE_XVFB_PID" 2>/dev/null || true
  ORVANE_XVFB_PID=
}
