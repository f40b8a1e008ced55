#!/usr/bin/env bash
# Makes workspace/ with synthetic game data and a ventanas.ini pointing at it (kept when it exists).
# DirectorioKIVO is "data", relative to the start directory (workspace/): a copy of workspace/ edits its own
# data, never the original's.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ ! -d workspace/data ]; then
  mkdir -p workspace
  build/src/cli/kivo-cli sample-data workspace/data --seed 1
fi
if [ ! -f workspace/ventanas.ini ]; then
  printf '[Configuraci\xf3n]\r\nDirectorioKIVO=%s\r\n' "data" > workspace/ventanas.ini
fi
