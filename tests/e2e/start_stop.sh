#!/usr/bin/env bash
# The Start/Stop button. Start runs a pass ("Defragmenting .." and "Stop"
# while it runs); Stop during drive C: ends that defragmenter and its engine
# (C:'s line then carries the ended tool's exit code 1) and the pass ends
# before D:, which is reported as aborted; the window is idle again at once.
# Report is enabled once the stopped pass has written its record. A second
# Start runs a full pass. Closing the window during a pass ends the
# defragmenter, the engine and the program, and the record is still written.
# A close by taskkill (as the Task Scheduler stops a task) during D:, which
# has no engine, ends D:'s tool through its handle within 10 s.
# Each pass writes one event: a warning when stopped, information when it
# ended "Defragmented".
#
# Then against the stand-in for the management service (tools/wmistub),
# which answers command lines and carries out Terminate, as Windows does:
# - Stop during C: sends the exact questions and terminations, and ends
#   defrag.exe and its engine through Terminate with Reason 1 (C: reads error
#   level 1), each answering ReturnValue 0, so no other way of ending them
#   is tried;
# - Terminate refused (ReturnValue 2) for defrag.exe and the engine: the other
#   engine is still ended, defrag.exe through its handle, nothing is shown;
# - the service refuses to connect: Start goes ahead although an engine runs,
#   Stop ends only defrag.exe, through its handle;
# - the session ends during C: as the Restart Manager ends it (ending nothing
#   itself): C: reads as after a Stop, nothing is left running, the program
#   ends, and nothing inside that sent message calls the service.
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
e2e_expect_events "warning 102"

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
e2e_expect_events "warning 102" "information 100" "warning 102"

e2e_log "phase: taskkill without /F during D:"
e2e_simulate "C: exit=0 ms=50" "D: exit=0 ms=40000"  # D: has no engine
rm -f "$report" "$(e2e_sim_log_file)"
e2e_start_orvane
pid=$E2E_ORVANE_PID
win=$(e2e_wait_window Defragment 60 "$pid")
e2e_wait_ready Defragment 30
e2e_click_start "$win"
e2e_wait_sim_log 'D: -f' 60
e2e_wine_quiet taskkill /IM Orvane.exe || true
e2e_wait_exit "$pid" 10 >/dev/null
e2e_expect_report_lines "$report" "<HEADER>" \
  "Drive C: Defrag completed successfully" "${stopped_c/C:/D:}" ""
! e2e_processes | grep -qiE '^defrag\.exe$' || e2e_fail "defrag.exe still runs"
e2e_simulate "${long_run[@]}"

e2e_log "phase: the stand-in for the management service"
e2e_use_wmistub
rm -f "$report"
e2e_clear_sim_log
cp "$SIMDEFRAG_DIR/DfrgNtfs.exe" "$(e2e_system32)/DfrgFat.exe"
e2e_start_orvane
pid=$E2E_ORVANE_PID
win=$(e2e_wait_window Defragment 60 "$pid")
e2e_wait_ready Defragment 30

e2e_log "phase: Stop during C:, through Terminate"
start_long_run
e2e_clear_wmistub_log
defrag=$(e2e_sim_pid 'defrag\.exe" C:')
engine=$(e2e_sim_pid 'DfrgNtfs\.exe')
e2e_click_start "$win"
e2e_wait_title "$win" Defragment 60
for _ in $(seq 150); do [ -s "$report" ] && break; sleep 0.2; done
e2e_expect_report_lines "$report" "<HEADER>" "$stopped_c" "$aborted_d" ""
watched="'\"C:\\\\windows\\\\system32\\\\defrag.exe\" C: -f'"
query() { printf 'ExecQuery\tWQL\t%s\tflags=48\t%s\n' "$1" "$2"; }
terminate() {
  printf 'ExecMethod\t\\\\HOST\\ROOT\\CIMV2:Win32_Process.Handle="%s"\tTerminate\tReason=1\tReturnValue=%s\n' "$@"
}
expected=$(
  query "Select Name, CommandLine from Win32_Process Where Name = 'defrag.exe' And CommandLine = $watched" "1 found"
  query "Select Name, CommandLine, Handle from Win32_Process Where Name = 'defrag.exe' And CommandLine = $watched" "1 found"
  terminate "$defrag" "0 defrag.exe"
  query "Select Name from Win32_Process Where Name = 'DfrgNtfs.exe'" "1 found"
  query "Select Name from Win32_Process Where Name = 'DfrgFat.exe'" "0 found"
  query "Select Name, Handle from Win32_Process Where Name = 'DfrgFat.exe' Or  Name = 'DfrgNtfs.exe'" "1 found"
  terminate "$engine" "0 DfrgNtfs.exe")
[ "$(e2e_wmistub_work)" = "$expected" ] ||
  e2e_fail "Stop asked otherwise:"$'\n'"$(e2e_wmistub_work)"$'\n'"expected:"$'\n'"$expected"
! e2e_wmistub_calls | grep -q '^unsupported' ||
  e2e_fail "a call the stand-in does not serve: $(e2e_wmistub_calls)"
! e2e_processes | grep -qiE '^(defrag|DfrgNtfs)\.exe$' ||
  e2e_fail "the defragmenter or its engine still runs"

# stop_while_running: Stop during C:, whose engine ends by itself after
# 15 s, with DfrgFat.exe running too; then the window is idle at once, and
# nothing is shown.
self_ending=("C: engine=1 ms=15000" "D: exit=0 ms=50")
stop_while_running() {
  e2e_clear_wmistub_log
  e2e_click_start "$win"
  e2e_wait_title "$win" Defragment 30
  for _ in $(seq 50); do [ -s "$report" ] && break; sleep 0.2; done
  expect_idle Defragment 1
  [ "$(e2e_count_windows Orvane)" -eq 0 ] || e2e_fail "a message box is shown"
}

# expect_record_when_ended: the record of a pass stopped during C:.
expect_record_when_ended() {
  for _ in $(seq 300); do [ -s "$report" ] && break; sleep 0.2; done
  e2e_expect_report_lines "$report" "<HEADER>" \
    "$stopped_c" "$aborted_d" ""
}

e2e_log "phase: Terminate refused for defrag.exe and DfrgNtfs.exe"
e2e_wmistub_settings "deny=defrag.exe" "deny=DfrgNtfs.exe"
e2e_simulate "${self_ending[@]}"
rm -f "$report"
e2e_clear_sim_log
start_long_run
e2e_wine winpeek.exe spawn "$E2E_SYSTEM32_WIN\\DfrgFat.exe" 600000 >/dev/null
e2e_wait_sim_log 'DfrgFat\.exe' 30
defrag=$(e2e_sim_pid 'defrag\.exe" C:')
engine=$(e2e_sim_pid 'DfrgNtfs\.exe')
fat=$(e2e_sim_pid 'DfrgFat\.exe')
stop_while_running
# The engines in the order of the process table: the refused one first.
expected=$(terminate "$defrag" "2 defrag.exe"
           terminate "$engine" "2 DfrgNtfs.exe"
           terminate "$fat" "0 DfrgFat.exe")
[ "$(e2e_wmistub_work | grep '^ExecMethod')" = "$expected" ] ||
  e2e_fail "Stop terminated otherwise:"$'\n'"$(e2e_wmistub_work)"
[ "$(e2e_processes | grep -ciE '^(defrag|DfrgNtfs|DfrgFat)\.exe$')" -eq 1 ] ||
  e2e_fail "not just the refused ones run: $(e2e_processes)"
expect_record_when_ended
e2e_wine_quiet taskkill /F /IM DfrgNtfs.exe  # would end by itself later

e2e_log "phase: the service refuses to connect"
e2e_wmistub_settings "connect=refuse"
rm -f "$report"
e2e_clear_sim_log
e2e_clear_wmistub_log
e2e_wine winpeek.exe spawn "$E2E_SYSTEM32_WIN\\DfrgFat.exe" 600000 >/dev/null
e2e_wait_sim_log 'DfrgFat\.exe' 30
start_long_run
stop_while_running
[ "$(e2e_processes | grep -ciE '^(defrag|DfrgNtfs|DfrgFat)\.exe$')" -eq 2 ] ||
  e2e_fail "not just the engines run: $(e2e_processes)"
# Stop's three questions, each refused at the connection, and nothing else.
refused=$(printf 'ConnectServer\tROOT\\CIMV2\t0x80041003\n%.0s' 1 2 3)
[ "$(e2e_wmistub_calls)" = "$refused" ] ||
  e2e_fail "the service was asked otherwise: $(e2e_wmistub_calls)"
expect_record_when_ended

e2e_log "phase: the session ends during C:, with no call to the service inside it"
rm -f "$report"
e2e_clear_sim_log
e2e_simulate "${long_run[@]}"
start_long_run  # the service still refuses to connect: DfrgFat.exe is no bar
e2e_wmistub_settings
e2e_clear_wmistub_log
e2e_wine_quiet winpeek.exe endsession "Defragmenting .."
e2e_wait_exit "$pid" 30 >/dev/null
e2e_expect_report_lines "$report" "<HEADER>" "$stopped_c" "$aborted_d" ""
! e2e_processes | grep -qiE '^(defrag|DfrgNtfs|DfrgFat)\.exe$' ||
  e2e_fail "a defragmenter or an engine still runs: $(e2e_processes)"
[ -z "$(e2e_wmistub_calls)" ] ||
  e2e_fail "the service was asked at the end of the session: $(e2e_wmistub_calls)"
# The three stopped passes against the stand-in, and this one.
e2e_expect_events "warning 102" "warning 102" "warning 102" "warning 102"
e2e_pass
