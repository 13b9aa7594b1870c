#!/usr/bin/env bash
# Sets up, builds and starts the modeller; arguments are files to open.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh" >/dev/null
exec "$root/build/src/app/vexal" "$@"
