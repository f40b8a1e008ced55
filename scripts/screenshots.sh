#!/usr/bin/env bash
# Renders the editor's windows to screenshots/*.png on the sample workspace, under a virtual X display
# (Xvfb) when one can be started, offscreen otherwise. Expects the build and workspace/ (scripts/make-workspace.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="${KIVO_BUILD_DIR:-build}"
TOOL="$PWD/$BUILD_DIR/tools/kivo-editor-screenshots"
OUT="$PWD/screenshots"
if [ ! -x "$TOOL" ]; then
  echo "screenshots: $TOOL is missing; build first (scripts/setup.sh)" >&2
  exit 1
fi
mkdir -p "$OUT"
cd workspace
if command -v xvfb-run >/dev/null 2>&1; then
  xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb "$TOOL" "$OUT"
else
  QT_QPA_PLATFORM=offscreen "$TOOL" "$OUT"
fi
