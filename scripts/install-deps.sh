#!/usr/bin/env bash
# Installs what building, running and testing Orvane needs on Debian 12:
# CMake, the native compilers (clang with libFuzzer for the fuzz preset),
# MinGW-w64, GoogleTest, Wine (64-bit, and 32-bit where this host runs
# 32-bit code), a virtual X server with the tools the end-to-end tests drive
# it with, and msitools' wixl and msiinfo, which build and read the Windows
# Installer packages.
# Run as root. Idempotent: when everything is there it only checks.
#
# A package registry is often imperfect: a mirror mid-sync, one index out of
# reach. So a failed `apt-get update` is retried briefly and then left to
# `apt-get install` to judge: it fails only when a package itself cannot be
# had, and then this script says which and why, one line each.
# ORVANE_WINE32=off leaves 32-bit Wine out on any host.
set -euo pipefail

packages=(cmake make g++ clang libclang-rt-14-dev mingw-w64 googletest
          wine wine64 xvfb xauth xdotool imagemagick
          libxml2-utils wixl msitools)
update_tries=3 update_pause=5

say() { echo "install-deps: $*" >&2; }

# runs_i386: true when this kernel runs 32-bit x86 programs, tried with the
# smallest static i386 program there is (its 96 bytes written out here, so
# no 32-bit compiler is needed), which only exits with status 42. A kernel
# without 32-bit support refuses it with "Exec format error".
runs_i386() {
  local dir status=0 elf
  # ELF header: 32-bit, little-endian, executable, i386, entry 0x8048054...
  elf='\177ELF\1\1\1\0\0\0\0\0\0\0\0\0\2\0\3\0\1\0\0\0\124\200\4\010'
  elf+='\064\0\0\0\0\0\0\0\0\0\0\0\064\0\040\0\1\0\0\0\0\0\0\0'
  # ...one segment: the whole file, read and run, at 0x8048000...
  elf+='\1\0\0\0\0\0\0\0\0\200\4\010\0\200\4\010\140\0\0\0\140\0\0\0'
  elf+='\5\0\0\0\0\020\0\0'
  # ...and the code: mov ebx, 42; mov eax, 1 (exit); int 0x80.
  elf+='\273\052\0\0\0\270\1\0\0\0\315\200'
  dir=$(mktemp -d)
  # shellcheck disable=SC2059  # the bytes are the format
  printf "$elf" >"$dir/probe"
  chmod +x "$dir/probe"
  "$dir/probe" 2>/dev/null || status=$?
  rm -rf "$dir"
  [ "$status" -eq 42 ]
}

if [ "${ORVANE_WINE32:-}" = off ]; then
  say "ORVANE_WINE32=off: 32-bit Wine left out"
elif runs_i386; then
  packages+=(wine32:i386)
fi

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q '^install ok installed$'
}

missing=()
for package in "${packages[@]}"; do
  installed "$package" || missing+=("$package")
done
if [ "${#missing[@]}" -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  say "missing ${missing[*]}; run as root (sudo $0)"
  exit 1
fi

say "installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
if [[ " ${missing[*]} " == *:i386\ * ]] &&
   ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi

update_failed=
for try in $(seq "$update_tries"); do
  status=0
  apt-get update -q || status=$?
  if [ "$status" -eq 0 ]; then
    update_failed=
    break
  fi
  update_failed="status $status"
  [ "$try" -lt "$update_tries" ] || break
  say "apt-get update failed ($update_failed: an index out of reach, or a mirror mid-sync); trying again in ${update_pause}s"
  sleep "$update_pause"
done
[ -z "$update_failed" ] ||
  say "apt-get update failed $update_tries times; going on with the package lists at hand"

log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
apt-get install -y -q "${missing[@]}" 2>&1 | tee "$log" || status=${PIPESTATUS[0]}
[ "$status" -eq 0 ] && exit 0

# Which package, and why: each tried alone (apt only simulates), then
# either no source offers it, or apt's first line about it or about a
# dependency of its architecture.
then="run this again"
[ -z "$update_failed" ] || then="$then once the mirror has synced (apt-get update failed: its E: lines above say where)"
named=0
for package in "${missing[@]}"; do
  if ! grep -q 'Candidate: [^(]' <<<"$(apt-cache policy "$package" 2>/dev/null)"; then
    why="no package source offers it; check the sources in /etc/apt and the network, then $then"
  elif apt-get install -s -q "$package" >"$log" 2>&1; then
    continue
  else
    arch=
    [[ $package != *:* ]] || arch=:${package#*:}
    why=$({ grep -m1 -F " $package : " "$log" ||
            grep -m1 -E "^ [^ :]+$arch : " "$log" || grep -m1 '^E: ' "$log" ||
            echo "apt-get cannot install it"; } | sed -E 's/^ +//; s/ +/ /g')
    why="$why; $then"
  fi
  [ "$package" != wine32:i386 ] ||
    why="$why, or set ORVANE_WINE32=off to go on without 32-bit Wine"
  say "cannot install $package: $why"
  named=$((named + 1))
done
[ "$named" -gt 0 ] || say "apt-get install failed (status $status); $then"
exit "$status"
