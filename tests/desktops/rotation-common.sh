# The rotation's parts of the desktop checks (sourced after
# desktop-common.sh): running quorrel-render --rotate, the images it made,
# watching the screen change from one to another, and that nothing is left.
# The sourcing script sets `render`, `W` and `H`.

rotation="$XDG_DATA_HOME/quorrel/rotation"
units="$XDG_CONFIG_HOME/systemd/user"

rotate() {
    echo "quorrel-render --rotate $*"
    "$render" --rotate "$@"
}

# Nothing of the rotation may be left: no folder, no unit.
expect_nothing_left() {
    local left
    left="$(find "$XDG_DATA_HOME/quorrel" "$units" 2>/dev/null)"
    echo "left after --rotate off: ${left:-nothing}"
    [ -z "$left" ] || fail "--rotate off left files behind"
}

# The images the state file names, in order.
state_images() {
    sed -n 's/^file=\(.*\/images\/.*\)$/\1/p' "$rotation/rotation.state"
}

tiled_reference() {
    convert -size "${W}x${H}" "tile:$1" "$2"
}

# Watches the screen (at most 20 s) until it has shown one image of the
# rotation and then another: `reference IMAGE OUT` makes what each looks
# like on the screen. Keeps cycle-before.png and cycle-after.png.
expect_cycle() {
    local reference="$1" images=() i n shot now first="" second=""
    mapfile -t images < <(state_images)
    for i in "${!images[@]}"; do
        "$reference" "${images[$i]}" "$work/ref-$i.png"
    done
    for n in $(seq 1 40); do
        shot="$work/cycle.png"
        x_shot "$shot"
        now=none
        for i in "${!images[@]}"; do
            [ "$(differing "$shot" "$work/ref-$i.png")" = 0 ] && { now="$i"; break; }
        done
        if [ "$now" != none ]; then
            if [ -z "$first" ]; then
                first="$now"
                cp "$shot" "$report/cycle-before.png"
                echo "the screen shows image $((first + 1)) tiled"
            elif [ "$now" != "$first" ]; then
                second="$now"
                cp "$shot" "$report/cycle-after.png"
                echo "after the period it shows image $((second + 1)) tiled"
                break
            fi
        fi
        sleep 0.5
    done
    [ -n "$first" ] || fail "the screen never showed one of the images tiled"
    [ -n "$second" ] || fail "the desktop did not change to another image of the folder"
}
