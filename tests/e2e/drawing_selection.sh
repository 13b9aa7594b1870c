#!/usr/bin/env bash
# End to end: drawing and selecting in the real modeller under a virtual X
# display, driven by real X input events.
#   drawing_selection.sh VEXAL_BINARY VEXAL_TOOL_BINARY
# With Draw Vertex, four clicks and a fifth on the first point draw a
# closed loop (four points and four lines more, no surface); a rectangle
# drag with the Select tool selects it; Ctrl+Z takes the selection back.
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"
e2e_start "$@"

"$TOOL" new "$WORK/loop.vxl"
e2e_launch "$WORK/loop.vxl"
view=$(e2e_view_geometry)
read -r vw vh vx vy <<<"$(echo "$view" | sed 's/[x+]/ /g')"
echo "view: $view"

counts() {
  "$TOOL" info "$WORK/loop.vxl" | awk -F' : ' '/Total Vertex/ {p=$2} /Total Edge/ {l=$2} /Total Polygon/ {split($2, s, " "); f=s[1]} END {print p, l, f}'
}
read -r points lines polygons <<<"$(counts)"
echo "before: $points points, $lines lines, $polygons polygons"

# A square in the upper left of the view, clear of the model in the middle.
x0=$((vx + 30)); y0=$((vy + 30)); x1=$((vx + 90)); y1=$((vy + 80))
xdotool mousemove $((vx + vw / 2)) $((vy + vh / 2)) click 1
xdotool key 1
e2e_settle
e2e_shot empty
for corner in "$x0 $y0" "$x1 $y0" "$x1 $y1" "$x0 $y1" "$x0 $y0"; do
  read -r x y <<<"$corner"
  xdotool mousemove "$x" "$y"
  sleep 0.2
  xdotool click 1
  # Apart in time, so that no two clicks make a double click.
  sleep 0.6
done
xdotool mousemove $((vx + vw / 2)) $((vy + vh - 20))
e2e_settle
e2e_shot drawn
e2e_expect_differs empty drawn "the loop is drawn"

# Save and count: four points and four lines more, no surface.
xdotool key ctrl+s
e2e_settle
read -r points2 lines2 polygons2 <<<"$(counts)"
echo "after: $points2 points, $lines2 lines, $polygons2 polygons"
((points2 == points + 4)) || e2e_fail "expected $((points + 4)) points, found $points2"
((lines2 == lines + 4)) || e2e_fail "expected $((lines + 4)) lines, found $lines2"
((polygons2 == polygons)) || e2e_fail "the drawing tools made a surface"
e2e_shot saved

# The Select tool (key M) and a rectangle around the loop.
xdotool key m
e2e_settle
xdotool mousemove $((x0 - 15)) $((y0 - 15)) mousedown 1
for step in 10 30 60 90; do xdotool mousemove $((x0 - 15 + step)) $((y0 - 15 + step * 2 / 3)); done
xdotool mousemove $((x1 + 15)) $((y1 + 15))
sleep 0.2
xdotool mouseup 1
xdotool mousemove $((vx + vw / 2)) $((vy + vh - 20))
e2e_settle
e2e_shot selected
e2e_expect_differs saved selected "the rectangle selects the loop"

# Ctrl+Z: the selection is taken back and the view is as after drawing.
xdotool key ctrl+z
e2e_settle
e2e_shot undone
e2e_expect_same saved undone "Ctrl+Z takes the selection back"
e2e_pass
