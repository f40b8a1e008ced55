#!/bin/sh
# Peak memory (maximum resident set size) of building the all-players database from the synthetic sample
# data at scale 10 (about 240,000 rows), and of listing it whole as JSON and as CSV, measured with getrusage
# through /usr/bin/time (or Python's resource module when /usr/bin/time is missing). Targets: the build
# under 100 MB; a listing streams its rows, so it stays under 20 MB whatever the size.
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

# Peak resident memory in KB of one command, its output thrown away.
peak() {
    if [ -x /usr/bin/time ]; then
        /usr/bin/time -f %M -o rss.txt "$@" >/dev/null
        cat rss.txt
    else
        python3 -c 'import resource, subprocess, sys
subprocess.run(sys.argv[1:], check=True, stdout=subprocess.DEVNULL)
print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)' "$@"
    fi
}

kb=$(peak "$cli" players build data)
rows=$(sqlite3 JUGADORES 'SELECT count(*) FROM jugadores' 2>/dev/null || echo '?')
echo "kivo-cli players build, scale 10 ($rows rows): peak resident memory $((kb / 1024)) MB ($kb KB), target under 100 MB"
json=$(peak "$cli" players list --json)
echo "kivo-cli players list --json, scale 10: peak resident memory $((json / 1024)) MB ($json KB), target under 20 MB"
csv=$(peak "$cli" players list --csv)
echo "kivo-cli players list --csv, scale 10: peak resident memory $((csv / 1024)) MB ($csv KB), target under 20 MB"
[ "$kb" -lt 102400 ] && [ "$json" -lt 20480 ] && [ "$csv" -lt 20480 ]
