#!/usr/bin/env bash
# Twenty-four fixed drives, C: and D: to Z: (the last letter included), in
# one "-S -E" pass: the defragmenter runs once for each, in letter order,
# and the record holds their 24 lines in that order; the pass ends
# "Defragmented" (exit status 0).
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
e2e_init

expected_lines=("<HEADER>" "Drive C: Defrag completed successfully")
expected_commands=("\"C:\\windows\\system32\\defrag.exe\" C: -f")
for letter in {D..Z}; do
  e2e_add_drive "$letter" hd
  expected_lines+=("Drive $letter: Defrag completed successfully")
  expected_commands+=("\"C:\\windows\\system32\\defrag.exe\" $letter: -f")
done
expected_lines+=("")
e2e_apply_drives
e2e_simulate "* exit=0 ms=0"
fixed=$(e2e_drive_types | grep -c ' 3$' || true)
[ "$fixed" -eq 24 ] || e2e_fail "the prefix has $fixed fixed drives, not 24: $(e2e_drive_types | tr '\n' ' ')"
e2e_stop_wine

e2e_start_orvane -S -E
e2e_expect_exit "$E2E_ORVANE_PID" 180 0
e2e_expect_report_lines "$(e2e_report_file)" "${expected_lines[@]}"
actual_commands=$(e2e_sim_commands)
if [ "$actual_commands" != "$(printf '%s\n' "${expected_commands[@]}")" ]; then
  e2e_log "defragmenter command lines:"
  printf '%s\n' "$actual_commands" >&2
  e2e_fail "the defragmenter was not run once per drive in letter order"
fi
e2e_pass
