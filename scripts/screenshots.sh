#!/usr/bin/env bash
# Renders the editor's windows to screenshots/*.png on the sample workspace, each at the size it opens with,
# on a 1366x768 laptop screen under a virtual X display (Xvfb) when one can be started, offscreen otherwise;
# then the team editor again at scale factor 2 (editor-*-scale2.png).
# Expects the build and workspace/ (scripts/make-workspace.sh).
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
run() {
  if command -v xvfb-run >/dev/null 2>&1; then
    xvfb-run -a -s "-screen 0 1366x768x24" env QT_QPA_PLATFORM=xcb "$@"
  else
    QT_QPA_PLATFORM=offscreen "$@"
  fi
}
run "$TOOL" "$OUT"
run env QT_SCALE_FACTOR=2 "$TOOL" "$OUT" --team-editor-only
