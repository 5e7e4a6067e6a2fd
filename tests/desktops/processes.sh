# Ends processes by id (sourced, not run): asks each to end (TERM), waits up
# to 3 s for all of them to be gone, and only then kills what is left.
end_processes() {
    local pid
    for pid in "$@"; do
        kill "$pid" 2>/dev/null
    done
    wait_ended 30 "$@" && return 0
    for pid in "$@"; do
        kill -9 "$pid" 2>/dev/null
    done
    return 0
}

# Waits up to $1 tenths of a second until none of the other arguments'
# processes runs; fails when one still does.
wait_ended() {
    local tenths="$1" pid alive
    shift
    for _ in $(seq 1 "$tenths"); do
        alive=""
        for pid in "$@"; do
            kill -0 "$pid" 2>/dev/null && alive=1
        done
        [ -z "$alive" ] && return 0
        sleep 0.1
    done
    return 1
}
