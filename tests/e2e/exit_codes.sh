#!/usr/bin/env bash
# The process exit status, for a scheduler: when "-E" ends the program with
# a pass, 0 after "Defragmented" and 1 after "Defrag Error" (any drive that
# failed); 1 too when a failure ends it (the not-found message) and for a
# second instance's "-S -E" (with warning 104); every other end gives 0:
# the window closed (also after a pass that failed, with "-M" having
# restored it). Stops with "-E" are in
# minimize_tracking.sh. Each pass writes one event of the type its title
# says; a start without a pass writes none, nor does a box that was seen.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
e2e_init

e2e_add_drive D hd
e2e_apply_drives

# arguments | exit C: | exit D: | title at the end, or "exit" | status | event
cases=(
  "-S -E|0|0|exit|0|information 100"
  "-S -E|0|7|exit|1|error 101"
  "-S -E|5|0|exit|1|error 101"
  "-S -M -E|0|7|Defrag Error|0|error 101"
  "-S|3|0|Defrag Error|0|error 101"
  "-E|0|0|Defragment|0|"
)
for case in "${cases[@]}"; do
  IFS='|' read -r args code_c code_d title status event <<<"$case"
  e2e_log "case: $args, C: $code_c, D: $code_d"
  e2e_simulate "C: exit=$code_c ms=50" "D: exit=$code_d ms=50"
  # shellcheck disable=SC2086  # the arguments are meant to split
  e2e_start_orvane $args
  pid=$E2E_ORVANE_PID
  if [ "$title" != exit ]; then
    e2e_wait_window "$title" 120 "$pid" >/dev/null
    sleep 1
    e2e_running "$pid" || e2e_fail "the program ended"
    e2e_close_window "$title"
  fi
  e2e_expect_exit "$pid" 120 "$status"
  e2e_expect_events ${event:+"$event"}
  # Its strings: the record as the report has it, and no trailer.
  record=$(tail -n 4 "$(e2e_report_file)" | tr -d '\r' | awk '{ printf "%s\\r\\n", $0 }')
  [ -z "$event" ] || [ "$(e2e_event_strings)" = "L\"$record\""$'\n'"L\"\"" ] ||
    e2e_fail "the event's strings are not the record: $(e2e_event_strings)"
done

# Queried 6 s before the end: Windows has ended C:'s tool, or C: ended. A
# close instead (taskkill) ends it at once; a lone query holds D: 30 s.
for end in "yes|40000|1|aborted with an unknown error level: -1073741510|aborted by user|60" \
           "no|4000|0|completed successfully|completed successfully|60" \
           "close|40000|1|aborted with an unknown error level: -1073741510|aborted by user|10" \
           "none|4000|0|completed successfully|completed successfully|60"; do
  IFS='|' read -r answer ms status line_c line_d within <<<"$end"
  e2e_log "case: -S -E, the end of the session queried during C:, then $answer"
  rm -f "$(e2e_report_file)" "$(e2e_sim_log_file)"
  e2e_simulate "C: exit=0 ms=$ms" "D: exit=0 ms=50"
  e2e_start_orvane -S -E
  e2e_wait_sim_log 'C: -f' 60
  e2e_wine_quiet winpeek.exe endsession "Defragmenting .." 6000 "$answer" &
  sleep 5
  ! e2e_sim_commands | grep -q 'D: -f' || e2e_fail "D: started meanwhile"
  wait $! || e2e_fail "no window to send the end of the session to"
  e2e_expect_exit "$E2E_ORVANE_PID" "$within" "$status"
  e2e_expect_report_lines "$(e2e_report_file)" "<HEADER>" \
    "Drive C: Defrag $line_c" "Drive D: Defrag $line_d" ""
  ! e2e_processes | grep -qix 'defrag\.exe' || e2e_fail "defrag.exe still runs"
done

e2e_log "case: a second instance"
e2e_start_orvane
first=$E2E_ORVANE_PID
e2e_wait_window Defragment 60 "$first" >/dev/null
e2e_start_orvane -S -E
e2e_expect_exit "$E2E_ORVANE_PID" 30 1
e2e_running "$first" || e2e_fail "the first instance ended"
e2e_close_window Defragment
e2e_expect_exit "$first" 30 0
e2e_expect_events "warning 104"

e2e_log "case: the not-found message"
rm -f "$(e2e_system32)/defrag.exe"
e2e_start_orvane -S -E
pid=$E2E_ORVANE_PID
box=$(e2e_wait_window Orvane 60 "$pid")
e2e_key_to_close "$box" Return || e2e_fail "Return does not close the message box"
e2e_expect_exit "$pid" 30 1
e2e_expect_events

# A pass that keeps the program open: the title says its outcome, "Defrag
# Error" when any drive's exit code is not 0 (a failed drive is never
# reported as success), "Defragmented" otherwise. "-M" restores the
# minimized window, also when "-E" comes first; "-S" alone leaves it
# minimized. Start and Report are enabled. ("-S -M -E" after a failure of
# D: is the table's case above.)
# arguments | exit C: | exit D: | title | minimized at the end
kept=(
  "-S -E -M|0|0|Defragmented|0"
  "-S|0|-1|Defrag Error|1"
  "-S -M -E|7|0|Defrag Error|0"
)
cp "$SIMDEFRAG_DIR/defrag.exe" "$(e2e_system32)/defrag.exe"
for case in "${kept[@]}"; do
  IFS='|' read -r args code_c code_d title iconic <<<"$case"
  e2e_log "case: $args, C: $code_c, D: $code_d, kept open"
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
  e2e_expect_exit "$pid" 30 0
done
e2e_pass
