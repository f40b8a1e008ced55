#!/usr/bin/env bash
# Builds everything, makes the sample workspace and starts the editor in it (workspace/ holds its
# ventanas.ini, JUGADORES and portapap.tps). With no display to show it on, it renders the screenshots instead.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
scripts/make-workspace.sh
BUILD_DIR="${KIVO_BUILD_DIR:-build}"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run: no display (neither DISPLAY nor WAYLAND_DISPLAY is set): rendering the editor's windows instead"
  scripts/screenshots.sh
  echo "run: the screenshots are in $PWD/screenshots/"
  exit 0
fi
cd workspace
exec "../$BUILD_DIR/src/editor/kivo-editor"
