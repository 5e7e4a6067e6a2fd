#!/usr/bin/env bash
# CPU and memory of the living wallpaper's wlroots background: the probe
# plays a 256 x 256 loop at 30 frames a second on one 1920 x 1080 output of
# headless sway with its software (pixman) renderer. CPU is utime + stime
# from /proc/PID/stat over 20 s, in percent of one core, for the probe and
# for sway; memory is the probe's resident set at the end.
#   bench/living-wayland-cpu.sh [PROBE [SECONDS]]
# Defaults: build/tests/desktops/quorrel-living-wayland-probe, 20. Exits 1
# when the probe uses more than 5 % of a core or 100 MB.
set -uo pipefail
probe="$(realpath "${1:-build/tests/desktops/quorrel-living-wayland-probe}")"
seconds="${2:-20}"
name=living-wayland-cpu
here="$(cd "$(dirname "$0")" && pwd)"
readonly W=1920 H=1080
# shellcheck source=../tests/desktops/desktop-common.sh
source "$here/../tests/desktops/desktop-common.sh"
need sway

if [ "$(id -u)" -eq 0 ]; then
    chown -R 65534:65534 "$work/home" "$work/run" "$work/data"
    cp "$probe" "$work/probe"
    chmod 755 "$work/probe"
    probe="$work/probe"
fi
printf 'output * mode %dx%d\nswaybg_command -\n' "$W" "$H" >"$work/sway.conf"
export WLR_HEADLESS_OUTPUTS=1
start_sway "$work/sway.conf"
# start_sway's last process is sway itself (its shell became sway).
sway_pid="${pids[-1]}"
[ "$(cat "/proc/$sway_pid/comm")" = sway ] || fail "sway's process is not $sway_pid"

(as_user_exec "$probe" --size 256x256 --frames 30 --fps 30 >"$work/data/probe.log" 2>&1) &
probe_pid=$!
pids+=("$probe_pid")
# Measured once the background is on the output (at most 10 s).
for _ in $(seq 1 40); do
    grep -q '^visible' "$work/data/probe.log" 2>/dev/null && break
    sleep 0.25
done
grep -q '^visible' "$work/data/probe.log" || fail "the probe never showed its background"

ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
hz="$(getconf CLK_TCK)"
p0="$(ticks "$probe_pid")" s0="$(ticks "$sway_pid")" t0="$(date +%s.%N)"
sleep "$seconds"
p1="$(ticks "$probe_pid")" s1="$(ticks "$sway_pid")" t1="$(date +%s.%N)"
rss_kb="$(awk '/^VmRSS/ { print $2 }' "/proc/$probe_pid/status")"
kill -TERM "$probe_pid"
for _ in $(seq 1 40); do
    kill -0 "$probe_pid" 2>/dev/null || break
    sleep 0.1
done
shown="$(sed -n 's/^shown //p' "$work/data/probe.log")"

awk -v p="$((p1 - p0))" -v s="$((s1 - s0))" -v hz="$hz" -v t0="$t0" -v t1="$t1" -v rss="$rss_kb" -v shown="$shown" \
    -v total="$seconds" 'BEGIN {
        elapsed = t1 - t0
        printf "probe: %.2f %% of one core, %.1f MB resident\n", 100 * p / hz / elapsed, rss / 1024
        printf "sway:  %.2f %% of one core\n", 100 * s / hz / elapsed
        printf "frames shown in all: %s\n", shown
        exit (100 * p / hz / elapsed > 5 || rss / 1024 > 100) ? 1 : 0
    }'
