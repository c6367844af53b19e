#!/usr/bin/env bash
# "/R:" leaves the named drives out: their line reads "Defrag removed by
# switch" and the defragmenter is not run for them. The letters are matched
# in any case, the last /R: token counts, and letters of drives that are not
# fixed change nothing. Each pass appends its record to the month's file.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
e2e_init

e2e_add_drive D hd
e2e_add_drive E cdrom
e2e_apply_drives
e2e_simulate "C: exit=0 ms=50" "D: exit=0 ms=50"

ok=" Defrag completed successfully"
removed=" Defrag removed by switch"
run_c='"C:\windows\system32\defrag.exe" C: -f'
run_d='"C:\windows\system32\defrag.exe" D: -f'

# arguments | line for C: | line for D: | command lines run (; separated)
cases=(
  "-S -E /R:D|$ok|$removed|$run_c"
  "-s -e /r:cd|$removed|$removed|"
  "/R:C: -S /R:E -E|$ok|$ok|$run_c;$run_d"
  "-S -E /R:dc|$removed|$removed|"
)
expected_lines=()
for case in "${cases[@]}"; do
  IFS='|' read -r args line_c line_d commands <<<"$case"
  e2e_log "case: $args"
  e2e_clear_sim_log
  # shellcheck disable=SC2086  # the arguments are meant to split
  e2e_start_orvane $args
  e2e_wait_exit "$E2E_ORVANE_PID" 120 >/dev/null

  expected_lines+=("<HEADER>" "Drive C:$line_c" "Drive D:$line_d" "")
  e2e_expect_report_lines "$(e2e_report_file)" "${expected_lines[@]}"
  expected_commands=$(tr ';' '\n' <<<"$commands" | sed '/^$/d')
  [ "$(e2e_sim_commands)" = "$expected_commands" ] ||
    e2e_fail "ran '$(e2e_sim_commands)', expected '$expected_commands'"
done
e2e_pass
