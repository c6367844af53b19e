#!/usr/bin/env bash
# Without an ordinary file defrag.exe in the system directory (missing,
# hidden or a system file) the program shows its not-found message box,
# titled Orvane, and ends with exit code 1 when it is closed: no window, no
# run, even with -S. On a window station that no one sees (a scheduled task
# run as SYSTEM) it shows no box: it ends by itself, with 1, and the text
# goes to the Application event log as an error with the box's own ID (which
# Wine writes to its debug channels).
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
e2e_init

defrag="$(e2e_system32)/defrag.exe"
defrag_win="$E2E_SYSTEM32_WIN\\defrag.exe"
# winpeek escapes CR, LF and backslashes.
expected_text='Defrag File Not Found\r\nC:\\windows\\system32\\defrag.exe\r\nProgram will close now'

# case: how defrag.exe is | arguments
cases=(
  "missing|"
  "missing|-S -E"
  "hidden|"
  "system|-S"
)
for case in "${cases[@]}"; do
  IFS='|' read -r state args <<<"$case"
  e2e_log "case: defrag.exe $state, arguments '$args'"
  cp "$SIMDEFRAG_DIR/defrag.exe" "$defrag"
  e2e_set_attrib "$defrag_win" -h
  e2e_set_attrib "$defrag_win" -s
  case $state in
    missing) rm -f "$defrag" ;;
    hidden) e2e_set_attrib "$defrag_win" +h ;;
    system) e2e_set_attrib "$defrag_win" +s ;;
  esac

  # shellcheck disable=SC2086  # the arguments are meant to split
  e2e_start_orvane $args
  pid=$E2E_ORVANE_PID
  box=$(e2e_wait_window Orvane 60 "$pid")
  peek=$(e2e_peek Orvane)
  printf '%s\n' "$peek" | grep -qF "text=$expected_text visible=1" || {
    printf '%s\n' "$peek" >&2
    e2e_fail "the message box does not read as expected"
  }
  [ "$(e2e_count_windows Defragment)" -eq 0 ] ||
    e2e_fail "the main window opened"

  e2e_key_to_close "$box" Return || e2e_fail "Return does not close the message box"
  e2e_expect_exit "$pid" 30 1
  [ "$(e2e_count_windows Defragment)" -eq 0 ] ||
    e2e_fail "the main window opened after the message"
  [ -z "$(e2e_sim_commands)" ] ||
    e2e_fail "a defragmenter was started: $(e2e_sim_commands)"
  [ ! -e "$(e2e_report_file)" ] || e2e_fail "a report file was written"
done

e2e_log "case: defrag.exe missing, -S -E on a window station no one sees"
rm -f "$defrag"
events=$E2E_TMP/eventlog.txt
e2e_wait_orvane_gone
unseen=$(cd "$WINEPREFIX/drive_c" && WINEDEBUG=$E2E_EVENT_CHANNELS timeout 90 \
  "$ORVANE_WINE" winpeek.exe unseen 60 "$E2E_ORVANE_WIN" -S -E 2>"$events" | tr -d '\r')
[ "$unseen" = exit=1 ] ||
  e2e_fail "on an unseen station the program did not end by itself with 1: '$unseen'"
grep -qF "err:eventlog:ReportEventW L\"$expected_text\"" "$events" || {
  cat "$events" >&2
  e2e_fail "the not-found text is not in the event log"
}
# Besides: one warning that the folder and the exe are open to others
# (Wine's user has full control of both), naming them.
folder_warning=':ReportEventW ([^,]*,0x0002,0x0000,0x0000006a,'
grep -A1 "$folder_warning" "$events" |
  grep -qF 'eventlog:ReportEventW L"C:\\Orvane and C:\\Orvane\\Orvane.exe"' ||
  e2e_fail "no warning 106 naming C:\\Orvane and its exe: $(grep -A1 ReportEventW "$events")"
[ "$(grep ':ReportEventW (' "$events" | grep -vc "$folder_warning")" -eq 1 ] &&
  grep -q ':ReportEventW ([^,]*,0x0001,0x0000,0x000000c8,' "$events" ||
  e2e_fail "not one error event with the not-found ID 200: $(grep ReportEventW "$events")"
[ -z "$(e2e_sim_commands)" ] ||
  e2e_fail "a defragmenter was started: $(e2e_sim_commands)"
e2e_pass
