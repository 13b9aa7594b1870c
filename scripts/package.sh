#!/usr/bin/env bash
# Builds the Debian package (optimised, without tests) in build-deb/ (or
# $BUILD) and checks it: lintian must report no errors, apt must be able to
# resolve its dependencies, and the unpacked programs must start.
#   bash scripts/package.sh            -> build-deb/vexal_<version>-1_<arch>.deb
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$root/build-deb}
"$root/scripts/setup.sh"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DVEXAL_TESTS=OFF -DVEXAL_BENCH=OFF >/dev/null
cmake --build "$build" ${JOBS:+-j "$JOBS"}
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls -t "$build"/vexal_*.deb | head -1)
echo "package: $deb"

# Errors fail the check; warnings are shown.
lintian --no-tag-display-limit "$deb" | tee "$build/lintian.txt" || true
if grep -q '^E:' "$build/lintian.txt"; then
  echo "lintian reported errors" >&2
  exit 1
fi

# Every dependency names a package apt knows.
apt-get install --simulate --no-install-recommends "$deb" >"$build/apt-simulate.txt" 2>&1 || {
  cat "$build/apt-simulate.txt" >&2
  exit 1
}

# Unpacked, both programs start: vexal-tool makes a preview of a new model
# and the modeller comes up (off-screen) with its settings in a fresh home.
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
"$unpacked/usr/bin/vexal-tool" new "$unpacked/new.vxl"
"$unpacked/usr/bin/vexal-tool" thumbnail -s 128 "$unpacked/new.vxl" "$unpacked/new.png"
mkdir -p "$unpacked/home"
status=0
HOME=$unpacked/home XDG_CONFIG_HOME= QT_QPA_PLATFORM=offscreen \
  timeout 5 "$unpacked/usr/bin/vexal" >/dev/null 2>&1 || status=$?
if [[ $status -ne 124 ]]; then
  echo "vexal did not keep running (status $status)" >&2
  exit 1
fi
echo "ok: lintian without errors, dependencies resolve, both programs start"
