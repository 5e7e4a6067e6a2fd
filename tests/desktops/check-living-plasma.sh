#!/usr/bin/env bash
# Quorrel's Plasma wallpaper package in the real plasmashell, headless: with
# a still tile as the wallpaper before, the package installed per user in the
# private home and the living install script run over a looping GIF of four
# distinct 97 x 61 frames (in a folder whose name needs quoting), screenshots
# over time change and each equals one of the GIF's frames tiled from
# Plasma's centre-aligned origin; the remove script then puts the still tile
# back and leaves no path of the loop in Plasma's configuration.
#   check-living-plasma.sh PROBE PACKAGE-DIR REPORT-DIR
# QUORREL_PLASMA_CPU_SECONDS=N also measures plasmashell's CPU while playing.
# Exit 0 when the check passed, 1 when it failed, 77 (skipped) when a
# component is missing, unless QUORREL_REQUIRE_DESKTOPS=1 makes that a failure.
set -uo pipefail

name=living-plasma
probe="$1"
package="$2"
report="$3/living-plasma"
here="$(cd "$(dirname "$0")" && pwd)"
readonly W=1024 H=768 FRAMES=4
readonly ID=com.vantorel.quorrel.living

rm -rf "$report"
mkdir -p "$report"
exec > >(tee "$report/check.txt") 2>&1

# shellcheck source=desktop-common.sh
source "$here/desktop-common.sh"
need convert compare identify kpackagetool5

# The package, installed per user as Quorrel does when the system has none.
mkdir -p "$XDG_DATA_HOME/plasma/wallpapers"
cp -r "$package" "$XDG_DATA_HOME/plasma/wallpapers/$ID"
kpackagetool5 --type Plasma/Wallpaper --list 2>/dev/null | grep -qx "$ID" ||
    fail "kpackagetool5 does not list the package"

# The loop: four frames, each a gradient of its own with a mark at its own
# place (so a shifted origin shows), 0.3 s each, looping.
folder="$work/data/my \"living\" \\ loop"
mkdir -p "$folder"
colours=("#203080-#e0a020" "#802030-#20e0a0" "#308020-#a020e0" "#606060-#f0f0f0")
for k in $(seq 0 $((FRAMES - 1))); do
    convert -size 97x61 "gradient:${colours[$k]}" -fill white \
        -draw "rectangle $((5 + 20 * k)),8 $((14 + 20 * k)),20" -fill black -draw "point 0,0" "$work/made-$k.png" ||
        fail "cannot make frame $k"
done
loop="$folder/loop.gif"
convert -delay 30 -loop 0 "$work"/made-?.png -dither None "$loop" || fail "cannot make the GIF"
# The references from the GIF as written (its palette), each frame tiled
# from the screen's centre as Plasma lays it.
convert "$loop" -coalesce "$work/frame-%d.png" || fail "cannot read the GIF back"
for k in $(seq 0 $((FRAMES - 1))); do
    centred_reference "$work/frame-$k.png" "$work/ref-$k.png"
done
cp "$loop" "$report/loop.gif"

# A still tile as the wallpaper before, which remove must bring back.
still="$work/data/still.png"
convert -size 64x48 "gradient:#102040-#40a0c0" -fill yellow -draw "circle 20,20 26,26" -depth 8 "PNG24:$still"
centred_reference "$still" "$work/ref-still.png"

start_plasmashell
evaluate() {
    qdbus org.kde.plasmashell /PlasmaShell org.kde.PlasmaShell.evaluateScript "$1"
}
evaluate "$("$probe" still "$still")" >/dev/null || fail "the still wallpaper could not be set"
count="$(screen_until x_shot "$work/shot.png" "$work/ref-still.png")"
echo "the still wallpaper before: $count differing pixels"
cp "$work/shot.png" "$report/before.png"
[ "$count" = 0 ] || fail "the still wallpaper before does not show"

# The frame a screenshot equals ("none" with the least differing pixels).
which_frame() {
    local best="" count k
    for k in $(seq 0 $((FRAMES - 1))); do
        count="$(differing "$1" "$work/ref-$k.png")"
        [ "$count" = 0 ] && { echo "$k"; return; }
        if [ "$count" != error ] && { [ -z "$best" ] || [ "$count" -lt "$best" ]; }; then best="$count"; fi
    done
    echo "none (${best:-no image}: fewest differing pixels)"
}

"$probe" install "$loop" >"$work/install.js" || fail "no install script"
evaluate "$(cat "$work/install.js")" >"$work/install.out" 2>&1 || { cat "$work/install.out"; fail "the install script failed"; }
cp "$work/install.out" "$report/install-printed.txt"
grep -q 'quorrel-previous' "$work/install.out" || fail "the install script printed no previous wallpaper"

# Playing: within 20 s the screen shows a frame; then over three seconds
# every screenshot is a frame, and not always the same one.
frame=""
for _ in $(seq 1 40); do
    x_shot "$work/shot.png"
    frame="$(which_frame "$work/shot.png")"
    case "$frame" in none*) sleep 0.5 ;; *) break ;; esac
done
echo "first: frame $frame"
case "$frame" in none*) fail "the screen does not show the loop tiled from the centre" ;; esac
seen=()
for i in $(seq 1 8); do
    x_shot "$report/playing-$i.png"
    frame="$(which_frame "$report/playing-$i.png")"
    echo "shot $i: frame $frame"
    case "$frame" in none*) fail "shot $i is not a frame tiled from the centre" ;; esac
    seen+=("$frame")
    sleep 0.4
done
distinct="$(printf '%s\n' "${seen[@]}" | sort -u | wc -l)"
echo "$distinct different frames"
[ "$distinct" -ge 2 ] || fail "the wallpaper does not move"

if [ -n "${QUORREL_PLASMA_CPU_SECONDS:-}" ]; then
    shell_pid="$(pgrep -n -x plasmashell -P $$ 2>/dev/null || pgrep -n -x plasmashell)"
    ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
    t0="$(ticks "$shell_pid")" s0="$(date +%s.%N)"
    sleep "$QUORREL_PLASMA_CPU_SECONDS"
    t1="$(ticks "$shell_pid")" s1="$(date +%s.%N)"
    awk -v t="$((t1 - t0))" -v hz="$(getconf CLK_TCK)" -v a="$s0" -v b="$s1" \
        'BEGIN { printf "plasmashell while playing: %.2f %% of one core\n", 100 * t / hz / (b - a) }'
fi

# Off: the still tile again, and no path of the loop left in the shell's
# configuration.
"$probe" remove <"$work/install.out" >"$work/remove.js" || fail "no remove script"
evaluate "$(cat "$work/remove.js")" >/dev/null || fail "the remove script failed"
count="$(screen_until x_shot "$work/shot.png" "$work/ref-still.png")"
echo "after remove vs the still wallpaper before: $count differing pixels"
cp "$work/shot.png" "$report/after.png"
[ "$count" = 0 ] || fail "the wallpaper before is not back"
config="$XDG_CONFIG_HOME/plasma-org.kde.plasma.desktop-appletsrc"
for _ in $(seq 1 20); do
    grep -q 'wallpaperplugin=org.kde.image' "$config" 2>/dev/null && ! grep -q 'loop.gif' "$config" && break
    sleep 0.5
done
cp "$config" "$report/appletsrc-after.txt"
grep -n 'wallpaperplugin\|Source\|loop\|quorrel' "$config"
grep -q 'loop.gif' "$config" && fail "Plasma's configuration still names the loop"
grep -q "wallpaperplugin=$ID" "$config" && fail "a desktop is still on the living wallpaper"
echo "PASSED: $name"
