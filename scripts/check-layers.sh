#!/usr/bin/env bash
# Fails when a file under src/ includes a folder of a higher layer than its
# own. The layers, from the bottom; folders on one line share a layer:
#   platform   the ports of the outside services and their Win32 adapters
#   core       the shared state, the context, small shared helpers
#   process report
#   run
#   ui
#   app        start-up, the switches, the entry point that wires it all
# A quoted include whose first folder is none of these (a resource header,
# a generated one) is not checked. A win32/ folder, of any layer, is
# included only from win32/ folders: the portable files, app/'s too, know
# the ports alone, and the wiring that picks the adapters is in app/win32/.
set -euo pipefail
cd "${1:-$(dirname "$0")/../src}"

declare -A rank=([platform]=0 [core]=1 [process]=2 [report]=2 [run]=3 [ui]=4 [app]=5)

bad=0 files=0
while IFS= read -r file; do
  files=$((files + 1))
  [ -n "${rank[${file%%/*}]-}" ] || { echo "layers: src/$file is in no layer"; bad=1; }
done < <(find . -name '*.h' -o -name '*.cpp' | sed 's#^\./##' | sort)

# One grep over the tree: "./ui/a.cpp:12:#include "core/context.h"" -> "ui/a.cpp 12 core/context.h"
while read -r file line target; do
  own=${rank[${file%%/*}]-}
  [ -n "$own" ] || continue
  other=${rank[${target%%/*}]-}
  if [ -n "$other" ] && [ "$other" -gt "$own" ]; then
    echo "layers: src/$file:$line includes \"$target\", a higher layer"
    bad=1
  fi
  if [[ /$target == */win32/* && $file != */win32/* ]]; then
    echo "layers: src/$file:$line includes \"$target\", a win32/ folder;" \
         "only the win32/ folders may"
    bad=1
  fi
done < <(grep -rn -E '^[[:space:]]*#[[:space:]]*include[[:space:]]+"' \
           --include='*.h' --include='*.cpp' . |
         sed -E 's#^\./([^:]+):([0-9]+):[^"]*"([^"]+)".*#\1 \2 \3#' | sort)

[ "$files" -gt 0 ] || { echo "layers: no sources found"; exit 1; }
[ "$bad" -eq 0 ] && echo "layers: all $files files include only their own layer or lower"
exit "$bad"
