#!/usr/bin/env bash
# A second start while the program runs ends at once: no second window, no
# message box, and its switches are never acted on (here -S -E, which would
# otherwise defragment at once). By hand it ends silently; an unattended one
# ends with exit status 1 and warning 104, so that a scheduled run that did
# nothing says so. A single-instance mutex that another account made (anyone
# may), or whose owner cannot be read, is no instance: the start ends with
# exit status 1 and error 105, as is any object of another type of its name.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
e2e_init

e2e_start_orvane
first=$E2E_ORVANE_PID
win=$(e2e_wait_window Defragment 60 "$first")

e2e_start_orvane
e2e_expect_exit "$E2E_ORVANE_PID" 30 0
e2e_expect_events
e2e_start_orvane -S -E
e2e_expect_exit "$E2E_ORVANE_PID" 30 1
e2e_expect_events "warning 104"

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

mutex='Global\Orvane.Instance.{6F3C0B52-9A1D-4E7B-8C25-D41A7E90B3F6}'
e2e_simulate "* ms=3000"  # a pass would outlast the second start
for squat in "mutex O:BU" "mutex D:" "event O:BA"; do  # Users' own; unreadable; an event
  read -r type sddl <<<"$squat"
  e2e_log "case: the claim's name is squatted ($squat)"
  (cd "$WINEPREFIX/drive_c" && exec "$ORVANE_WINE" winpeek.exe $type "$mutex" "$sddl") \
    >"$E2E_TMP/mutex.out" 2>>"$E2E_TMP/wine.log" &
  squatter=$!
  for _ in $(seq 300); do grep -q '^held' "$E2E_TMP/mutex.out" && break; sleep 0.1; done
  # Two scheduled starts 1.5 s apart: neither may run a pass.
  e2e_start_orvane -S -E
  early=$E2E_ORVANE_PID from=$E2E_EVENTS_FROM
  sleep 1.5
  e2e_start_orvane -S -E
  e2e_expect_exit "$early" 30 1
  e2e_expect_exit "$E2E_ORVANE_PID" 30 1
  E2E_EVENTS_FROM=$from
  e2e_expect_events "error 105" "error 105"
  [ -z "$(e2e_sim_commands)" ] || e2e_fail "a pass ran: $(e2e_sim_commands)"
  kill "$squatter"
  wait "$squatter" 2>/dev/null || true
done
e2e_pass
