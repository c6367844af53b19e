#!/usr/bin/env bash
# The window's state decides how a pass with "-E" ends. Started with "-E"
# alone and run by a click on Start: minimized during the pass, the program
# ends with the pass, with exit status 0 after "Defragmented" and 1 after
# "Defrag Error"; minimized and restored again before the end, it stays open
# (and exits with 0 when closed). With "-S -E" a Stop clicked on the
# minimized window restores it, so the program stays open after the stopped
# pass. Closing a minimized "-S -E" run ends it as a stopped pass (status 1);
# closing a "-S" run without "-E" ends with 0.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
e2e_init

e2e_add_drive D hd
e2e_apply_drives
report=$(e2e_report_file)
ok_c="Drive C: Defrag completed successfully"
ok_d="Drive D: Defrag completed successfully"
stopped_c="Drive C: Defrag aborted with error level 1 (defrag was cancelled manually) "
aborted_d="Drive D: Defrag aborted by user"

# expect_window TITLE ICONIC: the window TITLE exists with that iconic state.
expect_window() {
  local peek
  peek=$(e2e_peek "$1")
  [ -n "$peek" ] || e2e_fail "no window titled '$1'"
  [ "$(e2e_peek_field "$peek" window "$1" iconic)" = "$2" ] ||
    { printf '%s\n' "$peek" >&2; e2e_fail "window '$1': iconic is not $2"; }
}

# start_with_click ARGS...: starts the program and clicks Start; returns
# once the defragmenter for C: runs.
start_with_click() {
  rm -f "$report"
  e2e_clear_sim_log
  e2e_start_orvane "$@"
  pid=$E2E_ORVANE_PID
  win=$(e2e_wait_window Defragment 60 "$pid")
  e2e_wait_ready Defragment 30
  e2e_click_start "$win"
  e2e_wait_title "$win" "Defragmenting .." 30
  e2e_wait_sim_log 'defrag\.exe" C: -f' 30
}

# C: runs until the window has been minimized (and restored): each step is
# a program started in Wine, which on a busy machine takes seconds.
for case in "0|Defragmented|$ok_d" "7|Defrag Error|Drive D: Defrag aborted with error level 7 (There is not enough free space on the drive. Defrag needs 15% free space to run on a volume)"; do
  IFS='|' read -r code title line_d <<<"$case"
  status=0
  [ "$code" = 0 ] || status=1
  e2e_log "case: -E, minimized during the pass, D: ends with $code"
  e2e_simulate "C: exit=0 ms=90000 go=1" "D: exit=$code ms=50"
  start_with_click -E
  e2e_syscommand "Defragmenting .." minimize
  expect_window "Defragmenting .." 1
  [ ! -e "$report" ] || e2e_fail "the pass ended too early for the case"
  e2e_sim_go
  e2e_expect_exit "$pid" 60 "$status"
  e2e_expect_report_lines "$report" "<HEADER>" "$ok_c" "$line_d" ""
  [ "$(e2e_count_windows "$title")" -eq 0 ] || e2e_fail "a window is left"
done

e2e_log "case: -E, minimized and restored during the pass"
e2e_simulate "C: exit=0 ms=90000 go=1" "D: exit=0 ms=50"
start_with_click -E
e2e_syscommand "Defragmenting .." minimize
expect_window "Defragmenting .." 1
e2e_syscommand "Defragmenting .." restore
expect_window "Defragmenting .." 0
e2e_sim_go
e2e_wait_title "$win" Defragmented 60
sleep 2  # the program must stay
e2e_running "$pid" || e2e_fail "the program ended"
expect_window Defragmented 0
e2e_expect_report_lines "$report" "<HEADER>" "$ok_c" "$ok_d" ""
e2e_close_window Defragmented
e2e_expect_exit "$pid" 30 0

e2e_log "case: -S -E, Stop clicked on the minimized window"
rm -f "$report"
e2e_clear_sim_log
e2e_simulate "C: engine=1 ms=600000" "D: exit=0 ms=50"
e2e_start_orvane -S -E
pid=$E2E_ORVANE_PID
e2e_wait_sim_log 'DfrgNtfs\.exe' 60
expect_window "Defragmenting .." 1
e2e_post_click "Defragmenting .." Stop
win=$(e2e_wait_window Defragment 30 "$pid")
for _ in $(seq 150); do [ -s "$report" ] && break; sleep 0.2; done
e2e_expect_report_lines "$report" "<HEADER>" "$stopped_c" "$aborted_d" ""
sleep 2  # the program must stay
e2e_running "$pid" || e2e_fail "the program ended after Stop"
expect_window Defragment 0
! e2e_processes | grep -qiE '^(defrag|DfrgNtfs)\.exe$' ||
  e2e_fail "the defragmenter or its engine still runs"
e2e_close_window Defragment
e2e_expect_exit "$pid" 30 0

# Closing runs the stop handling too, but leaves the window minimized when
# the pass ends: with "-E" the pass then ends the program, as stopped.
for case in "-S -E|1" "-S|0"; do
  IFS='|' read -r args status <<<"$case"
  e2e_log "case: $args, the minimized window closed during the pass"
  rm -f "$report"
  e2e_clear_sim_log
  e2e_simulate "C: engine=1 ms=600000" "D: exit=0 ms=50"
  # shellcheck disable=SC2086  # the arguments are meant to split
  e2e_start_orvane $args
  pid=$E2E_ORVANE_PID
  e2e_wait_sim_log 'DfrgNtfs\.exe' 60
  expect_window "Defragmenting .." 1
  e2e_close_window "Defragmenting .."
  e2e_expect_exit "$pid" 60 "$status"
  e2e_expect_report_lines "$report" "<HEADER>" "$stopped_c" "$aborted_d" ""
  ! e2e_processes | grep -qiE '^(defrag|DfrgNtfs)\.exe$' ||
    e2e_fail "the defragmenter or its engine still runs"
done
e2e_pass
