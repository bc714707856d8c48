#!/usr/bin/env bash
# Installs what is missing, builds Kalvane with the sanitizers and runs the
# whole test suite. Exits non-zero on any failure.
set -euo pipefail
. "$(dirname "$0")/common.sh"

install_missing_packages

# Qt's trash needs the user's data folder; the printing tests need a printer.
mkdir -p "${XDG_DATA_HOME:-$HOME/.local/share}"
if [ "$(id -u)" -eq 0 ] || command -v sudo >/dev/null 2>&1; then
    "$KALVANE_ROOT/scripts/pdf-printer.sh" || echo "kalvane: imprimante PDF indisponible pour les tests"
fi

BUILD=${KALVANE_TEST_BUILD:-$KALVANE_ROOT/build-tests}
build_kalvane "$BUILD" -DCMAKE_BUILD_TYPE=Debug -DKALVANE_SANITIZE=ON
cd "$BUILD"
ctest --output-on-failure -j"$(nproc)"
