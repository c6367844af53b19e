#!/usr/bin/env bash
# Retakes the README's screenshots of the window (not a test): idle,
# running, and at the end of a pass that succeeded and of one that failed,
# each as Wine draws it on a desktop of its own of 400 x 200 pixels.
#
#   tests/e2e/screenshots.sh [OUTPUT_DIR]     (default: docs/)
#
# Uses the exe and the simulator of build/win32 (build/win64 where 32-bit
# Wine cannot run) unless ORVANE_EXE and SIMDEFRAG_DIR say otherwise (build
# them first: cmake --build --preset win32).
root=$(cd "$(dirname "$0")/../.." && pwd)
out=$(cd "${1:-$root/docs}" && pwd) || exit 1
# shellcheck source=../../scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
build=$root/build/win32
orvane_wine32_check || build=$root/build/win64
export ORVANE_EXE=${ORVANE_EXE:-$build/Orvane.exe}
export SIMDEFRAG_DIR=${SIMDEFRAG_DIR:-$build/tools/simdefrag}
unset DISPLAY XAUTHORITY

# shellcheck source=lib.sh
source "$root/tests/e2e/lib.sh"
# The X screen is the Wine desktop, so that the root window is the picture.
ORVANE_SCREEN_W=400
ORVANE_SCREEN_H=200
e2e_init

e2e_import_reg '[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="shot"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"shot"="400x200"'

shoot() {
  sleep 1  # let the window paint
  import -window root "$out/$1"
  e2e_log "saved $out/$1"
}

e2e_simulate "C: exit=0 ms=5000"
e2e_start_orvane
pid=$E2E_ORVANE_PID
e2e_wait_ready Defragment 60
xdotool mousemove 0 0  # no pointer over the buttons
shoot window-idle.png

e2e_post_click Defragment Start
win=$(e2e_wait_window "Defragmenting .." 30 "$pid")
shoot window-running.png
e2e_wait_title "$win" Defragmented 60
shoot window-done.png

e2e_simulate "C: exit=7 ms=50"
e2e_post_click Defragmented Start
e2e_wait_title "$win" "Defrag Error" 60
shoot window-error.png

e2e_close_window "Defrag Error"
e2e_wait_exit "$pid" 30 >/dev/null
e2e_pass
