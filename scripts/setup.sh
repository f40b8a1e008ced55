#!/usr/bin/env bash
# Installs the Debian packages the project needs (only those missing), then configures and builds into build/
# (with --packages-only, only installs).
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(cmake ninja-build g++ qt6-base-dev qt6-multimedia-dev qt6-svg-dev libsqlitecpp-dev libsqlite3-dev libmuparser-dev
          libsimpleini-dev libcli11-dev nlohmann-json3-dev libgtest-dev libbenchmark-dev xvfb xauth
          fonts-dejavu-core sqlite3 ccache
          desktop-file-utils appstream groff-base dpkg-dev fakeroot
          clang libclang-rt-dev)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

[ "${1:-}" = "--packages-only" ] && exit 0

BUILD_DIR="${KIVO_BUILD_DIR:-build}"
if [ ! -f "$BUILD_DIR/build.ninja" ]; then
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$BUILD_DIR" -j2
