#!/usr/bin/env bash
# Builds the Debian package and checks it in a Debian 12 system that has never
# seen the build:
#   1. the package: section, dependencies, no maintainer scripts, no cache
#      files, lintian (no errors, no warnings that are not overridden with a
#      reason), desktop-file-validate and appstreamcli on the shipped files;
#   2. a minimal Debian 12 root (debootstrap --variant=minbase from the
#      mirror this machine uses, made once and kept in the cache), used
#      through an overlay so every run starts from the same clean state;
#   3. in it: `apt-get install ./quorrel_*.deb` pulls every dependency from
#      the archive; quorrel-render --version; a preset rendered to PNG and TIFF
#      and compared pixel for pixel with this build's own rendering; the
#      editor under Xvfb showing the document's tile (screenshot); the
#      desktop's default application and file type of a .wpp document; the
#      metainfo found by appstreamcli; `apt-get purge` leaving no file behind;
#   4. hardening: lintian without hardening-* tags, readelf finding BIND_NOW,
#      GNU_RELRO, PIE, the stack protector and fortified functions;
#   5. reproducibility: the package built a second time, from a cleaned
#      build folder, is the same, byte for byte;
#   6. the German editor: under LANG=de_DE.UTF-8 its menus answer German
#      accelerators (screenshot), the document type reads "Quorrel-Dokument",
#      the window's class is the desktop entry's StartupWMClass;
#   7. the Debian source package: `dpkg-buildpackage -us -uc` in the clean
#      root (as an unprivileged user, Rules-Requires-Root: no) builds a
#      package with the same files, dependencies and renders; lintian clean
#      on the source and the binary package.
#
#   scripts/check-package.sh        (or ./test.sh --package)
#
# Needs root (chroot, mounts); runs itself through sudo otherwise.
# QUORREL_PACKAGE_BUILD   the build folder (default build-package/: Release,
#                         no tests or benchmarks)
# QUORREL_PACKAGE_CACHE   the clean root and apt's downloads, kept between runs
#                         (default ~/.cache/quorrel-package; about 400 MB)
# Reports (lintian, appstreamcli, the screenshot, a summary) are kept in
# $QUORREL_PACKAGE_BUILD/package-check/.
set -euo pipefail

if [ "$(id -u)" -ne 0 ]; then
    exec sudo --preserve-env=QUORREL_PACKAGE_BUILD,QUORREL_PACKAGE_CACHE,CCACHE_DIR,CCACHE_BASEDIR "$0" "$@"
fi

source "$(dirname "$0")/setup.sh"
quorrel_install_packages "${QUORREL_PACKAGES[@]}" "${QUORREL_PACKAGE_PACKAGES[@]}"

build="${QUORREL_PACKAGE_BUILD:-$QUORREL_ROOT/build-package}"
cache="${QUORREL_PACKAGE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/quorrel-package}"
reports="$build/package-check"
app_id=com.vantorel.Quorrel
mime_type=application/x-quorrel-document
preset=ocean

step() { printf '\n== %s\n' "$*"; }
fail() { echo "FAILED: $*" >&2; exit 1; }

# The Debian mirror this machine's apt uses for a suite (one-line or deb822
# sources), so the clean root comes from the same archive.
debian_mirror() {
    local suite="$1" fallback="$2" uri=""
    uri="$(grep -hsE '^[[:space:]]*deb[[:space:]]' /etc/apt/sources.list /etc/apt/sources.list.d/*.list \
        | sed -E 's/\[[^]]*\][[:space:]]*//' | awk -v s="$suite" '$3 == s { print $2; exit }')"
    if [ -z "$uri" ]; then
        uri="$(awk -v s="$suite" 'BEGIN { RS = "" }
            { uris = ""; suites = ""
              n = split($0, lines, "\n")
              for (i = 1; i <= n; i++) {
                  if (lines[i] ~ /^URIs:/) { uris = lines[i]; sub(/^URIs:[ \t]*/, "", uris) }
                  if (lines[i] ~ /^Suites:/) { suites = " " lines[i] " " }
              }
              if (index(suites, " " s " ") && uris != "") { split(uris, u, /[ \t]+/); print u[1]; exit } }' \
            /etc/apt/sources.list.d/*.sources 2>/dev/null)"
    fi
    echo "${uri:-$fallback}"
}

mkdir -p "$reports" "$cache"
rm -f "$reports"/*

# Every time stamp in the package is the newest changelog entry's.
SOURCE_DATE_EPOCH="$(dpkg-parsechangelog -l "$QUORREL_ROOT/debian/changelog" -STimestamp)"
export SOURCE_DATE_EPOCH
version="$(sed -nE 's/^project\(Quorrel VERSION ([0-9.]+).*/\1/p' "$QUORREL_ROOT/CMakeLists.txt")"
[ "$(dpkg-parsechangelog -l "$QUORREL_ROOT/debian/changelog" -SVersion)" = "$version" ] \
    || fail "debian/changelog's version is not the project's $version"
arch="$(dpkg --print-architecture)"

# build_package FOLDER: the CPack package of this tree built in FOLDER.
build_package() {
    local dir="$1"
    cmake -S "$QUORREL_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=Release \
        -DQUORREL_BUILD_TESTS=OFF -DQUORREL_BUILD_BENCH=OFF >/dev/null
    rm -f "$dir"/quorrel_*.deb
    cmake --build "$dir" -j "$(nproc 2>/dev/null || echo 2)"
    cmake --build "$dir" --target package >"$reports/cpack.log" 2>&1 || { cat "$reports/cpack.log"; fail "cpack"; }
    [ -f "$dir/quorrel_${version}_${arch}.deb" ] \
        || fail "cpack did not write quorrel_${version}_${arch}.deb (found: $(ls "$dir"/*.deb 2>/dev/null))"
    [ "$(ls "$dir"/quorrel_*.deb | wc -l)" = 1 ] || fail "more than one package was written"
}

step "Building the package in $build"
build_package "$build"
deb="$build/quorrel_${version}_${arch}.deb"

step "The package's control data and files"
dpkg-deb --info "$deb" | tee "$reports/control.txt"
[ "$(dpkg-deb -f "$deb" Package)" = quorrel ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "version"
[ "$(dpkg-deb -f "$deb" Section)" = graphics ] || fail "section is not graphics"
depends="$(dpkg-deb -f "$deb" Depends)"
for needed in libqt6gui6 libqt6widgets6 libqt6printsupport6 libhwy1 libgif7 libimagequant0 qt6-image-formats-plugins; do
    grep -qE "(^|, )$needed( |,|$)" <<<"$depends" || fail "Depends lacks $needed: $depends"
done
# Debian's triggers refresh the desktop, MIME and icon caches: no scripts.
control_files="$(dpkg-deb --ctrl-tarfile "$deb" | tar -t | sed 's|^\./||' | grep -v '^$' | sort | tr '\n' ' ')"
[ "$control_files" = "control md5sums " ] || fail "control files other than control and md5sums: $control_files"
dpkg-deb -c "$deb" | awk '{ print $6 }' | sed 's|^\./|/|' >"$reports/files.txt"
for wanted in /usr/bin/quorrel /usr/bin/quorrel-render \
        "/usr/share/applications/$app_id.desktop" "/usr/share/metainfo/$app_id.metainfo.xml" \
        /usr/share/mime/packages/quorrel.xml /usr/share/icons/hicolor/256x256/apps/quorrel.png \
        /usr/share/icons/hicolor/48x48/mimetypes/application-x-quorrel-document.png \
        /usr/share/quorrel/presets/$preset.wpp /usr/share/doc/quorrel/copyright \
        /usr/share/doc/quorrel/changelog.gz /usr/share/man/man1/quorrel.1.gz \
        /usr/share/man/man1/quorrel-render.1.gz \
        /usr/share/icons/hicolor/scalable/apps/quorrel.svg \
        /usr/share/icons/hicolor/scalable/mimetypes/application-x-quorrel-document.svg; do
    grep -qxF "$wanted" "$reports/files.txt" || fail "the package lacks $wanted"
done
# The user guide is built into the editor, once.
! grep -q '^/usr/share/doc/quorrel/html' "$reports/files.txt" || fail "the user guide is shipped as files as well"
caches="$(grep -E '(mime\.cache|/globs2?|/magic|/subclasses|/aliases|/types|/icons|/treemagic|/XMLnamespaces|/generic-icons|/version)$|/mime/[^p/][^/]*/|mimeinfo\.cache|icon-theme\.cache' \
    "$reports/files.txt" || true)"
[ -z "$caches" ] || fail "cache files in the package: $caches"

staged="$(mktemp -d)"
work_first="$(mktemp -d)"
trap 'rm -rf "$staged" "$work_first"' EXIT
dpkg-deb -x "$deb" "$staged"
desktop-file-validate "$staged/usr/share/applications/$app_id.desktop" | tee "$reports/desktop-file-validate.txt"
[ ! -s "$reports/desktop-file-validate.txt" ] || fail "desktop-file-validate has remarks"
appstreamcli validate --no-net --pedantic "$staged/usr/share/metainfo/$app_id.metainfo.xml" \
    | tee "$reports/appstreamcli.txt" || fail "appstreamcli validate"
grep -qE '^(E|W):' "$reports/appstreamcli.txt" && fail "appstreamcli reports errors or warnings"

step "lintian"
lintian --display-info --fail-on error,warning "$deb" 2>&1 | tee "$reports/lintian.txt" \
    || fail "lintian reports errors or warnings that are not overridden"
! grep -E 'hardening-' "$reports/lintian.txt" || fail "lintian finds the programs unhardened"

# check_hardening DIR: readelf on the programs under DIR/usr/bin.
check_hardening() {
    local program dynamic
    for program in "$1/usr/bin/quorrel" "$1/usr/bin/quorrel-render"; do
        dynamic="$(readelf -dW "$program")"
        grep -qE '\(FLAGS\).*BIND_NOW|\(FLAGS_1\).*NOW' <<<"$dynamic" || fail "$program: no BIND_NOW"
        grep -qE '\(FLAGS_1\).*PIE' <<<"$dynamic" || fail "$program: not a position-independent executable"
        readelf -lW "$program" | grep -q GNU_RELRO || fail "$program: no GNU_RELRO"
        symbols="$(readelf --dyn-syms -W "$program")"
        grep -q '__stack_chk_fail' <<<"$symbols" || fail "$program: no stack protector"
        grep -qE '__[a-z0-9_]+_chk(@|$| )' <<<"$symbols" || fail "$program: no fortified function"
        printf '%s: BIND_NOW, PIE, GNU_RELRO, __stack_chk_fail, fortified: %s\n' "${program##*/}" \
            "$(grep -oE '__[a-z0-9_]+_chk' <<<"$symbols" | grep -v stack_chk | sort -u | tr '\n' ' ')"
    done
}
step "Hardening (readelf)"
check_hardening "$staged" | tee "$reports/hardening.txt"
[ "$(wc -l <"$reports/hardening.txt")" = 2 ] || fail "hardening"

step "Reproducible: the package built again from a clean build folder, later"
# Every file is made again (compiler cache permitting), at another time.
first="$work_first/quorrel_${version}_${arch}.deb"
cp "$deb" "$first"
cmake --build "$build" --target clean
build_package "$build" >"$reports/build-again.log" 2>&1 || { tail -n 20 "$reports/build-again.log"; fail "the second build"; }
if cmp "$first" "$deb"; then
    echo "the same bytes: $(sha256sum "$deb" | cut -d' ' -f1)"
else
    diff <(dpkg-deb -c "$first") <(dpkg-deb -c "$deb") || true
    fail "two builds of the same tree differ"
fi

# --- the clean Debian 12 --------------------------------------------------
mirror="$(debian_mirror bookworm http://deb.debian.org/debian)"
security="$(debian_mirror bookworm-security http://deb.debian.org/debian-security)"
base="$cache/bookworm-minbase"
if [ ! -x "$base/usr/bin/apt-get" ]; then
    step "debootstrap: a minimal Debian 12 from $mirror (once; kept in $base)"
    rm -rf "$base.partial"
    debootstrap --variant=minbase --keyring=/usr/share/keyrings/debian-archive-keyring.gpg \
        bookworm "$base.partial" "$mirror" >"$cache/debootstrap.log" 2>&1 \
        || { tail -n 20 "$cache/debootstrap.log"; fail "debootstrap"; }
    mv "$base.partial" "$base"
fi

work="$(mktemp -d "$cache/run.XXXXXX")"
root="$work/root"
mounted=()
cleanup() {
    local status=$? pid i
    # Whatever still runs inside this root (the X server, the editor) was
    # started by this script.
    for pid in /proc/[0-9]*; do
        if [ "$(readlink "$pid/root" 2>/dev/null)" = "$root" ]; then
            kill -9 "${pid#/proc/}" 2>/dev/null || true
        fi
    done
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
        umount "${mounted[i]}" 2>/dev/null || umount -l "${mounted[i]}" || true
    done
    rm -rf "$work" "$staged" "$work_first"
    exit $status
}
trap cleanup EXIT INT TERM
mkdir -p "$root" "$work/upper" "$work/overlay-work" "$cache/apt-archives" "$cache/apt-lists"
if mount -t overlay overlay -o "lowerdir=$base,upperdir=$work/upper,workdir=$work/overlay-work" "$root" 2>/dev/null; then
    mounted+=("$root")
else
    cp -a "$base/." "$root/"
fi
mount -t proc proc "$root/proc" && mounted+=("$root/proc")
mount --bind /dev/pts "$root/dev/pts" && mounted+=("$root/dev/pts")
mount --bind "$cache/apt-archives" "$root/var/cache/apt/archives" && mounted+=("$root/var/cache/apt/archives")
mount --bind "$cache/apt-lists" "$root/var/lib/apt/lists" && mounted+=("$root/var/lib/apt/lists")
cp /etc/resolv.conf "$root/etc/resolv.conf"
cat >"$root/etc/apt/sources.list" <<EOF
deb $mirror bookworm main
deb $mirror bookworm-updates main
deb $security bookworm-security main
EOF

in_root() {
    chroot "$root" /usr/bin/env -i PATH=/usr/local/bin:/usr/bin:/bin:/usr/sbin:/sbin HOME=/root \
        LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive "$@"
}

step "apt-get install ./$(basename "$deb") in a clean Debian 12"
in_root apt-get update -q >"$reports/apt-update.log" 2>&1 || { cat "$reports/apt-update.log"; fail "apt-get update"; }
before="$(in_root dpkg-query -W -f '${Package}\n' | wc -l)"
install -m 644 "$deb" "$root/tmp/"
in_root apt-get install -y -q --no-install-recommends "/tmp/$(basename "$deb")" 2>&1 | tee "$reports/apt-install.log" \
    | grep -E 'newly installed|^(Need to get|After this)' || true
[ "$(in_root dpkg-query -W -f '${Status}' quorrel)" = "install ok installed" ] || fail "quorrel is not installed"
after="$(in_root dpkg-query -W -f '${Package}\n' | wc -l)"
in_root dpkg -L quorrel >"$work/installed-files.txt"

step "quorrel-render --version"
in_root quorrel-render --version | tee "$work/version.txt"
[ "$(head -n 1 "$work/version.txt")" = "quorrel-render $version" ] || fail "quorrel-render --version"

step "The $preset preset rendered in the clean system and by this build"
in_root timeout 120 quorrel-render --quiet --preset "$preset" -o /tmp/$preset.png --save-wpp /tmp/$preset.wpp
# TIFF goes through the image-formats plugin, a dependency no linking shows.
in_root timeout 120 quorrel-render --quiet --preset "$preset" -o /tmp/$preset.tif
timeout 120 "$build/tools/quorrel-render" --quiet --preset "$preset" -o "$work/host.png"
for format in png tif; do
    differing="$(compare -metric AE "$root/tmp/$preset.$format" "$work/host.png" null: 2>&1 || true)"
    echo "$format: $differing pixels differ from this build's rendering"
    [ "$differing" = 0 ] || fail "the clean system's $format differs from the build's rendering"
done
cmp -s "$root/tmp/$preset.png" "$work/host.png" && echo "png: the same bytes"

step "Tools for the checks (installed after the package, so they cannot hide a missing dependency)"
in_root apt-get install -y -q --no-install-recommends xvfb x11-utils xdg-utils libfile-mimeinfo-perl \
    desktop-file-utils shared-mime-info appstream locales xdotool >"$reports/apt-tools.log" 2>&1 \
    || { tail -n 20 "$reports/apt-tools.log"; fail "installing the check tools"; }

step "The editor under Xvfb in the clean system"
mkdir -p "$root/tmp/fb" "$root/tmp/home" "$root/tmp/run"
chmod 700 "$root/tmp/run"
rm -f "$root/tmp/display"
chroot "$root" /usr/bin/env -i PATH=/usr/bin:/bin sh -c \
    'exec Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset -fbdir /tmp/fb 3>/tmp/display' \
    >"$work/xvfb.log" 2>&1 &
xvfb=$!
for _ in $(seq 100); do
    [ -s "$root/tmp/display" ] && break
    sleep 0.1
done
display=":$(head -n 1 "$root/tmp/display" 2>/dev/null)"
[ "$display" != ":" ] || { cat "$work/xvfb.log"; fail "Xvfb did not start"; }
user_env=(DISPLAY="$display" HOME=/tmp/home XDG_RUNTIME_DIR=/tmp/run XDG_CONFIG_HOME=/tmp/home/.config
          XDG_DATA_HOME=/tmp/home/.local/share XDG_CACHE_HOME=/tmp/home/.cache QT_QPA_PLATFORM=xcb)
chroot "$root" /usr/bin/env -i PATH=/usr/bin:/bin LANG=C.UTF-8 "${user_env[@]}" quorrel "/tmp/$preset.wpp" \
    >"$work/editor.log" 2>&1 &
editor=$!
shown=""
deadline=$((SECONDS + 60))
while [ "$SECONDS" -lt "$deadline" ]; do
    kill -0 "$editor" 2>/dev/null || { cat "$work/editor.log"; fail "the editor ended"; }
    windows="$(in_root env DISPLAY="$display" xwininfo -root -tree 2>/dev/null || true)"
    if grep -qE '"[^"]*Quorrel[^"]*": \(.*\) +[0-9]{3,}x[0-9]{3,}' <<<"$windows"; then
        # The window is up; the tile shows once it has been rendered.
        convert "xwd:$root/tmp/fb/Xvfb_screen0" "$reports/editor-in-clean-debian.png"
        convert "$reports/editor-in-clean-debian.png" "ppm:$work/screen.ppm"
        convert "$work/host.png" "ppm:$work/tile.ppm"
        if python3 "$QUORREL_ROOT/scripts/tile-on-screen.py" "$work/tile.ppm" "$work/screen.ppm" 0.5 >"$work/tile-check.txt"; then
            shown=yes
            break
        fi
    fi
    sleep 0.5
done
in_root env DISPLAY="$display" xwininfo -root -tree | grep 'Quorrel' || true
cat "$work/tile-check.txt" 2>/dev/null || true
[ -n "$shown" ] || { cat "$work/editor.log"; fail "the editor's window did not show the tile within 60 s"; }
echo "screenshot: $reports/editor-in-clean-debian.png"
# The installed entry is found: the editor registers nothing of its own.
[ ! -e "$root/tmp/home/.local/share/applications/$app_id.desktop" ] \
    || fail "the editor wrote its own desktop entry although the package installed one"
kill "$editor" 2>/dev/null || true
wait "$editor" 2>/dev/null || true

step "The editor in German (LANG=de_DE.UTF-8)"
in_root localedef -i de_DE -c -f UTF-8 de_DE.UTF-8 >/dev/null 2>&1 || true
in_root locale -a | grep -qix 'de_DE\.utf-\?8' || fail "no de_DE.UTF-8 locale in the clean system"
x() { in_root env DISPLAY="$display" "$@"; }
chroot "$root" /usr/bin/env -i PATH=/usr/bin:/bin LANG=de_DE.UTF-8 "${user_env[@]}" quorrel "/tmp/$preset.wpp" \
    >"$work/editor-de.log" 2>&1 &
editor=$!
window=""
for _ in $(seq 120); do
    kill -0 "$editor" 2>/dev/null || { cat "$work/editor-de.log"; fail "the German editor ended"; }
    window="$(x xdotool search --onlyvisible --name 'Quorrel' 2>/dev/null | head -n 1 || true)"
    [ -n "$window" ] && break
    sleep 0.5
done
[ -n "$window" ] || fail "the German editor's window did not show within 60 s"
# Docks tie the window to its launcher by the class part of WM_CLASS.
wm_class="$(x xprop -id "$window" WM_CLASS)"
startup_class="$(sed -n 's/^StartupWMClass=//p' "$staged/usr/share/applications/$app_id.desktop")"
echo "$wm_class; StartupWMClass=$startup_class"
[ -n "$startup_class" ] && grep -qE ", \"$startup_class\"\$" <<<"$wm_class" \
    || fail "the window's class is not the desktop entry's StartupWMClass"
# Alt+D opens the German "&Datei" menu (no English menu has D): a popup
# of the editor appears.
before="$(x xdotool search --onlyvisible --class '[Qq]uorrel' 2>/dev/null | wc -l)"
x xdotool windowactivate --sync "$window" >/dev/null 2>&1 || x xdotool windowfocus --sync "$window" || true
opened=""
for _ in $(seq 20); do
    x xdotool key alt+d
    sleep 0.5
    if [ "$(x xdotool search --onlyvisible --class '[Qq]uorrel' 2>/dev/null | wc -l)" -gt "$before" ]; then
        opened=yes
        break
    fi
done
convert "xwd:$root/tmp/fb/Xvfb_screen0" "$reports/german-editor-in-clean-debian.png"
echo "screenshot: $reports/german-editor-in-clean-debian.png"
[ -n "$opened" ] || { cat "$work/editor-de.log"; fail "Alt+D opened no German File menu"; }
echo "Alt+D opened the menu \"Datei\""
kill "$editor" "$xvfb" 2>/dev/null || true
wait "$editor" "$xvfb" 2>/dev/null || true

step "The document type's description"
described="$(in_root mimetype -b -d "/tmp/$preset.wpp")"
described_de="$(in_root mimetype -b --language=de -d "/tmp/$preset.wpp")"
echo "mimetype -d: $described; in German: $described_de"
[ "$described" = "Quorrel document" ] || fail "the document type's description"
[ "$described_de" = "Quorrel-Dokument" ] || fail "the document type's German description"

step "The desktop's file type and default application of a .wpp document"
filetype="$(in_root xdg-mime query filetype /tmp/$preset.wpp)"
default="$(in_root xdg-mime query default "$mime_type")"
echo "xdg-mime query filetype $preset.wpp: $filetype"
echo "xdg-mime query default $mime_type: $default"
[ "$filetype" = "$mime_type" ] || fail "the file type of a .wpp document"
[ "$default" = "$app_id.desktop" ] || fail "the default application of $mime_type"

step "The metainfo in the software catalogue"
in_root appstreamcli refresh-cache --force >/dev/null 2>&1 || true
in_root appstreamcli get "$app_id" | tee "$work/appstream-get.txt"
grep -q "^Identifier: $app_id" "$work/appstream-get.txt" || fail "appstreamcli does not find $app_id"
# (Whole outputs first: grep -q ending a pipe early would fail it under pipefail.)
providers="$(in_root appstreamcli what-provides mediatype "$mime_type")"
grep -q "$app_id" <<<"$providers" \
    || fail "appstreamcli does not know who opens $mime_type"
providers="$(in_root appstreamcli what-provides bin quorrel-render)"
grep -q "$app_id" <<<"$providers" \
    || fail "appstreamcli does not know who provides quorrel-render"

step "apt-get purge quorrel"
in_root apt-get purge -y -q quorrel >"$reports/apt-purge.log" 2>&1 || { cat "$reports/apt-purge.log"; fail "purge"; }
left=""
while IFS= read -r path; do
    [ -e "$root$path" ] || continue
    # Folders the system shares with other packages stay.
    [ -d "$root$path" ] && [ -n "$(in_root dpkg-query -S "$path" 2>/dev/null)" ] && continue
    [ -d "$root$path" ] && [ -z "$(ls -A "$root$path")" ] && continue
    left+="$path "
done <"$work/installed-files.txt"
named="$(find "$root" \( -path "$root/proc" -o -path "$root/dev" -o -path "$root/tmp" \
    -o -path "$root/var/cache/apt/archives" -o -path "$root/var/lib/apt/lists" \) -prune \
    -o -iname '*quorrel*' -print | sed "s|^$root||")"
mentions="$(grep -rlI -e "$mime_type" -e "$app_id" "$root/usr/share/mime" "$root/usr/share/applications" 2>/dev/null \
    | sed "s|^$root||" || true)"
[ -z "$left$named$mentions" ] || fail "left behind after purge: $left $named $mentions"
echo "nothing of the package is left (its $(wc -l <"$work/installed-files.txt") paths, names, the MIME and desktop caches)"

step "The Debian source package: dpkg-buildpackage -us -uc in the clean system"
# The tree as git knows it (tracked files, as they are in the worktree).
src="$root/tmp/build/quorrel-$version"
mkdir -p "$src"
git -C "$QUORREL_ROOT" ls-files -z | (cd "$QUORREL_ROOT" && tar --null -T - -cf -) | tar -xf - -C "$src"
in_root apt-get install -y -q --no-install-recommends build-essential debhelper fakeroot >"$reports/apt-build.log" 2>&1 \
    || { tail -n 20 "$reports/apt-build.log"; fail "installing the build tools"; }
in_root sh -c "cd /tmp/build/quorrel-$version && apt-get build-dep -y -q --no-install-recommends ./" \
    >>"$reports/apt-build.log" 2>&1 || { tail -n 20 "$reports/apt-build.log"; fail "installing the build dependencies"; }
# An unprivileged user builds it (Rules-Requires-Root: no).
chown -R 65534:65534 "$root/tmp/build"
chroot --userspec=65534:65534 "$root" /usr/bin/env -i PATH=/usr/bin:/bin HOME=/tmp/build LANG=C.UTF-8 \
    sh -c "cd /tmp/build/quorrel-$version && dpkg-buildpackage -us -uc -j$(nproc 2>/dev/null || echo 2)" \
    >"$reports/dpkg-buildpackage.log" 2>&1 || { tail -n 40 "$reports/dpkg-buildpackage.log"; fail "dpkg-buildpackage"; }
source_deb="$root/tmp/build/quorrel_${version}_${arch}.deb"
dsc="$root/tmp/build/quorrel_${version}.dsc"
[ -f "$source_deb" ] && [ -f "$dsc" ] || fail "dpkg-buildpackage wrote no .dsc or .deb: $(ls "$root/tmp/build")"
grep -E '^dpkg-buildpackage: info: (source|binary)|dpkg-deb: building' "$reports/dpkg-buildpackage.log" || true

# The same files as the CPack package (the changelog compressed by
# debhelper under the same name), the same dependencies.
dpkg-deb -c "$source_deb" | awk '{ print $6 }' | sed 's|^\./|/|' >"$reports/files-source-build.txt"
diff <(grep -v '/$' "$reports/files.txt" | sort) <(grep -v '/$' "$reports/files-source-build.txt" | sort) \
    | tee "$reports/files-diff.txt" || fail "the source build's package has other files than the CPack package"
names() { tr ',' '\n' | sed -E 's/^ +//; s/ .*//' | sort; }
for field in Depends Recommends Suggests Section; do
    cpack_value="$(dpkg-deb -f "$deb" "$field" | names)"
    source_value="$(dpkg-deb -f "$source_deb" "$field" | names)"
    [ "$cpack_value" = "$source_value" ] \
        || fail "$field differs: CPack $(echo $cpack_value), source build $(echo $source_value)"
done
echo "the same files ($(grep -vc '/$' "$reports/files.txt")) and the same Depends, Recommends, Suggests and Section"
source_staged="$work/source-staged"
dpkg-deb -x "$source_deb" "$source_staged"
check_hardening "$source_staged" | tee -a "$reports/hardening.txt"
in_root timeout 120 "/tmp/build/quorrel-$version/obj-$(dpkg-architecture -qDEB_HOST_GNU_TYPE)/tools/quorrel-render" \
    --quiet --preset "$preset" -o /tmp/$preset-source-build.png
differing="$(compare -metric AE "$root/tmp/$preset-source-build.png" "$work/host.png" null: 2>&1 || true)"
echo "the source build's rendering: $differing pixels differ"
[ "$differing" = 0 ] || fail "the source build renders differently"

step "lintian on the source and the binary package"
lintian --display-info --fail-on error,warning "$dsc" "$source_deb" 2>&1 | tee "$reports/lintian-source-build.txt" \
    || fail "lintian reports errors or warnings on the source build"
! grep -E 'hardening-' "$reports/lintian-source-build.txt" || fail "lintian finds the source build unhardened"

size_kb="$(( $(stat -c %s "$deb") / 1024 ))"
{
    echo "package: $(basename "$deb"), $size_kb KiB, Installed-Size $(dpkg-deb -f "$deb" Installed-Size) KiB"
    echo "Depends: $depends"
    echo "Recommends: $(dpkg-deb -f "$deb" Recommends)"
    echo "packages in the clean root: $before, after installing quorrel: $after"
    cat "$work/tile-check.txt"
} | tee "$reports/summary.txt"
step "The package passed every check (reports in $reports)"
