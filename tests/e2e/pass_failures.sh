#!/usr/bin/env bash
# Failures of the pass itself, unlike exit codes of the defragmenter, show in
# the title "Defrag Error" and in an error trailer after the run record:
# header, "ERROR!! #" and the number, the description, an empty line. A
# defragmenter that cannot be started still gives its drive one line, and
# the pass goes on with the next drive. A report that cannot be written
# leaves no file and shows as "Defrag Error" all the same.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
e2e_init

e2e_add_drive D hd
e2e_apply_drives
report=$(e2e_report_file)
defrag="$(e2e_system32)/defrag.exe"

run_until_title() {
  e2e_start_orvane -S -M
  pid=$E2E_ORVANE_PID
  win=$(e2e_wait_window_matching '^(Defragmented|Defrag Error)$' 120 "$pid")
  [ "$(e2e_window_name "$win")" = "Defrag Error" ] ||
    e2e_fail "the title is '$(e2e_window_name "$win")', not 'Defrag Error'"
}

end_program() {
  e2e_close_window "Defrag Error"
  e2e_wait_exit "$pid" 30 >/dev/null
}

e2e_log "case: defrag.exe is no program"
printf 'not a program\r\n' >"$defrag"
run_until_title
end_program
[ -f "$report" ] || e2e_fail "no report file"
mapfile -t lines < <(tr -d '\r' <"$report")
printf '%s\n' "${lines[@]}" >&2
[ "${#lines[@]}" -eq 8 ] || e2e_fail "${#lines[@]} report lines, not 8"
[[ ${lines[0]} =~ $E2E_HEADER_RE ]] || e2e_fail "line 1 is no header"
[[ ${lines[1]} == "Drive C:"* ]] || e2e_fail "line 2 is not C:'s"
[[ ${lines[2]} == "Drive D:"* ]] || e2e_fail "line 3 is not D:'s"
[ -z "${lines[3]}" ] || e2e_fail "line 4 is not empty"
[[ ${lines[4]} =~ $E2E_HEADER_RE ]] || e2e_fail "line 5 is no header"
[[ ${lines[5]} =~ ^ERROR!!\ #-?[1-9][0-9]*$ ]] ||
  e2e_fail "line 6 is not 'ERROR!! #' and a number"
[ -n "${lines[6]}" ] || e2e_fail "the error has no description"
[ -z "${lines[7]}" ] || e2e_fail "line 8 is not empty"
# CR LF throughout, and the description's own CR LF before the last line end.
[ "$(grep -c $'\r$' "$report")" -eq 8 ] || e2e_fail "not every line ends with CR LF"

e2e_log "case: the report cannot be written"
cp "$SIMDEFRAG_DIR/defrag.exe" "$defrag"
e2e_simulate "C: exit=0 ms=50" "D: exit=0 ms=50"
rm -f "$report"
mkdir "$report"  # a directory where the file should be
run_until_title
peek=$(e2e_peek "Defrag Error")
[ "$(e2e_peek_field "$peek" control Report enabled)" = 0 ] ||
  e2e_fail "Report is enabled without a report file"
end_program
[ -d "$report" ] && [ -z "$(ls -A "$report")" ] ||
  e2e_fail "something was written where the report should be"
[ "$(e2e_sim_commands | wc -l)" -eq 2 ] ||
  e2e_fail "C: and D: were not both defragmented: $(e2e_sim_commands)"
e2e_pass
