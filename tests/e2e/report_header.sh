#!/usr/bin/env bash
# The report's header is the date in the user's short date format, " - ",
# and the time in the user's long time format, at the end of the pass: with
# United States settings "M/D/YYYY - H:MM:SS AM", and with formats of the
# user's own choosing exactly those.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
e2e_init

report=$(e2e_report_file)
e2e_simulate "C: exit=0 ms=50"

e2e_log "case: United States settings"
e2e_start_orvane -S -E
e2e_wait_exit "$E2E_ORVANE_PID" 120 >/dev/null
e2e_expect_report_lines "$report" "<HEADER>" \
  "Drive C: Defrag completed successfully" ""
header=$(head -n1 "$report" | tr -d '\r')
[ "${header%% - *}" = "$(date +%-m/%-d/%Y)" ] ||
  e2e_fail "the header's date '${header%% - *}' is not today's"

e2e_log "case: the user's own formats"
rm -f "$report"
e2e_import_reg '[HKEY_CURRENT_USER\Control Panel\International]
"sShortDate"="yyyy-MM-dd"
"sTimeFormat"="HH.mm.ss"'
e2e_start_orvane -S -E
e2e_wait_exit "$E2E_ORVANE_PID" 120 >/dev/null
# shellcheck disable=SC2034  # read by e2e_expect_report_lines
E2E_HEADER_RE='^[0-9]{4}-[0-9]{2}-[0-9]{2} - [0-9]{2}\.[0-9]{2}\.[0-9]{2}$'
e2e_expect_report_lines "$report" "<HEADER>" \
  "Drive C: Defrag completed successfully" ""
header=$(head -n1 "$report" | tr -d '\r')
[ "${header%% - *}" = "$(date +%Y-%m-%d)" ] ||
  e2e_fail "the header's date '${header%% - *}' is not today's"
e2e_pass
