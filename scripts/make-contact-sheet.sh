#!/usr/bin/env bash
# Makes the contact sheet of every preset shown in the README: each preset's
# own tile rendered by quorrel-render and repeated to a 256 x 256 square at
# its real size (as a tiled desktop shows it), named below, four a row
# (ImageMagick's montage lays them out).
#   scripts/make-contact-sheet.sh [RENDER] [OUTPUT]
# RENDER: build/tools/quorrel-render; OUTPUT: docs/presets.png
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
render="${1:-$root/build/tools/quorrel-render}"
output="${2:-$root/docs/presets.png}"
command -v montage >/dev/null || { echo "montage (ImageMagick) is needed" >&2; exit 1; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cells=()
while read -r id name; do
    "$render" --preset "$id" --fill 256x256 --quiet -o "$work/$id.png"
    cells+=(-label "$name" "$work/$id.png")
done < <("$render" --list-presets)

montage "${cells[@]}" -tile 4x -geometry +10+10 -background '#f4f4f4' -fill '#202020' \
    -font DejaVu-Sans -pointsize 15 -depth 8 -define png:exclude-chunks=date,time "$work/sheet.png"
mv "$work/sheet.png" "$output"
echo "$output: $(( ${#cells[@]} / 3 )) presets"
