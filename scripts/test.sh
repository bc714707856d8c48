#!/usr/bin/env bash
# Installs what is missing, builds Kalvane with the sanitizers and runs the
# whole test suite. Exits non-zero on any failure.
set -euo pipefail
. "$(dirname "$0")/common.sh"

install_missing_packages

# Qt's trash needs the user's data folder; the printing tests need the
# CUPS-PDF queue (they fail without it, as a broken print chain must).
mkdir -p "${XDG_DATA_HOME:-$HOME/.local/share}"
if ! "$KALVANE_ROOT/scripts/pdf-printer.sh"; then
    echo "kalvane: la file d'impression PDF « KalvanePDF » n'a pas pu être installée : les tests d'impression échoueront" >&2
fi

BUILD=${KALVANE_TEST_BUILD:-$KALVANE_ROOT/build-tests}
build_kalvane "$BUILD" -DCMAKE_BUILD_TYPE=Debug -DKALVANE_SANITIZE=ON
cd "$BUILD"
ctest --output-on-failure -j"$(nproc)"
