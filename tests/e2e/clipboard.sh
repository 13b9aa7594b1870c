#!/usr/bin/env bash
# End to end: Copy in one document window and Paste in another with the
# real keys, then Delete and Undo; the saved file tells what the window did.
#   clipboard.sh VEXAL_BINARY VEXAL_TOOL_BINARY
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"
e2e_start "$@"

# a.vxl: the default object (8 points), saved with all of it selected;
# b.vxl: the same without point 1 and its partner (6 points).
"$TOOL" new "$WORK/new.vxl"
"$TOOL" apply "$WORK/new.vxl" "$WORK/a.vxl" --select all
"$TOOL" apply "$WORK/new.vxl" "$WORK/b.vxl" --select points:1 --run DeleteItem
count() { "$TOOL" info "$1" | sed -n 's/^Total Vertex : //p'; }
[[ "$(count "$WORK/b.vxl")" == 6 ]] || e2e_fail "b.vxl was not prepared"

# b opens first, a last: a is the active window. A middle click (it moves
# nothing) in its view gives it the keyboard.
e2e_launch "$WORK/b.vxl" "$WORK/a.vxl"
# The two views lie side by side: their common box spans both.
view=$(e2e_view_geometry)
read -r vw vh vx vy <<<"$(echo "$view" | sed 's/[x+]/ /g')"
xdotool mousemove $((vx + vw - 10)) $((vy + vh - 10)) click 2
e2e_settle
xdotool key ctrl+c
e2e_settle
# The other document window comes to the front: a middle click in the
# left part of the views, where b lies beside a.
xdotool mousemove $((vx + 10)) $((vy + vh - 10)) click 2
e2e_settle
xdotool key ctrl+v
e2e_settle
xdotool key ctrl+s
e2e_settle
[[ "$(count "$WORK/b.vxl")" == 14 ]] || e2e_fail "paste into the other window: $(count "$WORK/b.vxl") points saved, $(count "$WORK/a.vxl") in the source"
[[ "$(count "$WORK/a.vxl")" == 8 ]] || e2e_fail "the source document changed"

# Delete takes the pasted selection away; Undo brings it back.
xdotool key Delete
e2e_settle
xdotool key ctrl+s
e2e_settle
[[ "$(count "$WORK/b.vxl")" == 6 ]] || e2e_fail "delete: $(count "$WORK/b.vxl") points saved"
xdotool key ctrl+z
e2e_settle
xdotool key ctrl+s
e2e_settle
[[ "$(count "$WORK/b.vxl")" == 14 ]] || e2e_fail "undo of delete: $(count "$WORK/b.vxl") points saved"
e2e_pass
