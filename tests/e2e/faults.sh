#!/usr/bin/env bash
# Faults around the pass: nothing is lost and every failure shows.
# - The month's report held open by another process with no sharing: every
#   drive is still defragmented, the pass ends "Defrag Error" (exit status 1
#   with "-S -E"), the file is left as it was; once the lock is gone the next
#   pass appends normally.
# - The report held open with read sharing only, for 2 s after the last
#   drive, while the pass writes its record: the record is in the file once, the pass ends well
#   (exit status 0, event 100). The defragmenter runs in the system
#   directory, not in the program's current directory.
# - The session ends during C: while the report is held open with no
#   sharing: WM_ENDSESSION is handled within Windows' 5 s, and the stopped
#   pass's event carries the record that the file could not take.
# - The defragmenter crashes (an access violation, not an exit code): its
#   drive's line carries the exception code as a signed number, the next
#   drive still runs, the pass ends "Defrag Error".
# - defrag.exe deleted after start-up, during the pass: the drive being
#   defragmented finishes, every later drive gets "Defrag could not be
#   started" and the pass goes on to the last drive, ends "Defrag Error"
#   with an error trailer; with the file back, Start runs a full pass.
# - The defragmenter of a drive other than C: hangs until Stop: with an
#   engine, Stop ends the engine and with it that run; without one, Stop
#   ends the run through its handle, and the record comes within 10 s.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
e2e_init

e2e_add_drive D hd
e2e_add_drive E hd
e2e_apply_drives
report=$(e2e_report_file)
defrag="$(e2e_system32)/defrag.exe"
quick=("C: exit=0 ms=50" "D: exit=0 ms=50" "E: exit=0 ms=50")
ok() { echo "Drive $1: Defrag completed successfully"; }
all_ok=("<HEADER>" "$(ok C)" "$(ok D)" "$(ok E)" "")
earlier_record=$'1/2/2026 - 3:04:05 AM\r\nDrive C: Defrag completed successfully\r\n\r\n'

# expect_runs LETTERS: the defragmenter was started for exactly these drives.
expect_runs() {
  local wanted='' letter
  for letter in $1; do
    wanted+="\"C:\\windows\\system32\\defrag.exe\" $letter: -f"$'\n'
  done
  [ "$(e2e_sim_commands | grep 'defrag\.exe' || true)" = "${wanted%$'\n'}" ] ||
    e2e_fail "the defragmenter ran for: $(e2e_sim_commands | tr '\n' ';'), not for $1"
}

start_window() {
  e2e_clear_sim_log
  e2e_start_orvane
  pid=$E2E_ORVANE_PID
  win=$(e2e_wait_window Defragment 60 "$pid")
  e2e_wait_ready Defragment 30
}

e2e_log "case: the report is locked by another process"
e2e_simulate "${quick[@]}"
printf '%s' "$earlier_record" >"$report"
cp "$report" "$E2E_TMP/report.before"
e2e_lock_file "$(e2e_report_win)"
for args in "-S -E" "-S -M"; do
  e2e_clear_sim_log
  # shellcheck disable=SC2086  # the arguments are meant to split
  e2e_start_orvane $args
  pid=$E2E_ORVANE_PID
  if [ "$args" = "-S -E" ]; then
    e2e_expect_exit "$pid" 120 1
  else
    win=$(e2e_wait_window_matching '^(Defragmented|Defrag Error)$' 120 "$pid")
    [ "$(e2e_window_name "$win")" = "Defrag Error" ] ||
      e2e_fail "the title is '$(e2e_window_name "$win")', not 'Defrag Error'"
    e2e_close_window "Defrag Error"
    e2e_expect_exit "$pid" 30 0
  fi
  expect_runs "C D E"
  cmp -s "$E2E_TMP/report.before" "$report" || e2e_fail "the locked report changed"
done
e2e_unlock_file
e2e_clear_sim_log
e2e_start_orvane -S -E
e2e_expect_exit "$E2E_ORVANE_PID" 120 0
expect_runs "C D E"
e2e_expect_report_lines "$report" "<HEADER>" "$(ok C)" "" "${all_ok[@]}"
cmp -s -n "$(stat -c %s "$E2E_TMP/report.before")" "$E2E_TMP/report.before" "$report" ||
  e2e_fail "the earlier record changed"

e2e_log "case: the report is held open for a moment"
e2e_simulate "${quick[@]}"
rm -f "$report" "$(e2e_sim_log_file).cwd"
e2e_clear_sim_log
e2e_lock_file "$(e2e_report_win)" 60000
e2e_start_orvane -S -E
e2e_wait_sim_log 'defrag\.exe" E: -f' 60
sleep 2
e2e_running "$E2E_ORVANE_PID" || e2e_fail "the pass gave up on the held report"
e2e_unlock_file
e2e_expect_exit "$E2E_ORVANE_PID" 30 0
e2e_expect_report_lines "$report" "${all_ok[@]}"
e2e_expect_events "information 100"
[ "$(tr -d '\r' <"$(e2e_sim_log_file).cwd" | sort -u)" = 'C:\windows\system32' ] ||
  e2e_fail "the defragmenter ran in: $(tr '\r\n' ' ' <"$(e2e_sim_log_file).cwd")"

e2e_log "case: the session ends while the report is held open"
e2e_simulate "C: exit=0 ms=600000" "D: exit=0 ms=50" "E: exit=0 ms=50"
rm -f "$report"
e2e_clear_sim_log
e2e_lock_file "$(e2e_report_win)"
e2e_start_orvane -S -E
e2e_wait_sim_log 'defrag\.exe" C: -f' 60
handled=$(e2e_wine winpeek.exe endsession "Defragmenting .." | tr -d '\r' |
          sed -n 's/^handled in \([0-9]*\) ms$/\1/p')
[ -n "$handled" ] && [ "$handled" -le 5000 ] ||
  e2e_fail "WM_ENDSESSION took ${handled:-an unknown time} ms, more than 5000"
e2e_wait_exit "$E2E_ORVANE_PID" 30 >/dev/null
e2e_unlock_file
[ ! -s "$report" ] || e2e_fail "the held report was written"
e2e_expect_events "warning 102"
e2e_event_strings | head -n 1 | grep -qF 'Drive C: Defrag aborted with error level 1 (defrag was cancelled manually) \r\nDrive D: Defrag aborted by user\r\n\r\n' ||
  e2e_fail "the event does not carry the record: $(e2e_event_strings)"

e2e_log "case: the defragmenter crashes"
rm -f "$report"
e2e_clear_sim_log
e2e_simulate "C: exit=0 ms=50" "D: crash=1 ms=50" "E: exit=0 ms=50"
e2e_start_orvane -S -E
e2e_expect_exit "$E2E_ORVANE_PID" 120 1
expect_runs "C D E"
e2e_expect_report_lines "$report" "<HEADER>" "$(ok C)" \
  "Drive D: Defrag aborted with an unknown error level: -1073741819" "$(ok E)" ""

e2e_log "case: defrag.exe deleted during the pass"
rm -f "$report"
e2e_simulate "C: exit=0 ms=3000" "D: exit=0 ms=50" "E: exit=0 ms=50"
start_window
e2e_click_start "$win"
e2e_wait_sim_log 'defrag\.exe" C: -f' 30
mv "$defrag" "$E2E_TMP/defrag.exe.away"
e2e_wait_title "$win" "Defrag Error" 60
expect_runs "C"
mapfile -t lines < <(tr -d '\r' <"$report")
printf '%s\n' "${lines[@]}" >&2
[ "${#lines[@]}" -eq 9 ] || e2e_fail "${#lines[@]} report lines, not 9"
[ "${lines[1]}" = "$(ok C)" ] || e2e_fail "line 2 is not C:'s success"
[ "${lines[2]}" = "Drive D: Defrag could not be started" ] || e2e_fail "line 3 is not D:'s"
[ "${lines[3]}" = "Drive E: Defrag could not be started" ] || e2e_fail "line 4 is not E:'s"
[[ ${lines[5]} =~ $E2E_HEADER_RE ]] || e2e_fail "line 6 is no trailer header"
# HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), signed.
[ "${lines[6]}" = "ERROR!! #-2147024894" ] || e2e_fail "line 7 is not the file-not-found error"
[ -n "${lines[7]}" ] || e2e_fail "the error has no description"
mv "$E2E_TMP/defrag.exe.away" "$defrag"
e2e_simulate "${quick[@]}"
e2e_clear_sim_log
rm -f "$report"
e2e_click_start "$win"
e2e_wait_title "$win" Defragmented 60
expect_runs "C D E"
e2e_expect_report_lines "$report" "${all_ok[@]}"
e2e_close_window Defragmented
e2e_expect_exit "$pid" 30 0

e2e_log "case: D:'s defragmenter hangs in its engine until Stop"
rm -f "$report"
e2e_simulate "C: exit=0 ms=50" "D: engine=1 ms=600000" "E: exit=0 ms=50"
start_window
e2e_click_start "$win"
e2e_wait_sim_log 'DfrgNtfs\.exe' 60
e2e_click_start "$win"  # Stop
e2e_wait_title "$win" Defragment 30
for _ in $(seq 150); do [ -s "$report" ] && break; sleep 0.2; done
e2e_expect_report_lines "$report" "<HEADER>" "$(ok C)" \
  "Drive D: Defrag aborted with error level 1 (defrag was cancelled manually) " \
  "Drive E: Defrag aborted by user" ""
! e2e_processes | grep -qiE '^(defrag|DfrgNtfs)\.exe$' ||
  e2e_fail "the defragmenter or its engine still runs"

e2e_log "case: D:'s defragmenter hangs by itself until Stop"
rm -f "$report"
e2e_clear_sim_log
e2e_simulate "C: exit=0 ms=50" "D: exit=0 ms=40000" "E: exit=0 ms=50"
e2e_wait_ready Defragment 30
e2e_click_start "$win"
e2e_wait_sim_log 'defrag\.exe" D: -f' 30
e2e_click_start "$win"  # Stop: the service finds nothing for D:
for _ in $(seq 50); do [ -s "$report" ] && break; sleep 0.2; done
e2e_expect_report_lines "$report" "<HEADER>" "$(ok C)" \
  "Drive D: Defrag aborted with error level 1 (defrag was cancelled manually) " \
  "Drive E: Defrag aborted by user" ""
! e2e_processes | grep -qix 'defrag\.exe' || e2e_fail "D:'s defragmenter runs on"
expect_runs "C D"
e2e_simulate "${quick[@]}"
e2e_clear_sim_log
e2e_wait_ready Defragment 30
e2e_click_start "$win"
e2e_wait_title "$win" Defragmented 60
expect_runs "C D E"
e2e_close_window Defragmented
e2e_expect_exit "$pid" 30 0

# Failures of the pass itself, with "-S -M": the window stays, titled
# "Defrag Error", and a close ends the program with 0.
# error_pass_closed: runs such a pass and closes its window.
error_pass_closed() {
  e2e_start_orvane -S -M
  pid=$E2E_ORVANE_PID
  win=$(e2e_wait_window_matching '^(Defragmented|Defrag Error)$' 120 "$pid")
  [ "$(e2e_window_name "$win")" = "Defrag Error" ] ||
    e2e_fail "the title is '$(e2e_window_name "$win")', not 'Defrag Error'"
  peek=$(e2e_peek "Defrag Error")
  e2e_close_window "Defrag Error"
  e2e_expect_exit "$pid" 30 0
}

e2e_log "case: defrag.exe is no program"
# Each drive, the first too, still gets its line; the error trailer follows
# the record, and every line ends with CR LF, the description's own too.
rm -f "$report"
printf 'not a program\r\n' >"$defrag"
error_pass_closed
mapfile -t lines < <(tr -d '\r' <"$report")
printf '%s\n' "${lines[@]}" >&2
[ "${#lines[@]}" -eq 9 ] || e2e_fail "${#lines[@]} report lines, not 9"
[[ ${lines[0]} =~ $E2E_HEADER_RE ]] || e2e_fail "line 1 is no header"
i=1
for letter in C D E; do
  [ "${lines[i]}" = "Drive $letter: Defrag could not be started" ] ||
    e2e_fail "line $((i + 1)) is not $letter:'s"
  i=$((i + 1))
done
[ -z "${lines[4]}" ] || e2e_fail "line 5 is not empty"
[[ ${lines[5]} =~ $E2E_HEADER_RE ]] || e2e_fail "line 6 is no trailer header"
[[ ${lines[6]} =~ ^ERROR!!\ #-?[1-9][0-9]*$ ]] || e2e_fail "line 7 is not 'ERROR!! #' and a number"
[ -n "${lines[7]}" ] || e2e_fail "the error has no description"
[ -z "${lines[8]}" ] || e2e_fail "line 9 is not empty"
[ "$(grep -c $'\r$' "$report")" -eq 9 ] || e2e_fail "not every line ends with CR LF"
cp "$SIMDEFRAG_DIR/defrag.exe" "$defrag"

e2e_log "case: the report cannot be written"
# A directory where the file should be: every drive is defragmented,
# nothing is written, and Report stays disabled.
e2e_simulate "${quick[@]}"
e2e_clear_sim_log
rm -f "$report"
mkdir "$report"
error_pass_closed
[ "$(e2e_peek_field "$peek" control Report enabled)" = 0 ] ||
  e2e_fail "Report is enabled without a report file"
[ -d "$report" ] && [ -z "$(ls -A "$report")" ] ||
  e2e_fail "something was written where the report should be"
expect_runs "C D E"
e2e_pass
