#!/usr/bin/env bash
# "-S -E": one pass over every fixed drive at once, the window minimized, and
# the program ends with the pass. Each fixed drive's simulated exit code picks
# its line of the report; drives of other types get none. The defragmenter
# runs once per fixed drive, in letter order, with the command line the shell
# gives it: the path in double quotes, the drive, -f. Non-zero exit codes are
# no failure of the pass: the record has no error trailer. The task
# definition is well-formed, and Wine's schtasks keeps its settings.
# Twenty-four fixed drives, C: and D: to Z: (the last letter included), in
# one pass: once for each, in letter order, 24 lines in that order, exit
# status 0; the header in the user's own date and time formats.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
e2e_init

# expect_commands: the defragmenter ran with exactly expected_commands.
expect_commands() {
  local actual
  actual=$(e2e_sim_commands)
  if [ "$actual" != "$(printf '%s\n' "${expected_commands[@]}")" ]; then
    e2e_log "defragmenter command lines:"
    printf '%s\n' "$actual" >&2
    e2e_fail "the defragmenter was not run once per fixed drive in letter order"
  fi
}

# drive | type | simulated exit code | expected report line after "Drive X:"
drives=(
  "C|hd|0| Defrag completed successfully"
  "D|hd|1| Defrag aborted with error level 1 (defrag was cancelled manually) "
  "E|cdrom|0|"
  "F|hd|2| Defrag aborted with error level 2 (there was a command line error. Check your command line for valid switches and drives)"
  "G|hd|3| Defrag aborted with error level 3 (there was an unknown error)"
  "H|hd|4| Defrag aborted with error level 4 (defrag could not run due to insufficient memory resources)"
  "I|hd|5| Defrag aborted with error level 5 (general error)"
  "J|hd|6| Defrag aborted with error level 6(System error: either the account used to run defrag is not an administrator, there is a problem loading the resource DLL, or a defrag engine could not be accessed. Check for proper user permissions and run Sfc.exe to validate system files)"
  "K|hd|7| Defrag aborted with error level 7 (There is not enough free space on the drive. Defrag needs 15% free space to run on a volume)"
  "L|hd|8| Defrag aborted with an unknown error level: 8"
  "M|network|0|"
  "N|hd|-1| Defrag aborted with an unknown error level: -1"
  "O|floppy|0|"
  "P|hd|0xC0000005| Defrag aborted with an unknown error level: -1073741819"
)

settings=()
expected_lines=("<HEADER>")
expected_commands=()
for drive in "${drives[@]}"; do
  IFS='|' read -r letter type code line <<<"$drive"
  [ "$letter" = C ] || e2e_add_drive "$letter" "$type"
  settings+=("$letter: exit=$code ms=50")
  if [ "$type" = hd ]; then
    expected_lines+=("Drive $letter:$line")
    expected_commands+=("\"C:\\windows\\system32\\defrag.exe\" $letter: -f")
  fi
done
expected_lines+=("")
e2e_apply_drives
e2e_simulate "${settings[@]}"
e2e_log "drives: $(e2e_drive_types | tr '\n' ' ')"
e2e_stop_wine

e2e_start_orvane -S -E
e2e_wait_exit "$E2E_ORVANE_PID" 180 >/dev/null

e2e_expect_report_lines "$(e2e_report_file)" "${expected_lines[@]}"

expect_commands
[ "$(e2e_count_windows Defragment)" -eq 0 ] || e2e_fail "a window is left"

e2e_log "the task definition"
task=$(dirname "$0")/../../resources/Orvane-task.xml
xmllint --noout "$task" || e2e_fail "the task definition is not well-formed"
# A trigger's elements in the order of the Task Scheduler's schema.
order=(Enabled StartBoundary EndBoundary Repetition ExecutionTimeLimit)
for i in "${!order[@]}"; do
  for later in "${order[@]:i+1}"; do
    [ "$(xmllint --xpath "count(//*[local-name()='Triggers']/*/*[local-name()='$later']/following-sibling::*[local-name()='${order[i]}'])" "$task")" = 0 ] ||
      e2e_fail "a trigger has $later before ${order[i]}"
  done
done
cp "$task" "$WINEPREFIX/drive_c/Orvane-task.xml"
e2e_wine_quiet schtasks /Create /XML 'C:\Orvane-task.xml' /TN 'Orvane weekly' ||
  e2e_fail "schtasks refused the task definition"
stored="$WINEPREFIX/drive_c/windows/system32/tasks/Orvane weekly"
xmllint --noout "$stored" || e2e_fail "the stored task is not well-formed"
[ "$(grep -cE '<(MultipleInstancesPolicy>IgnoreNew|DisallowStartIfOnBatteries>true|StopIfGoingOnBatteries>true|StartWhenAvailable>true|ExecutionTimeLimit>PT12H)<' "$stored")" -eq 5 ] ||
  e2e_fail "the stored task lacks a setting: $(cat "$stored")"

e2e_log "case: twenty-four fixed drives, the user's own formats"
expected_lines=("<HEADER>" "Drive C: Defrag completed successfully")
expected_commands=("\"C:\\windows\\system32\\defrag.exe\" C: -f")
for letter in {D..Z}; do
  e2e_add_drive "$letter" hd  # over the types above
  expected_lines+=("Drive $letter: Defrag completed successfully")
  expected_commands+=("\"C:\\windows\\system32\\defrag.exe\" $letter: -f")
done
expected_lines+=("")
e2e_apply_drives
e2e_import_reg '[HKEY_CURRENT_USER\Control Panel\International]
"sShortDate"="yyyy-MM-dd"
"sTimeFormat"="HH.mm.ss"'
e2e_simulate "* exit=0 ms=0"
fixed=$(e2e_drive_types | grep -c ' 3$' || true)
[ "$fixed" -eq 24 ] || e2e_fail "the prefix has $fixed fixed drives, not 24: $(e2e_drive_types | tr '\n' ' ')"
e2e_stop_wine
rm -f "$(e2e_report_file)"
e2e_clear_sim_log

e2e_start_orvane -S -E
e2e_expect_exit "$E2E_ORVANE_PID" 180 0
# shellcheck disable=SC2034  # read by e2e_expect_report_lines
E2E_HEADER_RE='^[0-9]{4}-[0-9]{2}-[0-9]{2} - [0-9]{2}\.[0-9]{2}\.[0-9]{2}$'
e2e_expect_report_lines "$(e2e_report_file)" "${expected_lines[@]}"
header=$(head -n1 "$(e2e_report_file)" | tr -d '\r')
[ "${header%% - *}" = "$(date +%Y-%m-%d)" ] ||
  e2e_fail "the header's date '${header%% - *}' is not today's"
expect_commands
e2e_pass
