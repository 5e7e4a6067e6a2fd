# Shared set-up for run.sh and test.sh: installs the Debian packages the
# build and the tests need when any is missing, then configures and builds
# in build/ (Release). Sourced, not run.

QUORREL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
QUORREL_BUILD="${QUORREL_BUILD:-$QUORREL_ROOT/build}"

QUORREL_PACKAGES=(
    build-essential cmake pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-image-formats-plugins libgl-dev libx11-dev libxext-dev
    qt6-svg-dev qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
    libgtest-dev libgmock-dev libbenchmark-dev
    libhwy-dev libgif-dev libimagequant-dev libcups2-dev libpng-dev libjpeg-dev
    xvfb xauth imagemagick xdotool x11-utils dbus
    desktop-file-utils libxml2-utils shared-mime-info appstream help2man
    locales
    clang libclang-rt-14-dev
    shellcheck
    libwebp-dev libvpx-dev webp ffmpeg
    libwayland-dev libwayland-bin wayland-protocols
    python3-pil python3-numpy
)

# The real desktop components the wallpaper setters are tested against
# (tests/desktops, ctest label "desktops"): GSettings with its dconf backend
# and the GNOME, Cinnamon and MATE schemas; xfdesktop with xfwm4; pcmanfm-qt;
# sway with swaybg and grim (and qt6-wayland for the editor's own window on
# it); feh and xwallpaper; the desktop portal with its GNOME backend;
# printing: a CUPS server with a cups-pdf queue, the poppler tools that read
# what it printed; the GNOME desktop library's slide-show parser (GnomeBG
# through python3-gi), systemd-analyze for the rotation's units, and a whole
# Plasma shell. About 520 packages, 75 s to install. The editor's own
# session tests use xfwm4 as the X window manager, and sway with Qt's
# Wayland platform and wtype for the keys in a Wayland session; the
# accessibility bus (at-spi2-core) and pyatspi read the editor as a screen
# reader does.
QUORREL_DESKTOP_PACKAGES=(
    libglib2.0-bin dconf-gsettings-backend dconf-service dconf-cli
    gsettings-desktop-schemas cinnamon-desktop-data mate-desktop-common
    xfdesktop4 xfconf xfwm4 pcmanfm-qt
    sway swaybg grim procps util-linux qt6-wayland wtype
    feh xwallpaper
    xdg-desktop-portal xdg-desktop-portal-gnome
    gir1.2-gnomebg-4.0 python3-gi systemd
    plasma-workspace plasma-desktop qdbus-qt5
    cups cups-client printer-driver-cups-pdf poppler-utils
    at-spi2-core python3-pyatspi
)

# The Debian package and its check in a clean Debian 12 (./test.sh --package,
# scripts/check-package.sh): CPack's dpkg-shlibdeps and file, lintian, and
# debootstrap for the clean root.
QUORREL_PACKAGE_PACKAGES=(
    dpkg-dev file lintian debootstrap debian-archive-keyring
    appstream desktop-file-utils imagemagick python3
)

# Installs the packages named as arguments (by default QUORREL_PACKAGES) that
# are missing.
quorrel_install_packages() {
    local wanted=("$@")
    [ ${#wanted[@]} -eq 0 ] && wanted=("${QUORREL_PACKAGES[@]}")
    local missing=()
    local pkg
    for pkg in "${wanted[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        sudo="sudo"
    fi
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# The tests check that every number the program writes or reads is the same
# under a comma-decimal locale: generate de_DE.UTF-8 when the system lacks it.
quorrel_generate_locales() {
    if locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
        return 0
    fi
    echo "Generating the de_DE.UTF-8 locale"
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        sudo="sudo"
    fi
    # -c writes the locale despite warnings, which then set the exit status.
    $sudo localedef -i de_DE -c -f UTF-8 -A /usr/share/locale/locale.alias de_DE.UTF-8 || true
    locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'
}

quorrel_build() {
    local jobs
    jobs="$(nproc 2>/dev/null || echo 2)"
    cmake -S "$QUORREL_ROOT" -B "$QUORREL_BUILD" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
    cmake --build "$QUORREL_BUILD" -j "$jobs"
}

# Runs shellcheck (warnings and errors) on every script that is run; each is
# checked with the files it sources (settings in .shellcheckrc).
quorrel_shellcheck() {
    (cd "$QUORREL_ROOT" &&
        shellcheck -S warning -x test.sh run.sh scripts/check-package.sh scripts/make-*.sh tests/desktops/check-*.sh)
}

# Builds the libFuzzer targets with clang in build-fuzz/ and runs each for a
# short bounded time on a scratch copy of its seed corpus.
quorrel_fuzz() {
    local seconds="${1:-20}"
    local dir="$QUORREL_ROOT/build-fuzz"
    CC=clang CXX=clang++ cmake -S "$QUORREL_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DQUORREL_BUILD_GUI=OFF -DQUORREL_BUILD_TESTS=OFF -DQUORREL_BUILD_BENCH=OFF \
        -DQUORREL_BUILD_FUZZERS=ON >/dev/null
    cmake --build "$dir" -j "$(nproc 2>/dev/null || echo 2)" >/dev/null
    local scratch target
    scratch="$(mktemp -d)"
    for target in wpp defaults; do
        cp -r "$QUORREL_ROOT/tests/fuzz/corpus/$target" "$scratch/$target"
        echo "Fuzzing the $target reader for ${seconds}s"
        if ! "$dir/tests/fuzz/fuzz_$target" -max_total_time="$seconds" -max_len=4096 -rss_limit_mb=2048 \
                -artifact_prefix="$scratch/" "$scratch/$target" >"$scratch/$target.log" 2>&1; then
            tail -n 30 "$scratch/$target.log"
            echo "Fuzzing the $target reader found a failure (input kept in $scratch)"
            return 1
        fi
        # Executions, edge coverage (cov) and features (ft) reached.
        grep -E '^#[0-9]+[[:space:]]+DONE' "$scratch/$target.log" | tail -n 1 || true
        grep -E '^Done [0-9]+ runs' "$scratch/$target.log" || true
    done
    rm -rf "$scratch"
}
