#!/usr/bin/env bash
# What a living wallpaper costs on X11: Quorrel's player showing a 256x256
# loop at 30 frames a second on a 1920x1080 Xvfb, against mpv playing the
# same loop as a screen-sized WebM. For each: the CPU of the player and of
# the X server (utime + stime from /proc over the interval, in % of one
# core), the player's resident memory, and for Quorrel's player the spread
# of its frame intervals (it reports them on exit with --stats).
#   bench/living/player-cpu.sh [BUILD-DIR [SECONDS]]
# Installs mpv (Debian's) for the comparison when it is missing: it is the
# bench's own need, not the tests'.
set -uo pipefail
build="${1:-build}"
seconds="${2:-20}"
render="$build/tools/quorrel-render"
player="$build/tools/quorrel-living-player"
here="$(cd "$(dirname "$0")" && pwd)"
readonly W=1920 H=1080 FPS=30 LOOP=4

if ! command -v mpv >/dev/null; then
    # shellcheck source=../../scripts/setup.sh
    source "$here/../../scripts/setup.sh" 2>/dev/null || true
    if declare -f quorrel_install_packages >/dev/null; then
        quorrel_install_packages mpv || echo "mpv could not be installed: its figures are left out"
    fi
fi

work="$(mktemp -d /tmp/quorrel-living-bench-XXXXXX)"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    sleep 0.3
    rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/home" "$work/run"
chmod 700 "$work/run"
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share" \
    XDG_RUNTIME_DIR="$work/run" XDG_SESSION_TYPE=x11
unset WAYLAND_DISPLAY XDG_CURRENT_DESKTOP DESKTOP_SESSION DBUS_SESSION_BUS_ADDRESS

mkfifo "$work/displayfd"
Xvfb -displayfd 3 -screen 0 "${W}x${H}x24" -noreset -nolisten tcp 3>"$work/displayfd" >"$work/xvfb.log" 2>&1 &
xvfb=$!
pids+=("$xvfb")
read -r -t 10 number <"$work/displayfd" || { echo "Xvfb did not start"; exit 1; }
export DISPLAY=":$number"

ticks="$(getconf CLK_TCK)"
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
rss_mb() { awk '/^VmRSS/ {printf "%.1f", $2 / 1024}' "/proc/$1/status"; }
# Prints "player% server% rss-MB" for `pid` over the interval.
measure() {
    local pid="$1" p0 x0 p1 x1 t0 t1 rss
    sleep 2   # past the start
    p0="$(cpu_ticks "$pid")"; x0="$(cpu_ticks "$xvfb")"; t0="$(date +%s.%N)"
    sleep "$seconds"
    p1="$(cpu_ticks "$pid")"; x1="$(cpu_ticks "$xvfb")"; t1="$(date +%s.%N)"
    rss="$(rss_mb "$pid")"
    awk -v p="$((p1 - p0))" -v x="$((x1 - x0))" -v t0="$t0" -v t1="$t1" -v hz="$ticks" -v rss="$rss" \
        'BEGIN { e = (t1 - t0) * hz; printf "%.2f %.2f %s\n", 100 * p / e, 100 * x / e, rss }'
}

echo "Rendering a ${LOOP}-s 256x256 loop at $FPS fps ..."
"$render" --preset ocean --animate "$LOOP" --fps "$FPS" --size 256x256 --seed 1 -q --set-wallpaper >/dev/null ||
    { echo "--set-wallpaper failed"; exit 1; }
frames="$XDG_DATA_HOME/quorrel/living/loop.frames"
# The autostarted player is ended; the bench runs one of its own with --stats.
kill -TERM "$(cat "$XDG_DATA_HOME/quorrel/living/player.pid")"
for _ in $(seq 1 30); do [ -e "$XDG_DATA_HOME/quorrel/living/player.pid" ] || break; sleep 0.1; done
"$player" --frames "$frames" --fps "$FPS" --stats 2>"$work/stats.txt" &
pid=$!
pids+=("$pid")
read -r qp qx qrss < <(measure "$pid")
kill -TERM "$pid"
wait "$pid"
stats="$(grep '^frames shown' "$work/stats.txt")"
"$render" --living off >/dev/null

# An idle server, for what drawing adds to it.
read -r idle _ _ < <(measure "$xvfb")

printf '\n%-34s %10s %10s %10s\n' "1920x1080, 256x256 loop at $FPS fps" "player %" "Xvfb %" "RSS MB"
printf '%-34s %10s %10s %10s\n' "Xvfb idle" "-" "$idle" "-"
printf '%-34s %10s %10s %10s\n' "quorrel-living-player" "$qp" "$qx" "$qrss"
echo "  $stats"

if command -v mpv >/dev/null; then
    echo "Encoding the same loop filled to ${W}x${H} as WebM for mpv ..."
    "$render" --preset ocean --animate "$LOOP" --fps "$FPS" --size 256x256 --seed 1 -q --fill "${W}x${H}" \
        -o "$work/loop.webm" || { echo "the WebM could not be written"; exit 1; }
    mpv --no-config --really-quiet --vo=x11 --hwdec=no --no-audio --loop-file=inf --fs \
        --geometry="${W}x${H}+0+0" "$work/loop.webm" >/dev/null 2>&1 &
    mpid=$!
    pids+=("$mpid")
    read -r mp mx mrss < <(measure "$mpid")
    printf '%-34s %10s %10s %10s\n' "mpv (WebM, ${W}x${H}, --vo=x11)" "$mp" "$mx" "$mrss"
    kill "$mpid"
else
    echo "mpv is not installed: no comparison"
fi
