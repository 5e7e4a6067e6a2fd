#!/usr/bin/env bash
# Peak memory of a living wallpaper against the loop's length: the WebM and
# WebP writers stream each frame into the file and GIF keeps two frames of
# indices, so an 8-second and a 60-second loop of the same size must peak
# within 10 % of each other (measured with /usr/bin/time -v).
#   bench/loop-peak-memory.sh [RENDER [WIDTHxHEIGHT [FPS]]]
# Defaults: build/tools/quorrel-render, 640x360 filled from the Ocean
# preset's tile, 10 frames a second. Exits 1 when a format's 60-second peak
# is over 110 % of its 8-second one, or a run failed.
set -uo pipefail
render="${1:-build/tools/quorrel-render}"
size="${2:-640x360}"
fps="${3:-10}"
work="$(mktemp -d /tmp/quorrel-loop-memory-XXXXXX)"
trap 'rm -rf "$work"' EXIT
status=0
printf '%-6s %8s %12s %10s %14s\n' format seconds "peak (MB)" time "file (bytes)"
for format in webm webp gif; do
    declare -A peak=()
    for seconds in 8 60; do
        log="$work/time.txt"
        /usr/bin/time -v "$render" --preset ocean --animate "$seconds" --fps "$fps" --seed 1 --fill "$size" -q \
            -o "$work/out.$format" 2>"$log"
        code=$?
        peak_kb=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$log")
        elapsed=$(awk -F': ' '/Elapsed \(wall clock\)/ {print $2}' "$log")
        bytes=$(stat -c %s "$work/out.$format" 2>/dev/null || echo -)
        printf '%-6s %8s %12s %10s %14s\n' "$format" "$seconds" "$((peak_kb / 1024))" "$elapsed" "$bytes"
        [ "$code" -eq 0 ] || { echo "  failed (exit $code)"; status=1; }
        peak[$seconds]=$peak_kb
        rm -f "$work/out.$format"
    done
    if [ "$((peak[60] * 10))" -gt "$((peak[8] * 11))" ]; then
        echo "  the 60-second loop peaks more than 10 % above the 8-second one"
        status=1
    fi
done
exit $status
