#!/usr/bin/env bash
# package.sh EXE OUT.msi [VERSION]: the Windows Installer package of EXE
# (32-bit: x86, 64-bit: x64, from its PE header), built with wixl from
# resources/orvane.wxs. It installs the exe, the usage note and the task
# definition, whose <Command> is set here to the installed exe. The
# product's version is the one in the exe's version resource; VERSION, for
# tests, packs the exe as another.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=wine-env.sh
source "$root/scripts/wine-env.sh"
[ $# -eq 2 ] || [ $# -eq 3 ] || { echo "usage: $0 EXE OUT.msi [VERSION]" >&2; exit 2; }
exe=$1 out=$2
command -v wixl >/dev/null ||
  { echo "package: wixl is missing (scripts/install-deps.sh installs it)" >&2; exit 1; }
arch=$(orvane_exe_arch "$exe")
arch=${arch/win32/x86}
arch=${arch/win64/x64}
# The resource's ProductVersion string: its name, then its value.
version=${3:-$(strings -el "$exe" | grep -A1 -x ProductVersion | tail -n1)}
# Windows Installer compares the first three fields, each a number.
[[ $version =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] ||
  { echo "package: version '$version' is not N.N.N" >&2; exit 1; }
# The exe's own four-part version, from the resource's fixed part (after its
# signature 0xFEEF04BD and the structure's version): without it in the File
# table, Windows Installer and inventory tools treat the exe as unversioned.
# wixl writes no file's version, so it is set in the package afterwards.
read -r ms ls < <(od -An -v -tx4 -w4 "$exe" | tr -d ' ' |
  grep -m1 -A3 -x feef04bd | sed -n '3p;4p' | paste -sd' ')
[ -n "${ls:-}" ] || { echo "package: $exe has no version resource" >&2; exit 1; }
file_version=$((16#$ms >> 16)).$((16#$ms & 0xffff)).$((16#$ls >> 16)).$((16#$ls & 0xffff))

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp "$exe" "$stage/Orvane.exe"
cp "$root/resources/orvane.ico" "$stage/"
# Plain-text files for Windows: CR LF line ends.
sed 's/$/\r/' "$root/docs/USAGE.txt" >"$stage/USAGE.txt"
# Each package's own path in <Command>: %ProgramFiles% is Program Files as
# the task engine sees it, where both packages install on their Windows.
task="$root/resources/Orvane-task.xml"
[ "$(grep -c '<Command>[^<]*</Command>' "$task")" -eq 1 ] ||
  { echo "package: $task has not one <Command> line" >&2; exit 1; }
sed -e 's|<Command>[^<]*</Command>|<Command>%ProgramFiles%\\Orvane\\Orvane.exe</Command>|' \
    -e 's/$/\r/' "$task" >"$stage/Orvane-task.xml"

# The product code follows from version and architecture, in the form of a
# name-based GUID: a package rebuilt for the same version keeps it, so
# Windows Installer sees the same product and never installs it twice.
hash=$(printf 'Orvane %s %s' "$version" "$arch" | sha1sum)
product=$(printf '%s-%s-5%s-%x%s-%s' "${hash:0:8}" "${hash:8:4}" "${hash:13:3}" \
  $(( (16#${hash:16:1} & 3) | 8 )) "${hash:17:3}" "${hash:20:12}" | tr a-f A-F)

mkdir -p "$(dirname "$out")"
out=$(realpath "$out")
# wixl finds the files by their names in the folder it runs in.
(cd "$stage" && wixl -a "$arch" -o "$out" \
  -D Arch="$arch" -D Version="$version" -D ProductCode="$product" \
  "$root/resources/orvane.wxs")
# A versioned file has a language (the resource's, US English) and no hash:
# Windows Installer compares versions, and hashes only unversioned files.
msibuild "$out" -q "UPDATE \`File\` SET \`Version\` = '$file_version', \`Language\` = '1033' WHERE \`File\` = 'OrvaneExe'" \
  -q "DELETE FROM \`MsiFileHash\` WHERE \`File_\` = 'OrvaneExe'"
