#!/usr/bin/env bash
# Prints through a private CUPS server with a cups-pdf queue and checks what
# came out and what the user was told:
#   - at zoom 1 and 3 the printed page holds the tile once, without JPEG, at
#     printer/screen resolution (96 and 32 pixels an inch for a 125-pixel
#     tile on a 1200 dpi page from a 96 dpi screen), pixel for pixel;
#   - a queue that rejects jobs, and a server stopped while the Print dialog
#     is open, give "Could not start print job." naming the printer and
#     why, and no file;
#   - a queue chosen in Print Setup and then deleted is named, with the one
#     used instead;
#   - with no server at all, Print says there is no printer and writes no
#     file into the home folder;
#   - with a server that takes connections and never answers, Print
#     Preview, Print Setup and Print each name it within 20 s, show no
#     dialog, and the window's thread keeps running meanwhile.
# The server runs as root in a mount namespace of its own, where a private
# folder stands in for /etc/cups (cups-pdf reads its settings from there),
# listening on a socket in a temporary folder only: the machine's own
# printing is never touched.
#   check-print.sh PROBE REPORT-DIR
# Exit 0 when every check passed, 1 when one failed, 77 (skipped) when a
# component is missing or the check does not run as root, unless
# QUORREL_REQUIRE_DESKTOPS=1 makes that a failure.
set -uo pipefail

probe="$1"
report="$2/print"

rm -rf "$report"
mkdir -p "$report"
exec > >(tee "$report/check.txt") 2>&1

pids=()
work="$(mktemp -d /tmp/quorrel-print-XXXXXX)"
cupsd_pid=""
# shellcheck source=processes.sh
source "$(dirname "$0")/processes.sh"
cleanup() {
    end_processes "${pids[@]}" ${cupsd_pid:+"$cupsd_pid"}
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAILED: print: $*"
    exit 1
}

skip() {
    if [ "${QUORREL_REQUIRE_DESKTOPS:-0}" = 1 ]; then
        fail "$* (./test.sh --desktops installs what is needed and runs as root)"
    fi
    echo "SKIPPED: print: $*"
    exit 77
}

for tool in python3 cupsd lpadmin cupsreject cupsaccept lpstat unshare pdfimages pdftoppm convert compare; do
    command -v "$tool" >/dev/null 2>&1 || skip "$tool is not installed"
done
[ -x /usr/lib/cups/backend/cups-pdf ] || skip "cups-pdf is not installed"
[ "$(id -u)" = 0 ] || skip "the private CUPS server runs as root"

# The private session of the editor.
chmod 755 "$work"
mkdir -p "$work/home" "$work/run" "$work/etc/ppd" "$work/spool/tmp" "$work/state" "$work/cache" "$work/log" \
    "$work/out" "$work/pdfspool" "$work/client"
chmod 700 "$work/run"
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share" \
    XDG_CACHE_HOME="$work/home/.cache" XDG_RUNTIME_DIR="$work/run" QT_QPA_PLATFORM=offscreen
unset DISPLAY WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS
# Every CUPS client here (the editor, lpadmin, lpstat) talks to the private
# server and reads no client.conf or lpoptions of the machine.
export CUPS_SERVER="$work/cups.sock" CUPS_SERVERROOT="$work/client"

cat >"$work/etc/cups-files.conf" <<CONF
ServerRoot /etc/cups
RequestRoot $work/spool
StateDir $work/state
CacheDir $work/cache
TempDir $work/spool/tmp
ServerBin /usr/lib/cups
DataDir /usr/share/cups
AccessLog $work/log/access_log
ErrorLog $work/log/error_log
PageLog $work/log/page_log
User lp
Group lp
SystemGroup root
CONF
cat >"$work/etc/cupsd.conf" <<CONF
Listen $work/cups.sock
Browsing No
WebInterface No
LogLevel info
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
cat >"$work/etc/cups-pdf.conf" <<CONF
Out $work/out
AnonDirName $work/out
Spool $work/pdfspool
Log $work/log
Grp root
CONF

start_cupsd() {
    rm -f "$work/cups.sock"
    unshare --mount --propagation private -- sh -c \
        "mount --bind '$work/etc' /etc/cups && exec cupsd -f -c /etc/cups/cupsd.conf -s /etc/cups/cups-files.conf" \
        >>"$work/log/cupsd.out" 2>&1 &
    cupsd_pid=$!
    for _ in $(seq 1 100); do
        [ -S "$work/cups.sock" ] && [ "$(lpstat -r 2>/dev/null)" = "scheduler is running" ] && return 0
        sleep 0.1
    done
    cat "$work/log/cupsd.out"
    fail "the private CUPS server did not start"
}

# The stop command the probe runs: ends the server and waits until it is gone.
stop_cupsd_command() {
    echo "kill $cupsd_pid; for i in \$(seq 1 100); do kill -0 $cupsd_pid 2>/dev/null || exit 0; sleep 0.1; done; exit 1"
}

add_queue() {
    local said
    said="$(lpadmin -p "$1" -v cups-pdf:/ -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd -E 2>&1)" ||
        fail "could not add the queue $1: $said"
}

# Waits up to 30 s until nothing is printing: the server (while it runs)
# holds no unfinished job and cups-pdf's spool folder is empty, so every PDF
# there is to be is written whole.
printing_idle() {
    for _ in $(seq 1 300); do
        if [ -z "$(ls -A "$work/pdfspool")" ] &&
            { [ -z "$cupsd_pid" ] || [ -z "$(lpstat -o 2>/dev/null)" ]; }; then
            return 0
        fi
        sleep 0.1
    done
    fail "printing did not come to an end"
}

# The PDF cups-pdf wrote last, if any.
latest_pdf() {
    find "$work/out" -maxdepth 1 -name '*.pdf' -printf '%T@ %p\n' | sort -rn | head -n 1 | cut -d' ' -f2-
}

# The newest PDF cups-pdf wrote, waiting up to 60 s for one newer than $1.
newest_pdf() {
    local before="$1" file
    for _ in $(seq 1 120); do
        file="$(latest_pdf)"
        if [ -n "$file" ] && [ "$file" != "$before" ]; then
            printing_idle
            echo "$file"
            return 0
        fi
        sleep 0.5
    done
    return 1
}

pdf_count() { find "$work/out" -maxdepth 1 -name '*.pdf' | wc -l; }

# Runs the probe (at most 90 s), its report kept as NAME.txt.
run_probe() {
    local name="$1"
    shift
    echo "== $name"
    mkdir -p "$report/$name"
    timeout 90 "$probe" --shots "$report/$name" "$@" >"$report/$name.txt" 2>"$report/$name.err"
    local status=$?
    cat "$report/$name.txt"
    [ "$status" = 0 ] || fail "$name: the probe ended with status $status"
}

expect_line() {
    local name="$1" line="$2"
    grep -qxF -- "$line" "$report/$name.txt" || fail "$name: no line \"$line\""
}

expect_no_message() {
    ! grep -q '^message:' "$report/$1.txt" || fail "$1: the user was told something"
}

start_cupsd
add_queue PDF
lpadmin -d PDF || fail "could not make PDF the default"
lpstat -p -d

# The printed page, at zoom 1 and 3.
check_printed() {
    local zoom="$1" ppi="$2" name="print-zoom$1" before file
    before="$(latest_pdf)"
    run_probe "$name" --printer PDF --zoom "$zoom" --tile "$report/$name/tile.png" --preview "$report/$name/preview.png"
    expect_no_message "$name"
    expect_line "$name" "setup: PDF"
    expect_line "$name" "dialog: PDF"
    expect_line "$name" "preview: Print Preview"
    expect_line "$name" "zoom: $zoom"
    expect_line "$name" "screen-dpi: 96"
    file="$(newest_pdf "$before")" || fail "$name: cups-pdf wrote no PDF"
    cp "$file" "$report/$name/printed.pdf"
    pdfimages -list "$file" | tee "$report/$name/images.txt"
    # One image, the tile's size, compressed without loss, placed at
    # printer/screen resolution.
    local images
    images="$(tail -n +3 "$report/$name/images.txt")"
    [ "$(echo "$images" | grep -c .)" = 1 ] || fail "$name: not one image on the page"
    read -r _ _ _ width height _ _ _ enc _ _ _ xppi yppi _ <<<"$images"
    [ "$width x $height" = "125 x 125" ] || fail "$name: the image is $width x $height, not the tile's 125 x 125"
    [ "$enc" != jpeg ] || fail "$name: the printed image is JPEG-compressed"
    [ "$xppi x $yppi" = "$ppi x $ppi" ] || fail "$name: printed at $xppi x $yppi pixels an inch, not $ppi"
    pdfimages -png "$file" "$work/$name" || fail "$name: pdfimages could not extract the image"
    local differing
    differing="$(compare -metric AE "$work/$name-000.png" "$report/$name/tile.png" null: 2>&1)"
    echo "$name: the printed image against the tile: $differing differing pixels"
    [ "$differing" = 0 ] || fail "$name: the printed image is not the tile"
    # The page as a person sees it, beside the tile enlarged as the screen
    # shows it; on the 96 dpi page the tile covers 125 x zoom pixels.
    pdftoppm -r 96 -png -singlefile "$file" "$report/$name/page" || fail "$name: pdftoppm failed"
    local covered
    covered="$(convert "$report/$name/page.png" -bordercolor white -border 1 -trim -format '%w %h' info:)"
    echo "$name: the page's printed area at 96 dpi: $covered pixels"
    local side=$((125 * zoom))
    read -r cw ch <<<"$covered"
    [ $((cw - side)) -ge -1 ] && [ $((cw - side)) -le 1 ] && [ $((ch - side)) -ge -1 ] && [ $((ch - side)) -le 1 ] ||
        fail "$name: the printed area is $covered pixels, not $side x $side"
    convert "$report/$name/tile.png" -sample "$((zoom * 100))%" -bordercolor gray -border 4 "$work/tile-big.png"
    convert "$report/$name/page.png" -bordercolor gray -border 4 "$work/tile-big.png" -background white \
        -gravity north +append "$report/$name/page-beside-tile.png"
}
check_printed 1 96
check_printed 3 32

# A queue that rejects jobs.
cupsreject -r "closed for the test" PDF || fail "cupsreject failed"
count="$(pdf_count)"
run_probe rejected --printer PDF
expect_line rejected "dialog: PDF"
grep -q '^message: Could not start print job\. | The printer "PDF" did not take it: .*not accepting jobs' \
    "$report/rejected.txt" || fail "rejected: no message naming the printer and the reason"
cupsaccept PDF
printing_idle
[ "$(pdf_count)" = "$count" ] || fail "rejected: a page was printed after all"

# The queue chosen in Print Setup is deleted before Print.
add_queue "Büro"
run_probe deleted --printer "Büro" --before-print "lpadmin -x 'Büro'"
expect_line deleted "setup: Büro"
expect_line deleted 'message: The printer "Büro" is no longer available. | "PDF" is used instead.'
expect_line deleted "dialog: PDF"
for _ in $(seq 1 120); do [ "$(pdf_count)" -gt "$count" ] && break; sleep 0.5; done
[ "$(pdf_count)" -gt "$count" ] || fail "deleted: nothing was printed on the printer used instead"
count="$(pdf_count)"

# The server stops while the Print dialog is open.
run_probe stopped --printer PDF --while-dialog "$(stop_cupsd_command)"
expect_line stopped "dialog: PDF"
grep -q '^message: Could not start print job\.' "$report/stopped.txt" || fail "stopped: the lost job was not reported"
cupsd_pid=""
printing_idle
[ "$(pdf_count)" = "$count" ] || fail "stopped: a page was printed after all"

# No server at all: Print says so and writes no file.
run_probe noserver
expect_line noserver 'message: There is no printer. | Nothing was printed. To print into a PDF file, choose "Print to File (PDF)" in Print Setup.'
! grep -q '^dialog:' "$report/noserver.txt" || fail "noserver: a print dialog was shown"
stray="$(find "$HOME" "$work/out" -name '*.pdf' -newer "$report/stopped.txt" 2>/dev/null)"
[ -z "$stray" ] || fail "a PDF nobody asked for: $stray"

# A server that takes connections and never answers: a listener on a free
# port of 127.0.0.1 that accepts and holds every connection.
python3 -c '
import os, socket, sys
s = socket.socket()
s.bind(("127.0.0.1", 0))
s.listen(64)
open(sys.argv[1] + ".new", "w").write(str(s.getsockname()[1]))
os.rename(sys.argv[1] + ".new", sys.argv[1])
held = []
while True:
    held.append(s.accept()[0])
' "$work/silent.port" &
pids+=($!)
for _ in $(seq 1 100); do [ -s "$work/silent.port" ] && break; sleep 0.1; done
port="$(cat "$work/silent.port" 2>/dev/null)"
[ -n "$port" ] || fail "silent: the listener did not start"
CUPS_SERVER="127.0.0.1:$port" run_probe silent --printer PDF --preview "$report/silent/preview.png" --stalled yes
[ "$(grep -cxF "message: The print server 127.0.0.1:$port does not answer." "$report/silent.txt")" = 3 ] ||
    fail "silent: not one message naming the server for each of Print Preview, Print Setup and Print"
! grep -q '^\(dialog\|setup\|preview\):' "$report/silent.txt" || fail "silent: a print dialog was shown"
for command in preview setup print; do
    read -r ms ticks <<<"$(sed -n "s/^took: $command \([0-9]*\) ms, \([0-9]*\) ticks$/\1 \2/p" "$report/silent.txt")"
    [ -n "$ms" ] || fail "silent: no time for $command"
    [ "$ms" -lt 20000 ] || fail "silent: $command held the window for $ms ms"
    [ "$ticks" -ge 100 ] || fail "silent: the window's thread ticked $ticks times in $ms ms of $command"
done

echo "PASSED: print (pages, images and message boxes in $report)"
