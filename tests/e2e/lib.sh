# shellcheck shell=bash disable=SC2034
# Shared harness of the end-to-end tests: each test script sources this file,
# calls e2e_init, arranges its machine (drives, simulator settings, report
# files), drives Orvane.exe through X11 and Win32 probes, and ends with
# e2e_pass. Any failed check ends the script with a message and exit code 1;
# the EXIT trap stops the prefix's wineserver and the X server it started.
#
# Environment (set by tests/e2e/CMakeLists.txt; set it yourself to run a
# script by hand):
#   ORVANE_EXE            path of Orvane.exe
#   SIMDEFRAG_DIR         directory holding defrag.exe, DfrgNtfs.exe, winpeek.exe
#   WMISTUB_DLL           path of wmistub.dll, the stand-in for the management
#                         service (tools/wmistub), for the tests that use it
#   ORVANE_E2E_PRISTINE   pristine prefix to copy (created here when missing)
#   ORVANE_WINEARCH       win32 or win64, the prefix's architecture; when
#                         unset, that of Orvane.exe
#   ORVANE_E2E_ARTIFACTS  where a failing test leaves its screenshot and files
#   E2E_KEEP=1            keep the test's temporary directory
#
# Every wait has a timeout, and a watchdog ends the script after
# E2E_TIME_LIMIT seconds in any case, so a test never hangs.

set -euo pipefail
# shellcheck source=../../scripts/wine-env.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/wine-env.sh"

E2E_NAME=$(basename "$0" .sh)
E2E_TIME_LIMIT=${E2E_TIME_LIMIT:-280}
E2E_SCREEN_W=$ORVANE_SCREEN_W
E2E_SCREEN_H=$ORVANE_SCREEN_H
# Where Orvane.exe lies inside the prefix: on C:, since the tests take the
# Z: drive (the Unix root) away to control exactly which drives exist.
E2E_ORVANE_WIN='C:\Orvane\Orvane.exe'
E2E_SYSTEM32_WIN='C:\windows\system32'

E2E_TMP=
E2E_WATCHDOG_PID=
E2E_ORVANE_PID=
E2E_DRIVES_REG=

e2e_log() { printf '[%s] %s\n' "$E2E_NAME" "$*" >&2; }

e2e_fail() {
  e2e_log "FAIL: $*"
  e2e_diagnose
  exit 1
}

e2e_pass() {
  e2e_log "PASS"
  exit 0
}

# e2e_skip REASON: the test cannot run on this host; ctest counts it as
# skipped (SKIP_RETURN_CODE 77).
e2e_skip() {
  e2e_log "SKIP: $*"
  exit 77
}

# --- set-up -------------------------------------------------------------

# The architecture of the prefixes, and the loader that runs them.
e2e_arch() {
  if [ -z "${ORVANE_WINEARCH:-}" ]; then
    : "${ORVANE_EXE:?ORVANE_EXE must name Orvane.exe}"
    ORVANE_WINEARCH=$(orvane_exe_arch "$ORVANE_EXE")
  fi
  export ORVANE_WINEARCH
  orvane_wine_arch "$ORVANE_WINEARCH"
}

# The pristine prefix: a fresh prefix of the tests' architecture, made once
# and copied by every test. Serialised with a lock, since ctest may run
# several tests at once.
e2e_pristine() {
  e2e_arch
  local pristine=${ORVANE_E2E_PRISTINE:-/tmp/orvane-e2e-pristine-$ORVANE_WINEARCH-$(id -u)}
  local stamp
  stamp="$("$ORVANE_WINE" --version) $ORVANE_WINEARCH e2e-1"
  mkdir -p "$(dirname "$pristine")"
  (
    flock -w 300 9 || { echo "lock on $pristine.lock timed out" >&2; exit 1; }
    if [ "$(cat "$pristine/.orvane-e2e-stamp" 2>/dev/null)" != "$stamp" ]; then
      rm -rf "$pristine"
      "$(dirname "${BASH_SOURCE[0]}")/../../scripts/wine-prefix.sh" \
        new "$pristine" "$ORVANE_WINEARCH" || exit 1
      e2e_pristine_settings "$pristine"
      echo "$stamp" >"$pristine/.orvane-e2e-stamp"
    fi
  ) 9>"$pristine.lock"
  echo "$pristine"
}

# Settings every test wants: .txt files opened by txtview.exe (a copy of
# the simulator installed per test), which logs its command line, so a test
# can see what the Report button opened.
e2e_pristine_settings() {
  "$(dirname "${BASH_SOURCE[0]}")/../../scripts/wine-prefix.sh" import "$1" <<'EOF'
[HKEY_CLASSES_ROOT\.txt]
@="txtfile"

[HKEY_CLASSES_ROOT\txtfile\shell\open\command]
@="\"C:\\windows\\system32\\txtview.exe\" \"%1\""
EOF
}

# Makes this test's prefix and X server. Call once, first.
e2e_init() {
  : "${ORVANE_EXE:?ORVANE_EXE must name Orvane.exe}"
  : "${SIMDEFRAG_DIR:?SIMDEFRAG_DIR must name the directory of defrag.exe}"
  local f
  for f in "$ORVANE_EXE" "$SIMDEFRAG_DIR/defrag.exe" \
           "$SIMDEFRAG_DIR/DfrgNtfs.exe" "$SIMDEFRAG_DIR/winpeek.exe"; do
    [ -f "$f" ] || { e2e_log "missing $f"; exit 1; }
  done

  E2E_TMP=$(mktemp -d /tmp/orvane-e2e-XXXXXX)
  trap e2e_cleanup EXIT
  trap 'e2e_log "interrupted"; exit 1' INT TERM HUP
  (
    sleep "$E2E_TIME_LIMIT" &
    trap 'kill $! 2>/dev/null; exit 0' TERM
    wait $!
    echo "[$E2E_NAME] time limit of ${E2E_TIME_LIMIT}s reached" >&2
    kill -TERM $$
  ) 2>/dev/null &
  E2E_WATCHDOG_PID=$!

  e2e_arch
  local pristine
  pristine=$(e2e_pristine)
  # Wine's log is read by the tests: only the channels they ask for.
  export WINEDEBUG=-all
  orvane_use_prefix "$E2E_TMP/prefix"
  # The user's regional settings follow the locale: C gives United States
  # formats, whatever the caller's own locale is.
  export LANG=C.UTF-8
  unset LC_ALL LC_CTYPE LC_TIME LC_MESSAGES LANGUAGE
  e2e_copy_prefix "$pristine" "$WINEPREFIX"
  rm -f "$WINEPREFIX/dosdevices/z:"

  mkdir -p "$WINEPREFIX/drive_c/Orvane"
  cp "$ORVANE_EXE" "$WINEPREFIX/drive_c/Orvane/Orvane.exe"
  e2e_install_simulator
  e2e_start_xvfb
  E2E_DRIVES_REG='[HKEY_LOCAL_MACHINE\Software\Wine\Drives]'
  e2e_start_wineserver
}

# e2e_copy_prefix FROM TO: a prefix of the test's own. Its programs and
# libraries (most of its 700 MB), which nothing here writes to, are hard
# links to the pristine prefix's; every other file is a copy. A test puts
# new files into system32, never over Wine's own. (A copy throughout where
# links cannot be made.)
e2e_copy_prefix() {
  if ! cp -al "$1" "$2" 2>/dev/null; then
    rm -rf "$2"
    cp -a "$1" "$2"
    return
  fi
  find "$2" -type f \
    ! -iregex '.*\.\(dll\|exe\|sys\|drv\|ocx\|cpl\|acm\|tlb\|ds\|ax\|nls\|com\|msstyles\)' \
    -exec sh -c 'for f; do cp -p "$f" "$f.own" && mv -f "$f.own" "$f"; done' sh {} +
}

e2e_system32() { echo "$WINEPREFIX/drive_c/windows/system32"; }

e2e_install_simulator() {
  local sys
  sys=$(e2e_system32)
  cp "$SIMDEFRAG_DIR/defrag.exe" "$SIMDEFRAG_DIR/DfrgNtfs.exe" \
     "$SIMDEFRAG_DIR/winpeek.exe" "$sys/"
  cp "$SIMDEFRAG_DIR/defrag.exe" "$sys/txtview.exe"
}

e2e_start_xvfb() {
  orvane_start_xvfb "$E2E_TMP/xvfb.log" ||
    e2e_fail "Xvfb did not start: $(cat "$E2E_TMP/xvfb.log")"
}

# e2e_add_drive LETTER TYPE: drive LETTER: of TYPE (hd, cdrom, network or
# floppy) onto a fresh directory. Takes effect at e2e_apply_drives.
e2e_add_drive() {
  local letter=${1,,} type=$2
  local dir=$E2E_TMP/vol-$letter
  mkdir -p "$dir"
  ln -sfn "$dir" "$WINEPREFIX/dosdevices/$letter:"
  E2E_DRIVES_REG+=$'\n'"\"$letter:\"=\"$type\""
}

# Writes the drive types into the registry and stops the wineserver, so the
# next program starts a session that mounts the drives afresh.
e2e_apply_drives() { e2e_import_reg "$E2E_DRIVES_REG"; }

# e2e_import_reg TEXT: imports registry TEXT (the lines after REGEDIT4) and
# stops the wineserver, so the next program sees it from its start.
e2e_import_reg() {
  printf 'REGEDIT4\n\n%s\n' "$1" >"$WINEPREFIX/drive_c/orvane-import.reg"
  e2e_wine_quiet regedit 'C:\orvane-import.reg' || e2e_fail "regedit failed"
  rm -f "$WINEPREFIX/drive_c/orvane-import.reg"
  e2e_stop_wine
}

# e2e_drive_types: "C: 3" lines as the system reports the drives.
e2e_drive_types() { e2e_wine winpeek.exe drives | tr -d '\r'; }

# e2e_settings_file NAME LINE...: writes C:\windows\NAME, one line (ended by
# CR LF) per argument.
e2e_settings_file() {
  local name=$1
  shift
  printf '%s\r\n' "$@" >"$WINEPREFIX/drive_c/windows/$name"
}

# e2e_log_without_pids FILE: a test tool's log without the leading
# "pid=<pid><TAB>" and the CRs; nothing when there is no log.
e2e_log_without_pids() {
  [ -f "$1" ] || return 0
  tr -d '\r' <"$1" | cut -f2-
}

# Settings of the simulator (see tools/simdefrag/sim_config.h), one argument
# per line: e2e_simulate "C: exit=0 ms=100" "D: exit=7". A drive set with
# go=1 runs until e2e_sim_go.
e2e_simulate() {
  rm -f "$WINEPREFIX/drive_c/windows/simdefrag.go"
  e2e_settings_file simdefrag.ini "$@"
}
e2e_sim_go() { : >"$WINEPREFIX/drive_c/windows/simdefrag.go"; }

e2e_sim_log_file() { echo "$WINEPREFIX/drive_c/windows/temp/simdefrag.log"; }

# The simulator's log without pids or CRs: one command line per start.
e2e_sim_commands() { e2e_log_without_pids "$(e2e_sim_log_file)"; }

e2e_clear_sim_log() { rm -f "$(e2e_sim_log_file)"; }

# e2e_sim_pid REGEX: the pid of the first start whose command line matches the
# extended regex REGEX.
e2e_sim_pid() {
  tr -d '\r' <"$(e2e_sim_log_file)" | grep -E -m1 $'^pid=[0-9]+\t.*'"$1" |
    sed -E 's/^pid=([0-9]+).*/\1/'
}

# --- the stand-in for the management service ---------------------------------

# e2e_use_wmistub: from now on the prefix's programs reach the stand-in
# (tools/wmistub) instead of Wine's management service: wmistub.dll is put in
# system32 and registered as the WBEM locator's in-process server (in the
# registry view of the prefix's own architecture, which its programs read).
# Stops the wineserver, like e2e_import_reg.
e2e_use_wmistub() {
  : "${WMISTUB_DLL:?WMISTUB_DLL must name wmistub.dll}"
  cp "$WMISTUB_DLL" "$(e2e_system32)/wmistub.dll"
  e2e_import_reg '[HKEY_CLASSES_ROOT\CLSID\{4590F811-1D3A-11D0-891F-00AA004B2E24}\InprocServer32]
@="C:\\windows\\system32\\wmistub.dll"
"ThreadingModel"="Both"'
}

# Switches of the stand-in (tools/wmistub/settings.h), one argument per line:
# e2e_wmistub_settings "connect=refuse". Read at each call; none without
# arguments.
e2e_wmistub_settings() { e2e_settings_file wmistub.ini "$@"; }

e2e_wmistub_log_file() { echo "$WINEPREFIX/drive_c/windows/temp/wmistub.log"; }

# The calls the stand-in was asked, without the callers' pids and CRs: one
# "<call><TAB><arguments as sent>...<TAB><answer>" a line.
e2e_wmistub_calls() { e2e_log_without_pids "$(e2e_wmistub_log_file)"; }

e2e_clear_wmistub_log() { rm -f "$(e2e_wmistub_log_file)"; }

# The queries and method calls alone, each line as e2e_wmistub_calls gives
# it but with the machine's name in object paths written HOST.
e2e_wmistub_work() {
  e2e_wmistub_calls | { grep -E '^(ExecQuery|ExecMethod)'$'\t' || true; } |
    sed -E 's/^(ExecMethod\t\\\\)[^\\]+/\1HOST/'
}

# --- Wine -----------------------------------------------------------------

# Runs a program in the prefix from C:\ (no Unix working directory there),
# with a timeout; its output goes to stdout.
e2e_wine() {
  (cd "$WINEPREFIX/drive_c" && timeout 60 "$ORVANE_WINE" "$@" 2>>"$E2E_TMP/wine.log")
}

e2e_wine_quiet() { e2e_wine "$@" >/dev/null; }

e2e_stop_wine() {
  timeout 30 wineserver -k 2>/dev/null || true
  timeout 30 wineserver -w 2>/dev/null || true
  E2E_ORVANE_PIDS=()
  e2e_start_wineserver
}

# The prefix's server stays up until the test stops it, as a Windows session
# outlives its programs. Debian's wineserver wrapper passes -p0: the server
# then shuts the session down (and kills what is left 2 s later) the moment
# the last program ends, so that a start right after an end could meet a
# session going down. A later -p wins.
e2e_start_wineserver() { timeout 30 wineserver -p 2>/dev/null || true; }

# e2e_set_attrib WINPATH FLAGS: attrib.exe, e.g. e2e_set_attrib 'C:\x' +h
e2e_set_attrib() {
  e2e_wine_quiet cmd /c attrib "$2" "$1" || e2e_fail "attrib $2 $1 failed"
}

# --- Orvane.exe ------------------------------------------------------------

# Starts Orvane.exe with the given arguments in the background; its pid
# (that of the wine process, whose exit status is the program's) is in
# E2E_ORVANE_PID.
e2e_start_orvane() {
  e2e_wait_orvane_gone
  e2e_log "start Orvane.exe $*"
  # No log yet before the first Wine program of the test: 0 lines.
  E2E_EVENTS_FROM=$({ cat "$E2E_TMP/wine.log" 2>/dev/null || true; } | wc -l)
  (cd "$WINEPREFIX/drive_c" &&
     WINEDEBUG=$E2E_EVENT_CHANNELS exec "$ORVANE_WINE" "$E2E_ORVANE_WIN" "$@") \
    >>"$E2E_TMP/orvane.out" 2>>"$E2E_TMP/wine.log" &
  E2E_ORVANE_PID=$!
  E2E_ORVANE_PIDS+=("$E2E_ORVANE_PID")
}

# Wine's server closes the handles of a program that has ended, its
# single-instance mutex among them, only when it notices the end, a moment
# after the Unix process is gone: a start right after an end could still
# find the old instance and quit. So once every instance started here has
# ended, a start waits until the prefix lists no Orvane.exe (a process is
# listed until its handles are closed); call it before starting the program
# another way.
E2E_ORVANE_PIDS=()
e2e_wait_orvane_gone() {
  local pid listed _
  [ "${#E2E_ORVANE_PIDS[@]}" -gt 0 ] || return 0
  for pid in "${E2E_ORVANE_PIDS[@]}"; do e2e_running "$pid" && return 0; done
  for _ in $(seq 50); do
    listed=$(e2e_processes || true)
    grep -qix 'Orvane\.exe' <<<"$listed" || { E2E_ORVANE_PIDS=(); return 0; }
    sleep 0.2
  done
  e2e_fail "Orvane.exe is still listed after it ended"
}

# The event log: Wine's ReportEventW prints "fixme:advapi:ReportEventW
# (source,type,category,ID,...)", then each string on an eventlog line.
E2E_EVENT_CHANNELS=-all,fixme+advapi,+eventlog
E2E_EVENTS_FROM=0
# Without the warning that the program's folder is open to others (106) and
# its string: Wine's processes are administrators, and Wine gives the user
# full control of every folder, so every run writes it (defrag_not_found.sh
# checks it).
e2e_event_lines() {
  tail -n +"$((E2E_EVENTS_FROM + 1))" "$E2E_TMP/wine.log" |
    awk '/:ReportEventW \(/ { folder = /,0x0002,0x0000,0x0000006a,/ }
         !(folder && /ReportEventW/)'
}
# The events since Orvane.exe was last started, one a line: type and ID.
e2e_events() {
  e2e_event_lines | sed -n 's/.*:ReportEventW ([^,]*,0x\([0-9a-f]*\),0x[0-9a-f]*,0x\([0-9a-f]*\),.*/\1 \2/p' |
    while read -r type id; do
      case $type in 0004) type=information ;; 0002) type=warning ;; 0001) type=error ;; esac
      echo "$type $((16#$id))"
    done
}
# Their strings, one a line, as Wine prints them: L"...", CR LF as \r\n.
e2e_event_strings() { e2e_event_lines | sed -n 's/^[0-9a-f]*:[a-z]*:eventlog:ReportEventW //p'; }
# e2e_expect_events "TYPE ID"...: exactly these events since the start.
e2e_expect_events() {
  [ "$(e2e_events | paste -sd, -)" = "$(IFS=,; echo "$*")" ] ||
    e2e_fail "events: expected '$*', got '$(e2e_events | paste -sd, -)'"
}

# e2e_wait_exit PID TIMEOUT: waits for PID to end; prints its exit status
# (the low byte of the Windows exit code) and leaves it in E2E_EXIT_STATUS.
# Fails on timeout. Only the shell that started PID can learn its status:
# call it directly, not inside $(...), when the status matters.
E2E_EXIT_STATUS=
e2e_wait_exit() {
  local pid=$1 timeout=$2 waited=0 status=0
  while kill -0 "$pid" 2>/dev/null; do
    [ "$waited" -ge $((timeout * 10)) ] &&
      e2e_fail "process $pid still running after ${timeout}s"
    sleep 0.1
    waited=$((waited + 1))
  done
  wait "$pid" 2>/dev/null || status=$?
  E2E_EXIT_STATUS=$status
  echo "$status"
}

# e2e_expect_exit PID TIMEOUT STATUS: waits for PID to end with STATUS.
e2e_expect_exit() {
  e2e_wait_exit "$1" "$2" >/dev/null
  [ "$E2E_EXIT_STATUS" = "$3" ] ||
    e2e_fail "the program ended with exit status $E2E_EXIT_STATUS, not $3"
}

# True when PID still runs.
e2e_running() { kill -0 "$1" 2>/dev/null; }

# e2e_wait_window NAME TIMEOUT [PID]: the X window id of the first window
# whose name is exactly NAME; fails on timeout, or at once when PID ends.
e2e_wait_window() {
  e2e_wait_window_matching "^$(e2e_regex_quote "$1")\$" "${@:2}"
}

# e2e_wait_window_matching REGEX TIMEOUT [PID]: the same for a window whose
# name matches the extended regular expression REGEX.
e2e_wait_window_matching() {
  local regex=$1 timeout=$2 pid=${3:-} waited=0 id
  while :; do
    id=$(xdotool search --name "$regex" 2>/dev/null | head -n1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    if [ -n "$pid" ] && ! kill -0 "$pid" 2>/dev/null; then
      e2e_fail "the program ended without a window named like '$regex'"
    fi
    [ "$waited" -ge $((timeout * 10)) ] &&
      e2e_fail "no window named like '$regex' after ${timeout}s"
    sleep 0.2
    waited=$((waited + 2))
  done
}

# Number of X windows named exactly NAME.
e2e_count_windows() {
  xdotool search --name "^$(e2e_regex_quote "$1")\$" 2>/dev/null | wc -l
}

e2e_regex_quote() { printf '%s' "$1" | sed 's/[][\.*^$()+?{}|]/\\&/g'; }

e2e_window_name() { xdotool getwindowname "$1"; }

# e2e_wait_title WINDOW TITLE TIMEOUT: waits until the window is named TITLE.
e2e_wait_title() {
  local win=$1 title=$2 timeout=$3 waited=0 now
  while :; do
    now=$(xdotool getwindowname "$win" 2>/dev/null || true)
    [ "$now" = "$title" ] && return 0
    [ "$waited" -ge $((timeout * 10)) ] &&
      e2e_fail "window title is '$now', not '$title', after ${timeout}s"
    sleep 0.2
    waited=$((waited + 2))
  done
}

# "X Y W H" of an X window, position on the screen. Under a bare X server a
# Wine window has no frame, so this is the client area.
e2e_window_geometry() {
  local out
  out=$(xdotool getwindowgeometry --shell "$1")
  local X Y WIDTH HEIGHT
  eval "$(printf '%s\n' "$out" | grep -E '^(X|Y|WIDTH|HEIGHT)=[0-9-]+$')"
  echo "$X $Y $WIDTH $HEIGHT"
}

# e2e_click WINDOW X Y: a left click at client coordinates, once the window
# is mapped. Its X window has its name from the program's CreateWindow on,
# before the program has placed and shown it: a click aimed at it earlier
# lands where it was.
e2e_click() {
  local _
  for _ in $(seq 50); do
    xdotool search --onlyvisible --name . 2>/dev/null | grep -qx "$1" && break
    sleep 0.2
  done
  xdotool mousemove --window "$1" "$2" "$3"
  sleep 0.2
  xdotool click 1
}

# e2e_key_to_close WINDOW KEY: presses KEY for WINDOW until the window is
# gone (at most five times). Under a bare X server keys go to the window under
# the pointer, which Wine gives the keyboard once it is clicked: so first a
# click at its top left corner (keep nothing clickable there). Wine drops
# the first key press after that click, hence the repeats.
e2e_key_to_close() {
  local win=$1 key=$2 i
  e2e_click "$win" 2 2
  for i in 1 2 3 4 5; do
    sleep 0.3
    xdotool key "$key"
    sleep 0.7
    xdotool getwindowname "$win" >/dev/null 2>&1 || return 0
  done
  return 1
}

# The two buttons, clicked in their middle (Start 16..97 x 8..33, Report
# 104..185 x 8..33 in client pixels).
e2e_click_start() { e2e_click "$1" 56 20; }
e2e_click_report() { e2e_click "$1" 144 20; }

# e2e_peek TITLE: winpeek's view of the top-level windows titled TITLE and
# their controls (tools/simdefrag/winpeek_main.cpp); empty when none.
e2e_peek() { e2e_wine winpeek.exe list "$1" | tr -d '\r' || true; }

# e2e_peek_field PEEK KIND TEXT FIELD: a field of the control (or window)
# line whose text/title is TEXT, e.g. e2e_peek_field "$p" control Report enabled
e2e_peek_field() {
  local peek=$1 kind=$2 text=$3 field=$4 key=text
  [ "$kind" = window ] && key=title
  printf '%s\n' "$peek" | grep -E "^$kind " |
    grep -F " $key=$text " | head -n1 |
    grep -oE "(^| )$field=[^ ]*" | head -n1 | sed "s/^ *$field=//"
}

# Image names of the prefix's running processes, one a line.
e2e_processes() { e2e_wine winpeek.exe ps | tr -d '\r' | cut -d' ' -f2-; }

# e2e_wait_sim_log PATTERN TIMEOUT: waits until a simulator log line (command
# line) matches the extended regex PATTERN.
e2e_wait_sim_log() {
  local pattern=$1 timeout=$2 waited=0
  until e2e_sim_commands | grep -qE "$pattern"; do
    [ "$waited" -ge $((timeout * 10)) ] &&
      e2e_fail "no simulator start matching '$pattern' after ${timeout}s"
    sleep 0.2
    waited=$((waited + 2))
  done
}

# Asks the windows titled TITLE to close, as the close box would.
e2e_close_window() { e2e_wine_quiet winpeek.exe close "$1" || true; }

# e2e_syscommand TITLE minimize|restore: what the title bar's buttons do,
# posted to the windows titled TITLE.
e2e_syscommand() {
  e2e_wine_quiet winpeek.exe syscommand "$1" "$2" ||
    e2e_fail "no window titled '$1' to $2"
}

# e2e_post_click TITLE TEXT: clicks the button TEXT of the window TITLE by
# message (BM_CLICK), as accessibility tools do; works on a minimized window,
# which the mouse cannot reach.
e2e_post_click() {
  e2e_wine_quiet winpeek.exe click "$1" "$2" ||
    e2e_fail "no button '$2' in a window titled '$1'"
}

# e2e_wait_ready TITLE TIMEOUT: waits until the window TITLE is shown, not
# minimized, and its Start/Stop button enabled, so that a click reaches it.
e2e_wait_ready() {
  local title=$1 timeout=$2 waited=0 peek
  while :; do
    peek=$(e2e_peek "$title")
    if [ "$(e2e_peek_field "$peek" window "$title" visible)" = 1 ] &&
       [ "$(e2e_peek_field "$peek" window "$title" iconic)" = 0 ] &&
       printf '%s\n' "$peek" | grep -qE '^control class=Button text=(Start|Stop) .*enabled=1'; then
      sleep 0.5  # the X side of the window settles
      return 0
    fi
    [ "$waited" -ge "$timeout" ] &&
      { printf '%s\n' "$peek" >&2; e2e_fail "window '$title' not ready after ${timeout}s"; }
    sleep 1
    waited=$((waited + 1))
  done
}

# e2e_focused TITLE: the text of the control of window TITLE that has the
# keyboard focus (the focus sink's is Text1); empty when none has it.
e2e_focused() {
  e2e_peek "$1" | { grep -E '^control .* focused=1$' || true; } | head -n1 |
    sed -E 's/^control class=[^ ]* text=(.*) visible=.*/\1/'
}

# e2e_wait_focus TITLE TEXT TIMEOUT: waits until control TEXT has the focus.
e2e_wait_focus() {
  local title=$1 text=$2 timeout=$3 waited=0 now
  while :; do
    now=$(e2e_focused "$title")
    [ "$now" = "$text" ] && return 0
    [ "$waited" -ge $((timeout * 2)) ] &&
      e2e_fail "the focus is on '$now', not '$text', in '$title' after ${timeout}s"
    sleep 0.5
    waited=$((waited + 1))
  done
}

# e2e_lock_file WINPATH [MS]: another process holds WINPATH (created when
# missing) open with no sharing, until e2e_unlock_file; with MS, with read
# sharing for MS milliseconds.
E2E_LOCK_PID=
e2e_lock_file() {
  local out=$E2E_TMP/lock.out waited=0
  : >"$out"
  (cd "$WINEPREFIX/drive_c" && exec "$ORVANE_WINE" winpeek.exe lock "$@") \
    >"$out" 2>>"$E2E_TMP/wine.log" &
  E2E_LOCK_PID=$!
  until grep -q '^locked' "$out"; do
    e2e_running "$E2E_LOCK_PID" || e2e_fail "could not lock $1"
    [ "$waited" -ge 300 ] && e2e_fail "locking $1 timed out"
    sleep 0.1
    waited=$((waited + 1))
  done
}

e2e_unlock_file() {
  [ -n "$E2E_LOCK_PID" ] || return 0
  kill "$E2E_LOCK_PID" 2>/dev/null || true
  wait "$E2E_LOCK_PID" 2>/dev/null || true
  E2E_LOCK_PID=
}

# --- report file -------------------------------------------------------------

# The month's report file, as the program names it from the local clock.
e2e_report_file() {
  echo "$WINEPREFIX/drive_c/windows/DefragReport$(date +%m%Y).txt"
}

e2e_report_win() { echo "C:\\windows\\DefragReport$(date +%m%Y).txt"; }

# The header line's shape with United States settings: M/D/YYYY - H:MM:SS AM
E2E_HEADER_RE='^[0-9]{1,2}/[0-9]{1,2}/[0-9]{4} - [0-9]{1,2}:[0-9]{2}:[0-9]{2} (AM|PM)$'

# e2e_expect_report_lines FILE LINE...: FILE holds exactly these lines, each
# ended by CR LF, compared byte for byte; a line given as <HEADER> must have
# the header's shape (E2E_HEADER_RE) instead, since it carries the time.
e2e_expect_report_lines() {
  local file=$1
  shift
  [ -f "$file" ] || e2e_fail "no report file $file"
  local -a actual
  mapfile -t actual <"$file"
  local expected=("$@") i line problem=
  for i in "${!expected[@]}"; do
    if [ "$i" -ge "${#actual[@]}" ]; then
      problem="line $((i + 1)) is missing"
      break
    fi
    line=${actual[$i]}
    if [ "${line%$'\r'}" = "$line" ]; then
      problem="line $((i + 1)) does not end with CR LF"
      break
    fi
    line=${line%$'\r'}
    if [ "${expected[$i]}" = "<HEADER>" ]; then
      [[ "$line" =~ $E2E_HEADER_RE ]] ||
        { problem="line $((i + 1)) is no header: '$line'"; break; }
    elif [ "$line" != "${expected[$i]}" ]; then
      problem="line $((i + 1)) is '$line', expected '${expected[$i]}'"
      break
    fi
  done
  if [ -z "$problem" ] && [ "${#actual[@]}" -ne "${#expected[@]}" ]; then
    problem="${#actual[@]} lines instead of ${#expected[@]}"
  fi
  # mapfile drops the last LF, so a last line without one looks complete.
  if [ -z "$problem" ] && [ -s "$file" ] &&
     [ "$(tail -c 1 "$file" | od -An -tx1 | tr -d ' ')" != 0a ]; then
    problem="the file does not end with a line end"
  fi
  if [ -n "$problem" ]; then
    e2e_log "report file (cat -A):"
    cat -A "$file" >&2
    e2e_fail "report file: $problem"
  fi
}

# --- diagnostics and clean-up --------------------------------------------

e2e_diagnose() {
  [ -n "$E2E_TMP" ] && [ -d "$E2E_TMP" ] || return 0
  local dir=${ORVANE_E2E_ARTIFACTS:-$E2E_TMP/artifacts}/$E2E_NAME
  mkdir -p "$dir"
  if [ -n "${DISPLAY:-}" ] && [ -n "$ORVANE_XVFB_PID" ]; then
    timeout 20 import -window root "$dir/screen.png" 2>/dev/null || true
    xdotool search --name . 2>/dev/null | while read -r w; do
      echo "$w $(xdotool getwindowname "$w" 2>/dev/null)"
    done >"$dir/x-windows.txt" || true
  fi
  e2e_state >"$dir/state.txt" 2>&1  # not in a pipe: it waits for the launcher
  cat "$dir/state.txt" >&2
  # Where each thread of the prefix's programs is, Orvane's among them.
  (cd "$WINEPREFIX/drive_c" && timeout 60 "$ORVANE_WINE" winedbg --command "bt all") \
    2>&1 | tr -d '\r' >"$dir/backtraces.txt" || true
  cp "$(e2e_sim_log_file)" "$(e2e_wmistub_log_file)" "$dir/" 2>/dev/null || true
  cp "$WINEPREFIX"/drive_c/windows/DefragReport*.txt "$dir/" 2>/dev/null || true
  cp "$E2E_TMP"/*.log "$E2E_TMP"/*.out "$dir/" 2>/dev/null || true
  e2e_log "diagnostics in $dir"
}

# What Windows and Wine see at a failure: the top-level windows and the
# processes Windows lists, the last start's launcher (the Unix process that
# becomes the program) and what it wrote, the prefix's Unix processes.
e2e_state() {
  local pid status=0 pids=()
  echo "== EnumWindows (winpeek list '*'):"
  e2e_wine winpeek.exe list '*' | tr -d '\r' || echo "(winpeek failed: $?)"
  echo "== processes (winpeek ps):"
  e2e_wine winpeek.exe ps | tr -d '\r' || echo "(winpeek failed: $?)"
  if [ -n "$E2E_ORVANE_PID" ] && e2e_running "$E2E_ORVANE_PID"; then
    echo "== the last start's launcher (pid $E2E_ORVANE_PID) runs; its threads:"
    ps -L -o tid=,stat=,wchan:28=,comm= -p "$E2E_ORVANE_PID" || true
  elif [ -n "$E2E_ORVANE_PID" ]; then
    wait "$E2E_ORVANE_PID" 2>/dev/null || status=$?
    echo "== the last start's launcher (pid $E2E_ORVANE_PID) ended (wait: $status)"
  fi
  echo "== its output, then Wine's log since it started:"
  cat "$E2E_TMP/orvane.out" 2>/dev/null || true
  tail -n +"$((E2E_EVENTS_FROM + 1))" "$E2E_TMP/wine.log" 2>/dev/null || true
  for pid in /proc/[0-9]*; do
    { tr '\0' '\n' <"$pid/environ"; } 2>/dev/null |
      grep -qxF "WINEPREFIX=$WINEPREFIX" && pids+=("${pid#/proc/}")
  done
  echo "== the prefix's Unix processes:"
  [ "${#pids[@]}" -eq 0 ] ||
    ps -o pid=,ppid=,stat=,etime=,wchan:20=,args= -p "$(IFS=,; echo "${pids[*]}")" || true
}

e2e_cleanup() {
  local status=$?
  trap - EXIT INT TERM HUP
  if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
    WINEPREFIX=$WINEPREFIX timeout 30 wineserver -k 2>/dev/null || true
  fi
  orvane_stop_xvfb
  if [ -n "$E2E_WATCHDOG_PID" ]; then
    kill "$E2E_WATCHDOG_PID" 2>/dev/null || true
    wait "$E2E_WATCHDOG_PID" 2>/dev/null || true
  fi
  if [ -n "$E2E_TMP" ] && [ "${E2E_KEEP:-0}" != 1 ]; then
    WINEPREFIX=$WINEPREFIX timeout 30 wineserver -w 2>/dev/null || true
    rm -rf "$E2E_TMP"
  fi
  exit "$status"
}
