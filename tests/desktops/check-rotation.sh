#!/usr/bin/env bash
# Runs quorrel-render --rotate against one desktop's real components,
# headless, and checks what the desktop itself makes of it: the slide show
# parsed by the GNOME desktop library with the settings read back from
# dconf; xfdesktop showing the next image of the folder after the period;
# the timer's units accepted by systemd-analyze and their command setting
# the wallpaper through the real feh or sway; and after --rotate off, the
# settings as they were and no file or unit left.
#   check-rotation.sh NAME RENDER REPORT-DIR
# NAME: gnome cinnamon mate xfce x11-timer sway-timer wlroots-timer (Plasma's rotation runs in
# check-desktop.sh plasma, in the same shell as its setter)
# Exit 0 when the check passed, 1 when it failed, 77 (skipped) when a
# component is missing, unless QUORREL_REQUIRE_DESKTOPS=1 makes that a failure.
set -uo pipefail

name="$1"
render="$2"
report="$3/rotation-$name"
here="$(cd "$(dirname "$0")" && pwd)"
readonly W=1024 H=768

rm -rf "$report"
mkdir -p "$report"
exec > >(tee "$report/check.txt") 2>&1

# shellcheck source=desktop-common.sh
source "$here/desktop-common.sh"
# shellcheck source=rotation-common.sh
source "$here/rotation-common.sh"
need convert compare

check_slide_show() {
    local desktop="$1" schema="$2" key="$3" as_url="$4"
    need gsettings dconf dbus-daemon /usr/bin/python3
    export GSETTINGS_BACKEND=dconf
    gsettings list-keys "$schema" >/dev/null || fail "schema $schema is not installed"
    /usr/bin/python3 -c 'import gi; gi.require_version("GnomeBG", "4.0")' 2>/dev/null ||
        { [ "${QUORREL_REQUIRE_DESKTOPS:-0}" = 1 ] && fail "gir1.2-gnomebg-4.0 is not installed"; echo "SKIPPED: no GnomeBG"; exit 77; }
    start_bus
    # A user setting before, which off must put back, and a key at its default.
    gsettings set "$schema" picture-options "'centered'"
    dconf dump / >"$report/dconf-before.txt"
    XDG_CURRENT_DESKTOP="$desktop" XDG_SESSION_TYPE=x11 rotate 10m --count 3 --seed 11 || fail "--rotate failed"
    local xml value
    xml="$(ls "$rotation"/slide-show-*.xml)"
    cp "$xml" "$report/slide-show.xml"
    value="$(gsettings get "$schema" "$key")"
    echo "$schema $key = $value"
    if [ "$as_url" = url ]; then
        [ "$value" = "'file://$xml'" ] || fail "$key does not name the slide show"
    else
        [ "$value" = "'$xml'" ] || fail "$key does not name the slide show"
    fi
    [ "$(gsettings get "$schema" picture-options)" = "'wallpaper'" ] || fail "the placement is not tiled"
    if [ "$desktop" = GNOME ]; then
        [ "$(gsettings get "$schema" picture-uri-dark)" = "$value" ] || fail "picture-uri-dark does not name the slide show"
    fi
    dconf dump / >"$report/dconf-during.txt"

    # The desktops' own parser: 3 images, each 600 s with a 5 s fade, in order.
    /usr/bin/python3 "$here/slide_show_parse.py" "$xml" | tee "$report/parsed.txt" || fail "GnomeBG could not load it"
    grep -qx 'slides 6' "$report/parsed.txt" || fail "not 3 images and 3 transitions"
    grep -qx 'total 1800.0' "$report/parsed.txt" || fail "the total is not 3 x 10 minutes"
    local parsed expected
    parsed="$(sed -n 's/^image 595.0 //p' "$report/parsed.txt")"
    expected="$(state_images)"
    [ "$parsed" = "$expected" ] && [ "$(echo "$parsed" | wc -l)" = 3 ] ||
        fail "the images parsed are not the 3 written, 595 s each"
    local first
    first="$(echo "$expected" | head -n 1)"
    identify "$first" >/dev/null || fail "the first image is not an image"

    # Without a session bus gsettings stores nothing (and ends with 0): off
    # must say so and keep the rotation for the next off.
    env -u DBUS_SESSION_BUS_ADDRESS "$render" --rotate off 2>"$work/nobus.err" && fail "off without a bus claimed success"
    cat "$work/nobus.err"
    grep -q 'stays set up' "$work/nobus.err" || fail "off without a bus did not say the rotation stays"
    [ -f "$rotation/rotation.state" ] || fail "off without a bus forgot the rotation"
    dconf dump / | diff "$report/dconf-during.txt" - || fail "off without a bus changed the settings"

    rotate off || fail "--rotate off failed"
    dconf dump / >"$report/dconf-after.txt"
    diff "$report/dconf-before.txt" "$report/dconf-after.txt" || fail "the settings are not as they were"
    expect_nothing_left
    [ "$desktop" = GNOME ] && check_killed_set_ups "$desktop"
}

# quorrel-render killed right after each write to the settings (the k-th
# gsettings set): off puts back every setting and leaves no file.
check_killed_set_ups() {
    local desktop="$1" k real
    real="$(command -v gsettings)"
    mkdir -p "$work/killbin"
    cat >"$work/killbin/gsettings" <<SH
#!/bin/sh
"$real" "\$@"
status=\$?
if [ "\$1" = set ]; then
    n=\$((\$(cat "$work/sets" 2>/dev/null || echo 0) + 1))
    echo "\$n" >"$work/sets"
    [ "\$n" = "\$QUORREL_KILL_AT" ] && kill -9 "\$PPID"
fi
exit \$status
SH
    chmod 755 "$work/killbin/gsettings"
    for k in 1 2 3; do
        rm -f "$work/sets"
        PATH="$work/killbin:$PATH" QUORREL_KILL_AT=$k XDG_CURRENT_DESKTOP="$desktop" XDG_SESSION_TYPE=x11 \
            "$render" --rotate 10m --count 2 --seed 5 >/dev/null 2>&1 && fail "the set-up killed at write $k ended"
        XDG_CURRENT_DESKTOP="$desktop" XDG_SESSION_TYPE=x11 "$render" --rotate status | tee "$work/status.txt"
        grep -q 'interrupted' "$work/status.txt" || fail "status does not say the set-up killed at write $k was interrupted"
        rotate off || fail "--rotate off after a kill at write $k failed"
        dconf dump / | diff "$report/dconf-before.txt" - || fail "a kill at write $k changed the settings for good"
        expect_nothing_left
        echo "killed at gsettings write $k: undone by off"
    done
}

# xfdesktop's backdrop settings once it has stopped adding to them (two
# listings 1 s apart agree; at most 10 s): it fills in workspaces lazily.
settled_backdrops() {
    local out="$1" last=""
    for _ in $(seq 1 10); do
        xfconf-query -c xfce4-desktop -l -v | grep '^/backdrop/' | sort >"$out"
        [ -n "$last" ] && [ "$(cat "$out")" = "$last" ] && return 0
        last="$(cat "$out")"
        sleep 1
    done
    fail "xfdesktop's settings never came to rest"
}

check_xfce_cycle() {
    need xfdesktop xfwm4 xfconf-query import
    start_xfdesktop
    settled_backdrops "$report/xfconf-before.txt"
    # 3 s between images: xfdesktop changes them itself.
    XDG_CURRENT_DESKTOP=XFCE XDG_SESSION_TYPE=x11 rotate 3s --count 3 --seed 21 || fail "--rotate failed"
    xfconf-query -c xfce4-desktop -l -v | grep '^/backdrop/' | sort >"$report/xfconf-during.txt"
    grep -E '/backdrop-cycle-enable +true$' "$report/xfconf-during.txt" || fail "cycling is not enabled"
    grep -E '/backdrop-cycle-timer +3$' "$report/xfconf-during.txt" || fail "the timer is not 3"
    grep -E '/backdrop-cycle-period +0$' "$report/xfconf-during.txt" || fail "the period is not seconds"
    grep -E '/image-style +2$' "$report/xfconf-during.txt" || fail "the style is not tiled"
    expect_cycle tiled_reference
    rotate off || fail "--rotate off failed"
    settled_backdrops "$report/xfconf-after.txt"
    diff "$report/xfconf-before.txt" "$report/xfconf-after.txt" || fail "the backdrop settings are not as they were"
    expect_nothing_left
}

# The units: written by --rotate, accepted by systemd-analyze, and the
# service's command, run as the unit states it, sets a new wallpaper. No user
# manager runs in a container: `systemctl` is a stand-in that records the
# calls (daemon-reload, enable --now; on off disable --now, daemon-reload).
setup_timer() {
    need systemd-analyze
    mkdir -p "$work/bin"
    cat >"$work/bin/systemctl" <<'SH'
#!/bin/sh
echo "systemctl $*" >>"$QUORREL_SYSTEMCTL_LOG"
case "$*" in *enable*) [ -n "${QUORREL_KILL_ON_ENABLE:-}" ] && kill -9 "$PPID" ;; esac
exit 0
SH
    chmod 755 "$work/bin/systemctl"
    export QUORREL_SYSTEMCTL_LOG="$work/systemctl.log" PATH="$work/bin:$PATH"
}

verify_units() {
    cp "$units"/quorrel-rotation* "$report/"
    (cd "$units" && systemd-analyze verify ./quorrel-rotation*) ||
        fail "systemd-analyze refuses the units"
    echo "systemd-analyze verify: accepted"
    grep -qx 'systemctl --user daemon-reload' "$QUORREL_SYSTEMCTL_LOG" &&
        grep -qx 'systemctl --user enable --now quorrel-rotation.timer' "$QUORREL_SYSTEMCTL_LOG" ||
        fail "the timer was not enabled"
}

# Runs a unit's ExecStart (by default the service's) the way systemd splits it.
run_exec_start() {
    local line
    line="$(sed -n 's/^ExecStart=//p' "$units/${1:-quorrel-rotation.service}")"
    /usr/bin/python3 -c '
import os, shlex, sys
words = [w.replace("%%", "%").replace("$$", "$") for w in shlex.split(sys.argv[1])]
os.execv(words[0], words)' "$line"
}

# The screen shows the wallpaper file the tick wrote (by default the editor's), repeated.
expect_wallpaper_shown() {
    local shooter="$1" label="$2" file="${3:-$XDG_DATA_HOME/Quorrel/Quorrel Wallpaper.bmp}" count=""
    convert -size "${W}x${H}" "tile:$file" "$work/ref.png" || fail "there is no wallpaper file $file"
    count="$(screen_until "$shooter" "$report/$label.png" "$work/ref.png" 20)"
    echo "$label: screen vs the new wallpaper repeated: $count differing pixels"
    [ "$count" = 0 ] || fail "the service's command did not set the wallpaper"
}

check_x11_timer() {
    need feh import
    setup_timer
    start_xvfb
    # A program path systemd reads literally ($) or expands (%).
    local odd="$work/price\$5 100%"
    mkdir -p "$odd"
    cp "$render" "$odd/quorrel-render"
    render="$odd/quorrel-render"
    # Killed while systemd enables the timer: off undoes it.
    QUORREL_KILL_ON_ENABLE=1 XDG_SESSION_TYPE=x11 "$render" --rotate 15m && fail "the set-up killed at enable ended"
    XDG_SESSION_TYPE=x11 rotate off || fail "--rotate off after a kill at enable failed"
    expect_nothing_left
    : >"$QUORREL_SYSTEMCTL_LOG"
    XDG_SESSION_TYPE=x11 rotate 15m || fail "--rotate failed"
    verify_units
    grep -q "^Environment=\"XDG_DATA_HOME=$XDG_DATA_HOME\"$" "$units/quorrel-rotation.service" ||
        fail "the service does not carry the data folder"
    XDG_SESSION_TYPE=x11 run_exec_start || fail "the service's command failed"
    expect_wallpaper_shown x_shot tick-1
    # Two ticks in the same second differ: the seed takes the whole clock.
    XDG_SESSION_TYPE=x11 run_exec_start || fail "the service's command failed the second time"
    expect_wallpaper_shown x_shot tick-2
    [ "$(differing "$report/tick-1.png" "$report/tick-2.png")" -gt 1000 ] || fail "the second tick showed the same image"
    # Run in a session of another kind, the tick says so.
    XDG_CURRENT_DESKTOP=GNOME XDG_SESSION_TYPE=x11 GSETTINGS_BACKEND=memory run_exec_start 2>"$work/tick.err"
    cat "$work/tick.err"
    grep -q 'set up on a plain X11 session' "$work/tick.err" || fail "a tick in another session said nothing"
    rotate off || fail "--rotate off failed"
    grep -qx 'systemctl --user disable --now quorrel-rotation.timer' "$QUORREL_SYSTEMCTL_LOG" ||
        fail "the timer was not disabled"
    cp "$QUORREL_SYSTEMCTL_LOG" "$report/systemctl-calls.txt"
    expect_nothing_left
    # With the rotation gone, a late tick refuses and says why.
    XDG_SESSION_TYPE=x11 "$render" --generate --set-wallpaper --rotation-tick 2>"$work/late.err" &&
        fail "a tick without a rotation ran"
    cat "$work/late.err"
}

# sway sets the wallpaper itself (swaymsg); other wlroots compositors show it
# only while a swaybg runs, which a unit of its own keeps running.
check_sway_timer() {
    local variant="$1" desktop=sway
    need sway swaymsg grim swaybg
    setup_timer
    if [ "$(id -u)" -eq 0 ]; then
        chown -R 65534:65534 "$work/home" "$work/run" "$work/data"
        # nobody may not reach the build folder: a copy of the tool it can run.
        cp "$render" "$work/render"
        chmod 755 "$work/render" "$work"
        render="$work/render"
        touch "$QUORREL_SYSTEMCTL_LOG"
        chmod 666 "$QUORREL_SYSTEMCTL_LOG"
    fi
    echo "output * mode ${W}x${H}" >"$work/sway.conf"
    if [ "$variant" = wlroots ]; then
        desktop=wlroots
        echo "swaybg_command -" >>"$work/sway.conf"
    else
        echo "output * bg #204060 solid_color" >>"$work/sway.conf"
    fi
    start_sway "$work/sway.conf"
    as_user env PATH="$PATH" XDG_CURRENT_DESKTOP=$desktop "$render" --rotate 2h || fail "--rotate failed"
    verify_units
    local unit="as_user env PATH=$PATH XDG_CURRENT_DESKTOP=$desktop bash -c"
    $unit "$(declare -f run_exec_start); units='$units'; run_exec_start" || fail "the service's command failed"
    if [ "$variant" = wlroots ]; then
        grep -q '^ExecStartPost=.*systemctl --user restart quorrel-rotation-swaybg.service$' \
            "$units/quorrel-rotation.service" || fail "the service does not restart the swaybg unit"
        # What systemd would start: the swaybg unit, kept running.
        $unit "$(declare -f run_exec_start); units='$units'; run_exec_start quorrel-rotation-swaybg.service" &
        pids+=($!)
        expect_wallpaper_shown wayland_shot tick-1 "$rotation/current.png"
    else
        expect_wallpaper_shown wayland_shot tick-1
    fi
    as_user env PATH="$PATH" XDG_CURRENT_DESKTOP=$desktop "$render" --rotate off || fail "--rotate off failed"
    expect_nothing_left
}

# Another user's reach: a data folder shared with another user (nobody),
# who made the rotation's folders writable by all and planted links where
# the rotation writes; a link as the rotation's folder leading to a foreign
# state; a pipe as the state file; control characters in the data folder.
# Nothing may be written through, applied, or waited for.
check_hostile() {
    need setpriv gsettings dconf dbus-daemon
    [ "$(id -u)" -eq 0 ] || { echo "SKIPPED: needs root to act as two users"; exit 77; }
    export GSETTINGS_BACKEND=dconf
    start_bus
    gsettings set org.gnome.desktop.background picture-options "'centered'"
    dconf dump / >"$report/dconf-before.txt"
    local shared="$work/shared" secret="$work/root-only"
    mkdir -p "$shared" "$secret"
    chmod 1777 "$shared"
    chmod 700 "$secret"
    echo "root's own" >"$work/root-file"
    chmod 644 "$work/root-file"
    # nobody prepares the trap.
    as_user sh -c "umask 000; mkdir -p '$shared/quorrel/rotation/images' &&
        ln -s '$work/root-file' '$shared/quorrel/rotation/rotation.state' &&
        ln -s '$secret/planted.png' '$shared/quorrel/rotation/images/quorrel-x-001.png'" ||
        fail "the other user could not prepare the folder"
    ls -la "$shared/quorrel/rotation" "$shared/quorrel/rotation/images"
    local out rc
    for what in 10m off status; do
        out="$(XDG_DATA_HOME="$shared" XDG_CURRENT_DESKTOP=GNOME XDG_SESSION_TYPE=x11 timeout 20 "$render" --rotate "$what" 2>&1)"
        rc=$?
        echo "--rotate $what: $out"
        [ "$rc" -ne 124 ] || fail "--rotate $what hung"
        echo "$out" | grep -q 'belongs to another user' || fail "--rotate $what did not refuse the other user's folder"
    done
    [ "$(cat "$work/root-file")" = "root's own" ] || fail "a file was written through a planted link"
    [ -z "$(ls -A "$secret")" ] || fail "a file was made through a planted link in a root-only folder"
    dconf dump / | diff "$report/dconf-before.txt" - || fail "a refused rotation changed the settings"

    # The rotation's folder a link to a foreign state: refused, nothing applied.
    mkdir -p "$XDG_DATA_HOME/quorrel" "$work/foreign"
    printf 'version=1\nmethod=slide-show-xml\ndesktop=gnome\nsession=x11\ninterval=60\nprevious=picture-uri=%s\n' \
        "'file:///evil.png'" >"$work/foreign/rotation.state"
    ln -s "$work/foreign" "$XDG_DATA_HOME/quorrel/rotation"
    XDG_CURRENT_DESKTOP=GNOME XDG_SESSION_TYPE=x11 "$render" --rotate off 2>"$work/link.err" &&
        fail "off through a linked folder claimed success"
    cat "$work/link.err"
    grep -q 'symbolic link' "$work/link.err" || fail "off did not name the link"
    dconf dump / | diff "$report/dconf-before.txt" - || fail "a foreign state's setting was applied"
    rm "$XDG_DATA_HOME/quorrel/rotation"

    # A pipe as the state file: refused at once, and off clears it.
    mkdir -p "$XDG_DATA_HOME/quorrel/rotation"
    chmod 700 "$XDG_DATA_HOME/quorrel/rotation"
    mkfifo "$XDG_DATA_HOME/quorrel/rotation/rotation.state"
    for what in status off; do
        timeout 20 env XDG_CURRENT_DESKTOP=GNOME XDG_SESSION_TYPE=x11 "$render" --rotate "$what" >"$work/pipe.out" 2>&1
        [ $? -ne 124 ] || fail "--rotate $what hung on a pipe"
        cat "$work/pipe.out"
        grep -q 'not a regular file' "$work/pipe.out" || fail "--rotate $what did not refuse the pipe"
    done
    [ ! -e "$XDG_DATA_HOME/quorrel/rotation/rotation.state" ] || fail "off left the pipe"

    # Control characters in the data folder: refused with a reason, not an invalid slide show.
    XDG_DATA_HOME="$work/bad
name" XDG_CURRENT_DESKTOP=GNOME XDG_SESSION_TYPE=x11 "$render" --rotate 10m 2>"$work/control.err" &&
        fail "a data folder with a newline was taken"
    grep -q 'control character' "$work/control.err" || fail "the control character was not named"
    dconf dump / | diff "$report/dconf-before.txt" - || fail "a refused rotation changed the settings"
}

case "$name" in
    hostile) check_hostile ;;
    gnome) check_slide_show GNOME org.gnome.desktop.background picture-uri url ;;
    cinnamon) check_slide_show X-Cinnamon org.cinnamon.desktop.background picture-uri url ;;
    mate) check_slide_show MATE org.mate.background picture-filename path ;;
    xfce) check_xfce_cycle ;;
    x11-timer) check_x11_timer ;;
    sway-timer) check_sway_timer sway ;;
    wlroots-timer) check_sway_timer wlroots ;;
    *) fail "unknown desktop" ;;
esac
echo "PASSED: rotation-$name"
