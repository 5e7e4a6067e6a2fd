#!/usr/bin/env bash
# quorrel-render --animate --set-wallpaper on the desktops whose living
# wallpaper draws on the desktop itself, end to end:
#   wlroots  headless sway with two outputs (the second at scale 2) and
#            swaybg's solid colour: the player's layer-shell background on
#            each output changes over time, each screenshot the loop's frame
#            repeated from the output's corner; after --living off the
#            player is gone and swaybg's colour shows again.
#   plasma   plasmashell with a still tile: Quorrel's package (written per
#            user while the shell runs) plays the loop's GIF, each
#            screenshot one of its frames tiled from the screen's centre;
#            after --living off the still tile is back and nothing is left.
#   check-living-e2e.sh NAME RENDER PLAYER PLASMA-PROBE REPORT-DIR
# Exit 0 passed, 1 failed, 77 skipped (a component is missing, unless
# QUORREL_REQUIRE_DESKTOPS=1 makes that a failure).
set -uo pipefail

name="$1"
render="$2"
player="$3"
plasma_probe="$4"
report="$5/living-e2e-$name"
here="$(cd "$(dirname "$0")" && pwd)"
readonly W=1024 H=768 TILE=128

rm -rf "$report"
mkdir -p "$report"
exec > >(tee "$report/check.txt") 2>&1

# shellcheck source=desktop-common.sh
source "$here/desktop-common.sh"
need convert compare /usr/bin/python3

living="$XDG_DATA_HOME/quorrel/living"

# The frame a screenshot is: its tile at the origin the desktop lays from
# ($origin, "+X+Y") against each frame (a small comparison), then the whole
# screenshot against that frame repeated ($work/refs/frame-N.png). Prints
# the index or "none (...)".
which_frame() {
    local frame tile="$work/tile.png" index
    convert "$1" -crop "$tile_size$origin" +repage "$tile" 2>/dev/null || { echo "none (no image)"; return; }
    for frame in "$work"/tiles/frame-*.png; do
        if [ "$(differing "$tile" "$frame")" = 0 ]; then
            index="$(basename "$frame" .png)"
            if [ "$(differing "$1" "$work/refs/$index.png")" = 0 ]; then
                echo "${index#frame-}" | sed 's/^0*\([0-9]\)/\1/'
                return
            fi
            echo "none (its tile is $index, the rest of the screen is not)"
            return
        fi
    done
    echo "none (its tile at $origin is no frame)"
}

# Eight screenshots by `shooter` about a quarter second apart: each a frame,
# at least two different ones.
expect_playing() {
    local label="$1" shooter="$2" n f seen=() distinct
    for n in $(seq 1 8); do
        $shooter "$report/$label-$n.png" || fail "no screenshot"
        f="$(which_frame "$report/$label-$n.png")"
        echo "$label shot $n: frame $f"
        case "$f" in none*) fail "$label screenshot $n is no frame of the loop laid as the desktop lays it" ;; esac
        seen+=("$f")
        sleep 0.25
    done
    distinct="$(printf '%s\n' "${seen[@]}" | sort -u | wc -l)"
    echo "$label: $distinct different frames"
    [ "$distinct" -ge 2 ] || fail "$label: the wallpaper does not change over time"
}

check_wlroots() {
    need sway swaymsg grim swaybg
    [ -w /dev/shm ] && { [ -k /dev/shm ] || [ "$(stat -c %a /dev/shm)" = 1777 ]; } || fail "/dev/shm is not world-writable"
    # nobody runs sway and the living wallpaper: copies of the programs it
    # can reach, the player beside quorrel-render where it is looked for.
    mkdir -p "$work/bin"
    cp "$render" "$work/bin/quorrel-render"
    cp "$player" "$work/bin/quorrel-living-player"
    chmod 755 "$work/bin" "$work/bin"/*
    render="$work/bin/quorrel-render"
    [ "$(id -u)" -eq 0 ] && chown -R 65534:65534 "$work/home" "$work/run" "$work/data"
    {
        echo "output * mode ${W}x${H}"
        echo "output HEADLESS-2 scale 2"
        echo "output * bg #204060 solid_color"
    } >"$work/sway.conf"
    export WLR_HEADLESS_OUTPUTS=2
    start_sway "$work/sway.conf"
    convert -size "${W}x${H}" xc:'#204060' "$work/solid.png"
    local count
    count="$(screen_until shot_1 "$work/shot.png" "$work/solid.png")"
    [ "$count" = 0 ] || fail "swaybg's colour does not show before ($count differing pixels)"

    as_user env XDG_CURRENT_DESKTOP=sway "$render" --preset ocean --animate 2 --fps 10 --size ${TILE}x$TILE \
        --seed 5 --set-wallpaper || fail "--set-wallpaper failed"
    as_user env XDG_CURRENT_DESKTOP=sway "$render" --living status | tee "$report/status.txt"
    grep -q 'the player runs' "$report/status.txt" || fail "status does not say the player runs"
    /usr/bin/python3 "$here/living_frames.py" "$living/loop.frames" "$work/frames" >"$work/frames.txt" ||
        fail "the frames file cannot be read"
    echo "frames file: $(cat "$work/frames.txt") (width height frames fps)"
    mkdir -p "$work/refs" "$work/tiles"
    for frame in "$work"/frames/frame-*.ppm; do
        convert "$frame" "$work/tiles/$(basename "$frame" .ppm).png"
        convert -size "${W}x${H}" "tile:$frame" "$work/refs/$(basename "$frame" .ppm).png"
    done
    tile_size="${TILE}x$TILE" origin="+0+0"
    expect_playing HEADLESS-1 shot_1
    expect_playing HEADLESS-2 shot_2

    as_user env XDG_CURRENT_DESKTOP=sway "$render" --living off || fail "--living off failed"
    pgrep -f "quorrel-living-player.*$living" >/dev/null && fail "a player still runs after --living off"
    count="$(screen_until shot_1 "$work/shot.png" "$work/solid.png")"
    echo "after --living off vs swaybg's colour: $count differing pixels"
    [ "$count" = 0 ] || fail "swaybg's colour is not back after --living off"
    [ -e "$living" ] && fail "--living off left $living behind"
    echo "PASSED: $name"
}

shot_1() { as_user grim -s 1 -o HEADLESS-1 "$work/data/o.png" 2>/dev/null && cp "$work/data/o.png" "$1"; }
shot_2() { as_user grim -s 2 -o HEADLESS-2 "$work/data/o.png" 2>/dev/null && cp "$work/data/o.png" "$1"; }

check_plasma() {
    need kpackagetool5
    local id=com.vantorel.quorrel.living package="$XDG_DATA_HOME/plasma/wallpapers/com.vantorel.quorrel.living"
    [ -e "/usr/share/plasma/wallpapers/$id" ] && echo "note: the package is installed system-wide too"
    start_plasmashell
    convert -size 64x48 "gradient:#102040-#40a0c0" -fill yellow -draw "circle 20,20 26,26" -depth 8 \
        "PNG24:$work/still.png"
    centred_reference "$work/still.png" "$work/ref-still.png"
    qdbus org.kde.plasmashell /PlasmaShell org.kde.PlasmaShell.evaluateScript "$("$plasma_probe" still "$work/still.png")" \
        >/dev/null || fail "the still wallpaper could not be set"
    local count
    count="$(screen_until x_shot "$work/shot.png" "$work/ref-still.png")"
    [ "$count" = 0 ] || fail "the still wallpaper before does not show ($count differing pixels)"

    XDG_SESSION_TYPE=x11 "$render" --preset ocean --animate 2 --fps 10 --size ${TILE}x$TILE --seed 5 \
        --set-wallpaper || fail "--set-wallpaper failed"
    XDG_SESSION_TYPE=x11 "$render" --living status | tee "$report/status.txt"
    [ -f "$package/metadata.json" ] || fail "the package was not written per user"
    [ -f "$living/loop.gif" ] || fail "no loop.gif in the living folder"
    cp "$living/loop.gif" "$report/"
    mkdir -p "$work/refs" "$work/tiles"
    convert "$living/loop.gif" -coalesce "$work/tiles/frame-%02d.png" || fail "the GIF cannot be read"
    echo "GIF frames: $(ls "$work/tiles" | wc -l)"
    for frame in "$work"/tiles/frame-*.png; do
        centred_reference "$frame" "$work/refs/$(basename "$frame")"
    done
    # Plasma lays a tile's top-left at ((W - w) / 2 mod w, (H - h) / 2 mod h).
    tile_size="${TILE}x$TILE" origin="+$(((W - TILE) / 2 % TILE))+$(((H - TILE) / 2 % TILE))"
    # The change shows a second or two after the call.
    local f=""
    for _ in $(seq 1 40); do
        x_shot "$work/shot.png"
        f="$(which_frame "$work/shot.png")"
        case "$f" in none*) sleep 0.5 ;; *) break ;; esac
    done
    expect_playing playing x_shot

    XDG_SESSION_TYPE=x11 "$render" --living off || fail "--living off failed"
    count="$(screen_until x_shot "$work/shot.png" "$work/ref-still.png")"
    echo "after --living off vs the still wallpaper: $count differing pixels"
    cp "$work/shot.png" "$report/after-off.png"
    [ "$count" = 0 ] || fail "the still wallpaper is not back after --living off"
    [ -e "$package" ] && fail "--living off left the package it wrote"
    [ -e "$living" ] && fail "--living off left $living behind"
    echo "PASSED: $name"
}

case "$name" in
    wlroots) check_wlroots ;;
    plasma) check_plasma ;;
    *) fail "unknown case $name" ;;
esac
