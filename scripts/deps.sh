#!/bin/sh
# Installs the Debian packages the build, the tests and the system need,
# skipping apt entirely when they are all present already. clang and its
# runtime libraries (libFuzzer, the sanitizers) build the fuzz targets;
# python3 runs the benchmark scripts and the golden-table checks.
#
#   scripts/deps.sh         what run.sh and the tests need
#   scripts/deps.sh bench   also the small libraries the benchmarks compare
#                           against (spdlog, expat, pugixml, jemalloc), so
#                           ./test.sh's brief benchmark runs cover both
#                           sides. Redis (a server Debian starts as a
#                           service) and OpenColorIO (large) are left to the
#                           comparison scripts' full runs, which install them.
#   scripts/deps.sh package also what builds and checks the Debian packages
#                           (debhelper, lintian); both words may be given.
set -e
PACKAGES="build-essential cmake ninja-build pkg-config qtbase5-dev libudev-dev \
libjsoncpp-dev libreadline-dev libgtest-dev libgmock-dev googletest libbenchmark-dev \
iproute2 util-linux procps clang libclang-rt-14-dev python3"
for extra in "$@"; do
    case $extra in
    bench) PACKAGES="$PACKAGES libspdlog-dev libexpat1-dev libpugixml-dev libjemalloc-dev" ;;
    package) PACKAGES="$PACKAGES debhelper dpkg-dev lintian" ;;
    esac
done
missing=""
for p in $PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
    echo "Installing:$missing"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y --no-install-recommends $missing
fi
