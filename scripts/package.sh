#!/bin/sh
# Builds the Debian packages from a copy of the tree (the tree itself stays
# clean), checks that debian/changelog carries the version of the
# top-level project(VERSION), lists what each package holds and runs
# lintian over them (an error fails; warnings are printed).
#
#   scripts/package.sh OUT    packages in OUT/debs/, the build's log in
#                             OUT/build.log, contents in OUT/contents.txt
#   JOBS=4                    parallel build jobs (nproc)
set -eu
cd "$(dirname "$0")/.."
OUT=$(mkdir -p "$1" && cd "$1" && pwd)
JOBS=${JOBS:-$(nproc 2>/dev/null || echo 2)}

version=$(sed -n 's/^project(Tovik VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
changelog=$(dpkg-parsechangelog -l debian/changelog -S Version)
if [ -z "$version" ] || [ "$version" != "$changelog" ]; then
    echo "debian/changelog is at $changelog, project(VERSION) at ${version:-nothing}"
    exit 1
fi

# The tree as git sees it (changes not yet committed included, build
# directories and other ignored files left out).
rm -rf "$OUT/src" "$OUT/debs"
SRC=$OUT/src/tovik-$version
mkdir -p "$SRC" "$OUT/debs"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files -z --cached --others --exclude-standard |
        tar --null --ignore-failed-read -T - -cf - 2>/dev/null | tar -xf - -C "$SRC"
else
    tar --exclude='./build*' --exclude=./.run --exclude='./obj-*' -cf - . | tar -xf - -C "$SRC"
fi

echo "building the packages of tovik $version (log: $OUT/build.log)"
if ! (cd "$SRC" && DEB_BUILD_OPTIONS="nocheck noddebs parallel=$JOBS" dpkg-buildpackage -us -uc -b) \
    >"$OUT/build.log" 2>&1 </dev/null; then
    tail -n 60 "$OUT/build.log"
    echo "dpkg-buildpackage failed; its whole output is in $OUT/build.log"
    exit 1
fi
mv "$OUT"/src/*.deb "$OUT"/src/*.changes "$OUT"/src/*.buildinfo "$OUT/debs/"

# What each package holds (the hardware description files counted).
: >"$OUT/contents.txt"
for deb in "$OUT"/debs/*.deb; do
    dpkg-deb -c "$deb" | awk '{ print $6 }' | sed 's|^\./|/|' | grep -v '/$' >"$OUT/files"
    {
        echo "$(dpkg-deb -f "$deb" Package) $(dpkg-deb -f "$deb" Version):"
        grep -v '^/usr/share/portvane/types/' "$OUT/files" | sed 's/^/  /'
        types=$(grep -c '^/usr/share/portvane/types/' "$OUT/files" || true)
        [ "$types" -eq 0 ] || echo "  /usr/share/portvane/types/ ($types hardware description files)"
    } >>"$OUT/contents.txt"
done
rm -f "$OUT/files"
cat "$OUT/contents.txt"

# Every tag down to the informational ones, and the overridden ("O:");
# an error that no override explains ("E:") fails.
echo "lintian:"
if ! lintian --fail-on none --display-info --show-overrides "$OUT"/debs/*.changes >"$OUT/lintian.log" 2>&1 ||
   grep -q '^E:' "$OUT/lintian.log"; then
    cat "$OUT/lintian.log"
    echo "lintian reports errors"
    exit 1
fi
tags=$(grep '^[EWIOP]:' "$OUT/lintian.log" || true)
echo "${tags:-nothing to report}" | sed 's/^/  /'
