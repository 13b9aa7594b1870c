#!/usr/bin/env bash
# End to end: the real modeller under a virtual X display, driven by real X
# input events, checked by what its window shows.
#   navigation.sh VEXAL_BINARY VEXAL_TOOL_BINARY
# Alt + left drag rotates the view and a right press during the drag puts it
# back; a Zoom Region drag from left to right zooms in.
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"
e2e_start "$@"

# A default document, opened from the command line.
"$TOOL" new "$WORK/box.vxl"
e2e_launch "$WORK/box.vxl"
view=$(e2e_view_geometry)
read -r vw vh vx vy <<<"$(echo "$view" | sed 's/[x+]/ /g')"
cx=$((vx + vw / 2)); cy=$((vy + vh / 2))
echo "view: $view"

e2e_shot before
model_box_before=$(e2e_model_box before)

# Alt + left drag: the picture changes.
xdotool mousemove $cx $cy
xdotool keydown alt mousedown 1
for step in 10 20 30 40 50 60; do xdotool mousemove $((cx + step)) $((cy + step / 3)); done
e2e_shot rotating
e2e_expect_differs before rotating "Alt + drag rotates the view"
# A right press while the drag runs restores the angles exactly.
xdotool mousedown 3 mouseup 3
xdotool mouseup 1 keyup alt
e2e_settle
e2e_shot cancelled
e2e_expect_same before cancelled "a right press cancels the rotation"

# Zoom Region (its key is Z): a rectangle dragged from left to right
# around the model zooms in.
xdotool mousemove $cx $cy click 1
xdotool key z
xdotool mousemove $((cx - 110)) $((cy - 80)) mousedown 1
for step in 20 60 120 180 220; do xdotool mousemove $((cx - 110 + step)) $((cy - 80 + step * 8 / 11)); done
xdotool mouseup 1
e2e_settle
e2e_shot zoomed
model_box_after=$(e2e_model_box zoomed)
echo "model before: $model_box_before after: $model_box_after"
w_before=${model_box_before%%x*}
w_after=${model_box_after%%x*}
if ((w_after <= w_before)); then
  e2e_fail "the zoom region drag did not zoom in ($model_box_before -> $model_box_after)"
fi
e2e_pass
