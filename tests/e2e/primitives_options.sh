#!/usr/bin/env bash
# End to end: the real modeller under a virtual X display, driven by real X
# input events.
#   primitives_options.sh VEXAL_BINARY VEXAL_TOOL_BINARY
# "Add Primitive Objects" opened from the Window menu with the mouse, its
# "Sphere 1" pressed: the document's count line changes and the saved file
# holds the sphere. Then a switch of "System Configuration Settings..." is
# changed with the keyboard, and after Quit the settings file holds it.
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"
e2e_start "$@"

"$TOOL" new "$WORK/box.vxl"
e2e_launch "$WORK/box.vxl"
main=$(xdotool search --onlyvisible --name "Vexal" | head -1)
eval "$(xdotool getwindowgeometry --shell "$main")"
main_x=$X; main_y=$Y; main_w=$WIDTH

# Spans of ink (anything darker than the menu's face, greyed text included)
# along one axis of a strip of
# the screen, as "start:end" pixel offsets, short gaps bridged so that the
# letters of one caption form one span.
ink_spans() {  # shot x y w h axis(columns|rows) gap
  local geometry="$4x$5+$2+$3" scale
  if [[ $6 == columns ]]; then scale="$4x1!"; else scale="1x$5!"; fi
  convert "$WORK/$1.png" -crop "$geometry" +repage -colorspace gray -threshold 88% -scale "$scale" \
    -depth 8 txt:- | awk -v axis="$6" -v gap="$7" -F'[,: ()]+' '
      BEGIN { start = -1 }
      NR > 1 {
        i = (axis == "columns") ? $1 : $2
        if ($3 + 0 < 255) {
          if (start < 0 || i - last > gap) { if (start >= 0) print start ":" last; start = i }
          last = i
        }
      }
      END { if (start >= 0) print start ":" last }'
}

# Opens the n-th menu of the menu bar with a click; echoes its title's
# centre x.
open_menu() {
  e2e_shot menubar
  local spans x
  mapfile -t spans < <(ink_spans menubar "$main_x" "$((main_y + 4))" "$main_w" 14 columns 6)
  ((${#spans[@]} >= $1)) || e2e_fail "the menu bar shows ${#spans[@]} titles"
  local span=${spans[$(($1 - 1))]}
  x=$((main_x + (${span%%:*} + ${span##*:}) / 2))
  xdotool mousemove "$x" "$((main_y + 10))" click 1
  sleep 0.5
  echo "$x"
}

# Clicks the n-th item (separators do not count) of the menu opened under x.
click_menu_item() {
  e2e_shot menu
  local spans span y
  mapfile -t spans < <(ink_spans menu "$(($1 - 10))" "$((main_y + 24))" 30 600 rows 3)
  local items=()
  for span in "${spans[@]}"; do
    # A separator is a line, an item a row of text.
    ((${span##*:} - ${span%%:*} >= 4)) && items+=("$span")
  done
  ((${#items[@]} >= $2)) || e2e_fail "the menu shows ${#items[@]} items"
  span=${items[$(($2 - 1))]}
  y=$((main_y + 24 + (${span%%:*} + ${span##*:}) / 2))
  xdotool mousemove "$(($1 + 20))" "$y" click 1
  sleep 0.5
}

# The id of the visible window with that title, waiting up to 10 s.
wait_window() {
  local id
  for _ in $(seq 50); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1) || true
    [[ -n "$id" ]] && { echo "$id"; return; }
    sleep 0.2
  done
  e2e_fail "no window \"$1\" appeared"
}

count_line() {  # the strip above the view, where the count line is
  convert "$WORK/$1.png" -crop "${vw}x18+${vx}+$((vy - 20))" +repage "$WORK/count_$1.png"
}

view=$(e2e_view_geometry)
read -r vw vh vx vy <<<"$(echo "$view" | sed 's/[x+]/ /g')"
e2e_shot before
count_line before

# Window menu (the seventh), ninth item: "Add Primitive Objects".
x=$(open_menu 7)
click_menu_item "$x" 9
primitive=$(wait_window "Add Primitive Objects")
eval "$(xdotool getwindowgeometry --shell "$primitive")"
# The buttons: "Cube" across the top row, then "Sphere 1" first on the left.
xdotool mousemove "$((X + WIDTH / 4))" "$((Y + HEIGHT * 3 / 8))" click 1
e2e_settle
e2e_shot after
count_line after
pixels=$(compare -metric AE "$WORK/count_before.png" "$WORK/count_after.png" null: 2>&1 || true)
echo "count line: $pixels pixels changed"
((${pixels%%.*} > 20)) || e2e_fail "the count line did not change"

# Save (Ctrl+S) and read the counts back.
xdotool windowfocus "$main" 2>/dev/null || true
xdotool key ctrl+s
sleep 1
info=$("$TOOL" info "$WORK/box.vxl")
echo "$info"
grep -q "Total Vertex : 40" <<<"$info" || e2e_fail "the saved document does not hold the sphere"

# Options menu (the fifth), first item: System Configuration Settings. The
# first switch ("Restore the main window's position and size at start") has the focus: Space turns
# it off, Return is OK.
x=$(open_menu 5)
click_menu_item "$x" 1
options=$(wait_window "System Configuration Settings")
xdotool windowfocus "$options" 2>/dev/null || true
sleep 0.3
xdotool key space
sleep 0.2
xdotool key Return
sleep 0.5

# File menu, last item: Quit.
x=$(open_menu 1)
xdotool key Up Return
for _ in $(seq 50); do
  kill -0 "$APP_PID" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$APP_PID" 2>/dev/null && e2e_fail "the modeller did not quit"
status=0
wait "$APP_PID" || status=$?
APP_PID=
((status == 0)) || e2e_fail "the modeller ended with status $status: $(tail -5 "$WORK/app.log")"
tr -d '\r' <"$WORK/vexal.ini" | grep -q '^SaveMainWindow=0$' ||
  e2e_fail "the changed option is not in the settings file"
e2e_pass
