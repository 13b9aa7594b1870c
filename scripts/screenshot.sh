#!/usr/bin/env bash
# Starts the modeller under a virtual X server with the given files, waits,
# and saves a screenshot of the whole screen: scripts/screenshot.sh OUT.png [FILES...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$1
shift
app=${VEXAL_APP_BINARY:-$root/build/src/app/vexal}
xvfb-run -a -s "-screen 0 1280x900x24" bash -c '
  "$0" "$@" &
  pid=$!
  sleep "${SCREENSHOT_DELAY:-3}"
  import -window root "'"$out"'"
  kill $pid
' "$app" "$@"
