#!/usr/bin/env bash
# Writes the hand-made image seeds into tests/data/image/ anew, from the
# builders the image tests use; run it after changing a builder, then check
# the files in (the RetroSeeds test compares the committed files with what
# the builders make).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${BUILD_DIR:-$root/build-test}"
if [[ ! -f $build/CMakeCache.txt ]]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVEXAL_BENCH=OFF >/dev/null
fi
cmake --build "$build" --target write_image_seeds
"$build/tests/write_image_seeds" "$root/tests/data/image"
