# Shared by the desktop checks (sourced, not run): the private session, the
# process list ended on exit, Xvfb, a session bus, screenshots, and running
# as an ordinary user where a component refuses root. The sourcing script
# sets `name` and `report` first.

# shellcheck source=processes.sh
source "$(dirname "${BASH_SOURCE[0]}")/processes.sh"

# Everything this check starts, ended by process id when it ends (the last
# started first).
pids=()
work="$(mktemp -d /tmp/quorrel-desktop-XXXXXX)"
cleanup() {
    local reversed=() i
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        reversed+=("${pids[$i]}")
    done
    end_processes "${reversed[@]}"
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAILED: $name: $*"
    exit 1
}

need() {
    local tool
    for tool in "$@"; do
        if ! command -v "$tool" >/dev/null 2>&1; then
            if [ "${QUORREL_REQUIRE_DESKTOPS:-0}" = 1 ]; then
                fail "$tool is not installed (./test.sh --desktops installs it)"
            fi
            echo "SKIPPED: $name: $tool is not installed"
            exit 77
        fi
    done
}

# The private session: home, configuration and runtime folders of its own.
chmod 755 "$work"
mkdir -p "$work/home/.config" "$work/run" "$work/data"
chmod 700 "$work/run"
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share" \
    XDG_CACHE_HOME="$work/home/.cache" XDG_RUNTIME_DIR="$work/run"
unset DISPLAY WAYLAND_DISPLAY SWAYSOCK XDG_CURRENT_DESKTOP XDG_SESSION_TYPE DESKTOP_SESSION \
    DBUS_SESSION_BUS_ADDRESS GSETTINGS_BACKEND QT_QPA_PLATFORM

# Differing pixels between two images ("compare -metric AE").
# A missing or unreadable image gives "error", never a count.
differing() {
    compare -metric AE "$1" "$2" null: 2>&1 |
        awk 'NR == 1 { if ($1 ~ /^[0-9.]+(e[+-]?[0-9]+)?$/) printf "%d\n", $1; else print "error" }'
}

# Starts Xvfb on a free display with the screen size; sets DISPLAY.
start_xvfb() {
    need Xvfb
    local fifo="$work/displayfd"
    mkfifo "$fifo"
    # -noreset: without it the server resets (black screen) when the last
    # client, like feh, disconnects.
    Xvfb -displayfd 3 -screen 0 "${W}x${H}x24" -noreset -nolisten tcp 3>"$fifo" >"$work/xvfb.log" 2>&1 &
    pids+=($!)
    local number
    read -r -t 10 number <"$fifo" || fail "Xvfb did not start"
    export DISPLAY=":$number"
    echo "Xvfb on $DISPLAY"
}

# A private session bus for the rest of the check.
start_bus() {
    need dbus-daemon
    local line
    line="$(dbus-daemon --session --fork --print-address=1 --print-pid=1)" || fail "no session bus"
    DBUS_SESSION_BUS_ADDRESS="$(echo "$line" | head -n 1)"
    export DBUS_SESSION_BUS_ADDRESS
    pids+=("$(echo "$line" | sed -n 2p)")
}

# Takes `shooter SHOT` until it equals REF (at most TRIES half-seconds, 40
# by default); prints the differing pixels of the last one.
screen_until() {
    local shooter="$1" shot="$2" ref="$3" tries="${4:-40}" count=""
    for _ in $(seq 1 "$tries"); do
        if $shooter "$shot" && [ -s "$shot" ]; then
            count="$(differing "$shot" "$ref")"
            [ "$count" = 0 ] && break
        fi
        sleep 0.5
    done
    echo "${count:-no screenshot}"
}

# A screenshot of the X screen.
x_shot() {
    import -window root "$1" 2>/dev/null
}

# sway's clients share buffers through /dev/shm: every user must write there
# (sticky, or mode 1777).
world_writable_shm() {
    [ -w /dev/shm ] && { [ -k /dev/shm ] || [ "$(stat -c %a /dev/shm)" = 1777 ]; }
}

# sway refuses to run as root: the compositor and its clients run as nobody.
# The command replaces the calling shell, so a background one keeps the
# process id that $! gives.
as_user() {
    if [ "$(id -u)" -eq 0 ]; then
        setpriv --reuid=65534 --regid=65534 --clear-groups -- "$@"
    else
        "$@"
    fi
}
as_user_exec() {
    if [ "$(id -u)" -eq 0 ]; then
        exec setpriv --reuid=65534 --regid=65534 --clear-groups -- "$@"
    else
        exec "$@"
    fi
}

wayland_shot() {
    as_user grim "$work/data/shot.png" 2>/dev/null && cp "$work/data/shot.png" "$1"
}


# XFCE's desktop on Xvfb with its window manager and a private bus; returns
# once xfdesktop has made its backdrop properties.
start_xfdesktop() {
    need xfdesktop xfwm4 xfconf-query import
    start_xvfb
    start_bus
    xfconf-query -c xfce4-desktop -p /desktop-icons/style -n -t int -s 0 || fail "xfconfd does not answer"
    # Without a window manager xfdesktop never maps its desktop window.
    xfwm4 --compositor=off --sm-client-disable >"$work/xfwm4.log" 2>&1 &
    pids+=($!)
    xfdesktop --disable-wm-check >"$work/xfdesktop.log" 2>&1 &
    pids+=($!)
    # xfdesktop makes the backdrop properties of the screen it finds.
    for _ in $(seq 1 40); do
        xfconf-query -c xfce4-desktop -l 2>/dev/null | grep -q '^/backdrop/.*/last-image$' && break
        sleep 0.25
    done
    xfconf-query -c xfce4-desktop -l | grep '^/backdrop/' || fail "xfdesktop made no backdrop"
    wait_window xfdesktop
    wait_steady_screen
}

# sway headless as the ordinary user with `config`; exports its socket and
# display.
start_sway() {
    local config="$1"
    (WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 as_user_exec sway -c "$config" \
        >"$work/sway.log" 2>&1) &
    pids+=($!)
    local socket="" display=""
    for _ in $(seq 1 40); do
        socket="$(ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock 2>/dev/null | head -n 1)"
        display="$(cd "$XDG_RUNTIME_DIR" && ls wayland-? 2>/dev/null | head -n 1)"
        [ -n "$socket" ] && [ -n "$display" ] && break
        sleep 0.25
    done
    [ -n "$socket" ] && [ -n "$display" ] || { cat "$work/sway.log"; fail "sway did not start"; }
    export SWAYSOCK="$socket" WAYLAND_DISPLAY="$display" XDG_SESSION_TYPE=wayland
    # The sockets exist before sway has laid out its output.
    for _ in $(seq 1 40); do
        as_user swaymsg -t get_outputs 2>/dev/null | grep -q '"active": true' && return 0
        sleep 0.25
    done
    cat "$work/sway.log"
    fail "sway shows no active output"
}

# Plasma's shell on Xvfb with a private bus (no window manager needed);
# returns once it answers on D-Bus and draws a steady screen, its panel
# removed so the desktop fills the screen.
start_plasmashell() {
    need plasmashell qdbus import
    start_xvfb
    start_bus
    export XDG_CURRENT_DESKTOP=KDE KDE_SESSION_VERSION=5 QT_QUICK_BACKEND=software LIBGL_ALWAYS_SOFTWARE=1
    plasmashell --no-respawn >"$work/plasmashell.log" 2>&1 &
    pids+=($!)
    local ready=""
    for _ in $(seq 1 60); do
        qdbus org.kde.plasmashell /PlasmaShell >/dev/null 2>&1 && { ready=1; break; }
        sleep 0.5
    done
    [ -n "$ready" ] || { tail -20 "$work/plasmashell.log"; fail "plasmashell did not answer on D-Bus"; }
    qdbus org.kde.plasmashell /PlasmaShell org.kde.PlasmaShell.evaluateScript \
        'var p = panels(); for (var i = 0; i < p.length; i++) p[i].remove();' >/dev/null ||
        fail "plasmashell did not run a script"
    wait_steady_screen
}

# Until an X window of class $1 shows (at most 20 s).
wait_window() {
    need xdotool
    for _ in $(seq 1 80); do
        [ -n "$(xdotool search --onlyvisible --class "$1" 2>/dev/null)" ] && return 0
        sleep 0.25
    done
    fail "no window of $1 showed"
}

# Until two screenshots 1 s apart agree (at most 20 s).
wait_steady_screen() {
    local last="$work/steady-last.png" now="$work/steady-now.png"
    x_shot "$last"
    for _ in $(seq 1 20); do
        sleep 1
        x_shot "$now"
        [ "$(differing "$last" "$now")" = 0 ] && return 0
        mv "$now" "$last"
    done
    fail "the screen never came to rest"
}

# Plasma lays a tiled wallpaper from the screen's centre: the tile repeated
# with a tile's top-left at ((W - w) / 2 mod w, (H - h) / 2 mod h).
centred_reference() {
    local tile="$1" out="$2" w h ox oy
    w="$(identify -format '%w' "$tile")"
    h="$(identify -format '%h' "$tile")"
    ox=$(((W - w) / 2 % w))
    oy=$(((H - h) / 2 % h))
    convert -size "$((W + w))x$((H + h))" "tile:$tile" -crop "${W}x${H}+$(((w - ox) % w))+$(((h - oy) % h))" +repage "$out"
}
