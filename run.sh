#!/bin/sh
# Installs what is missing, builds, and runs the system: the box's config-0
# store, the Portvane daemon and simulated converters. Ctrl-C stops it all.
set -e
cd "$(dirname "$0")"
./scripts/deps.sh
BUILD=${BUILD_DIR:-build}
JOBS=$(nproc 2>/dev/null || echo 2)
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOVIK_TESTS=OFF >/dev/null
cmake --build "$BUILD" -j "$JOBS"
echo "Built into $BUILD/bin. The daemon and its store are not wired up yet."
