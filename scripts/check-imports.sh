#!/usr/bin/env bash
# Fails when an exe imports a function that is not on the reviewed list, or
# is not marked Terminal-Server-aware.
#
#   check-imports.sh OBJDUMP LIST EXE...
#
# LIST (scripts/reviewed-imports.txt) holds one "DLL function" a line, each
# known to exist on the oldest Windows the exes run on. A function newer
# than that would keep the program from starting there at all ("The
# procedure entry point ... could not be located"), so it is looked up by
# name at run time instead. Imported by ordinal, a function shows as
# "DLL #ordinal". Delay-loaded DLLs are checked as well.
set -euo pipefail

objdump=$1 list=$2
shift 2

# "KERNEL32.DLL CreateProcessW", DLL names upper-cased.
reviewed=$(sed -e 's/#.*//' -e '/^[[:space:]]*$/d' "$list" |
  awk '{ print toupper($1), $2 }' | sort -u)

bad=0
for exe in "$@"; do
  dump=$("$objdump" -p "$exe")
  # Ordinary and delay-load import tables print alike: "DLL Name: X" then
  # rows of "vma hint name" (or "vma <ordinal> ..." for ordinals).
  imports=$(awk '
    /DLL Name:/ { dll = toupper($3); next }
    /^$/ { dll = "" }
    dll != "" && $1 ~ /^[0-9a-f]+$/ && NF >= 3 && $2 ~ /^[0-9]+$/ {
      print dll, $3; next }
    dll != "" && $1 ~ /^[0-9a-f]+$/ && $2 == "<none>" { print dll, "#" $3 }
  ' <<<"$dump" | sort -u)
  [ -n "$imports" ] || { echo "imports: $exe: no import table read"; bad=1; }
  unreviewed=$(comm -23 <(printf '%s\n' "$imports") <(printf '%s\n' "$reviewed"))
  if [ -n "$unreviewed" ]; then
    while read -r dll function; do
      echo "imports: $exe imports $dll $function, which is not on the" \
           "reviewed list: check that it exists on Windows XP (Microsoft's" \
           "\"Minimum supported client\") and add it to $list, or look it up" \
           "by name at run time"
    done <<<"$unreviewed"
    bad=1
  fi
  # IMAGE_DLLCHARACTERISTICS_TERMINAL_SERVER_AWARE
  flags=$(awk '$1 == "DllCharacteristics" { print $2 }' <<<"$dump")
  if (( (16#${flags:-0} & 0x8000) == 0 )); then
    echo "imports: $exe is not Terminal-Server-aware (DllCharacteristics" \
         "${flags:-missing}; GNU ld: -Wl,--tsaware)"
    bad=1
  fi
  [ "$bad" -ne 0 ] || echo "imports: $exe: $(wc -l <<<"$imports") imports, all reviewed; Terminal-Server-aware"
done
exit "$bad"
