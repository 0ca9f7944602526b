#!/usr/bin/env bash
# Installs the Debian 12 packages Molvane needs (only those missing), then configures and builds.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libgl-dev
  libaravis-dev aravis-tools libusb-1.0-0-dev
  libopencv-imgproc-dev libopencv-imgcodecs-dev libopencv-videoio-dev
  libgtest-dev libbenchmark-dev
  xvfb xauth imagemagick fonts-dejavu-core
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build
