#!/usr/bin/env bash
# A busy machine: while a defragmentation engine runs (DfrgNtfs.exe or
# DfrgFat.exe, whoever started it) or defrag.exe runs for drive C: with the
# system's command line, a run is refused silently: nothing is defragmented,
# no report is written, and the program stays open and idle ("-S -E" leaves
# it minimized); only the Application log has one warning of the refusal.
# defrag.exe working on another drive does not count as busy.
#
# The engines are found by Wine's own management service. Wine reports no
# command line of another process, so the cases of defrag.exe run against the
# stand-in (tools/wmistub), which shows the three questions exactly as sent;
# there one of them fails, and the others are still asked. Last, the session
# ends during a slow busy test: no pass runs, and the program ends.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
e2e_init

e2e_add_drive D hd
e2e_apply_drives
cp "$SIMDEFRAG_DIR/DfrgNtfs.exe" "$(e2e_system32)/DfrgFat.exe"
quick=("C: exit=0 ms=50" "D: exit=0 ms=50")

# The busy test's questions, as the stand-in logs them; the engine questions
# are in the form "<query><TAB><answer>".
watched_query="Select Name, CommandLine from Win32_Process Where Name = 'defrag.exe' And CommandLine = '\"C:\\\\windows\\\\system32\\\\defrag.exe\" C: -f'"
ntfs_query="Select Name from Win32_Process Where Name = 'DfrgNtfs.exe'"
fat_query="Select Name from Win32_Process Where Name = 'DfrgFat.exe'"
busy_questions=$(printf 'ExecQuery\tWQL\t%s\tflags=48\t%s\n' \
  "$watched_query" "1 found" \
  "$ntfs_query" "0x80041001 from Next" \
  "$fat_query" "0 found")

# expect_refused PID WIN ICONIC: the program PID, window WIN, refused the run
# and is idle; its window minimized or not (ICONIC 1 or 0).
expect_refused() {
  local pid=$1 win=$2 iconic=$3 peek
  sleep 8  # the busy test asks the management service three times
  for _ in $(seq 60); do
    peek=$(e2e_peek Defragment)
    [ "$(e2e_peek_field "$peek" control Start enabled)" = 1 ] && break
    sleep 1
  done
  printf '%s\n' "$peek" >&2
  e2e_running "$pid" || e2e_fail "the program ended"
  [ "$(e2e_window_name "$win")" = Defragment ] ||
    e2e_fail "the title is '$(e2e_window_name "$win")'"
  [ "$(e2e_peek_field "$peek" window Defragment iconic)" = "$iconic" ] ||
    e2e_fail "the window's minimized state is not $iconic"
  [ "$(e2e_peek_field "$peek" control Start enabled)" = 1 ] ||
    e2e_fail "Start is not there and enabled"
  [ "$(e2e_peek_field "$peek" control Report enabled)" = 0 ] ||
    e2e_fail "Report is enabled"
  [ "$(e2e_count_windows Orvane)" -eq 0 ] || e2e_fail "a message box is shown"
  [ "$(e2e_sim_commands | wc -l)" -eq "$before" ] ||
    e2e_fail "something was started: $(e2e_sim_commands)"
  [ ! -e "$(e2e_report_file)" ] || e2e_fail "a report was written"
  e2e_expect_events "warning 103"
}

sys=$E2E_SYSTEM32_WIN
# the process already running (program and arguments) | refused | service |
# how the run is asked for. Closing the window ends a run for C:, so each
# case starts its own.
cases=(
  "$sys\\DfrgNtfs.exe|1|wine|-S -E"
  "$sys\\DfrgFat.exe|1|wine|-S -E"
  "$sys\\defrag.exe X: -f|0|wine|-S -E"
  "$sys\\defrag.exe C: -f|1|stand-in|-S -E"
  "$sys\\defrag.exe C: -f|1|stand-in|click"
  "$sys\\defrag.exe D: -f|0|stand-in|-S -E"
)
for case in "${cases[@]}"; do
  IFS='|' read -r busy refused service how <<<"$case"
  e2e_log "case: running $busy, asking $service, $how"
  e2e_stop_wine
  if [ "$service" = stand-in ] && [ ! -f "$(e2e_system32)/wmistub.dll" ]; then
    e2e_use_wmistub
    e2e_wmistub_settings "fail=DfrgNtfs"
  fi
  e2e_clear_sim_log
  e2e_clear_wmistub_log
  rm -f "$(e2e_report_file)"
  # The process already running takes its time; the program's own runs
  # (which read the settings when they start) are quick.
  e2e_simulate "* ms=600000"
  # shellcheck disable=SC2086  # program and arguments are meant to split
  e2e_wine winpeek.exe spawn $busy >/dev/null || e2e_fail "could not start $busy"
  program=${busy%% *}
  e2e_wait_sim_log "$(e2e_regex_quote "${program##*\\}")" 30
  e2e_simulate "${quick[@]}"
  before=$(e2e_sim_commands | wc -l)

  if [ "$how" = click ]; then
    e2e_start_orvane
    pid=$E2E_ORVANE_PID
    win=$(e2e_wait_window Defragment 60 "$pid")
    e2e_wait_ready Defragment 30
    e2e_clear_wmistub_log
    e2e_click_start "$win"
  else
    e2e_start_orvane -S -E
    pid=$E2E_ORVANE_PID
  fi
  if [ "$refused" = 0 ]; then
    e2e_wait_exit "$pid" 120 >/dev/null
    [ "$(e2e_sim_commands | tail -n +$((before + 1)) |
         grep -c 'defrag.exe" [CD]: -f$')" -eq 2 ] ||
      e2e_fail "C: and D: were not defragmented: $(e2e_sim_commands)"
    [ -s "$(e2e_report_file)" ] || e2e_fail "no report written"
    e2e_expect_events "information 100"
    continue
  fi

  win=$(e2e_wait_window Defragment 60 "$pid")
  expect_refused "$pid" "$win" "$([ "$how" = click ] && echo 0 || echo 1)"
  [ "$service" = wine ] || [ "$(e2e_wmistub_work)" = "$busy_questions" ] ||
    e2e_fail "the busy test asked otherwise: $(e2e_wmistub_work)"
  e2e_close_window Defragment
  e2e_wait_exit "$pid" 60 >/dev/null
done

e2e_log "case: the session ends during a slow busy test after a click on Start"
e2e_wmistub_settings "delay=1500"
e2e_clear_sim_log
e2e_start_orvane
pid=$E2E_ORVANE_PID
win=$(e2e_wait_window Defragment 60 "$pid")
e2e_wait_ready Defragment 30
e2e_click_start "$win"
sleep 2
e2e_wine_quiet winpeek.exe endsession Defragment
e2e_wait_exit "$pid" 60 >/dev/null
[ -z "$(e2e_sim_commands)" ] || e2e_fail "a pass ran: $(e2e_sim_commands)"
e2e_pass
