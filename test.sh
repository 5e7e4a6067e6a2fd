#!/usr/bin/env bash
# Installs what is missing, builds in build/ (Release) and runs every test
# through ctest. Exits non-zero on any failure.
#   ./test.sh             the normal run (what CI does): build, short fuzzing, ctest
#   ./test.sh --sanitize  the same tests built with AddressSanitizer and
#                         UndefinedBehaviorSanitizer (clang) in build-sanitize/
#   ./test.sh --fuzz N    only the fuzzing, N seconds for each file reader
#   ./test.sh --desktops  only the wallpaper setters against the real desktop
#                         components (also part of the normal run); screenshots
#                         and checks in build/tests/desktops/reports/
#   ./test.sh --package   only the Debian package: built in build-package/ and
#                         checked in a clean Debian 12 (scripts/check-package.sh;
#                         not part of the normal run: a few minutes, and the
#                         first run downloads a minimal Debian of about 200 MB)
# Any other option is refused.
set -euo pipefail

usage() {
    sed -n '4,15p' "$0" | sed 's/^# \{0,1\}//' >&2
    exit "${1:-2}"
}
case "${1:-}" in
    -h | --help) usage 0 ;;
    "" | --sanitize | --desktops | --package)
        [ $# -le 1 ] || { echo "test.sh: $1 takes no value (got: ${*:2})" >&2; usage; } ;;
    --fuzz)
        [ $# -le 2 ] && [[ "${2:-300}" =~ ^[1-9][0-9]*$ ]] ||
            { echo "test.sh: --fuzz takes a number of seconds (got: ${*:2})" >&2; usage; } ;;
    *)
        echo "test.sh: unknown option: $1" >&2
        usage ;;
esac

# shellcheck source=scripts/setup.sh
source "$(dirname "$0")/scripts/setup.sh"

if [ "${1:-}" = "--package" ]; then
    exec "$QUORREL_ROOT/scripts/check-package.sh"
fi

quorrel_install_packages "${QUORREL_PACKAGES[@]}" "${QUORREL_DESKTOP_PACKAGES[@]}"
quorrel_generate_locales
# The desktop checks fail, not skip, when a component is missing.
export QUORREL_REQUIRE_DESKTOPS=1

# GUI tests never touch the real display, settings or desktop.
export QT_QPA_PLATFORM=offscreen
jobs="$(nproc 2>/dev/null || echo 2)"

if [ "${1:-}" = "--fuzz" ]; then
    quorrel_fuzz "${2:-300}"
    exit
fi

if [ "${1:-}" = "--desktops" ]; then
    # The normal build (up to date after a normal run: nothing to redo).
    quorrel_build
    cd "$QUORREL_BUILD"
    ctest -L desktops --output-on-failure -j "$jobs" --timeout 300
    echo "Screenshots and checks: $QUORREL_BUILD/tests/desktops/reports/"
    exit
fi

if [ "${1:-}" = "--sanitize" ]; then
    QUORREL_BUILD="$QUORREL_ROOT/build-sanitize"
    CC=clang CXX=clang++ quorrel_build -DQUORREL_SANITIZE=ON -DQUORREL_BUILD_BENCH=OFF
    export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
    cd "$QUORREL_BUILD"
    ctest --output-on-failure -j "$jobs" --timeout 900
    exit
fi

quorrel_build
# A short fuzzing run of the file readers on every change.
quorrel_fuzz 20
quorrel_shellcheck

cd "$QUORREL_BUILD"
ctest --output-on-failure -j "$jobs" --timeout 600
