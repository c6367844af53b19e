#!/usr/bin/env bash
# Builds Orvane.exe for 32- and 64-bit Windows, stripped, and packs both with
# the README, the usage note and the task definition into
# build/Orvane-<version>.zip, and each into its Windows Installer package,
# build/Orvane-<version>-x86.msi and build/Orvane-<version>-x64.msi.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
version=$(sed -n 's/^project(Orvane VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
stage=build/release/Orvane-$version
rm -rf build/release && mkdir -p "$stage/win32" "$stage/win64"

for preset in win32-release win64-release; do
  cmake --preset $preset >/dev/null
  cmake --build --preset $preset -j2
done
i686-w64-mingw32-strip -o "$stage/win32/Orvane.exe" build/win32-release/Orvane.exe
x86_64-w64-mingw32-strip -o "$stage/win64/Orvane.exe" build/win64-release/Orvane.exe
cp README.md "$stage/README.md"
# A plain-text note and the task definition for Windows: CR LF line ends.
sed 's/$/\r/' docs/USAGE.txt > "$stage/USAGE.txt"
sed 's/$/\r/' resources/Orvane-task.xml > "$stage/Orvane-task.xml"

zip=build/Orvane-$version.zip
rm -f "$zip"
(cd build/release && cmake -E tar cf "../Orvane-$version.zip" --format=zip "Orvane-$version")
scripts/package.sh "$stage/win32/Orvane.exe" "build/Orvane-$version-x86.msi"
scripts/package.sh "$stage/win64/Orvane.exe" "build/Orvane-$version-x64.msi"
ls -l "$stage/win32/Orvane.exe" "$stage/win64/Orvane.exe" "$zip" \
  "build/Orvane-$version-x86.msi" "build/Orvane-$version-x64.msi"
