#!/usr/bin/env bash
# "-S -E" on a busy machine: while a defragmentation engine runs (DfrgNtfs.exe
# or DfrgFat.exe, whoever started it) or defrag.exe runs for drive C: with
# the system's command line, the run is refused silently: nothing is
# defragmented, no report is written, and the program stays open, minimized
# and idle. defrag.exe working on another drive does not count as busy.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
e2e_init

e2e_add_drive D hd
e2e_apply_drives
cp "$SIMDEFRAG_DIR/DfrgNtfs.exe" "$(e2e_system32)/DfrgFat.exe"
quick=("C: exit=0 ms=50" "D: exit=0 ms=50")

sys=$E2E_SYSTEM32_WIN
# the process already running (program and arguments) | refused
cases=(
  "$sys\\DfrgNtfs.exe|1"
  "$sys\\DfrgFat.exe|1"
  "$sys\\defrag.exe C: -f|1"
  "$sys\\defrag.exe X: -f|0"
)
for case in "${cases[@]}"; do
  IFS='|' read -r busy refused <<<"$case"
  e2e_log "case: running $busy"
  e2e_stop_wine
  e2e_clear_sim_log
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
  if [[ $busy == *defrag.exe* ]] && [ "$refused" = 1 ] &&
     e2e_wmi_command_lines defrag.exe | grep -qx '(null)'; then
    # The program tells its own run for C: by the command line that the
    # management service reports, and this one reports none.
    e2e_log "SKIP case: the management service here reports no command lines of other processes"
    continue
  fi

  e2e_start_orvane -S -E
  pid=$E2E_ORVANE_PID
  if [ "$refused" = 0 ]; then
    e2e_wait_exit "$pid" 120 >/dev/null
    [ "$(e2e_sim_commands | grep -c 'defrag.exe" [CD]: -f$')" -eq 2 ] ||
      e2e_fail "C: and D: were not defragmented: $(e2e_sim_commands)"
    [ -s "$(e2e_report_file)" ] || e2e_fail "no report written"
    continue
  fi

  win=$(e2e_wait_window Defragment 60 "$pid")
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
  [ "$(e2e_peek_field "$peek" window Defragment iconic)" = 1 ] ||
    e2e_fail "the window is not minimized"
  [ "$(e2e_peek_field "$peek" control Start enabled)" = 1 ] ||
    e2e_fail "Start is not there and enabled"
  [ "$(e2e_peek_field "$peek" control Report enabled)" = 0 ] ||
    e2e_fail "Report is enabled"
  [ "$(e2e_sim_commands | wc -l)" -eq "$before" ] ||
    e2e_fail "something was started: $(e2e_sim_commands)"
  [ ! -e "$(e2e_report_file)" ] || e2e_fail "a report was written"

  e2e_close_window Defragment
  e2e_wait_exit "$pid" 60 >/dev/null
done
e2e_pass
