#!/usr/bin/env bash
# The title shows the outcome of a pass: "Defrag Error" when any drive's
# exit code is not 0 (a failed drive is never reported as success),
# "Defragmented" otherwise.
# "-M" restores the minimized window at the end and keeps the program open,
# also when "-E" comes first; "-S" alone leaves it minimized and open.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
e2e_init

e2e_add_drive D hd
e2e_apply_drives

# arguments | exit C: | exit D: | title | minimized at the end
cases=(
  "-S -M -E|0|7|Defrag Error|0"
  "-S -E -M|0|0|Defragmented|0"
  "-S|0|-1|Defrag Error|1"
  "-S -M -E|7|0|Defrag Error|0"
)
for case in "${cases[@]}"; do
  IFS='|' read -r args code_c code_d title iconic <<<"$case"
  e2e_log "case: $args, C: $code_c, D: $code_d"
  rm -f "$(e2e_report_file)"
  e2e_simulate "C: exit=$code_c ms=50" "D: exit=$code_d ms=50"
  # shellcheck disable=SC2086  # the arguments are meant to split
  e2e_start_orvane $args
  pid=$E2E_ORVANE_PID
  win=$(e2e_wait_window_matching '^(Defragmented|Defrag Error)$' 120 "$pid")
  sleep 2  # the program must stay
  [ "$(e2e_window_name "$win")" = "$title" ] ||
    e2e_fail "the title is '$(e2e_window_name "$win")', not '$title'"
  e2e_running "$pid" || e2e_fail "the program ended"
  peek=$(e2e_peek "$title")
  printf '%s\n' "$peek" >&2
  [ "$(e2e_peek_field "$peek" window "$title" iconic)" = "$iconic" ] ||
    e2e_fail "minimized is not $iconic"
  [ "$(e2e_peek_field "$peek" control Start enabled)" = 1 ] ||
    e2e_fail "Start is not there and enabled"
  [ "$(e2e_peek_field "$peek" control Report enabled)" = 1 ] ||
    e2e_fail "Report is not enabled after the pass"
  [ "$(grep -c '^Drive' "$(e2e_report_file)")" -eq 2 ] ||
    e2e_fail "the report does not hold two drive lines"
  e2e_close_window "$title"
  e2e_wait_exit "$pid" 30 >/dev/null
done
e2e_pass
