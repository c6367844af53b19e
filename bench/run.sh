#!/usr/bin/env bash
# Orvane's performance figures on Wine, each a ratio (or size) measured in
# one run against a yardstick of the same kind, so that they hold on a noisy
# machine. Run by hand from anywhere:
#
#   bench/run.sh
#   bench/run.sh --check   (the test command's: builds everything and runs
#                          each kind of helper once, briefly; no figures)
#
# Builds Orvane.exe as released (preset win32-release), the simulated
# defragmenter and the helpers in bench/,
# makes a fresh 32-bit Wine prefix with drives C: and D: to W: fixed, starts
# an X server, measures, prints the table and writes it to bench/RESULTS.md.
# Where the host cannot run 32-bit Wine (or ORVANE_WINE32=off), all of it is
# 64-bit instead (preset win64-release, a 64-bit prefix), and the table says
# so.
#
# Environment:
#   BENCH_BUILD_DIR   build directory of the helpers (default build/bench,
#                     build/bench-win64 for the 64-bit ones)
#   BENCH_REPS        repetitions per timed figure, median taken (default 5;
#                     the start-up, whose runs are short, takes three times
#                     as many)
#   BENCH_WMI_N       busy tests per WMI timing process (default 50)
#   BENCH_KEEP=1      keep the prefix (/tmp/orvane-bench-*) afterwards

set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
REPS=${BENCH_REPS:-5}
WMI_N=${BENCH_WMI_N:-50}
RESULTS=$ROOT/bench/RESULTS.md
DRIVES=(d e f g h i j k l m n o p q r s t u v w)

log() { printf '[bench] %s\n' "$*" >&2; }
die() { log "error: $*"; exit 1; }

# The architecture this host can run: 32-bit where it can, as shipped for
# 32-bit Windows; 64-bit otherwise.
# shellcheck source=../scripts/wine-env.sh
source "$ROOT/scripts/wine-env.sh"
if orvane_wine32_check; then
  ARCH=win32 BITS=32 TRIPLE=i686-w64-mingw32 BUILD=${BENCH_BUILD_DIR:-$ROOT/build/bench}
  API_LEVEL=0x0501
else
  ARCH=win64 BITS=64 TRIPLE=x86_64-w64-mingw32 API_LEVEL=0x0502
  BUILD=${BENCH_BUILD_DIR:-$ROOT/build/bench-win64}
  log "measuring the 64-bit exe on 64-bit Wine: $ORVANE_WINE32_WHY"
fi
orvane_wine_arch "$ARCH"
ORVANE_BIN=$ROOT/build/$ARCH-release/Orvane.exe
CXX=$TRIPLE-g++-posix
STRIP=$TRIPLE-strip

# --- build ------------------------------------------------------------------

build() {
  log "building in $BUILD"
  if [ ! -f "$BUILD/CMakeCache.txt" ]; then
    cmake -S "$ROOT" -B "$BUILD" \
      -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchains/$TRIPLE.cmake" \
      -DCMAKE_BUILD_TYPE=MinSizeRel -DORVANE_WINEARCH=$ARCH \
      -DBUILD_TESTING=OFF >/dev/null
  fi
  cmake --build "$BUILD" -j2 \
    --target simdefrag simdefrag_engine orvane_win32 orvane_core \
    >/dev/null
  # The exe that is measured is the one that ships.
  (cd "$ROOT" && cmake --preset "$ARCH-release" >/dev/null &&
    cmake --build --preset "$ARCH-release" -j2 >/dev/null)

  # The helpers are small enough to build here, as Orvane is built: same
  # architecture, size-optimised, runtime linked in.
  local out=$BUILD/bench flags
  mkdir -p "$out"
  flags=(-std=c++17 -Os -Wall -Wextra -static -static-libgcc
         -static-libstdc++ -s)
  $CXX "${flags[@]}" -I"$ROOT/src" -o "$out/wmi_time.exe" \
    "$ROOT/bench/wmi_main.cpp" \
    "$BUILD/src/platform/win32/liborvane_win32.a" \
    "$BUILD/src/liborvane_core.a" \
    -lole32 -loleaut32 -lwbemuuid -lshell32 -luser32 -luuid
  flags+=(-municode)
  $CXX "${flags[@]}" -o "$out/watch.exe" "$ROOT/bench/watch_main.cpp" -lpsapi
  # At Orvane's API level, so that its wait mask is Orvane's.
  $CXX "${flags[@]}" -mwindows -D_WIN32_WINNT="$API_LEVEL" \
    -o "$out/launcher.exe" "$ROOT/bench/launcher_main.cpp"
  $CXX "${flags[@]}" -mwindows -D_WIN32_WINNT="$API_LEVEL" \
    -DBENCH_CREATION_FLAGS=0 -o "$out/launcher_flags0.exe" \
    "$ROOT/bench/launcher_main.cpp"
  $CXX "${flags[@]}" -mwindows -o "$out/empty_window.exe" \
    "$ROOT/bench/empty_window_main.cpp"

  # The empty window again, with each thing Orvane might do before its
  # window shows (see empty_window_main.cpp), and with all of them.
  printf '1 24 "%s"\n' "$BUILD/src/app/win32/orvane.manifest" >"$out/manifest.rc"
  $TRIPLE-windres -O coff -i "$out/manifest.rc" -o "$out/manifest.o"
  printf '1 ICON "%s"\n' "$ROOT/resources/orvane.ico" >"$out/icon.rc"
  $TRIPLE-windres -O coff -i "$out/icon.rc" -o "$out/icon.o"
  local part
  for part in "common_controls -DBENCH_COMMON_CONTROLS $out/manifest.o -lcomctl32" \
              "ole32 -DBENCH_OLE32 -lole32" "com -DBENCH_COM -lole32" \
              "oleaut32 -DBENCH_OLEAUT32 -loleaut32" \
              "shell32 -DBENCH_SHELL32 -lshell32" \
              "orvane_window -DBENCH_COMMON_CONTROLS -DBENCH_ORVANE_WINDOW $out/manifest.o $out/icon.o -lcomctl32" \
              "all -DBENCH_COMMON_CONTROLS -DBENCH_COM -DBENCH_OLEAUT32 -DBENCH_SHELL32 $out/manifest.o -lcomctl32 -lole32 -loleaut32 -lshell32"; do
    # shellcheck disable=SC2086 # the rest of the entry: flags, one word each
    set -- $part
    local name=$1
    shift
    $CXX "${flags[@]}" -mwindows -o "$out/empty_$name.exe" \
      "$ROOT/bench/empty_window_main.cpp" "$@"
  done
}

# --- prefix and X server ----------------------------------------------------

TMP=

cleanup() {
  local status=$?
  trap - EXIT INT TERM HUP
  if [ -n "$TMP" ] && [ -d "$TMP/prefix" ]; then
    WINEPREFIX=$TMP/prefix timeout 30 wineserver -k 2>/dev/null || true
    WINEPREFIX=$TMP/prefix timeout 30 wineserver -w 2>/dev/null || true
  fi
  orvane_stop_xvfb
  if [ -n "$TMP" ] && [ "${BENCH_KEEP:-0}" != 1 ]; then
    rm -rf "$TMP"
  elif [ -n "$TMP" ]; then
    log "kept $TMP"
  fi
  exit "$status"
}

# Runs a Windows program in the prefix from C:\; its output on stdout
# without CRs.
win() {
  (cd "$WINEPREFIX/drive_c" && timeout 600 "$ORVANE_WINE" "$@" 2>>"$TMP/wine.log") |
    tr -d '\r'
}

make_prefix() {
  TMP=$(mktemp -d /tmp/orvane-bench-XXXXXX)
  trap cleanup EXIT
  trap 'log interrupted; exit 1' INT TERM HUP
  export WINEDEBUG=-all
  orvane_use_prefix "$TMP/prefix"
  log "making the prefix $WINEPREFIX"
  "$ROOT/scripts/wine-prefix.sh" new "$WINEPREFIX" "$ARCH" || die "wineboot failed"

  # C: stays; Z: (the Unix root) goes; D: to W: are fixed drives on empty
  # directories.
  rm -f "$WINEPREFIX/dosdevices/z:"
  local letter
  {
    printf '[HKEY_LOCAL_MACHINE\\Software\\Wine\\Drives]\n'
    for letter in "${DRIVES[@]}"; do
      mkdir -p "$TMP/vol-$letter"
      ln -sfn "$TMP/vol-$letter" "$WINEPREFIX/dosdevices/$letter:"
      printf '"%s:"="hd"\n' "$letter"
    done
  } | "$ROOT/scripts/wine-prefix.sh" import "$WINEPREFIX" || die "regedit failed"

  local sys=$WINEPREFIX/drive_c/windows/system32
  cp "$BUILD/tools/simdefrag/defrag.exe" "$BUILD/tools/simdefrag/DfrgNtfs.exe" \
     "$sys/"
  mkdir -p "$WINEPREFIX/drive_c/Orvane" "$WINEPREFIX/drive_c/bench"
  cp "$ORVANE_BIN" "$WINEPREFIX/drive_c/Orvane/"
  cp "$BUILD"/bench/*.exe "$WINEPREFIX/drive_c/bench/"
}

start_xvfb() {
  orvane_start_xvfb "$TMP/xvfb.log" || die "Xvfb did not start"
}

simulate() {
  printf '%s\r\n' "$@" >"$WINEPREFIX/drive_c/windows/simdefrag.ini"
  rm -f "$WINEPREFIX/drive_c/windows/temp/simdefrag.log"
}

sim_starts() {
  local logfile=$WINEPREFIX/drive_c/windows/temp/simdefrag.log
  [ -f "$logfile" ] && grep -c . "$logfile" || echo 0
}

# --- arithmetic -------------------------------------------------------------

median() { sort -g | awk '{v[NR]=$1} END {
  if (NR == 0) { print "nan"; exit }
  if (NR % 2) print v[(NR+1)/2]; else print (v[NR/2] + v[NR/2+1]) / 2 }'; }

# fmt VALUE DIGITS
fmt() { awk -v v="$1" -v d="$2" 'BEGIN { printf "%.*f", d, v }'; }

# verdict VALUE LIMIT: PASS when VALUE <= LIMIT.
verdict() { awk -v v="$1" -v l="$2" 'BEGIN { print (v <= l) ? "PASS" : "FAIL" }'; }

# paired_ratio X Y / paired_diff X Y: per round, the value labelled X over
# (minus) the value labelled Y that follows it.
paired_ratio() {
  awk -v x="$1" -v y="$2" '$1 == x { v = $2 } $1 == y { print v / $2 }'
}
paired_diff() {
  awk -v x="$1" -v y="$2" '$1 == x { v = $2 } $1 == y { print v - $2 }'
}

column_of() { awk -v k="$1" '$1 == k { print $2 }'; }

# --- figures ----------------------------------------------------------------

ROWS=()
NOTES=()
row() { ROWS+=("| $1 | $2 | $3 | $4 |"); }
note() { NOTES+=("$*"); }
mb() { awk -v b="$1" 'BEGIN { printf "%.2f", b / 1048576 }'; }
# calc EXPR VAR=VALUE...: awk arithmetic.
calc() { local e=$1; shift; awk "${@/#/-v}" "BEGIN { print $e }" </dev/null; }

ORVANE='C:\Orvane\Orvane.exe'
LAUNCHER='C:\bench\launcher.exe'
LAUNCHER0='C:\bench\launcher_flags0.exe'
EMPTY='C:\bench\empty_window.exe'
ALL_BUT_C=/R:DEFGHIJKLMNOPQRSTUVW
ALL=/R:CDEFGHIJKLMNOPQRSTUVW
NDRIVES=$(( ${#DRIVES[@]} + 1 ))

# check_starts PER_ROUND ROUNDS: the simulator's log must show ROUNDS
# rounds (warm-up included) of PER_ROUND defrag.exe starts each.
check_starts() {
  local per_round=$1 rounds=$2 starts expected
  starts=$(sim_starts)
  expected=$(( rounds * per_round ))
  [ "$starts" -eq "$expected" ] ||
    die "defrag.exe started $starts times, expected $expected (drives wrong?)"
}

all_ended_zero() {
  awk 'NF == 3 && $3 != 0 { bad = 1 } END { exit bad }' "$1" ||
    die "a run ended non-zero: $(tr '\n' ' ' <"$1")"
}

# Wine's own window management (a virtual desktop) or a bare X server.
set_desktop() {
  timeout 30 wineserver -k 2>/dev/null || true
  timeout 30 wineserver -w 2>/dev/null || true
  if [ "$1" = virtual ]; then
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\n"Desktop"="Default"\n\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\n"Default"="%sx%s"\n' \
      "$ORVANE_SCREEN_W" "$ORVANE_SCREEN_H"
  else
    printf '[-HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\n'
  fi | "$ROOT/scripts/wine-prefix.sh" import "$WINEPREFIX" || die "regedit failed"
  # One session for all the measurements that follow: no wineserver or
  # desktop start inside a timed run.
  wineserver -p
  win 'C:\bench\watch.exe' exit 1 "$EMPTY close" "$LAUNCHER $ALL" >/dev/null
}

# On a bare X server, with no window manager, Wine waits for the X server to
# report each managed window withdrawn, and gives up after 2 s: every
# program that closes a visible window pays it. Shown once, for the record.
figure_bare_x() {
  local reps=3
  log "0. on a bare X server: Orvane.exe -S -E, launcher.exe, an empty window's life"
  simulate "* exit=0 ms=0"
  win 'C:\bench\watch.exe' exit "$reps" "$ORVANE -S -E" "$LAUNCHER" \
    "$EMPTY close" "$LAUNCHER $ALL" >"$TMP/fig0-bare-x.txt"
  all_ended_zero "$TMP/fig0-bare-x.txt"
  check_starts $(( 2 * NDRIVES )) $(( reps + 1 ))
  local f=$TMP/fig0-bare-x.txt a b c d r
  a=$(column_of A <"$f" | median)
  b=$(column_of B <"$f" | median)
  c=$(column_of C <"$f" | median)
  d=$(column_of D <"$f" | median)
  r=$(paired_ratio A B <"$f" | median)
  row "(bare X server, no window manager) Orvane -S -E / launcher, 21 drives" \
      "$(fmt "$r" 3) ($(fmt "$a" 0) ms / $(fmt "$b" 0) ms)" "(info)" "info"
  row "(bare X server) life of an empty window / of a windowless process" \
      "$(fmt "$c" 0) ms / $(fmt "$d" 0) ms" "(info)" "info"
  note "Bare X server: Wine waits up to 2 s for a window manager to report a" \
       "closed top-level window withdrawn (its trace says" \
       "\"wait_for_withdrawn_state ... wait timed out\"); with none, any" \
       "program that closes a visible window" \
       "pays the full 2 s, as the empty window's life shows. The figures" \
       "below are therefore taken under Wine's virtual desktop, where Wine" \
       "manages the windows itself, as Windows does. Medians of $reps runs."
}

figure_drive_overhead() {
  log "1. per-drive overhead: Orvane.exe -S -E vs launcher.exe, 21 fixed drives"
  simulate "* exit=0 ms=0"
  local f=$TMP/fig1.txt
  # A, B: the figure. C, D: the same over C: alone, so that the per-drive
  # slope and the fixed cost can be told apart. E, F: the life of an empty
  # window and of a windowless process that starts nothing.
  win 'C:\bench\watch.exe' exit "$REPS" \
    "$ORVANE -S -E" "$LAUNCHER" \
    "$ORVANE -S -E $ALL_BUT_C" "$LAUNCHER $ALL_BUT_C" \
    "$EMPTY close" "$LAUNCHER $ALL" "$LAUNCHER0" >"$f"
  all_ended_zero "$f"
  check_starts $(( 3 * NDRIVES + 2 )) $(( REPS + 1 ))

  local a b c d r slope_o slope_l fixed window
  a=$(column_of A <"$f" | median)
  b=$(column_of B <"$f" | median)
  c=$(column_of C <"$f" | median)
  d=$(column_of D <"$f" | median)
  r=$(paired_ratio A B <"$f" | median)
  slope_o=$(calc "(a - c) / (n - 1)" a="$a" c="$c" n="$NDRIVES")
  slope_l=$(calc "(b - d) / (n - 1)" b="$b" d="$d" n="$NDRIVES")
  fixed=$(paired_diff C D <"$f" | median)
  window=$(paired_diff E F <"$f" | median)
  local g flags0
  g=$(column_of G <"$f" | median)
  flags0=$(paired_ratio B G <"$f" | median)
  # Orvane cannot start the defragmenter with less than the launcher does:
  # a ratio well under 1 says that the yardstick does more than Orvane, and
  # the figure means nothing.
  local v
  v=$(verdict "$r" 1.15)
  if [ "$(calc "(r < 0.95) ? 1 : 0" r="$r")" = 1 ]; then
    v="BROKEN YARDSTICK (under 0.95)"
  fi
  row "Per-drive overhead: Orvane -S -E / launcher, 21 drives, runs of 0 ms" \
      "$(fmt "$r" 3) ($(fmt "$a" 0) ms / $(fmt "$b" 0) ms)" "0.95 to 1.15" "$v"
  row "  cost of each further drive: Orvane / launcher" \
      "$(fmt "$slope_o" 1) ms / $(fmt "$slope_l" 1) ms" "" "info"
  row "  fixed cost above the launcher (C: alone); an empty window's life above a windowless process" \
      "$(fmt "$fixed" 0) ms; $(fmt "$window" 0) ms" "" "info"
  row "  the launcher with CREATE_NO_WINDOW / with dwCreationFlags 0, 21 drives" \
      "$(fmt "$flags0" 3) ($(fmt "$b" 0) ms / $(fmt "$g" 0) ms)" "" "info"
  note "Figure 1: from CreateProcess to the end of the process, timed inside" \
       "Wine by watch.exe; the simulated defrag.exe ends at once with 0." \
       "Measured: median over $REPS rounds of the ratio within a round;" \
       "rounds interleave all seven programs. Per-drive cost: (21 drives -" \
       "C: alone) / 20 for each program. Fixed cost: Orvane over C: alone" \
       "minus the launcher over C: alone, median of the per-round" \
       "differences: what Orvane pays once (its window, COM, the busy test" \
       "and the ending's queries, the report). The launcher starts" \
       "defrag.exe as Orvane does (CreateProcessW, STARTF_USESHOWWINDOW with" \
       "SW_HIDE, CREATE_NO_WINDOW, a MsgWaitForMultipleObjects wait); the" \
       "same built with dwCreationFlags 0 shows what CREATE_NO_WINDOW" \
       "costs here. A ratio under 0.95 means the yardstick does more than" \
       "Orvane and is reported as broken, not as a pass."
}

figure_startup() {
  log "2. start-up: Orvane.exe to a visible \"Defragment\" vs empty_window.exe"
  simulate "* exit=0 ms=0"
  # Runs of 60-100 ms feel a busy machine most: more of them.
  local f=$TMP/fig2.txt a b c r reps=$(( 3 * REPS ))
  win 'C:\bench\watch.exe' window "$reps" \
    Defragment "$ORVANE" 'Bench Window' "$EMPTY" \
    'Bench Window' 'C:\bench\empty_orvane_window.exe' >"$f"
  a=$(column_of A <"$f" | median)
  b=$(column_of B <"$f" | median)
  c=$(column_of C <"$f" | median)
  r=$(paired_ratio A B <"$f" | median)
  if [ "$a" = nan ] || [ "$b" = nan ]; then die "no start-up times"; fi
  row "Start-up to visible window: Orvane / empty window" \
      "$(fmt "$r" 3) ($(fmt "$a" 0) ms / $(fmt "$b" 0) ms)" "<= 1.15" \
      "$(verdict "$r" 1.15)"
  # The same window as Orvane's, with nothing behind it: what showing that
  # window costs any program, and what Orvane adds to it.
  r=$(awk '$1 == "B" { b = $2 } $1 == "C" { print $2 / b }' "$f" | median)
  row "  the empty window showing what Orvane shows / the empty window" \
      "$(fmt "$r" 3) ($(fmt "$c" 0) ms)" "" "info"
  r=$(awk '$1 == "A" { a = $2 } $1 == "C" { print a / $2 }' "$f" | median)
  row "  Orvane / the empty window showing what Orvane shows" \
      "$(fmt "$r" 3)" "" "info"

  # What each DLL and each set-up costs before a window shows: the empty
  # window built with it (A: the plain one, first in each round).
  local parts=(common_controls ole32 com oleaut32 shell32 orvane_window all)
  local part i=0 args=()
  local what=("common controls 6 (manifest, InitCommonControlsEx)"
              "ole32 imported" "COM set up (CoInitializeEx, CoInitializeSecurity)"
              "oleaut32 imported" "shell32 imported"
              "Orvane's window: common controls 6, its frame, icon and four controls, centred"
              "all of these (what Orvane did before its window before they were deferred)")
  for part in "${parts[@]}"; do
    args+=('Bench Window' "C:\\bench\\empty_$part.exe")
  done
  # Differences of a few ms between runs of about 100: more rounds still.
  local parts_reps=$(( 5 * REPS ))
  f=$TMP/fig2-parts.txt
  win 'C:\bench\watch.exe' window "$parts_reps" 'Bench Window' "$EMPTY" \
    "${args[@]}" >"$f"
  for part in "${parts[@]}"; do
    local labels=(B C D E F G H) d
    d=$(paired_diff A "${labels[$i]}" <"$f" | median)
    row "  start-up cost above the empty window: ${what[$i]}" \
        "$(fmt "$(calc "-d" d="$d")" 1) ms" "" "info"
    i=$((i + 1))
  done
  note "Figure 2: from CreateProcess until a visible top-level window of" \
       "that process has the title (FindWindowEx + IsWindowVisible, polled" \
       "every 1 ms inside Wine); median over $reps alternating pairs of the" \
       "ratio within a pair. The yardstick registers a class, creates and" \
       "shows one captioned window and runs its message loop. A second" \
       "yardstick, in the same rounds, shows what Orvane shows and does" \
       "nothing else: Orvane's manifest (common controls 6), frame, size," \
       "icon and four controls, centred. The costs" \
       "below it: the same window built with one thing more, run in the" \
       "same rounds as the plain one; median over $(( 5 * REPS )) rounds of" \
       "the difference within a round."
}

figure_wmi() {
  log "3. busy test: three WMI queries vs one query alone"
  local f=$TMP/fig3.txt
  : >"$f"
  for _ in $(seq "$REPS"); do
    win 'C:\bench\wmi_time.exe' "$WMI_N" >>"$f"
  done
  [ "$(grep -c '^single ' "$f")" -eq "$REPS" ] || die "wmi_time failed"
  local cold busy single perquery r
  cold=$(column_of cold <"$f" | median)
  busy=$(column_of busy <"$f" | median)
  single=$(column_of single <"$f" | median)
  perquery=$(calc "b / 3" b="$busy")
  r=$(calc "p / s" p="$perquery" s="$single")
  row "Busy test: ms per query (of its 3) / one query alone" \
      "$(fmt "$r" 2) ($(fmt "$perquery" 2) ms / $(fmt "$single" 2) ms)" \
      "(no target)" "info"
  row "  whole busy test, warm / first in the process" \
      "$(fmt "$busy" 2) ms / $(fmt "$cold" 1) ms" "" "info"
  note "Figure 3: the program's own adapter and busy test in wmi_time.exe;" \
       "medians over $REPS processes of the mean over $WMI_N busy tests and" \
       "$WMI_N single queries, run in alternating blocks; every query binds" \
       "the service afresh, as the program does. The first busy test of a" \
       "process loads the service. Wine's WMI runs inside the calling" \
       "process; Windows's runs in a service, so expect more there."
}

figure_size_and_memory() {
  log "4. size of the stripped exe; peak working set during a pass"
  local stripped=$TMP/Orvane-stripped.exe bytes kb
  $STRIP -o "$stripped" "$ORVANE_BIN"
  bytes=$(stat -c %s "$stripped")
  kb=$(calc "b / 1024" b="$bytes")
  row "Size of the stripped ${TRIPLE%%-*} Orvane.exe (runtime linked in)" \
      "$(fmt "$kb" 1) KB" "<= 240 KB" \
      "$(calc "(k <= 240) ? \"PASS\" : \"FAIL\"" k="$kb")"

  simulate "* exit=0 ms=100"
  local f=$TMP/fig4.txt o l w m
  {
    # wmi_time.exe writes to the console it shares with watch.exe: keep
    # only watch's lines.
    win 'C:\bench\watch.exe' peak "$REPS" "$ORVANE -S -E" | sed -n 's/^peak/O/p'
    win 'C:\bench\watch.exe' peak "$REPS" "$LAUNCHER" | sed -n 's/^peak/L/p'
    win 'C:\bench\watch.exe' peak "$REPS" "$EMPTY close" | sed -n 's/^peak/W/p'
    win 'C:\bench\watch.exe' peak "$REPS" 'C:\bench\wmi_time.exe 5' |
      sed -n 's/^peak/M/p'
  } >"$f"
  o=$(column_of O <"$f" | median)
  l=$(column_of L <"$f" | median)
  w=$(column_of W <"$f" | median)
  m=$(column_of M <"$f" | median)
  [ "$(fmt "$o" 0)" -gt 0 ] || die "no working-set readings"
  row "Peak working set, Orvane -S -E over 21 drives of 100 ms" \
      "$(mb "$o") MB" "< 8 MB" "$(calc "(o < 8388608) ? \"PASS\" : \"FAIL\"" o="$o")"
  row "  yardsticks: launcher / empty window / COM+WMI alone (wmi_time)" \
      "$(mb "$l") MB / $(mb "$w") MB / $(mb "$m") MB" "" "info"
  row "  Orvane above the empty window" "$(mb "$(calc "o - w" o="$o" w="$w")") MB" \
      "" "info"
  note "Figure 4: size with $STRIP. Working set:" \
       "PeakWorkingSetSize from GetProcessMemoryInfo on the process handle," \
       "sampled every 2 ms while the process runs (Wine answers from the" \
       "Unix process's peak resident size, which ends with the process)," \
       "median over $REPS runs. On Wine it counts Wine's own loader and" \
       "libraries, which a Windows process does not carry: the yardsticks" \
       "show what any Win32 program, and COM with WMI alone, pay here."
}

# --- report -----------------------------------------------------------------

machine() {
  local cpu
  cpu=$(grep -m1 '^model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')
  printf -- '- Date: %s\n' "$(date '+%Y-%m-%d %H:%M:%S %z')"
  printf -- '- CPU: %s\n' "${cpu:-unknown}"
  printf -- '- nproc: %s\n' "$(nproc)"
  printf -- '- Wine: %s (%s-bit prefix), the released %s-bit exe\n' \
    "$("$ORVANE_WINE" --version)" "$BITS" "$BITS"
  printf -- '- Commit: %s\n' \
    "$(git -C "$ROOT" rev-parse --short HEAD 2>/dev/null || echo unknown)"
}

write_results() {
  local table
  table=$(
    printf 'The released %s-bit exe in a %s-bit Wine prefix:\n\n' "$BITS" "$BITS"
    printf '| Figure | Measured | Target | Verdict |\n'
    printf '|---|---|---|---|\n'
    printf '%s\n' "${ROWS[@]}"
  )
  printf '\n%s\n\n' "$table"
  {
    printf '# Benchmark results\n\n'
    printf 'Written by \140bench/run.sh\140; each timed figure is a ratio to a\n'
    printf 'yardstick measured in the same run on Wine.\n\n'
    machine
    printf '\n%s\n\n## How each figure was measured\n\n' "$table"
    local n
    for n in "${NOTES[@]}"; do printf -- '- %s\n' "$n"; done
    printf '\n## Raw runs (ms or bytes)\n\n```\n'
    local f
    for f in "$TMP"/fig*.txt; do
      printf '%s:\n' "$(basename "$f" .txt)"
      tr '\n' ' ' <"$f" | fold -s -w 76
      printf '\n'
    done
    printf '```\n'
  } >"$RESULTS"
  log "written to $RESULTS"
}

# check: that the benchmarks build and their helpers run, in a minute or
# two, so that a change in the program's code cannot break them unnoticed.
check() {
  build
  make_prefix
  start_xvfb
  set_desktop virtual  # runs watch.exe, the empty window and the launcher
  win 'C:\bench\wmi_time.exe' 5 | grep -q '^single ' || die "wmi_time failed"
  log "the benchmarks build and run"
}

main() {
  if [ "${1:-}" = --check ]; then
    check
    return
  fi
  local started=$SECONDS
  build
  make_prefix
  start_xvfb
  set_desktop bare
  figure_bare_x
  set_desktop virtual
  figure_drive_overhead
  figure_startup
  figure_wmi
  figure_size_and_memory
  write_results
  log "done in $((SECONDS - started)) s"
}

# Sourcing the file (to run one figure by hand) defines the functions only.
if [ "${BASH_SOURCE[0]}" = "$0" ]; then main "$@"; fi
