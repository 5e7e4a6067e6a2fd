#!/usr/bin/env bash
# The editor as a screen reader reads it: Qt's AT-SPI bridge on a private
# session bus with its own accessibility bus (at-spi2-core), the editor on a
# real X server, and accessibility_walk.py reading and operating it through
# pyatspi. It fails on an unnamed interactive control, a combo box that
# speaks an item instead of its name, or range markers that cannot be read
# and set.
#   check-accessibility.sh EDITOR REPORT-DIR
# Exit 0 when every check passed, 1 when one failed, 77 (skipped) when a
# component is missing, unless QUORREL_REQUIRE_DESKTOPS=1 makes that a
# failure.
set -uo pipefail

editor="$1"
name=accessibility
report="$2/$name"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
rm -rf "$report"
mkdir -p "$report"
exec > >(tee "$report/check.txt") 2>&1

source "$here/desktop-common.sh"

need /usr/bin/python3 /usr/libexec/at-spi-bus-launcher
if ! /usr/bin/python3 -c 'import pyatspi' 2>/dev/null; then
    [ "${QUORREL_REQUIRE_DESKTOPS:-0}" = 1 ] && fail "python3-pyatspi is not installed"
    echo "SKIPPED: $name: python3-pyatspi is not installed"
    exit 77
fi

W=1280 H=1024
start_xvfb
start_bus

# The bridge serves every application once asked to, without a screen
# reader running; the accessibility bus starts on the first request.
QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 \
    "$editor" >"$report/editor.log" 2>&1 &
pids+=($!)
editor_pid=$!

timeout 180 /usr/bin/python3 "$here/accessibility_walk.py"
status=$?
# The accessibility bus was started by the session bus on request: ended
# with the rest, not left to notice that the session bus went.
a11y_pid="$(dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.GetConnectionUnixProcessID string:org.a11y.Bus 2>/dev/null | awk '/uint32/ { print $2 }')"
[ -n "$a11y_pid" ] && pids+=("$a11y_pid")
x_shot "$report/last-screen.png"
kill -0 "$editor_pid" 2>/dev/null || fail "the editor ended during the walk (see editor.log)"
[ "$status" = 0 ] || fail "the accessibility walk found faults (exit $status)"
echo "PASSED: $name"
