#!/usr/bin/env bash
# Peak memory of `quorrel-render --fill` in every image format, measured
# with /usr/bin/time -v: a filled image is written row by row, so the peak
# follows the tile and one row, not the screen.
#   bench/fill-peak-memory.sh [RENDER [WIDTHxHEIGHT [LIMIT-MB]]]
# Defaults: build/tools/quorrel-render, 16384x16384, 150. Exits 1 when a
# format's peak is over the limit or its run failed.
set -uo pipefail
render="${1:-build/tools/quorrel-render}"
size="${2:-16384x16384}"
limit_mb="${3:-150}"
work="$(mktemp -d /tmp/quorrel-fill-XXXXXX)"
trap 'rm -rf "$work"' EXIT
status=0
printf '%-6s %12s %10s %14s\n' format "peak (MB)" "time" "file (bytes)"
for format in png jpg tif bmp gif; do
    log="$work/time.txt"
    /usr/bin/time -v "$render" --generate --seed 2 --fill "$size" -q -o "$work/out.$format" 2>"$log"
    code=$?
    peak_kb=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$log")
    elapsed=$(awk -F': ' '/Elapsed \(wall clock\)/ {print $2}' "$log")
    bytes=$(stat -c %s "$work/out.$format" 2>/dev/null || echo -)
    printf '%-6s %12s %10s %14s\n' "$format" "$((peak_kb / 1024))" "$elapsed" "$bytes"
    if [ "$code" -ne 0 ] || [ "$((peak_kb / 1024))" -gt "$limit_mb" ]; then
        echo "  over ${limit_mb} MB or failed (exit $code)"
        status=1
    fi
    rm -f "$work/out.$format"
done
exit $status
