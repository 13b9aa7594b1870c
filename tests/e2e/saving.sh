#!/usr/bin/env bash
# End to end: Save and Save As through the real Save dialog with names typed
# without an extension; the files on disk carry the chosen type's extension.
#   saving.sh VEXAL_BINARY VEXAL_TOOL_BINARY
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"
e2e_start "$@"

# Waits (up to 20 s) for a visible window whose name starts with $1 (the
# toolkit adds the program's name), then for the keyboard to reach it.
wait_window() {
  local window
  window=$(timeout 20 xdotool search --sync --onlyvisible --name "^$1" | head -1) ||
    e2e_fail "no \"$1\" window: $(cat "$WORK/app.log")"
  xdotool windowfocus --sync "$window" 2>/dev/null || true
  e2e_settle
}
wait_file() {
  for _ in $(seq 50); do
    [[ -s "$1" ]] && return
    sleep 0.2
  done
  e2e_fail "$1 was not written; the folder holds: $(ls "$WORK")"
}
count() { "$TOOL" info "$1" | sed -n 's/^Total Vertex : //p'; }

# No file arguments: a new untitled document with the default object.
e2e_launch
view=$(e2e_view_geometry)
read -r vw vh vx vy <<<"$(echo "$view" | sed 's/[x+]/ /g')"
# A middle click (it changes nothing) in the view gives the program the
# keyboard again; without a window manager nobody else does after a dialog.
focus_view() {
  xdotool mousemove $((vx + vw - 10)) $((vy + vh - 10)) click 2
  e2e_settle
}

focus_view

# Save of a document that never had a file asks for a name: "plain".
xdotool key ctrl+s
wait_window "Save As"
xdotool key ctrl+a
xdotool type plain
xdotool key Return
wait_file "$WORK/plain.vxl"
[[ ! -e "$WORK/plain" ]] || e2e_fail "a file named plain was written"
[[ "$(count "$WORK/plain.vxl")" == 8 ]] || e2e_fail "plain.vxl holds $(count "$WORK/plain.vxl") points"

focus_view
# Save As with the type "OBJ File (*.obj)" and the name "export": the type
# list follows the name field in the keyboard order; "O" picks OBJ.
xdotool key ctrl+shift+s
wait_window "Save As"
xdotool key ctrl+a
xdotool type export
xdotool key Tab
xdotool type O
e2e_settle
xdotool key shift+Tab Return
wait_file "$WORK/export.obj"
[[ ! -e "$WORK/export" ]] || e2e_fail "a file named export was written"
grep -q '^v ' "$WORK/export.obj" || e2e_fail "export.obj holds no OBJ points"
[[ ! -e "$WORK/export.vxl" ]] || e2e_fail "the export wrote a native file too"

# The document is export.vxl now: Save writes it natively without asking.
focus_view
xdotool key ctrl+s
wait_file "$WORK/export.vxl"
[[ "$(count "$WORK/export.vxl")" == 8 ]] || e2e_fail "export.vxl holds $(count "$WORK/export.vxl") points"

# Save As "plain" again: the dialog asks before replacing plain.vxl, the
# file the name stands for. (The name completes to plain.vxl; Escape closes
# the completion list.)
focus_view
xdotool key ctrl+shift+s
wait_window "Save As"
xdotool key ctrl+a
xdotool type plain
e2e_settle
xdotool key Escape Return
e2e_settle
asked=$(xdotool search --onlyvisible --name '^Save As' | wc -l)
((asked == 2)) || e2e_fail "no question before replacing plain.vxl ($asked Save As windows)"
xdotool key alt+n
e2e_settle
xdotool key Escape
e2e_settle
e2e_pass
