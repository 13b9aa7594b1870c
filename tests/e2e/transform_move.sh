#!/usr/bin/env bash
# End to end: the Move tool in the real modeller under a virtual X display,
# driven by real X input events.
#   transform_move.sh VEXAL_BINARY VEXAL_TOOL_BINARY
# One point at the origin (the middle of the view) is selected with a
# rectangle; the Move tool drags it 10 pixels right: its image and the
# handle move 10 pixels right, the saved point moves along x only, and
# Ctrl+Z puts the picture back as it was before the drag.
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"
e2e_start "$@"

# Selected points in magenta, a colour nothing else in the view uses.
E2E_WINDOW_SETTINGS=$(printf 'WindowSelectColor=%d\r\n' $((255 + 255 * 65536)))
printf 'v 0 0 0\np 1\n' >"$WORK/point.obj"
e2e_launch "$WORK/point.obj"
view=$(e2e_view_geometry)
read -r vw vh vx vy <<<"$(echo "$view" | sed 's/[x+]/ /g')"
echo "view: $view"
cx=$((vx + vw / 2)); cy=$((vy + vh / 2))

# Where a colour lies in a shot: the left and top of its box in the view.
box_of() {
  convert "$WORK/$1.png" -crop "$view" +repage -alpha off -fill black +opaque "$2" \
    -fill white -opaque "$2" -trim -format '%X %Y %w %h' info: 2>/dev/null | sed 's/+//g'
}
away() { xdotool mousemove $((vx + 10)) $((vy + vh - 10)); }
# The shot once the screen is still; POINT and HANDLE: the corner of the
# selected point's image and of the handle's frame ("x y").
shot_positions() {
  away
  e2e_settle
  e2e_shot "$1"
  POINT=$(box_of "$1" 'rgb(255,0,255)')
  HANDLE=$(box_of "$1" 'rgb(255,255,0)')
  [[ -n "$POINT" && -n "$HANDLE" ]] || e2e_fail "$1: the selected point or the handle is not drawn"
  POINT=${POINT% * *}
  HANDLE=${HANDLE% * *}
}

# A rectangle around the middle selects the point.
xdotool mousemove $((cx - 25)) $((cy - 25)) mousedown 1
for step in 10 30 50; do xdotool mousemove $((cx - 25 + step)) $((cy - 25 + step)); done
sleep 0.2
xdotool mouseup 1
away
e2e_settle

# The Move tool (key T) shows the handle; drag from the point 10 pixels right.
xdotool key t
shot_positions grabbed
read -r px py <<<"$POINT"
read -r hx hy <<<"$HANDLE"
echo "point at $px,$py, handle frame at $hx,$hy"
xdotool mousemove "$cx" "$cy"
sleep 0.2
xdotool mousedown 1
for step in 2 4 6 8 10; do
  xdotool mousemove $((cx + step)) "$cy"
  sleep 0.1
done
sleep 0.2
xdotool mouseup 1
shot_positions moved
read -r qx qy <<<"$POINT"
read -r kx ky <<<"$HANDLE"
echo "after the drag: point at $qx,$qy, handle frame at $kx,$ky"
((qx - px == 10 && qy == py)) || e2e_fail "the point's image moved by $((qx - px)),$((qy - py)), not 10,0"
((kx - hx == 10 && ky == hy)) || e2e_fail "the handle moved by $((kx - hx)),$((ky - hy)), not 10,0"

# Saved: the point left the origin along x only.
# (An imported file is saved as a native document beside it.)
xdotool key ctrl+s
e2e_settle
"$TOOL" convert "$WORK/point.vxl" "$WORK/saved.obj"
grep '^v ' "$WORK/saved.obj"
read -r _ x y z <<<"$(grep -m1 '^v ' "$WORK/saved.obj")"
awk -v x="$x" -v y="$y" -v z="$z" 'BEGIN { exit !(x != 0 && y == 0 && z == 0) }' ||
  e2e_fail "the saved point is at $x $y $z"

# Ctrl+Z: the picture is as before the drag.
xdotool key ctrl+z
away
e2e_settle
e2e_shot undone
e2e_expect_same grabbed undone "Ctrl+Z puts the point back"
e2e_pass
