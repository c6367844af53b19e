#!/usr/bin/env bash
# The 32-bit exe on 64-bit Windows. In a 64-bit prefix Wine shows a 32-bit
# program SysWOW64 where it names system32, as Windows does; the simulator
# lies only in the real (64-bit) system32. "-S -E" finds it there, runs it
# for each fixed drive and ends with 0; the defragmenter's command line
# names the system directory as the program sees it
# ("C:\windows\system32\defrag.exe" C: -f), which is what the busy test and
# Stop compare. Skipped where this host cannot run 32-bit code (tried).
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
[ "$(orvane_exe_arch "$ORVANE_EXE")" = win32 ] ||
  e2e_fail "ORVANE_EXE is not the 32-bit exe"
export ORVANE_WINEARCH=win64
e2e_init

# Tried with the 32-bit winpeek.exe in the 64-bit prefix: Wine hands a
# 32-bit program to its 32-bit loader.
if ! e2e_wine winpeek.exe screen >/dev/null; then
  orvane_wine32_check || e2e_skip "$ORVANE_WINE32_WHY"
  e2e_fail "32-bit Wine starts, but not a 32-bit program in a 64-bit prefix"
fi

sys64=$WINEPREFIX/drive_c/windows/system32
{ [ -f "$sys64/defrag.exe" ] &&
  [ ! -e "$WINEPREFIX/drive_c/windows/syswow64/defrag.exe" ]; } ||
  e2e_fail "the simulator is not only in the 64-bit system32"
# Control: a 32-bit program that names system32 does not see it there.
seen=$(e2e_wine winpeek.exe exists 'C:\windows\system32\defrag.exe' | tr -d '\r')
[ "$seen" = absent ] ||
  e2e_fail "a 32-bit program is not redirected to syswow64 here: '$seen'"

e2e_add_drive D hd
e2e_apply_drives
e2e_simulate "* exit=0 ms=50"
e2e_stop_wine

e2e_start_orvane -S -E
e2e_expect_exit "$E2E_ORVANE_PID" 120 0
e2e_expect_report_lines "$(e2e_report_file)" "<HEADER>" \
  "Drive C: Defrag completed successfully" \
  "Drive D: Defrag completed successfully" ""
want=$(printf '%s\n' '"C:\windows\system32\defrag.exe" C: -f' \
  '"C:\windows\system32\defrag.exe" D: -f')
[ "$(e2e_sim_commands)" = "$want" ] || {
  e2e_sim_commands >&2
  e2e_fail "the defragmenter's command lines are not as the program names them"
}
e2e_pass
