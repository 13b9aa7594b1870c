#!/usr/bin/env bash
# End to end: the Paint tool colours the surface under the pointer and
# Undo puts its colour back, seen in the window; then the saved file.
#   painting.sh VEXAL_BINARY VEXAL_TOOL_BINARY
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"
e2e_start "$@"

# The default object without its second square: one square of material 1
# across the middle of the view.
"$TOOL" new "$WORK/new.vxl"
"$TOOL" apply "$WORK/new.vxl" "$WORK/box.vxl" --select points:5-8 --run DeleteItem
e2e_launch "$WORK/box.vxl"
view=$(e2e_view_geometry)
read -r vw vh vx vy <<<"$(echo "$view" | sed 's/[x+]/ /g')"
cx=$((vx + vw / 2)); cy=$((vy + vh / 2))
# A click on empty space gives the view the keyboard and selects nothing.
xdotool mousemove $((vx + 15)) $((vy + 15)) click 1
e2e_settle
e2e_shot before

# P: the Paint tool; the current palette entry is 0 (light grey).
xdotool key p
e2e_settle
xdotool mousemove $cx $cy click 1
e2e_settle
e2e_shot painted
e2e_expect_differs before painted "a click of the Paint tool colours the surface"

xdotool key ctrl+z
e2e_settle
e2e_shot undone
e2e_expect_same before undone "Undo gives the surface its colour back"

# Painted again and saved: the square keeps its corners and has material 0.
xdotool mousemove $cx $cy click 1
e2e_settle
xdotool key ctrl+s
e2e_settle
"$TOOL" convert "$WORK/box.vxl" "$WORK/box.obj"
grep -q "^g mat_00" "$WORK/box.obj" || e2e_fail "the saved square is not painted: $(cat "$WORK/box.obj")"
e2e_pass
