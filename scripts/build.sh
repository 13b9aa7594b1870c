#!/usr/bin/env bash
# Sets up, configures and builds an optimised tree in build/ (the modeller,
# vexal-tool and the benchmarks).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVEXAL_TESTS=OFF >/dev/null
cmake --build "$root/build"
