#!/usr/bin/env bash
# End to end: document windows and the frame. A file opened while the
# document in front is maximised comes to the front maximised; Cascade
# keeps the windows' sizes, maximised before or not.
#   windows.sh VEXAL_BINARY VEXAL_TOOL_BINARY
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"
e2e_start "$@"

"$TOOL" new "$WORK/a.vxl"
# b.vxl is empty: its view shows no cube.
"$TOOL" apply "$WORK/a.vxl" "$WORK/b.vxl" --select all --run DeleteItem
# Cascade has no key of its own: the shortcut file gives it Ctrl+K beside
# Open's Ctrl+O.
printf 'FileOpenItem=%d\nWindowCascadeItem=%d\n' $((0x4000 + 0x4F)) $((0x4000 + 0x4B)) >"$WORK/vexal.kbd"

main_title() { xdotool getwindowname "$(xdotool search --onlyvisible --name "^Vexal2" | head -1)"; }
view_size() {
  e2e_shot probe
  e2e_view_geometry | sed 's/+.*//'
}
# A double click on the title bar of the front document window maximises
# it: the bar lies above the view and its count line.
maximise_front() {
  local geometry vw vh vx vy
  geometry=$(e2e_view_geometry)
  read -r vw vh vx vy <<<"$(echo "$geometry" | sed 's/[x+]/ /g')"
  xdotool mousemove $((vx + vw / 2)) $((vy - 36)) click --repeat 2 --delay 80 1
  e2e_settle
}

e2e_launch "$WORK/a.vxl"
normal=$(view_size)
maximise_front
maximised=$(view_size)
read -r vw vh vx vy <<<"$(e2e_view_geometry | sed 's/[x+]/ /g')"
echo "view: $normal, maximised $maximised"
[[ "${maximised%x*}" -gt $(( ${normal%x*} + 100 )) ]] || e2e_fail "the document was not maximised"
e2e_shot before_open

# A click in the view, then File > Open b.vxl in the real Open dialog. The
# name is typed in quotes, so the dialog's completion list stays closed.
xdotool mousemove $((vx + vw - 10)) $((vy + vh - 10)) click 2
e2e_settle
xdotool key ctrl+o
timeout 20 xdotool search --sync --onlyvisible --name '^Open' >/dev/null || e2e_fail "no Open dialog"
e2e_settle
xdotool type "\"$WORK/b.vxl\""
xdotool key Return
e2e_settle
e2e_settle
title=$(main_title)
echo "caption: $title"
[[ "$title" == *b.vxl* ]] || e2e_fail "the caption names another document: $title"
[[ "$(view_size)" == "$maximised" ]] || e2e_fail "the opened document is not maximised: $(view_size)"
e2e_shot after_open
view=$(e2e_view_geometry)
e2e_expect_differs before_open after_open "the opened document is in front"

# Cascade with a maximised window in front: both come back to their own
# size (444 x 317 views) one title bar apart. The views' common box is one
# view grown by the step.
cascade_box() {
  xdotool key ctrl+k
  e2e_settle
  e2e_shot probe
  e2e_view_geometry | sed 's/+.*//'
}
expect_cascade() {
  local box=$1 w h
  w=${box%x*}; h=${box#*x}
  echo "cascade: views span $box"
  ((w >= 444 && w <= 444 + 80 && h >= 300 && h <= 317 + 80)) ||
    e2e_fail "after Cascade the views span $box, not two windows of their own size"
}
expect_cascade "$(cascade_box)"
# And again from windows that are not maximised.
expect_cascade "$(cascade_box)"
e2e_pass
