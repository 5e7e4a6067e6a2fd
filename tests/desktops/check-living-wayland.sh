#!/usr/bin/env bash
# The living wallpaper's wlroots background under headless sway with two
# outputs, the second at scale 2: the probe plays four noise frames of
# 97 x 61 at 8 frames a second, and over two seconds each output's
# screenshot (in its own pixels) equals one of the frames repeated from the
# output's top-left corner, with several different frames seen on each. An
# output added later gets the loop too, and with a fullscreen window over
# every output the background says it is hidden (and plays again when the
# window is gone).
#   check-living-wayland.sh PROBE REPORT-DIR
# Exit 0 when the check passed, 1 when it failed, 77 (skipped) when a
# component is missing, unless QUORREL_REQUIRE_DESKTOPS=1 makes that a failure.
set -uo pipefail

name=living-wayland
probe="$1"
report="$2/living-wayland"
here="$(cd "$(dirname "$0")" && pwd)"
readonly W=1024 H=768 FRAMES=4

rm -rf "$report"
mkdir -p "$report"
exec > >(tee "$report/check.txt") 2>&1

# shellcheck source=desktop-common.sh
source "$here/desktop-common.sh"
need sway swaymsg grim convert compare
[ -w /dev/shm ] && { [ -k /dev/shm ] || [ "$(stat -c %a /dev/shm)" = 1777 ]; } || fail "/dev/shm is not world-writable"

mkdir -p "$work/data/frames"
if [ "$(id -u)" -eq 0 ]; then
    chown -R 65534:65534 "$work/home" "$work/run" "$work/data"
    # nobody may not reach the build folder: a copy of the probe it can run.
    cp "$probe" "$work/probe"
    chmod 755 "$work/probe"
    probe="$work/probe"
fi
{
    echo "output * mode ${W}x${H}"
    echo "output HEADLESS-2 scale 2"
    # No swaybg of sway's own: only ours on the background layer.
    echo "swaybg_command -"
} >"$work/sway.conf"
export WLR_HEADLESS_OUTPUTS=2
start_sway "$work/sway.conf"
as_user swaymsg -t get_outputs >"$report/outputs.json" || fail "swaymsg does not answer"

log="$work/data/probe.log"
(as_user_exec "$probe" --size 97x61 --frames "$FRAMES" --fps 8 --write-frames "$work/data/frames" >"$log" 2>&1) &
probe_pid=$!
pids+=("$probe_pid")
for _ in $(seq 1 40); do
    grep -q '^visible' "$log" && break
    kill -0 "$probe_pid" 2>/dev/null || break
    sleep 0.25
done
grep -q '^visible' "$log" || { cat "$log"; fail "the background never became visible"; }

# Each frame repeated from (0, 0) over an output's pixels.
for k in $(seq 0 $((FRAMES - 1))); do
    convert -size "${W}x${H}" "tile:$work/data/frames/frame-$k.ppm" "$work/ref-$k.png" ||
        fail "cannot read frame $k"
done
cp "$work/data/frames/frame-0.ppm" "$report/"

# A screenshot of OUTPUT at SCALE into FILE (as the compositor's user).
output_shot() {
    as_user grim -s "$2" -o "$1" "$work/data/out.png" 2>/dev/null && cp "$work/data/out.png" "$3"
}

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

# Shots of OUTPUT at SCALE over two seconds: every one a frame, several
# different ones.
expect_playing() {
    local output="$1" scale="$2" seen=() i frame
    for i in $(seq 1 6); do
        output_shot "$output" "$scale" "$report/$output-$i.png" || fail "grim could not shoot $output"
        frame="$(which_frame "$report/$output-$i.png")"
        echo "$output shot $i: frame $frame"
        case "$frame" in none*) fail "$output shows something else than a frame tiled from its corner" ;; esac
        seen+=("$frame")
        sleep 0.33
    done
    local distinct
    distinct="$(printf '%s\n' "${seen[@]}" | sort -u | wc -l)"
    echo "$output: $distinct different frames"
    [ "$distinct" -ge 2 ] || { cat "$log"; fail "$output does not change over time"; }
}

expect_playing HEADLESS-1 1
expect_playing HEADLESS-2 2

# An output plugged in later gets its own surface. (Switching one off,
# "disable" or "dpms off", fails on sway 1.7's headless outputs: "Failed to
# commit".)
as_user swaymsg create_output >/dev/null || fail "sway could not add an output"
for _ in $(seq 1 20); do
    as_user swaymsg -t get_outputs | grep -q '"HEADLESS-3"' && break
    sleep 0.25
done
# Its surface is there once a shot of it shows a frame (at most 10 s).
for _ in $(seq 1 40); do
    output_shot HEADLESS-3 1 "$work/new-output.png" && case "$(which_frame "$work/new-output.png")" in none*) ;; *) break ;; esac
    sleep 0.25
done
expect_playing HEADLESS-3 1

# A window fullscreen over every output hides the whole background, as a
# lock screen does: the compositor stops answering its frame callbacks, the
# background says it is hidden, and plays again once the window is gone.
(as_user_exec "$probe" --cover >"$work/data/cover.log" 2>&1) &
cover_pid=$!
pids+=("$cover_pid")
covered=""
for _ in $(seq 1 20); do
    as_user swaymsg '[app_id="quorrel-living-cover"] fullscreen enable global' >/dev/null 2>&1 && { covered=1; break; }
    sleep 0.25
done
[ -n "$covered" ] || { cat "$work/data/cover.log"; fail "the cover window did not appear"; }
for _ in $(seq 1 20); do
    grep -q '^hidden' "$log" && break
    sleep 0.25
done
output_shot HEADLESS-1 1 "$report/covered.png"
grep -q '^hidden' "$log" || { cat "$log"; fail "the background does not notice that nothing of it is shown"; }
kill "$cover_pid"
for _ in $(seq 1 20); do
    [ "$(grep -c '^visible' "$log")" -ge 2 ] && break
    sleep 0.25
done
[ "$(grep -c '^visible' "$log")" -ge 2 ] || { cat "$log"; fail "the background does not show again when uncovered"; }
expect_playing HEADLESS-1 1
expect_playing HEADLESS-2 2

kill -TERM "$probe_pid"
for _ in $(seq 1 20); do
    kill -0 "$probe_pid" 2>/dev/null || break
    sleep 0.1
done
cp "$log" "$report/probe.log"
cat "$log"
grep -q '^shown [1-9]' "$log" || fail "the probe did not end cleanly"
echo "PASSED: $name"
