#!/usr/bin/env bash
# CPU of Plasma's shell playing Quorrel's living wallpaper package: a looping
# GIF of 30 frames of 256 x 256 at 3 cs a frame (33 frames a second, the
# nearest GIF delay to 30), tiled on a 1920 x 1080 Xvfb screen with Qt
# Quick's software renderer (QT_QUICK_BACKEND=software, as start_plasmashell
# sets). utime + stime from /proc/PID/stat over SECONDS for plasmashell and
# Xvfb, in percent of one core; plasmashell's resident set before and while
# playing.
#   bench/living-plasma-cpu.sh [PACKAGE-DIR [SECONDS [SCREENSHOT]]]
# Defaults: resources/plasma/living, 20, none (a PNG of the screen at the end
# shows that it played).
set -uo pipefail
package="$(realpath "${1:-resources/plasma/living}")"
seconds="${2:-20}"
screenshot="${3:-}"
name=living-plasma-cpu
here="$(cd "$(dirname "$0")" && pwd)"
readonly W=1920 H=1080
readonly ID=com.vantorel.quorrel.living
# shellcheck source=../tests/desktops/desktop-common.sh
source "$here/../tests/desktops/desktop-common.sh"
need convert

mkdir -p "$XDG_DATA_HOME/plasma/wallpapers"
cp -r "$package" "$XDG_DATA_HOME/plasma/wallpapers/$ID"
for k in $(seq -w 0 29); do
    convert -size 256x256 -seed "$((10#$k + 1))" plasma:fractal -depth 8 "$work/f-$k.png"
done
convert -delay 3 -loop 0 "$work"/f-*.png "$work/data/loop.gif" || fail "cannot make the GIF"

start_plasmashell
shell_pid="$(pgrep -n -x plasmashell -P $$)"
xvfb_pid="${pids[0]}"
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
rss() { awk '/^VmRSS/ { printf "%.0f MB", $2 / 1024 }' "/proc/$1/status"; }
echo "plasmashell resident before: $(rss "$shell_pid")"

script="var all = desktops(); for (var i = 0; i < all.length; i++) { var d = all[i];
 d.wallpaperPlugin = '$ID'; d.currentConfigGroup = ['Wallpaper', '$ID', 'General'];
 d.writeConfig('Source', 'file://$work/data/loop.gif'); }"
qdbus org.kde.plasmashell /PlasmaShell org.kde.PlasmaShell.evaluateScript "$script" >/dev/null ||
    fail "plasmashell did not run the script"
# Measured once the loop plays: two screenshots a moment apart differ (at most 20 s).
playing=""
for _ in $(seq 1 40); do
    x_shot "$work/a.png" && sleep 0.25 && x_shot "$work/b.png" || continue
    [ "$(differing "$work/a.png" "$work/b.png")" != 0 ] && { playing=1; break; }
done
[ -n "$playing" ] || fail "the loop never played"

measure() {
    local p0 x0 t0 p1 x1 t1
    p0="$(ticks "$shell_pid")" x0="$(ticks "$xvfb_pid")" t0="$(date +%s.%N)"
    sleep "$seconds"
    p1="$(ticks "$shell_pid")" x1="$(ticks "$xvfb_pid")" t1="$(date +%s.%N)"
    awk -v p="$((p1 - p0))" -v x="$((x1 - x0))" -v hz="$(getconf CLK_TCK)" -v a="$t0" -v b="$t1" -v what="$1" \
        'BEGIN { printf "%s: plasmashell %.2f %%, Xvfb %.2f %% of one core\n", what, 100 * p / hz / (b - a), 100 * x / hz / (b - a) }'
}
measure "playing"
echo "plasmashell resident while playing: $(rss "$shell_pid")"
[ -z "$screenshot" ] || x_shot "$screenshot"
