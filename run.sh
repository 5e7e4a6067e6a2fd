#!/usr/bin/env bash
# Installs what is missing, builds in build/ (Release) and starts the editor.
# Without a display it renders a sample tile with quorrel-render instead.
set -euo pipefail
source "$(dirname "$0")/scripts/setup.sh"

quorrel_install_packages
quorrel_build

editor="$QUORREL_BUILD/app/quorrel"
if [ -x "$editor" ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
    exec "$editor" "$@"
fi

if [ -x "$editor" ]; then
    echo "No display available (neither DISPLAY nor WAYLAND_DISPLAY is set): rendering a sample tile instead."
fi
sample="$QUORREL_ROOT/quorrel-sample.png"
QT_QPA_PLATFORM=offscreen "$QUORREL_BUILD/tools/quorrel-render" --generate -o "$sample" --quiet
echo "Rendered a random tile to $sample"
