#!/usr/bin/env bash
# Runs one desktop's real wallpaper component headless, sets a tile through
# quorrel-wallpaper-probe (the editor's own setters) and checks the real
# effect: a screenshot equal to the tile repeated from the top-left corner,
# or, for the settings-only desktops, the real settings store holding the
# values the desktop reads.
#   check-desktop.sh NAME PROBE RENDER REPORT-DIR
# NAME: gnome cinnamon mate xfce lxqt sway wlroots x11-feh x11-xwallpaper portal plasma
#       wayland-app-id (the editor's application id as sway sees it)
#       x11-feh-render (quorrel-render --fill --set-wallpaper instead of the probe)
# Exit 0 when the check passed, 1 when it failed, 77 (skipped) when a
# component is missing, unless QUORREL_REQUIRE_DESKTOPS=1 makes that a failure.
set -uo pipefail

name="$1"
probe="$2"
render="$3"
report="$4/$name"
readonly W=1024 H=768

rm -rf "$report"
mkdir -p "$report"
exec > >(tee "$report/check.txt") 2>&1

# shellcheck source=desktop-common.sh
source "$(dirname "$0")/desktop-common.sh"
# shellcheck source=rotation-common.sh
source "$(dirname "$0")/rotation-common.sh"

# The tile: a real rendered one (125 x 125), and the screen it should make.
tile="$work/tile.png"
need convert compare
"$render" --generate --seed 7 -o "$tile" --quiet || fail "quorrel-render could not make the tile"
cp "$tile" "$report/tile.png"

# Waits (up to 20 s) until `shooter FILE` gives the tile repeated over the
# screen, keeping the last screenshot and its count in the report.
expect_tiled_screen() {
    local shooter="$1" ref="$report/reference.png" shot="$report/screenshot.png" count=""
    convert -size "${W}x${H}" "tile:$tile" "$ref"
    count="$(screen_until "$shooter" "$shot" "$ref")"
    echo "screenshot vs tile repeated (${W}x${H}): $count differing pixels"
    [ "$count" = 0 ] || fail "the screen does not show the tile repeated"
}

# The screen before the wallpaper is set must not already pass the check.
expect_untiled_screen() {
    local shooter="$1" ref="$work/before-reference.png" shot="$report/before.png"
    convert -size "${W}x${H}" "tile:$tile" "$ref"
    $shooter "$shot" || fail "no screenshot"
    local count
    count="$(differing "$shot" "$ref")"
    echo "before: $count differing pixels"
    [ "$count" -gt 1000 ] || fail "the screen already showed the tile before it was set"
}

run_probe() {
    echo "probe: XDG_CURRENT_DESKTOP=${XDG_CURRENT_DESKTOP:-} XDG_SESSION_TYPE=${XDG_SESSION_TYPE:-}"
    "$probe" --tile "$tile" --folder "$work/data" "$@" || fail "the probe reports that the wallpaper was not set"
}

bmp="$work/data/Quorrel Wallpaper.bmp"
bmp_url="file://$work/data/Quorrel%20Wallpaper.bmp"

expect_setting() {
    local schema="$1" key="$2" expected="$3" value
    value="$(gsettings get "$schema" "$key")"
    echo "$schema $key = $value"
    [ "$value" = "$expected" ] || fail "$schema $key is $value, not $expected"
}

# The file the desktop reads is the tile, pixel for pixel.
expect_tile_file() {
    local count
    count="$(differing "$1" "$tile")"
    echo "$(basename "$1") vs tile: $count differing pixels"
    [ "$count" = 0 ] || fail "$1 is not the tile"
}

check_gsettings() {
    local desktop="$1" schema="$2" key="$3" value="$4"
    need gsettings dbus-daemon
    export GSETTINGS_BACKEND=dconf
    # The schemas refuse unknown keys and values: a missing schema fails here.
    gsettings list-keys "$schema" >/dev/null || fail "schema $schema is not installed"
    start_bus
    local before
    before="$(gsettings get "$schema" picture-options)"
    echo "before: picture-options = $before"
    [ "$before" != "'wallpaper'" ] || fail "the tiled mode was set before"
    XDG_CURRENT_DESKTOP="$desktop" run_probe
    expect_setting "$schema" picture-options "'wallpaper'"
    expect_setting "$schema" "$key" "$value"
    if [ "$desktop" = GNOME ]; then
        expect_setting "$schema" picture-uri-dark "$value"
    fi
    dconf dump / >"$report/dconf-dump.txt" 2>/dev/null
    expect_tile_file "$bmp"
}

check_xfce() {
    start_xfdesktop
    expect_untiled_screen x_shot
    XDG_CURRENT_DESKTOP=XFCE XDG_SESSION_TYPE=x11 run_probe
    expect_tiled_screen x_shot
    xfconf-query -c xfce4-desktop -l -v | grep '^/backdrop/' >"$report/xfconf-backdrops.txt"
}

check_lxqt() {
    need pcmanfm-qt import
    start_xvfb
    start_bus
    pcmanfm-qt --desktop >"$work/pcmanfm-qt.log" 2>&1 &
    pids+=($!)
    wait_window pcmanfm-qt
    wait_steady_screen
    expect_untiled_screen x_shot
    XDG_CURRENT_DESKTOP=LXQt XDG_SESSION_TYPE=x11 run_probe
    expect_tiled_screen x_shot
    local settings
    settings="$(ls "$XDG_CONFIG_HOME"/pcmanfm-qt/*/settings.conf)"
    cp "$settings" "$report/settings.conf"
    grep -x "Wallpaper=$bmp" "$settings" || fail "pcmanfm-qt did not store the file"
    grep -x 'WallpaperMode=tile' "$settings" || fail "the tiled mode is not stored in $settings"
}

check_x11() {
    local tool="$1"
    need "$tool" import
    start_xvfb
    expect_untiled_screen x_shot
    if [ "$tool" = xwallpaper ]; then
        # Only xwallpaper on PATH: feh, when installed, comes first.
        mkdir -p "$work/bin"
        ln -s "$(command -v xwallpaper)" "$work/bin/xwallpaper"
        PATH="$work/bin" XDG_SESSION_TYPE=x11 run_probe
    else
        XDG_SESSION_TYPE=x11 run_probe
    fi
    expect_tiled_screen x_shot
}

check_sway() {
    local variant="$1"
    need sway grim swaymsg swaybg
    world_writable_shm || fail "/dev/shm is not world-writable"
    if [ "$(id -u)" -eq 0 ]; then
        chown -R 65534:65534 "$work/home" "$work/run" "$work/data"
        chmod 644 "$tile"
        # nobody may not reach the build folder: a copy of the probe it can run.
        cp "$probe" "$work/probe"
        chmod 755 "$work/probe"
        probe="$work/probe"
    fi
    local config="$work/sway.conf"
    {
        echo "output * mode ${W}x${H}"
        if [ "$variant" = wlroots ]; then
            # Our own swaybg must not be hidden behind one sway starts.
            echo "swaybg_command -"
        else
            echo "output * bg #204060 solid_color"
        fi
    } >"$config"
    start_sway "$config"
    expect_untiled_screen wayland_shot
    if [ "$variant" = wlroots ]; then
        # Two updates: one swaybg of ours afterwards, and none once the
        # probe (the editor) has ended.
        local then="
            shot=\"$work/data/shot.png\"
            for i in \$(seq 1 40); do grim \"\$shot\" && compare -metric AE \"\$shot\" \"$work/ref.png\" null: 2>/dev/null && break; sleep 0.5; done
            pgrep -P \$PPID -x swaybg >\"$work/data/swaybg.pids\"
            echo \"swaybg children of the probe: \$(wc -l <\"$work/data/swaybg.pids\")\"
            [ \$(wc -l <\"$work/data/swaybg.pids\") -eq 1 ]"
        convert -size "${W}x${H}" "tile:$tile" "$work/ref.png"
        chmod 644 "$work/ref.png"
        XDG_CURRENT_DESKTOP=wlroots as_user env PATH="$PATH" "$probe" --tile "$tile" --folder "$work/data" --times 2 \
            --then "$then" || fail "the probe reports a failure (or not exactly one swaybg)"
        cp "$work/data/shot.png" "$report/screenshot.png"
        local count
        count="$(differing "$report/screenshot.png" "$work/ref.png")"
        echo "screenshot vs tile repeated (${W}x${H}): $count differing pixels"
        [ "$count" = 0 ] || fail "the screen does not show the tile repeated"
        local pid left=0 swaybgs
        mapfile -t swaybgs <"$work/data/swaybg.pids"
        wait_ended 50 "${swaybgs[@]}"
        for pid in "${swaybgs[@]}"; do
            kill -0 "$pid" 2>/dev/null && left=$((left + 1))
        done
        echo "swaybg left after the probe ended: $left"
        [ "$left" -eq 0 ] || fail "our swaybg outlived the probe"
    else
        XDG_CURRENT_DESKTOP=sway as_user env PATH="$PATH" "$probe" --tile "$tile" --folder "$work/data" \
            || fail "the probe reports that the wallpaper was not set"
        expect_tiled_screen wayland_shot
    fi
}

# quorrel-render sets a screen-sized wallpaper itself: the filled image in
# the editor's file, shown by feh at its own size.
check_render_wallpaper() {
    need feh import identify
    start_xvfb
    expect_untiled_screen x_shot
    local file="$XDG_DATA_HOME/Quorrel/Quorrel Wallpaper.bmp" size
    XDG_SESSION_TYPE=x11 "$render" --generate --seed 7 --fill "${W}x${H}" --set-wallpaper --quiet \
        || fail "quorrel-render reports that the wallpaper was not set"
    size="$(identify -format '%wx%h' "$file")"
    echo "$(basename "$file"): $size"
    [ "$size" = "${W}x${H}" ] || fail "the wallpaper file is not the filled image"
    expect_tiled_screen x_shot
}

check_portal() {
    need /usr/libexec/xdg-desktop-portal /usr/libexec/xdg-desktop-portal-gnome gsettings gdbus
    export GSETTINGS_BACKEND=dconf
    start_xvfb   # the GNOME backend is a GTK program
    # The portal picks its GNOME backend from the session's desktop name; the
    # probe itself sees a desktop we have no setter for.
    XDG_CURRENT_DESKTOP=GNOME start_bus
    gdbus call --session --dest org.freedesktop.impl.portal.PermissionStore \
        --object-path /org/freedesktop/impl/portal/PermissionStore \
        --method org.freedesktop.impl.portal.PermissionStore.SetPermission \
        wallpaper true wallpaper "" "['yes']" >/dev/null || fail "no permission store"
    local sw=640 sh=480
    echo "before: org.gnome.desktop.background picture-uri = $(gsettings get org.gnome.desktop.background picture-uri)"
    XDG_CURRENT_DESKTOP=COSMIC XDG_SESSION_TYPE=wayland WAYLAND_DISPLAY=wayland-77 \
        run_probe --screen "${sw}x${sh}"
    local uri="" path count
    # The backend answers before its setting reaches the store.
    for _ in $(seq 1 40); do
        uri="$(gsettings get org.gnome.desktop.background picture-uri)"
        [[ "$uri" == *"$XDG_CONFIG_HOME/background"* ]] && break
        sleep 0.25
    done
    echo "org.gnome.desktop.background picture-uri = $uri"
    path="${uri#\'}"
    path="${path%\'}"
    path="${path#file://}"
    [ -f "$path" ] || fail "the portal stored no picture"
    cp "$path" "$report/portal-picture.png"
    convert -size "${sw}x${sh}" "tile:$tile" "$report/reference.png"
    count="$(differing "$path" "$report/reference.png")"
    echo "portal's picture vs tile repeated (${sw}x${sh}): $count differing pixels"
    [ "$count" = 0 ] || fail "the portal was not handed the tile repeated to the screen's size"
}

# The real Plasma shell: the setter's script through qdbus, the screen tiled
# from its centre as Plasma lays it; then the rotation's slide show.
check_plasma() {
    start_plasmashell
    local ref="$report/reference.png" shot="$report/screenshot.png" count=""
    centred_reference "$tile" "$ref"
    x_shot "$report/before.png"
    count="$(differing "$report/before.png" "$ref")"
    echo "before: $count differing pixels"
    [ "$count" -gt 1000 ] || fail "the screen already showed the tile before it was set"
    XDG_SESSION_TYPE=x11 run_probe
    # The change shows a second or two after the call.
    count="$(screen_until x_shot "$shot" "$ref")"
    echo "screenshot vs tile repeated from the centre (${W}x${H}): $count differing pixels"
    [ "$count" = 0 ] || fail "the screen does not show the tile repeated"

    # In the same shell, the rotation: Plasma's slide show changes the screen
    # to the next image after 3 s, and off puts the setter's wallpaper back.
    rotate 3s --count 3 --seed 31 || fail "--rotate failed"
    expect_cycle centred_reference
    # Plasma out of reach: off fails, says so, and keeps the rotation.
    DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent "$render" --rotate off 2>"$work/unreached.err" &&
        fail "off without Plasma claimed success"
    cat "$work/unreached.err"
    [ -f "$rotation/rotation.state" ] && [ -n "$(state_images)" ] || fail "a failed off forgot the rotation"
    rotate off || fail "--rotate off failed"
    # No slide-show setting keeps naming the removed folder.
    local paths
    paths="$(qdbus org.kde.plasmashell /PlasmaShell org.kde.PlasmaShell.evaluateScript \
        'var a = desktops(); for (var i = 0; i < a.length; i++) { a[i].currentConfigGroup = ["Wallpaper", "org.kde.slideshow", "General"]; print(JSON.stringify(a[i].readConfig("SlidePaths")) + "\n"); }')"
    echo "slide-show folders after off: $paths"
    echo "$paths" | grep -q 'quorrel/rotation' && fail "Plasma's slide show still names the removed folder"
    count="$(screen_until x_shot "$shot" "$ref" 20)"
    echo "after --rotate off vs the wallpaper before: $count differing pixels"
    [ "$count" = 0 ] || fail "the wallpaper before the rotation is not back"
    expect_nothing_left
}

# The editor's window under Wayland carries the application id, by which the
# shell finds its desktop entry (name and icon): sway's tree must show it.
# QUORREL_EDITOR names the editor; QUORREL_APP_ID the id it must give.
check_wayland_app_id() {
    need sway swaymsg
    [ -x "${QUORREL_EDITOR:-}" ] || fail "QUORREL_EDITOR names no editor"
    [ -n "${QUORREL_APP_ID:-}" ] || fail "QUORREL_APP_ID is not set"
    world_writable_shm || fail "/dev/shm is not world-writable"
    local editor="$QUORREL_EDITOR"
    if [ "$(id -u)" -eq 0 ]; then
        chown -R 65534:65534 "$work/home" "$work/run" "$work/data"
        # nobody may not reach the build folder: a copy of the editor it can run.
        cp "$editor" "$work/quorrel"
        chmod 755 "$work/quorrel"
        editor="$work/quorrel"
    fi
    echo "output * mode ${W}x${H}" >"$work/sway.conf"
    start_sway "$work/sway.conf"
    (QT_QPA_PLATFORM=wayland as_user_exec "$editor" >"$work/editor.log" 2>&1) &
    pids+=($!)
    local ids=""
    for _ in $(seq 1 80); do
        ids="$(as_user swaymsg -t get_tree 2>/dev/null | sed -n 's/.*"app_id": "\([^"]*\)".*/\1/p' | sort -u)"
        [ -n "$ids" ] && break
        sleep 0.25
    done
    as_user swaymsg -t get_tree >"$report/tree.json" 2>&1
    echo "app_id of the windows: ${ids:-none}"
    [ -n "$ids" ] || { cat "$work/editor.log"; fail "no Wayland window of the editor appeared"; }
    [ "$ids" = "$QUORREL_APP_ID" ] || fail "the editor's windows carry the app id '$ids', not '$QUORREL_APP_ID'"
    wayland_shot "$report/screenshot.png" || true
}

case "$name" in
    plasma) check_plasma ;;
    gnome) check_gsettings GNOME org.gnome.desktop.background picture-uri "'$bmp_url'" ;;
    cinnamon) check_gsettings X-Cinnamon org.cinnamon.desktop.background picture-uri "'$bmp_url'" ;;
    mate) check_gsettings MATE org.mate.background picture-filename "'$bmp'" ;;
    xfce) check_xfce ;;
    lxqt) check_lxqt ;;
    sway) check_sway sway ;;
    wlroots) check_sway wlroots ;;
    wayland-app-id) check_wayland_app_id ;;
    x11-feh) check_x11 feh ;;
    x11-xwallpaper) check_x11 xwallpaper ;;
    x11-feh-render) check_render_wallpaper ;;
    portal) check_portal ;;
    *) fail "unknown desktop" ;;
esac
echo "PASSED: $name"
