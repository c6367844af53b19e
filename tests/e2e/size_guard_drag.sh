#!/usr/bin/env bash
# Dragging the window's border or a corner does not change its size. Wine
# draws window frames itself only on its own desktop (a bare X server shows
# frameless windows), so the prefix runs every program inside a Wine
# desktop, and real mouse drags (press, move, release) go to the frame.
# Controls show that the drags reach Wine's sizing: the same drag on
# Notepad's border resizes it, a drag on Orvane's title bar moves it, and
# each point dragged is the sizing edge or corner it is meant to be (the
# window's own hit-test answer). Then each edge and corner of Orvane,
# dragged outward (corners also inward), leaves its rectangle exactly as it
# was: the dragged edge held, the opposite one in place.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
e2e_init

e2e_import_reg '[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="e2e"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"e2e"="640x480"'

# rect_of TITLE: "left top right bottom" of the window TITLE, on the desktop.
rect_of() {
  local rect
  rect=$(e2e_peek_field "$(e2e_peek "$1")" window "$1" rect)
  [ -n "$rect" ] || e2e_fail "no window titled '$1'"
  tr ',' ' ' <<<"$rect"
}

# drag X Y DX DY: presses the left button at X,Y of the desktop, moves the
# pointer by DX,DY in two steps and releases it.
drag() {
  xdotool mousemove --window "$desktop" "$1" "$2"
  sleep 0.2
  xdotool mousedown 1
  sleep 0.2
  xdotool mousemove --window "$desktop" "$(($1 + $3 / 2))" "$(($2 + $4 / 2))"
  sleep 0.2
  xdotool mousemove --window "$desktop" "$(($1 + $3))" "$(($2 + $4))"
  sleep 0.2
  xdotool mouseup 1
  sleep 0.3
}

e2e_log "control: a drag on Notepad's right border resizes it"
(cd "$WINEPREFIX/drive_c" && exec "$ORVANE_WINE" notepad.exe) 2>>"$E2E_TMP/wine.log" &
notepad=$!
desktop=$(e2e_wait_window 'e2e - Wine desktop' 60)
for _ in $(seq 60); do
  [ -n "$(e2e_peek 'Untitled - Notepad')" ] && break
  sleep 0.5
done
sleep 1
read -r l t r b <<<"$(rect_of 'Untitled - Notepad')"
drag $((r - 2)) $(((t + b) / 2)) 40 0
read -r l2 t2 r2 b2 <<<"$(rect_of 'Untitled - Notepad')"
e2e_log "Notepad $l,$t,$r,$b -> $l2,$t2,$r2,$b2"
{ [ $((r2 - r)) -ge 20 ] && [ "$l2" -eq "$l" ]; } ||
  e2e_fail "the drag did not resize Notepad: $l,$t,$r,$b -> $l2,$t2,$r2,$b2"
e2e_close_window 'Untitled - Notepad'
e2e_wait_exit "$notepad" 30 >/dev/null

e2e_start_orvane
pid=$E2E_ORVANE_PID
e2e_wait_ready Defragment 60
sleep 1

e2e_log "control: a drag on the title bar moves the window"
read -r l t r b <<<"$(rect_of Defragment)"
drag $(((l + r) / 2)) $((t + 10)) -30 -20
read -r l2 t2 r2 b2 <<<"$(rect_of Defragment)"
[ "$l2 $t2 $r2 $b2" = "$((l - 30)) $((t - 20)) $((r - 30)) $((b - 20))" ] ||
  e2e_fail "the title bar drag did not move the window: $l,$t,$r,$b -> $l2,$t2,$r2,$b2"

read -r l t r b <<<"$(rect_of Defragment)"
mx=$(((l + r) / 2)) my=$(((t + b) / 2))
# handle | hit-test code | x | y | outward dx | outward dy (the frame is 4
# pixels wide)
handles=(
  "left|10|$((l + 1))|$my|-40|0"
  "right|11|$((r - 2))|$my|40|0"
  "top|12|$mx|$((t + 1))|0|-30"
  "bottom|15|$mx|$((b - 2))|0|30"
  "top left|13|$((l + 1))|$((t + 1))|-40|-30"
  "top right|14|$((r - 2))|$((t + 1))|40|-30"
  "bottom left|16|$((l + 1))|$((b - 2))|-40|30"
  "bottom right|17|$((r - 2))|$((b - 2))|40|30"
)
for handle in "${handles[@]}"; do
  IFS='|' read -r name code x y dx dy <<<"$handle"
  hit=$(e2e_wine winpeek.exe hittest "$x" "$y" | tr -d '\r')
  [ "$hit" = "Defragment $code" ] ||
    e2e_fail "the point $x,$y is '$hit', not the $name sizing handle ($code)"
  signs=1
  [[ $name == *" "* ]] && signs="1 -1"
  for sign in $signs; do
    drag "$x" "$y" $((sign * dx)) $((sign * dy))
    now=$(rect_of Defragment)
    e2e_log "drag $name by $((sign * dx)),$((sign * dy)): $now"
    [ "$now" = "$l $t $r $b" ] ||
      e2e_fail "dragging the $name handle changed the window from $l $t $r $b to $now"
  done
done
[ "$(e2e_peek_field "$(e2e_peek Defragment)" window Defragment client)" = 201x60 ] ||
  e2e_fail "the client area is no longer 201x60"

e2e_close_window Defragment
e2e_expect_exit "$pid" 30 0
e2e_pass
