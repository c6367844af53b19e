#!/usr/bin/env bash
# The Start/Stop button. Start runs a pass ("Defragmenting .." and "Stop"
# while it runs); Stop during drive C: ends that defragmenter and its engine
# (C:'s line then carries the ended tool's exit code 1) and the pass ends
# before D:, which is reported as aborted; the window is idle again at once.
# Report is enabled once the stopped pass has written its record. A second
# Start runs a full pass. Closing the window during a pass ends the
# defragmenter, the engine and the program, and the record is still written.
# So does the end of the Windows session (wineboot --end-session), which
# ends the process as soon as the program has answered it: the record is on
# file by then.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
e2e_init

e2e_add_drive D hd
e2e_apply_drives

report=$(e2e_report_file)
stopped_c="Drive C: Defrag aborted with error level 1 (defrag was cancelled manually) "
aborted_d="Drive D: Defrag aborted by user"
long_run=("C: engine=1 ms=600000" "D: exit=0 ms=50")

# e2e_expect_idle TITLE REPORT_ENABLED
expect_idle() {
  local peek
  peek=$(e2e_peek "$1")
  printf '%s\n' "$peek" >&2
  [ "$(e2e_peek_field "$peek" window "$1" iconic)" = 0 ] ||
    e2e_fail "the window is minimized"
  [ "$(e2e_peek_field "$peek" window "$1" enabled)" = 1 ] ||
    e2e_fail "the window is disabled"
  [ "$(e2e_peek_field "$peek" control Start enabled)" = 1 ] ||
    e2e_fail "Start is not there and enabled"
  [ "$(e2e_peek_field "$peek" control Report enabled)" = "$2" ] ||
    e2e_fail "Report enabled is not $2"
}

start_long_run() {
  e2e_click_start "$win"
  e2e_wait_title "$win" "Defragmenting .." 30
  e2e_wait_sim_log 'DfrgNtfs\.exe' 60
  local peek
  peek=$(e2e_peek "Defragmenting ..")
  [ "$(e2e_peek_field "$peek" control Stop enabled)" = 1 ] ||
    { printf '%s\n' "$peek" >&2; e2e_fail "Stop is not there and enabled"; }
}

e2e_simulate "${long_run[@]}"
e2e_start_orvane
pid=$E2E_ORVANE_PID
win=$(e2e_wait_window Defragment 60 "$pid")

e2e_log "phase: Start, then Stop during C:"
start_long_run
e2e_click_start "$win"  # the same button, now Stop
e2e_wait_title "$win" Defragment 60
for _ in $(seq 150); do [ -s "$report" ] && break; sleep 0.2; done
e2e_expect_report_lines "$report" "<HEADER>" "$stopped_c" "$aborted_d" ""
[ "$(e2e_sim_commands | grep -c 'defrag\.exe')" -eq 1 ] ||
  e2e_fail "D: was defragmented after Stop: $(e2e_sim_commands)"
! e2e_processes | grep -qiE '^(defrag|DfrgNtfs)\.exe$' ||
  e2e_fail "the defragmenter or its engine still runs"
sleep 1
# The month's report did not exist yet when Stop checked for it; the stopped
# pass wrote it and enabled Report.
expect_idle Defragment 1

e2e_log "phase: Start, a full pass"
e2e_simulate "C: exit=0 ms=50" "D: exit=0 ms=50"
e2e_click_start "$win"
e2e_wait_title "$win" Defragmented 60
sleep 1
expect_idle Defragmented 1
e2e_expect_report_lines "$report" "<HEADER>" "$stopped_c" "$aborted_d" "" \
  "<HEADER>" "Drive C: Defrag completed successfully" \
  "Drive D: Defrag completed successfully" ""

e2e_log "phase: close the window during C:"
e2e_simulate "${long_run[@]}"
e2e_clear_sim_log
start_long_run
e2e_close_window "Defragmenting .."
e2e_wait_exit "$pid" 60 >/dev/null
e2e_expect_report_lines "$report" "<HEADER>" "$stopped_c" "$aborted_d" "" \
  "<HEADER>" "Drive C: Defrag completed successfully" \
  "Drive D: Defrag completed successfully" "" \
  "<HEADER>" "$stopped_c" "$aborted_d" ""
! e2e_processes | grep -qiE '^(defrag|DfrgNtfs)\.exe$' ||
  e2e_fail "the defragmenter or its engine still runs"

e2e_log "phase: the session ends during C:"
e2e_clear_sim_log
e2e_start_orvane
pid=$E2E_ORVANE_PID
win=$(e2e_wait_window Defragment 60 "$pid")
start_long_run
e2e_wine_quiet wineboot --end-session || true
e2e_wait_exit "$pid" 60 >/dev/null
e2e_expect_report_lines "$report" "<HEADER>" "$stopped_c" "$aborted_d" "" \
  "<HEADER>" "Drive C: Defrag completed successfully" \
  "Drive D: Defrag completed successfully" "" \
  "<HEADER>" "$stopped_c" "$aborted_d" "" \
  "<HEADER>" "$stopped_c" "$aborted_d" ""
! e2e_processes | grep -qiE '^(defrag|DfrgNtfs)\.exe$' ||
  e2e_fail "the defragmenter or its engine still runs"
e2e_pass
