#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a few seconds,
# seeded from tests/data/<format>/. Any crash, and any single allocation
# beyond 300 MB (the pixel budget of an image is 256 MB of RGBA), fails the
# run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${FUZZ_SECONDS:-5}
build="$root/build-fuzz"
shopt -s nullglob
targets=("$root"/fuzz/fuzz_*.cpp)
if ((${#targets[@]} == 0)); then exit 0; fi

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVEXAL_FUZZ=ON -DVEXAL_APP=OFF >/dev/null
cmake --build "$build"

for source in "${targets[@]}"; do
  name=$(basename "$source" .cpp)
  format=${name#fuzz_}
  seeds="$root/tests/data/$format"
  # The single-loader image targets and the layered reads share the image
  # seeds; the layered reads also start from the files of past faults.
  if [[ ! -d $seeds && ($format == image_* || $format == layers_*) ]]; then seeds="$root/tests/data/image"; fi
  work=$(mktemp -d)
  if [[ -d $seeds ]]; then
    find "$seeds" -type f -size -256k -exec cp {} "$work"/ \; 2>/dev/null || true
  fi
  if [[ $format == layers_* ]]; then
    find "$root/tests/data/images/regress" -type f -exec cp {} "$work"/ \; 2>/dev/null || true
  fi
  echo "fuzz smoke: $name (${seconds}s)"
  "$build/fuzz/$name" -max_total_time="$seconds" -rss_limit_mb=2048 -malloc_limit_mb=300 -timeout=10 -print_final_stats=0 "$work" >"$work.log" 2>&1 || {
    tail -50 "$work.log"; echo "fuzz smoke failed: $name"; exit 1; }
  rm -rf "$work" "$work.log"
done
