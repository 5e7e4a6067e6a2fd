#!/usr/bin/env bash
# Runs quorrel-render --animate --set-wallpaper (the living wallpaper)
# against one desktop's real components, headless, and checks what shows:
#   x11        Xvfb with no desktop: the player's root window changes over
#              time, each screenshot is a frame of the loop file repeated,
#              _XROOTPMAP_ID names a pixmap holding the frame; after a
#              crash the supervisor starts it again; off puts the previous
#              (feh's) background back.
#   autostart  the autostart entry validates, and run as a session started
#              afresh runs it, starts the player.
#   gnome      the slow-living XML loaded by GnomeBG's own parser: the
#              slides, their short stays and long fades over the period.
#   xfce       xfdesktop steps through the slides by itself.
# Every case ends with --living off leaving no file, entry or setting.
#   check-living.sh NAME RENDER PLAYER ROOT-PROBE REPORT-DIR
# Exit 0 passed, 1 failed, 77 skipped (a component is missing, unless
# QUORREL_REQUIRE_DESKTOPS=1 makes that a failure).
set -uo pipefail

name="$1"
render="$2"
# $3: the player, found by quorrel-render beside itself; named for the log.
echo "player: $3"
probe="$4"
report="$5/living-$name"
here="$(cd "$(dirname "$0")" && pwd)"
readonly W=1024 H=768 TILE=128

rm -rf "$report"
mkdir -p "$report"
exec > >(tee "$report/check.txt") 2>&1

# shellcheck source=desktop-common.sh
source "$here/desktop-common.sh"
need convert compare /usr/bin/python3

living="$XDG_DATA_HOME/quorrel/living"
entry="$XDG_CONFIG_HOME/autostart/quorrel-living.desktop"

live() {
    echo "quorrel-render $*"
    "$render" "$@"
}

# Nothing of the living wallpaper may be left: no folder, no entry.
expect_nothing_left() {
    local left
    left="$(find "$XDG_DATA_HOME/quorrel" "$XDG_CONFIG_HOME/autostart" 2>/dev/null)"
    echo "left after --living off: ${left:-nothing}"
    [ -z "$left" ] || fail "--living off left files behind"
    if pgrep -u "$(id -u)" -f "quorrel-living-player.*$living" >/dev/null; then
        fail "a player still runs after --living off"
    fi
}

# The loop's frames as PPM files in $work/frames, read from the frames file.
extract_frames() {
    /usr/bin/python3 "$here/living_frames.py" "$living/loop.frames" "$work/frames" >"$work/frames.txt" ||
        fail "the frames file cannot be read"
    echo "frames file: $(cat "$work/frames.txt") (width height frames fps)"
    (cd "$work/frames" && md5sum frame-*.ppm) >"$work/frames.md5"
}

# Which frame (index) `image`'s top-left tile is, or "none": the crop's
# pixels as a PPM against each frame's (living_frames.py writes the same
# header ImageMagick does).
frame_of() {
    local sum
    sum="$(convert "$1" -crop "${TILE}x${TILE}+0+0" +repage -depth 8 ppm:- | md5sum | cut -d' ' -f1)"
    sed -n "s/^$sum  .*frame-0*\([0-9]*\)\.ppm$/\1/p" "$work/frames.md5" | sed 's/^$/0/' | head -n 1 | grep . || echo none
}

# Screenshots over about two seconds: each must be a frame repeated over the
# whole screen, and at least three different frames must show.
expect_playing() {
    local label="$1" n shot f seen=() distinct
    for n in $(seq 1 8); do
        shot="$work/$label-$n.png"
        x_shot "$shot"
        f="$(frame_of "$shot")"
        [ "$f" != none ] || { cp "$shot" "$report/"; fail "$label screenshot $n is no frame of the loop"; }
        convert -size "${W}x${H}" "tile:$work/frames/frame-$(printf %04d "$f").ppm" "$work/ref.png"
        [ "$(differing "$shot" "$work/ref.png")" = 0 ] ||
            { cp "$shot" "$report/"; fail "$label screenshot $n is not frame $f repeated from the corner"; }
        seen+=("$f")
        sleep 0.25
    done
    cp "$work/$label-1.png" "$report/$label-first.png"
    cp "$work/$label-8.png" "$report/$label-last.png"
    distinct="$(printf '%s\n' "${seen[@]}" | sort -u | wc -l)"
    echo "$label: frames shown ${seen[*]} ($distinct different), each repeated over the screen"
    [ "$distinct" -ge 3 ] || fail "$label: the root window did not change over time"
}

# _XROOTPMAP_ID names a live pixmap holding a frame of the loop, and
# ESETROOT_PMAP_ID the same one. The player replaces it ten times a second:
# a read that falls between the property and the pixmap is tried again.
expect_root_pixmap() {
    local ids="" tries
    for tries in $(seq 1 10); do
        "$probe" >"$work/pixmap.ppm" 2>"$work/pixmap.txt" && break
        sleep 0.05
    done
    cat "$work/pixmap.txt"
    [ -s "$work/pixmap.ppm" ] || fail "_XROOTPMAP_ID names no live pixmap"
    [ "$(frame_of "$work/pixmap.ppm")" != none ] || fail "the pixmap _XROOTPMAP_ID names holds no frame of the loop"
    for tries in $(seq 1 10); do
        ids="$(xprop -root _XROOTPMAP_ID ESETROOT_PMAP_ID | awk '{print $NF}' | sort -u)"
        [ "$(echo "$ids" | wc -l)" = 1 ] && break
    done
    echo "_XROOTPMAP_ID and ESETROOT_PMAP_ID: $ids"
    [ "$(echo "$ids" | wc -l)" = 1 ] || fail "ESETROOT_PMAP_ID is not the pixmap _XROOTPMAP_ID names"
}

player_pid() {
    cat "$living/player.pid" 2>/dev/null
}

check_x11() {
    need Xvfb feh xprop import
    start_xvfb
    # A background set before, which off must put back exactly.
    convert -size 64x64 gradient:navy-orange "$work/before.png"
    feh --no-fehbg --bg-tile "$work/before.png" || fail "feh could not set the background before"
    x_shot "$work/screen-before.png"
    XDG_SESSION_TYPE=x11 live --preset ocean --animate 2 --fps 10 --size ${TILE}x$TILE --seed 5 --set-wallpaper ||
        fail "--set-wallpaper failed"
    XDG_SESSION_TYPE=x11 live --living status | tee "$report/status.txt"
    grep -q 'the player runs' "$report/status.txt" || fail "status does not say the player runs"
    extract_frames
    expect_playing playing
    expect_root_pixmap
    # A crash: the supervisor starts the player again, which plays on.
    local supervisor child
    supervisor="$(player_pid)"
    child="$(pgrep -P "$supervisor")" || fail "the supervisor runs no player"
    kill -SEGV "$child"
    for _ in $(seq 1 40); do
        [ -n "$(pgrep -P "$supervisor")" ] && [ "$(pgrep -P "$supervisor")" != "$child" ] && break
        sleep 0.25
    done
    [ "$(pgrep -P "$supervisor")" != "$child" ] && [ -n "$(pgrep -P "$supervisor")" ] ||
        fail "the player was not started again after a crash"
    echo "after a crash the supervisor started the player again"
    expect_playing restarted
    XDG_SESSION_TYPE=x11 live --living off || fail "--living off failed"
    x_shot "$report/screen-after-off.png"
    [ "$(differing "$work/screen-before.png" "$report/screen-after-off.png")" = 0 ] ||
        fail "the background before is not back after --living off"
    echo "after --living off the screen shows feh's background again"
    expect_nothing_left
}

check_autostart() {
    need Xvfb desktop-file-validate gio import
    start_xvfb
    XDG_SESSION_TYPE=x11 live --preset ocean --animate 1 --fps 10 --size ${TILE}x$TILE --seed 9 --set-wallpaper ||
        fail "--set-wallpaper failed"
    cp "$entry" "$report/"
    desktop-file-validate "$entry" || fail "desktop-file-validate refuses the autostart entry"
    echo "desktop-file-validate: accepted"
    extract_frames
    # The session ends: the player with it (SIGTERM, as a session's end sends).
    local pid
    pid="$(player_pid)"
    kill -TERM "$pid"
    for _ in $(seq 1 40); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$pid" 2>/dev/null && fail "the player did not end on SIGTERM"
    [ -e "$living/player.pid" ] && fail "the player left its pid file behind"
    # A session of another desktop launches it too: the player declines there.
    XDG_CURRENT_DESKTOP=GNOME gio launch "$entry" 2>"$work/other.err" || fail "the autostart entry could not be launched"
    for _ in $(seq 1 50); do
        pgrep -u "$(id -u)" -f "quorrel-living-player.*$living" >/dev/null || break
        sleep 0.1
    done
    pgrep -u "$(id -u)" -f "quorrel-living-player.*$living" >/dev/null && fail "a player plays in another desktop's session"
    [ -e "$living/player.pid" ] && fail "the declining player left its pid file"
    echo "in a GNOME session the entry starts no player"
    # A session started afresh launches the entry as autostart does.
    gio launch "$entry" || fail "the autostart entry could not be launched"
    for _ in $(seq 1 40); do [ -n "$(player_pid)" ] && break; sleep 0.1; done
    [ -n "$(player_pid)" ] || fail "the autostart entry started no player"
    pids+=("$(player_pid)")
    expect_playing autostarted
    XDG_SESSION_TYPE=x11 live --living off || fail "--living off failed"
    expect_nothing_left
}

check_gnome() {
    need gsettings dconf dbus-daemon
    export GSETTINGS_BACKEND=dconf
    local schema=org.gnome.desktop.background
    gsettings list-keys "$schema" >/dev/null || fail "schema $schema is not installed"
    /usr/bin/python3 -c 'import gi; gi.require_version("GnomeBG", "4.0")' 2>/dev/null ||
        { [ "${QUORREL_REQUIRE_DESKTOPS:-0}" = 1 ] && fail "gir1.2-gnomebg-4.0 is not installed"; echo "SKIPPED: no GnomeBG"; exit 77; }
    start_bus
    gsettings set "$schema" picture-options "'centered'"
    dconf dump / >"$report/dconf-before.txt"
    # 24 frames over 20 minutes: 24 slides, 50 s each, 2.5 s alone and a 47.5 s fade.
    XDG_CURRENT_DESKTOP=GNOME XDG_SESSION_TYPE=x11 live --preset ocean --animate 2 --fps 12 --size ${TILE}x$TILE \
        --seed 3 --period 20m --set-wallpaper -o "$work/loop-{n}.png" || fail "--set-wallpaper failed"
    local xml="$living/slow-living.xml" value
    cp "$xml" "$report/"
    value="$(gsettings get "$schema" picture-uri)"
    [ "$value" = "'file://$xml'" ] || fail "picture-uri does not name the slow-living slide show ($value)"
    [ "$(gsettings get "$schema" picture-options)" = "'wallpaper'" ] || fail "the placement is not tiled"
    /usr/bin/python3 "$here/slide_show_parse.py" "$xml" >"$report/parsed.txt" || fail "GnomeBG could not load it"
    head -n 3 "$report/parsed.txt"
    grep -qx 'slides 48' "$report/parsed.txt" || fail "not 24 slides and 24 fades"
    grep -qx 'total 1200.0' "$report/parsed.txt" || fail "the total is not the 20-minute period"
    local images expected
    images="$(sed -n 's/^image 2.5 //p' "$report/parsed.txt")"
    expected="$(ls "$living"/slides/slide-*.png)"
    [ "$images" = "$expected" ] || fail "the slides parsed are not the 24 written, in order, 2.5 s each"
    # The slides are the loop's frames (the same loop, exported with -o).
    local k
    for k in 01 12 24; do
        [ "$(differing "$living/slides/slide-0$k.png" "$work/loop-$k.png")" = 0 ] ||
            fail "slide $k is not frame $k of the loop"
    done
    # GnomeBG lists only the slides; the fades are what makes up the rest of
    # the total (24 x 47.5 s), each from one slide into the next, the last
    # back into the first.
    /usr/bin/python3 - "$xml" "$living/slides" <<'PY' || fail "the fades are not 47.5 s each, slide to next slide"
import sys
import xml.etree.ElementTree as tree
fades = tree.parse(sys.argv[1]).getroot().findall("transition")
folder = sys.argv[2]
names = [f"{folder}/slide-{i:03d}.png" for i in range(1, 25)]
assert len(fades) == 24, len(fades)
for i, fade in enumerate(fades):
    assert float(fade.findtext("duration")) == 47.5
    assert fade.findtext("from") == names[i] and fade.findtext("to") == names[(i + 1) % 24]
print("24 fades of 47.5 s, each slide into the next, the last into the first")
PY
    XDG_CURRENT_DESKTOP=GNOME XDG_SESSION_TYPE=x11 live --living off || fail "--living off failed"
    dconf dump / >"$report/dconf-after.txt"
    diff "$report/dconf-before.txt" "$report/dconf-after.txt" || fail "the settings are not as they were"
    expect_nothing_left
}

check_xfce() {
    need xfdesktop xfwm4 xfconf-query import
    start_xfdesktop
    xfconf-query -c xfce4-desktop -l -v | grep '^/backdrop/' | sort >"$report/xfconf-before.txt"
    # 48 frames over 10 minutes: a slide every 12 s.
    XDG_CURRENT_DESKTOP=XFCE XDG_SESSION_TYPE=x11 live --preset ocean --animate 4 --fps 12 --size ${TILE}x$TILE \
        --seed 4 --period 10m --set-wallpaper || fail "--set-wallpaper failed"
    xfconf-query -c xfce4-desktop -l -v | grep '^/backdrop/' | sort >"$report/xfconf-during.txt"
    grep -E '/backdrop-cycle-timer +12$' "$report/xfconf-during.txt" || fail "the cycle timer is not 12 s"
    grep -E '/backdrop-cycle-enable +true$' "$report/xfconf-during.txt" || fail "cycling is not enabled"
    # The screen shows one slide tiled, then another, by xfdesktop alone.
    local slides=() n i shot now first="" second=""
    mapfile -t slides < <(ls "$living"/slides/slide-*.png)
    [ "${#slides[@]}" = 48 ] || fail "not 48 slides"
    for n in $(seq 1 70); do
        shot="$work/xfce.png"
        x_shot "$shot"
        convert "$shot" -crop "${TILE}x${TILE}+0+0" +repage "$work/crop.png"
        now=none
        for i in "${!slides[@]}"; do
            [ "$(differing "$work/crop.png" "${slides[$i]}")" = 0 ] && { now="$i"; break; }
        done
        if [ "$now" != none ]; then
            convert -size "${W}x${H}" "tile:${slides[$now]}" "$work/ref.png"
            [ "$(differing "$shot" "$work/ref.png")" = 0 ] || { now=none; }
        fi
        if [ "$now" != none ] && [ -z "$first" ]; then
            first="$now"; cp "$shot" "$report/xfce-first.png"; echo "the screen shows slide $((now + 1)) tiled"
        elif [ "$now" != none ] && [ "$now" != "$first" ]; then
            second="$now"; cp "$shot" "$report/xfce-next.png"; echo "then slide $((now + 1)) tiled"; break
        fi
        sleep 0.5
    done
    [ -n "$first" ] || fail "the screen never showed a slide tiled"
    [ -n "$second" ] || fail "xfdesktop did not step to another slide"
    XDG_CURRENT_DESKTOP=XFCE XDG_SESSION_TYPE=x11 live --living off || fail "--living off failed"
    # xfdesktop takes the settings back at its own pace: until they are as
    # before (at most 10 s), then compared.
    for _ in $(seq 1 40); do
        xfconf-query -c xfce4-desktop -l -v | grep '^/backdrop/' | sort >"$report/xfconf-after.txt"
        cmp -s "$report/xfconf-before.txt" "$report/xfconf-after.txt" && break
        sleep 0.25
    done
    diff "$report/xfconf-before.txt" "$report/xfconf-after.txt" || fail "the backdrop settings are not as they were"
    expect_nothing_left
}

case "$name" in
    x11) check_x11 ;;
    autostart) check_autostart ;;
    gnome) check_gnome ;;
    xfce) check_xfce ;;
    *) fail "unknown case" ;;
esac
echo "PASSED: living-$name"
