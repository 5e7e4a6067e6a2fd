#!/usr/bin/env bash
# Makes the contact sheet of every preset shown in the user guide (docs/user-guide.md): each preset's
# tile rendered by quorrel-render with continuous colours at the preset's
# preferred scale (--preset ID --continuous) and repeated to a 256 x 256
# square at that size (as a tiled desktop shows it), named below with its
# scale, four a row (ImageMagick's montage lays them out).
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
# --list-presets: id, name and, for a preferred scale, a note, each column
# two or more spaces apart.
while IFS=$'\t' read -r id name note; do
    scale=1
    [[ "$note" =~ --scale\ ([0-9]+) ]] && scale="${BASH_REMATCH[1]}"
    "$render" --preset "$id" --continuous --fill 256x256 --quiet -o "$work/$id.png"
    cells+=(-label "$name ($scale""x)" "$work/$id.png")
done < <("$render" --list-presets | sed -E 's/ {2,}/\t/g')

montage "${cells[@]}" -tile 4x -geometry +10+10 -background '#f4f4f4' -fill '#202020' \
    -font DejaVu-Sans -pointsize 15 -depth 8 -define png:exclude-chunks=date,time "$work/sheet.png"
mv "$work/sheet.png" "$output"
echo "$output: $(( ${#cells[@]} / 3 )) presets"
