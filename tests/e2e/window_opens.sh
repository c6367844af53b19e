#!/usr/bin/env bash
# Without switches the window opens titled Defragment, 201 x 60 client
# pixels, centred on the screen, idle: Start enabled, and Report enabled
# exactly when this month's report file exists as an ordinary file. A click on
# an enabled Report opens the report with the program associated with .txt
# files (here txtview.exe, which logs its command line).
# A close while the viewer is open ends the program; the viewer stays open.
# Elevated, it never starts the .txt handler itself: without Explorer, the
# system's Notepad shows the report; a hung Explorer makes Report fail visibly.
# Until the first Report click, OLE automation (oleaut32) is not loaded.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
e2e_init

report=$(e2e_report_file)
report_name=$(basename "$report")
e2e_simulate "* ms=120000"  # the viewer (it names no drive) stays open

# case: report file state | Report enabled
cases=(
  "none|0"
  "hidden|0"
  "present|1"
)
for case in "${cases[@]}"; do
  IFS='|' read -r state enabled <<<"$case"
  e2e_log "case: report $state"
  rm -f "$report"
  if [ "$state" != none ]; then
    printf '1/2/2026 - 3:04:05 AM\r\nDrive C: Defrag completed successfully\r\n\r\n' >"$report"
    [ "$state" = hidden ] && e2e_set_attrib "$(e2e_report_win)" +h
  fi
  cp "$report" "$E2E_TMP/report.before" 2>/dev/null || rm -f "$E2E_TMP/report.before"
  e2e_clear_sim_log

  e2e_start_orvane
  pid=$E2E_ORVANE_PID
  win=$(e2e_wait_window Defragment 60 "$pid")
  # Listed shown by Windows, not only named on the X screen: after a Report
  # opened by the desktop's shell, the next start's X window was found
  # where winpeek listed no window yet.
  for _ in $(seq 50); do
    e2e_peek Defragment | grep -q '^window .* visible=1 ' && break
    sleep 0.2
  done
  sleep 1  # let the load finish
  peek=$(e2e_peek Defragment)
  printf '%s\n' "$peek" >&2
  [ -n "$peek" ] || e2e_fail "X shows the window, Windows lists none titled Defragment"

  [ "$(e2e_peek_field "$peek" window Defragment client)" = 201x60 ] ||
    e2e_fail "client area is not 201x60"
  [ "$(e2e_peek_field "$peek" window Defragment iconic)" = 0 ] ||
    e2e_fail "window is minimized"
  [ "$(e2e_peek_field "$peek" control Start enabled)" = 1 ] ||
    e2e_fail "Start is not enabled"
  [ "$(e2e_peek_field "$peek" control Report enabled)" = "$enabled" ] ||
    e2e_fail "Report enabled is not $enabled"

  # Centred: the window's outer rectangle as Windows sees it...
  IFS=, read -r left top right bottom <<<"$(e2e_peek_field "$peek" window Defragment rect)"
  dx=$(( (left + right) - E2E_SCREEN_W ))
  dy=$(( (top + bottom) - E2E_SCREEN_H ))
  [ "${dx#-}" -le 2 ] && [ "${dy#-}" -le 2 ] ||
    e2e_fail "window $left,$top,$right,$bottom is not centred on ${E2E_SCREEN_W}x${E2E_SCREEN_H}"
  # ...and the frameless X window (the client area) on the X screen: the
  # title bar above it shifts it down by less than its height.
  read -r x y w h <<<"$(e2e_window_geometry "$win")"
  cx=$(( 2 * x + w - E2E_SCREEN_W ))
  cy=$(( 2 * y + h - E2E_SCREEN_H ))
  [ "${cx#-}" -le 4 ] && [ "$cy" -ge 0 ] && [ "$cy" -le 60 ] ||
    e2e_fail "X window at $x,$y ${w}x$h is not centred"

  # Before its first use (the Report click) the program has not loaded OLE
  # automation, which only COM's callers need. (Wine's own DLLs load ole32
  # into every process with a window.)
  modules=$(e2e_wine winpeek.exe modules Defragment | tr -d '\r' || true)
  [ -n "$modules" ] || e2e_fail "no modules listed"
  ! grep -qx 'oleaut32\.dll' <<<"$modules" ||
    e2e_fail "oleaut32.dll loaded before its first use"

  e2e_click_report "$win"
  if [ "$enabled" = 1 ]; then
    for _ in $(seq 100); do
      e2e_sim_commands | grep -q txtview && break
      sleep 0.2
    done
    opened=$(e2e_sim_commands | grep txtview || true)
    [ -n "$opened" ] || e2e_fail "Report opened nothing"
    e2e_log "Report opened: $opened"
    grep -qiF "$report_name" <<<"$opened" ||
      e2e_fail "Report opened '$opened', not the report"
  else
    sleep 3
    [ -z "$(e2e_sim_commands)" ] ||
      e2e_fail "disabled Report started: $(e2e_sim_commands)"
  fi
  e2e_running "$pid" || e2e_fail "the program ended"
  [ "$(e2e_window_name "$win")" = Defragment ] || e2e_fail "the title changed"
  if [ -e "$E2E_TMP/report.before" ]; then
    cmp -s "$E2E_TMP/report.before" "$report" || e2e_fail "the report changed"
  else
    [ ! -e "$report" ] || e2e_fail "a report file was written"
  fi

  e2e_close_window Defragment
  e2e_wait_exit "$pid" 30 >/dev/null
  if [ "$enabled" = 1 ]; then
    e2e_processes | grep -qix txtview.exe || e2e_fail "the viewer was ended"
    e2e_wine_quiet taskkill /F /PID "$(e2e_sim_pid txtview)"
  fi
done

start_ready() {  # the program, once its window takes clicks; the report is present
  e2e_start_orvane
  pid=$E2E_ORVANE_PID win=$(e2e_wait_window Defragment 60 "$E2E_ORVANE_PID")
  e2e_wait_ready Defragment 30
}

e2e_log "case: the desktop's shell does not answer"
start_ready
# Explorer's stand-in, found as Windows sees it: its Unix process does not
# always carry the prefix in its environment.
e2e_wine_quiet winpeek.exe suspend explorer.exe || e2e_fail "no desktop process"
e2e_click_report "$win"
e2e_wait_window Orvane 40 "$pid" >/dev/null  # the failure's message box
e2e_wine_quiet winpeek.exe resume explorer.exe
e2e_close_window Orvane
e2e_close_window Defragment
e2e_wait_exit "$pid" 30 >/dev/null

e2e_log "case: Report after Explorer was ended"
start_ready
e2e_wine_quiet winpeek.exe end explorer.exe || e2e_fail "no desktop process"
e2e_clear_sim_log  # with no desktop shell, only Orvane could start the handler
e2e_click_report "$win"
e2e_wait_window "$report_name - Notepad" 30 "$pid" >/dev/null
[ -z "$(e2e_sim_commands)" ] || e2e_fail "Orvane started the .txt handler: $(e2e_sim_commands)"
e2e_close_window "$report_name - Notepad"
e2e_close_window Defragment
e2e_wait_exit "$pid" 30 >/dev/null
e2e_pass
