# Shared set-up for run.sh and test.sh: installs the Debian packages the
# build and the tests need when any is missing, then configures and builds
# in build/ (Release). Sourced, not run.

QUORREL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
QUORREL_BUILD="${QUORREL_BUILD:-$QUORREL_ROOT/build}"

QUORREL_PACKAGES=(
    build-essential cmake pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-image-formats-plugins libgl-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    libhwy-dev libgif-dev libimagequant-dev
    xvfb xauth
)

quorrel_install_packages() {
    local missing=()
    local pkg
    for pkg in "${QUORREL_PACKAGES[@]}"; do
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

quorrel_build() {
    local jobs
    jobs="$(nproc 2>/dev/null || echo 2)"
    cmake -S "$QUORREL_ROOT" -B "$QUORREL_BUILD" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
    cmake --build "$QUORREL_BUILD" -j "$jobs"
}
