#!/usr/bin/env bash
# Makes the software centre's screenshots named in the metainfo
# (packaging/screenshots/, 1280 x 800): the editor with the Ocean preset, the
# preset gallery, and a desktop tiled with a tile set by quorrel-render
# --set-wallpaper with the editor's window in front. Runs the real programs
# on a private Xvfb with the xfwm4 window manager, a private D-Bus and
# temporary HOME and XDG folders.
#   scripts/make-screenshots.sh [BUILD]      BUILD: build/
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
out="$root/packaging/screenshots"
for tool in Xvfb xfwm4 xdotool xwininfo import feh dbus-run-session; do
    command -v "$tool" >/dev/null || { echo "$tool is needed (scripts/setup.sh installs it)" >&2; exit 1; }
done

if [ -z "${QUORREL_SCREENSHOT_BUS:-}" ]; then
    exec env QUORREL_SCREENSHOT_BUS=1 dbus-run-session -- "$0" "$@"
fi

work="$(mktemp -d)"
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/home" "$work/run" "$out"
chmod 700 "$work/run"
export HOME="$work/home" XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/home/.config" \
    XDG_DATA_HOME="$work/home/.local/share" XDG_CACHE_HOME="$work/home/.cache" QT_QPA_PLATFORM=xcb
unset XDG_CURRENT_DESKTOP DESKTOP_SESSION WAYLAND_DISPLAY XDG_SESSION_TYPE

Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
DISPLAY=":$(cat "$work/display")"
export DISPLAY
xfwm4 --compositor=off --sm-client-disable >"$work/xfwm4.log" 2>&1 &
pids+=($!)
sleep 2

# Waits (at most 20 s) for a window whose name contains $1; prints its id.
wait_window() {
    local id
    for _ in $(seq 80); do
        id="$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)"
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.25
    done
    echo "no window named '$1' appeared" >&2
    return 1
}

shot() { import -window root -depth 8 -define png:exclude-chunks=date,time "$out/$1"; echo "$out/$1"; }

# The editor with a preset, maximised.
"$build/app/quorrel" "$root/resources/presets/ocean.wpp" >"$work/editor.log" 2>&1 &
pids+=($!)
editor="$(wait_window 'ocean.wpp')"
sleep 3
shot editor.png

# The gallery of File > New from Preset, its thumbnails rendered.
xdotool windowactivate --sync "$editor" key alt+f
sleep 0.5
xdotool key f
wait_window 'Preset' >/dev/null
sleep 5
shot gallery.png
xdotool key Escape
sleep 0.5

# A tiled desktop: the Sunset preset's tile set by quorrel-render through
# the editor's X11 setter (feh), and the editor in a smaller window.
"$build/tools/quorrel-render" --quiet --preset sunset --set-wallpaper
xdotool windowactivate --sync "$editor" key alt+F10
sleep 0.5
xdotool windowsize --sync "$editor" 720 470 windowmove --sync "$editor" 300 150
sleep 2
shot desktop.png
