#!/bin/sh
# Two builds of the libraries from one tree with SOURCE_DATE_EPOCH set, by
# different users at different times in different build folders, give
# byte-identical libraries; the build signature then names the epoch's date
# and time (UTC) and no user, and no __DATE__ or __TIME__ is used
# (-Werror=date-time). Each folder is mapped to one name in the debug
# information (-ffile-prefix-map), as a package build maps its own. CMake's
# default generator builds them.
# Usage: reproducible_test.sh SOURCE_DIR OUT_DIR
set -u
SOURCE=$(cd "$1" && pwd)
OUT=$(mkdir -p "$2" && cd "$2" && pwd)
JOBS=${JOBS:-$(nproc 2>/dev/null || echo 2)}
LIBRARIES="tovikdescriptors paramlink tovikconfig lumo"
# 2026-03-05 07:08:09 UTC
export SOURCE_DATE_EPOCH=1772694489
. "$SOURCE/tests/support/shelltest.sh"

for build in one two; do
    dir=$OUT/build-$build
    rm -rf "$dir"
    mkdir -p "$dir"
    if ! USER=builder-$build cmake -S "$SOURCE" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOVIK_TESTS=OFF \
            "-DCMAKE_CXX_FLAGS=-ffile-prefix-map=$dir=/build -Werror=date-time" >"$dir/configure.log" 2>&1 ||
       ! cmake --build "$dir" -j "$JOBS" --target $LIBRARIES >"$dir/build.log" 2>&1; then
        tail -n 40 "$dir/configure.log" "$dir/build.log"
        echo "FAIL: build $build"
        exit 1
    fi
done
for library in $LIBRARIES; do
    one=$(ls "$OUT/build-one/lib/lib$library.so."*.*.* 2>/dev/null)
    two=$(ls "$OUT/build-two/lib/lib$library.so."*.*.* 2>/dev/null)
    [ -n "$one" ] && [ -n "$two" ] || { fail "lib$library was not built"; continue; }
    cmp -s "$one" "$two" || fail "the two builds of lib$library differ"
done
signature=$(strings -e l "$OUT/build-one/lib/liblumo.so."*.*.* | grep -x 'Mar  5 2026\|07:08:09\|reproducible' | sort | tr '\n' ' ')
[ "$signature" = "07:08:09 Mar  5 2026 reproducible " ] || fail "the build signature's values: $signature"
strings -e l "$OUT/build-one/lib/liblumo.so."*.*.* | grep -q builder- && fail "the builder's name is in liblumo"
[ "$failures" -eq 0 ] || exit 1
echo "two builds of the libraries are byte-identical"
