#!/usr/bin/env bash
# End to end: quick clicks of the right button are not a double click.
#   quick_clicks.sh VEXAL_BINARY VEXAL_TOOL_BINARY
# With Draw Vertex, four clicks apart in time draw three segments; two quick
# right clicks take back two points; Enter ends the stroke. The saved file
# has two points and one line more. A left double click then ends a new
# stroke as Enter does.
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"
e2e_start "$@"

"$TOOL" new "$WORK/strokes.vxl"
e2e_launch "$WORK/strokes.vxl"
view=$(e2e_view_geometry)
read -r vw vh vx vy <<<"$(echo "$view" | sed 's/[x+]/ /g')"
echo "view: $view"

counts() {
  "$TOOL" info "$WORK/strokes.vxl" | awk -F' : ' '/Total Vertex/ {p=$2} /Total Edge/ {l=$2} END {print p, l}'
}
read -r points lines <<<"$(counts)"
echo "before: $points points, $lines lines"

xdotool mousemove $((vx + vw / 2)) $((vy + vh / 2)) click 1
xdotool key 1
e2e_settle
clicks() {
  local y=$1
  shift
  for x in "$@"; do
    xdotool mousemove "$x" "$y"
    sleep 0.2
    xdotool click 1
    # Apart in time, so that no two clicks make a double click.
    sleep 0.6
  done
}
clicks $((vy + 40)) $((vx + 30)) $((vx + 70)) $((vx + 110)) $((vx + 150))
xdotool click --repeat 2 --delay 80 3
e2e_settle
xdotool key Return
e2e_settle
xdotool key ctrl+s
e2e_settle
read -r points2 lines2 <<<"$(counts)"
echo "after two quick right clicks: $points2 points, $lines2 lines"
((points2 == points + 2)) || e2e_fail "expected $((points + 2)) points, found $points2"
((lines2 == lines + 1)) || e2e_fail "expected $((lines + 1)) lines, found $lines2"

# A new stroke away from the first: one click, then a left double click
# whose first click adds the second point and whose double click ends it.
clicks $((vy + 90)) $((vx + 30))
xdotool mousemove $((vx + 70)) $((vy + 110))
sleep 0.2
xdotool click --repeat 2 --delay 80 1
e2e_settle
xdotool key ctrl+s
e2e_settle
read -r points3 lines3 <<<"$(counts)"
echo "after a left double click: $points3 points, $lines3 lines"
((points3 == points2 + 2)) || e2e_fail "expected $((points2 + 2)) points, found $points3"
((lines3 == lines2 + 1)) || e2e_fail "expected $((lines2 + 1)) lines, found $lines3"
e2e_pass
