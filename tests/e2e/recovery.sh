#!/usr/bin/env bash
# End to end: no work is lost. A run killed outright (SIGKILL) leaves the
# recovery copy its timer wrote; vexal-tool lists it and reads it. The next
# start offers it in "Recover Unsaved Work"; Recover opens it modified under
# its original path, and saving there removes the copy. A run ended with
# SIGTERM (its timer off) writes its copy on the way out.
#   recovery.sh VEXAL_BINARY VEXAL_TOOL_BINARY
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"
e2e_start "$@"
export XDG_STATE_HOME="$WORK/state"

"$TOOL" new "$WORK/loop.vxl"
points() { "$TOOL" info "$1" | awk -F' : ' '/Total Vertex/ {print $2}'; }
base=$(points "$WORK/loop.vxl")

# Draw Vertex (key 1): a closed loop of four new points in the upper left.
draw_loop() {
  local x0=$((vx + $1)) y0=$((vy + $2))
  local x1=$((x0 + 50)) y1=$((y0 + 40))
  xdotool mousemove $((vx + vw / 2)) $((vy + vh / 2)) click 1
  xdotool key 1
  e2e_settle
  for corner in "$x0 $y0" "$x1 $y0" "$x1 $y1" "$x0 $y1" "$x0 $y0"; do
    read -r x y <<<"$corner"
    xdotool mousemove "$x" "$y"
    sleep 0.2
    xdotool click 1
    sleep 0.6
  done
  xdotool key m
  e2e_settle
}

# The recovery copies of ended runs: "copy TAB original TAB time" lines.
listed() { "$TOOL" recover --list; }

# 1. A copy every second; the run is killed after two intervals.
E2E_SYSTEM_SETTINGS=$'AutoSaveSeconds=1\r\n' e2e_launch "$WORK/loop.vxl"
view=$(e2e_view_geometry)
read -r vw vh vx vy <<<"$(echo "$view" | sed 's/[x+]/ /g')"
[[ -z "$(listed)" ]] || e2e_fail "a copy before any edit: $(listed)"
draw_loop 30 30
sleep 2.5
# Copies of a running program are not offered.
[[ -z "$(listed)" ]] || e2e_fail "the running program's copy is offered: $(listed)"
kill -KILL "$APP_PID"
wait "$APP_PID" 2>/dev/null || true
APP_PID=
copies=$(listed)
echo "after SIGKILL: $copies"
[[ $(echo "$copies" | wc -l) -eq 1 ]] || e2e_fail "expected one copy, found: $copies"
IFS=$'\t' read -r copy original written <<<"$copies"
[[ "$original" == "$WORK/loop.vxl" ]] || e2e_fail "the copy names $original"
[[ "$written" =~ ^[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}Z$ ]] || e2e_fail "time $written"
[[ $(points "$copy") -eq $((base + 4)) ]] || e2e_fail "the copy lacks the edit: $("$TOOL" info "$copy")"
[[ $(points "$WORK/loop.vxl") -eq $base ]] || e2e_fail "the document itself was written"

# 2. The next start offers it; Recover (the default button) opens it, and
# Save writes it to the original path and removes the copy. The timer is off.
printf '[System]\r\nBootFirst=1\r\nAutoSaveSeconds=0\r\n[Window]\r\nWindowBGColor=%d\r\nShowLocateWindow=0\r\n' \
  "$E2E_BG_SETTING" >"$WORK/vexal.ini"
(cd "$WORK" && exec ./vexal >"$WORK/app.log" 2>&1) &
APP_PID=$!
dialog=$(xdotool search --sync --onlyvisible --name "Recover Unsaved Work" | head -1)
xdotool windowfocus "$dialog" 2>/dev/null || true
e2e_settle
xdotool key Return
for _ in $(seq 50); do
  e2e_shot probe
  e2e_view_geometry >/dev/null 2>&1 && break
  sleep 0.2
done
view=$(e2e_view_geometry) || e2e_fail "the recovered document did not open: $(cat "$WORK/app.log")"
read -r vw vh vx vy <<<"$(echo "$view" | sed 's/[x+]/ /g')"
xdotool mousemove $((vx + vw / 2)) $((vy + vh - 10)) click 1
e2e_settle
xdotool key ctrl+s
e2e_settle
[[ $(points "$WORK/loop.vxl") -eq $((base + 4)) ]] || e2e_fail "Save did not write the recovered edit"
left=$(ls "$XDG_STATE_HOME/vexal/recovery/" | grep '\.vxl$' || true)
[[ -z "$left" ]] || e2e_fail "the copy outlived the save: $left"

# 3. SIGTERM: with the timer off, the copy is written on the way out.
draw_loop 120 30
kill -TERM "$APP_PID"
for _ in $(seq 50); do kill -0 "$APP_PID" 2>/dev/null || break; sleep 0.2; done
kill -0 "$APP_PID" 2>/dev/null && e2e_fail "SIGTERM did not end the program"
APP_PID=
copies=$(listed)
echo "after SIGTERM: $copies"
[[ $(echo "$copies" | wc -l) -eq 1 ]] || e2e_fail "expected one copy, found: $copies"
IFS=$'\t' read -r copy original written <<<"$copies"
[[ "$original" == "$WORK/loop.vxl" ]] || e2e_fail "the copy names $original"
[[ $(points "$copy") -eq $((base + 8)) ]] || e2e_fail "the copy lacks the edit: $("$TOOL" info "$copy")"
# The settings were written on the way out too: the whole file, with the
# history naming the document.
grep -q '^UndoDepth=' "$WORK/vexal.ini" || e2e_fail "SIGTERM did not save the settings"
grep -q 'loop.vxl' "$WORK/vexal.ini" || e2e_fail "SIGTERM lost the file history"
"$TOOL" recover --discard "$copy"
[[ -z "$(listed)" ]] || e2e_fail "discard left $(listed)"
e2e_pass
