#!/usr/bin/env bash
# Installs what is missing, builds in build/ (Release) and runs every test
# through ctest. Exits non-zero on any failure.
set -euo pipefail
source "$(dirname "$0")/scripts/setup.sh"

quorrel_install_packages
quorrel_build
# A short fuzzing run of the file readers on every change.
quorrel_fuzz 20

cd "$QUORREL_BUILD"
# GUI tests never touch the real display, settings or desktop.
export QT_QPA_PLATFORM=offscreen
ctest --output-on-failure -j "$(nproc 2>/dev/null || echo 2)" --timeout 600
