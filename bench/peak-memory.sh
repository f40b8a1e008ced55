#!/bin/sh
# Peak memory (maximum resident set size) of building the all-players database from the synthetic sample
# data at scale 10 (about 240,000 rows), measured with getrusage through /usr/bin/time (or Python's
# resource module when /usr/bin/time is missing). Target: under 100 MB.
#
# Usage: bench/peak-memory.sh [path/to/kivo-cli]     (default: build/src/cli/kivo-cli)
set -eu

cli=${1:-build/src/cli/kivo-cli}
[ -x "$cli" ] || { echo "peak-memory.sh: no kivo-cli at $cli" >&2; exit 2; }
cli=$(cd "$(dirname "$cli")" && pwd)/$(basename "$cli")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
"$cli" sample-data --scale 10 data >/dev/null

if [ -x /usr/bin/time ]; then
    /usr/bin/time -f %M -o rss.txt "$cli" players build data >/dev/null
    kb=$(cat rss.txt)
else
    kb=$(python3 -c 'import resource, subprocess, sys
subprocess.run(sys.argv[1:], check=True, stdout=subprocess.DEVNULL)
print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)' "$cli" players build data)
fi

rows=$(sqlite3 JUGADORES 'SELECT count(*) FROM jugadores' 2>/dev/null || echo '?')
echo "kivo-cli players build, scale 10 ($rows rows): peak resident memory $((kb / 1024)) MB ($kb KB), target under 100 MB"
[ "$kb" -lt 102400 ]
