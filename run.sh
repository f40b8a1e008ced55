#!/usr/bin/env bash
# Builds everything, makes the sample workspace and shows the teams of one sample file.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
scripts/make-workspace.sh
build/src/cli/kivo-cli teams workspace/data/TEAM.008
