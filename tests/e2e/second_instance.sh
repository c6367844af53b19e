#!/usr/bin/env bash
# A second start while the program runs ends at once and silently: no second
# window, no message box, and its switches are never read (here -S -E, which
# would otherwise defragment at once).
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
e2e_init

e2e_start_orvane
first=$E2E_ORVANE_PID
win=$(e2e_wait_window Defragment 60 "$first")

e2e_start_orvane -S -E
second=$E2E_ORVANE_PID
e2e_wait_exit "$second" 30 >/dev/null

e2e_running "$first" || e2e_fail "the first instance ended"
[ "$(e2e_count_windows Defragment)" -eq 1 ] ||
  e2e_fail "$(e2e_count_windows Defragment) windows named Defragment"
[ "$(e2e_count_windows Orvane)" -eq 0 ] || e2e_fail "a message box appeared"
[ -z "$(e2e_sim_commands)" ] ||
  e2e_fail "a defragmenter was started: $(e2e_sim_commands)"
[ ! -e "$(e2e_report_file)" ] || e2e_fail "a report file was written"
[ "$(e2e_window_name "$win")" = Defragment ] ||
  e2e_fail "the first window is now named '$(e2e_window_name "$win")'"

e2e_close_window Defragment
e2e_wait_exit "$first" 30 >/dev/null
e2e_pass
