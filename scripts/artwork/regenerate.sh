#!/bin/sh
# Redraws every picture and icon of data/ that the artwork generator owns.
# The build folder can be chosen with KALVANE_ARTWORK_BUILD (default /tmp/build-art).
set -e
here=$(cd "$(dirname "$0")" && pwd)
build=${KALVANE_ARTWORK_BUILD:-/tmp/build-art}
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release \
      -DKALVANE_ARTWORK_OUTPUT="$(cd "$here/../.." && pwd)/data"
cmake --build "$build" --target kalvane_artwork_data
