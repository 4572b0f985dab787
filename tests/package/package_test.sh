#!/bin/sh
# The built Debian packages unpacked into a fresh root and checked there:
# which package holds which program, the version, no run paths, the units
# and udev rule (tests/install/dist_checks.sh), and the config-0 store,
# Portvane, knobctl and the dump tool of the portvane, knobctl and library
# packages running with a simulated converter from tovik-convsim's package,
# the daemon as an unprivileged user in group dialout. Run it in a network
# namespace of its own (tests/netns-run.sh): it uses the fixed ports.
# Usage: package_test.sh DEB_DIR
set -u
DEBS=$(cd "$1" && pwd)
SOURCE=$(cd "$(dirname "$0")/../.." && pwd)
WORK=$(mktemp -d /tmp/tovik-package-XXXXXX)
ROOT=$WORK/root
RUN=$WORK/run
. "$SOURCE/tests/support/shelltest.sh"

version=$(sed -n 's/^project(Tovik VERSION \([0-9.]*\).*/\1/p' "$SOURCE/CMakeLists.txt")
MULTIARCH=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
LIBDIR=/usr/lib/$MULTIARCH

# --- Which package holds what: one row per file.
while read -r package file; do
    deb=$(ls "$DEBS/${package}_${version}_"*.deb 2>/dev/null | head -n 1)
    if [ -z "$deb" ]; then
        fail "no package $package $version"
        continue
    fi
    dpkg-deb -c "$deb" | awk '{ print $6 }' | sed 's|^\./|/|' | grep -qx "$file" || fail "$package lacks $file"
done <<ROWS
portvane /usr/bin/Portvane
portvane /usr/bin/tovik-configstore
portvane /usr/share/portvane/types/hestra/assembly.xml
portvane /lib/systemd/system/portvane.service
portvane /lib/systemd/system/tovik-configstore.service
portvane /lib/udev/rules.d/70-portvane.rules
portvane /usr/share/man/man8/Portvane.8.gz
portvane /usr/share/man/man8/tovik-configstore.8.gz
portvane /usr/share/doc/portvane/copyright
portvane /usr/share/doc/portvane/examples/restrict-clients.conf
knobctl /usr/bin/knobctl
knobctl /usr/bin/tovik-storedump
knobctl /usr/bin/tovik-descdump
knobctl /usr/share/bash-completion/completions/knobctl
knobctl /usr/share/man/man1/knobctl.1.gz
knobctl /usr/share/man/man1/tovik-storedump.1.gz
knobctl /usr/share/man/man1/tovik-descdump.1.gz
tovik-convsim /usr/bin/tovik-convsim
tovik-convsim /usr/share/man/man1/tovik-convsim.1.gz
libtovikdescriptors1 $LIBDIR/libtovikdescriptors.so.1
libparamlink1 $LIBDIR/libparamlink.so.1
libtovikconfig1 $LIBDIR/libtovikconfig.so.1
liblumo1 $LIBDIR/liblumo.so.1
libtovik-dev $LIBDIR/libparamlink.so
libtovik-dev $LIBDIR/pkgconfig/lumo.pc
libtovik-dev $LIBDIR/cmake/Tovik/TovikConfig.cmake
libtovik-dev /usr/include/paramlink/paramlink.h
ROWS
dpkg-deb -c "$DEBS"/portvane_*.deb | grep -q 'bin/tovik-convsim' && fail "portvane holds the simulator"
# The packages that need a library depend on its package (the descriptors'
# reach Portvane through the store's and the tables' libraries).
while read -r package library; do
    dpkg-deb -f "$DEBS/${package}_${version}_"*.deb Depends | grep -q "$library (>= $version)" \
        || fail "$package does not depend on $library: $(dpkg-deb -f "$DEBS/${package}_${version}_"*.deb Depends)"
done <<ROWS
portvane libparamlink1
portvane libtovikconfig1
portvane liblumo1
knobctl libparamlink1
libparamlink1 libtovikdescriptors1
libtovikconfig1 libtovikdescriptors1
ROWS

# --- Unpacked together into one root (not installed).
mkdir -p "$ROOT" "$RUN"
for package in portvane knobctl tovik-convsim libtovikdescriptors1 libparamlink1 libtovikconfig1 liblumo1; do
    dpkg-deb -x "$DEBS/${package}_${version}_"*.deb "$ROOT" || fail "cannot unpack $package"
done
for file in "$ROOT"/usr/bin/* "$ROOT$LIBDIR"/lib*.so.1; do
    readelf -d "$file" | grep -q 'R[UN]*PATH' && fail "$file carries a run path"
done
grep -qx "ExecStart=/usr/bin/Portvane" "$ROOT/lib/systemd/system/portvane.service" \
    || fail "portvane.service does not start /usr/bin/Portvane"
grep -qx "ExecStart=/usr/bin/tovik-configstore" "$ROOT/lib/systemd/system/tovik-configstore.service" \
    || fail "tovik-configstore.service does not start /usr/bin/tovik-configstore"
"$SOURCE/tests/install/dist_checks.sh" "$ROOT" || fail "the units' exposure or the udev rule"

# --- The programs from the packages; their libraries from the library
# packages. Portvane finds share/portvane/types beside its bin/; the store
# and Portvane run as an unprivileged user in group dialout.
export LD_LIBRARY_PATH="$ROOT$LIBDIR"
[ "$("$ROOT/usr/bin/knobctl" --help 2>&1 | head -n 1)" != "" ] || fail "knobctl --help"
"$ROOT/usr/bin/tovik-descdump" 1 >/dev/null 2>&1 || fail "tovik-descdump 1"
[ "$("$ROOT/usr/bin/tovik-configstore" --version)" = "tovik-configstore (Tovik) $version" ] \
    || fail "tovik-configstore --version: $("$ROOT/usr/bin/tovik-configstore" --version 2>&1)"
chmod 755 "$WORK" "$RUN"
start_box "$ROOT/usr/bin"
wait_for 20 sh -c "[ \"\$('$ROOT/usr/bin/knobctl' -get eParamID_DeviceCount 2>/dev/null)\" = 1 ]" \
    || fail "knobctl -get eParamID_DeviceCount: $("$ROOT/usr/bin/knobctl" -get eParamID_DeviceCount 2>&1)"
module=$(printf 'get ModuleName\n' | env -u HOME "$ROOT/usr/bin/knobctl" --config 1 2>&1)
echo "$module" | grep -q '^eParamID_ModuleName == "' || fail "knobctl --config 1 read: $module"
"$ROOT/usr/bin/tovik-storedump" 'socket://localhost:43111?caching=true&configid=1' 2>&1 | grep -q '^eParamID_ModuleName=' \
    || fail "tovik-storedump of config 1"

if [ "$failures" -ne 0 ]; then
    echo "--- Portvane log ---"
    cat "$RUN/portvane.log"
    exit 1
fi
echo "the packages unpacked and run: every check passed"
