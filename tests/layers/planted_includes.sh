#!/usr/bin/env bash
# scripts/check-layers.sh refuses each kind of include the layers forbid:
# each is planted alone into a copy of src/, and the check must fail and
# name the file it was planted in. The copy as it is passes.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
check=$root/scripts/check-layers.sh
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cp -r "$root/src" "$tmp/src"
bash "$check" "$tmp/src" >/dev/null || { echo "the check fails on src/ as it is"; exit 1; }

status=0
# file | the include planted at its end
while IFS='|' read -r file target; do
  rm -rf "$tmp/planted"
  cp -r "$tmp/src" "$tmp/planted"
  printf '#include "%s"\n' "$target" >>"$tmp/planted/$file"
  if output=$(bash "$check" "$tmp/planted"); then
    echo "not refused: \"$target\" in src/$file"
    status=1
  elif ! grep -qF "src/$file:" <<<"$output"; then
    echo "refused, but not for src/$file: $output"
    status=1
  fi
done <<'EOF_CASES'
ui/form_events.cpp|ui/win32/frm_orvane.h
app/startup.cpp|platform/win32/clock_adapter.h
app/arguments.h|ui/win32/message_loop.h
run/toggle_run.cpp|platform/win32/resource.h
core/context.h|run/pass_record.h
platform/win32/clock_adapter.cpp|ui/win32/frm_orvane.h
EOF_CASES
exit "$status"
