#!/usr/bin/env bash
# Installs the Debian packages the build needs (only those missing), quietly
# and without questions. Safe to run again.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libpng-dev libjpeg62-turbo-dev zlib1g-dev
  clang libclang-rt-14-dev
  qt6-base-dev libqt6opengl6-dev qt6-svg-dev libgl-dev libglu1-mesa-dev fonts-noto-cjk
  libegl-dev libegl-mesa0 libgl1-mesa-dri
  libassimp-dev libtinygltf-dev nlohmann-json3-dev libdraco-dev libmeshoptimizer-dev
  xvfb xauth xdotool imagemagick
  gettext
  appstream desktop-file-utils libxml2-utils shared-mime-info man-db cmark-gfm
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then sudo_cmd=(sudo); fi
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The glTF validator the tests run on our exports: Node.js from Debian when
# no node is installed, the validator from npm into tools/node_modules.
root=$(cd "$(dirname "$0")/.." && pwd)
if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
  echo "Installing: nodejs npm"
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends nodejs npm >/dev/null
fi
if [[ ! -f $root/tools/node_modules/gltf-validator/package.json ]]; then
  echo "Installing: gltf-validator (npm, into tools/)"
  npm install --prefix "$root/tools" --no-save --no-audit --no-fund --loglevel=error \
    gltf-validator@2.0.0-dev.3.10 >/dev/null
fi
