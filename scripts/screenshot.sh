#!/usr/bin/env bash
# Starts the modeller under a virtual X server with the given files, waits,
# and saves a screenshot of the whole screen: scripts/screenshot.sh OUT.png [FILES...]
# Needs xvfb-run and ImageMagick's import (scripts/setup.sh installs both);
# fails unless the picture was written.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if (($# < 1)); then
  echo "usage: scripts/screenshot.sh OUT.png [FILES...]" >&2
  exit 2
fi
out=$1
shift
app=${VEXAL_APP_BINARY:-$root/build/src/app/vexal}
for tool in xvfb-run import; do
  if ! command -v "$tool" >/dev/null; then
    echo "screenshot: $tool is missing (run scripts/setup.sh)" >&2
    exit 1
  fi
done
if [[ ! -x $app ]]; then
  echo "screenshot: $app is not built (run scripts/build.sh)" >&2
  exit 1
fi
rm -f "$out"
xvfb-run -a -s "-screen 0 1280x900x24" bash -c '
  "$0" "$@" &
  pid=$!
  sleep "${SCREENSHOT_DELAY:-3}"
  status=0
  import -window root "'"$out"'" || status=$?
  kill $pid 2>/dev/null || true
  exit $status
' "$app" "$@"
if [[ ! -s $out ]]; then
  echo "screenshot: no picture was written to $out" >&2
  exit 1
fi
