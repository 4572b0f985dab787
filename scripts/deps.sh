#!/bin/sh
# Installs the Debian packages the build, the tests and the system need,
# skipping apt entirely when they are all present already. clang and its
# runtime libraries (libFuzzer, the sanitizers) build the fuzz targets.
set -e
PACKAGES="build-essential cmake ninja-build pkg-config qtbase5-dev libudev-dev \
libjsoncpp-dev libreadline-dev libgtest-dev libgmock-dev googletest libbenchmark-dev \
iproute2 util-linux procps clang libclang-rt-14-dev"
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
