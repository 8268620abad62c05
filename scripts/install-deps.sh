#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Kalvor and korc need.
# Only what is missing is installed; works as root or through sudo.
set -euo pipefail

PACKAGES=(
  # toolchain
  build-essential cmake pkg-config ninja-build ccache
  # windows, dialogs, local sockets, D-Bus
  qt6-base-dev qt6-qpa-plugins libgl-dev
  # playback and processing graphs
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad
  gstreamer1.0-plugins-ugly gstreamer1.0-libav gstreamer1.0-tools gstreamer1.0-x
  # editing timelines
  libges-1.0-dev
  # skin packages, still images
  libminizip-dev zlib1g-dev libjpeg62-turbo-dev
  # global hot keys, display modes
  libx11-dev libxcb1-dev libxtst-dev libxrandr-dev
  # tests
  libgtest-dev libgmock-dev xvfb xauth x11-utils dbus xdg-utils
  # fuzz targets (tests/fuzz): clang with libFuzzer
  clang libclang-rt-14-dev
  # subtitles: the face drawn when the chosen one is not installed
  fonts-dejavu-core
)

# One dpkg-query for the whole list: the check runs before every build and start.
installed=$(dpkg-query -W -f='${Package} ${Status}\n' "${PACKAGES[@]}" 2>/dev/null |
            awk '/ install ok installed$/ {print $1}' || true)
missing=()
for p in "${PACKAGES[@]}"; do
  grep -qxF "$p" <<<"$installed" || missing+=("$p")
done

[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "install-deps: need root or sudo for: ${missing[*]}" >&2; exit 1; }
  SUDO=(sudo)
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${SUDO[@]}" apt-get update -qq
"${SUDO[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
