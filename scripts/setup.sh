#!/usr/bin/env bash
# Installs the Debian 12 packages Molvane needs (only those missing), then configures and builds.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  cmake ninja-build g++ pkg-config ccache
  qt6-base-dev libgl-dev
  libaravis-dev aravis-tools libusb-1.0-0-dev libdc1394-dev
  libopencv-imgproc-dev libopencv-imgcodecs-dev libopencv-videoio-dev
  libgtest-dev libbenchmark-dev
  xvfb xauth imagemagick fonts-dejavu-core libcap2-bin iproute2
  dpkg-dev desktop-file-utils lintian
)
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build

# Aravis receives GigE Vision streams through a packet socket when the program may open one;
# an ordinary user's process needs CAP_NET_RAW for that (linking drops it, so set it each time).
for program in build/molvane build/molvane-cli build/molvane-bench; do
  $sudo setcap cap_net_raw+ep "$program" 2>/dev/null || echo "note: could not give $program CAP_NET_RAW"
done
