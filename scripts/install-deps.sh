#!/usr/bin/env bash
# Installs what building, running and testing Orvane needs on Debian 12:
# CMake, the native compilers (clang with libFuzzer for the fuzz preset),
# MinGW-w64, GoogleTest, Wine (32- and 64-bit; the 32-bit one installs on any
# host, though not every kernel runs it), a virtual X server with the
# tools the end-to-end tests drive it with, and msitools' wixl and msiinfo,
# which build and read the Windows Installer packages.
# Run as root. Idempotent: when everything is there it only checks.
set -euo pipefail

packages=(cmake make g++ clang libclang-rt-14-dev mingw-w64 googletest
          wine wine32:i386 wine64 xvfb xauth xdotool imagemagick
          libxml2-utils wixl msitools)

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
  echo "install-deps: missing ${missing[*]}; run as root (sudo $0)" >&2
  exit 1
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
apt-get update -q
apt-get install -y -q "${missing[@]}"
