#!/usr/bin/env bash
# Builds everything and runs every test through CTest. With --asan, builds and runs the suite under
# AddressSanitizer and UndefinedBehaviorSanitizer instead (the CMake preset "asan", in build-asan/).
set -euo pipefail
cd "$(dirname "$0")"
if [ "${1:-}" = "--asan" ]; then
  scripts/setup.sh --packages-only
  cmake --preset asan >/dev/null
  cmake --build --preset asan
  ctest --preset asan
  exit
fi
scripts/setup.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "${KIVO_BUILD_DIR:-build}" --output-on-failure -j2 --timeout 300
# A short run of every fuzz target, when clang is installed (a separate clang build in build-fuzz/).
scripts/fuzz.sh "${KIVO_FUZZ_SECONDS:-10}"
