#!/bin/sh
# Installs the build into a fresh prefix and checks what was installed: the
# layout (man pages for every program, service units, completion,
# pkg-config files and the CMake package), the libraries' exported symbols,
# the run paths, a consumer built both ways against the tree, the units
# (systemd-analyze verify where it exists) and their exposure, the udev rule
# (dist_checks.sh), knobctl's completion against a
# running store, and the installed store and Portvane running as an
# unprivileged user in group dialout with a simulated converter, from a
# copy of the tree moved elsewhere.
# Usage: install_test.sh CMAKE BUILD_DIR [CXXFLAGS for the consumer]
set -u
CMAKE=$1
BUILD=$2
CONSUMER_FLAGS=${3:-}
SOURCE=$(cd "$(dirname "$0")" && pwd)
WORK=$(mktemp -d /tmp/tovik-install-XXXXXX)
PREFIX=$WORK/prefix
RUN=$WORK/run
. "$SOURCE/../support/shelltest.sh"
# runpath FILE: the file's RUNPATH (or RPATH), empty when it has none.
runpath() {
    readelf -d "$1" | sed -n 's/.*(R[UN]*PATH).*\[\(.*\)\]/\1/p'
}

"$CMAKE" --install "$BUILD" --prefix "$PREFIX" >"$WORK/install.log" 2>&1 \
    || { cat "$WORK/install.log"; echo "FAIL: cmake --install"; exit 1; }
LIBDIR=$(cd "$PREFIX" && dirname "$(find . -name libparamlink.so.1)")
LIBDIR=${LIBDIR#./}

# --- Layout
for f in include/paramlink/paramlink.h include/tovikconfig/tovikconfig.h include/lumo/lumotimestamp.h \
         share/portvane/types/hestra/assembly.xml share/bash-completion/completions/knobctl \
         lib/systemd/system/portvane.service lib/systemd/system/tovik-configstore.service \
         lib/udev/rules.d/70-portvane.rules share/doc/portvane/examples/restrict-clients.conf \
         "$LIBDIR/cmake/Tovik/TovikConfig.cmake" "$LIBDIR/cmake/Tovik/TovikConfigVersion.cmake"; do
    [ -e "$PREFIX/$f" ] || fail "$f not installed"
done
for program in Portvane knobctl tovik-configstore tovik-convsim tovik-storedump tovik-descdump; do
    [ -x "$PREFIX/bin/$program" ] || fail "bin/$program not installed"
    ls "$PREFIX"/share/man/man[18]/"$program".[18] >/dev/null 2>&1 || fail "no man page for $program"
done
[ "$(ls "$PREFIX/bin" | wc -l)" -eq 6 ] || fail "bin/ holds more than the six programs: $(ls "$PREFIX/bin")"
for lib in tovikdescriptors paramlink tovikconfig lumo; do
    [ -e "$PREFIX/$LIBDIR/lib$lib.so.1" ] || fail "lib$lib.so.1 not installed"
    [ -e "$PREFIX/$LIBDIR/pkgconfig/$lib.pc" ] || fail "$lib.pc not installed"
done

# The Runtime component alone: no headers, links or development files.
"$CMAKE" --install "$BUILD" --prefix "$WORK/runtime" --component Runtime >/dev/null 2>&1 || fail "Runtime install"
[ -x "$WORK/runtime/bin/Portvane" ] || fail "the Runtime component lacks Portvane"
left=$(cd "$WORK/runtime" && find . -path ./include -o -name '*.so' -o -name '*.pc' -o -name '*.cmake' | head -n 3)
[ -z "$left" ] || fail "the Runtime component holds development files: $left"

# --- Only the public interface is exported: no private class of the store or
# the tables reaches the dynamic symbol table.
exports=$(nm -DC --defined-only "$PREFIX/$LIBDIR/libparamlink.so.1")
for private in ListenerQueue ListenerHub ConfigStore ServerConnection SocketConfig ParseMessage; do
    echo "$exports" | grep -q "$private" && fail "libparamlink exports $private"
done
echo "$exports" | grep -q "ConfigFactoryImpl::CreateConfig" || fail "libparamlink lacks ConfigFactoryImpl"
exports=$(nm -DC --defined-only "$PREFIX/$LIBDIR/libtovikconfig.so.1")
echo "$exports" | grep -q "SetSerialNumberPath" && fail "libtovikconfig exports its test seams"
echo "$exports" | grep -q "TovikConfig::AddParamDescriptors" || fail "libtovikconfig lacks TovikConfig"
# The installed dump tool uses the shared library, not its internal twin.
readelf -d "$PREFIX/bin/tovik-descdump" | grep -q "NEEDED.*libtovikconfig.so.1" \
    || fail "tovik-descdump does not link libtovikconfig.so.1"
nm -C "$PREFIX/bin/tovik-descdump" | grep -q "SetSerialNumberPath\|BuildNetworkTable\|AddHestra" \
    && fail "tovik-descdump carries the table library's code"

# --- Run paths: relative to each file, so the tree moves whole.
[ "$(runpath "$PREFIX/bin/knobctl")" = "\$ORIGIN/../lib" ] || [ "$LIBDIR" != lib ] \
    || fail "knobctl's run path: $(runpath "$PREFIX/bin/knobctl")"
[ "$(runpath "$PREFIX/$LIBDIR/libtovikconfig.so.1")" = "\$ORIGIN" ] \
    || fail "libtovikconfig's run path: $(runpath "$PREFIX/$LIBDIR/libtovikconfig.so.1")"

# --- Units: named programs as installed; verified where systemd-analyze is.
grep -qx "ExecStart=$PREFIX/bin/Portvane" "$PREFIX/lib/systemd/system/portvane.service" \
    || fail "portvane.service: $(grep ExecStart "$PREFIX/lib/systemd/system/portvane.service")"
grep -qx "ExecStart=$PREFIX/bin/tovik-configstore" "$PREFIX/lib/systemd/system/tovik-configstore.service" \
    || fail "tovik-configstore.service does not start the installed store"
if command -v systemd-analyze >/dev/null 2>&1; then
    # It also checks that the units' man pages exist.
    said=$(MANPATH="$PREFIX/share/man" systemd-analyze verify "$PREFIX"/lib/systemd/system/*.service 2>&1) \
        || fail "systemd-analyze verify failed"
    [ -z "$said" ] || fail "systemd-analyze verify: $said"
else
    echo "systemd-analyze is not installed: the units are not verified"
fi
"$SOURCE/dist_checks.sh" "$PREFIX" || fail "the units' exposure or the udev rule"

# --- A consumer built against the tree, through pkg-config and through
# find_package(Tovik).
expected="eParamID_DeviceCount of 71; 2.300000"
mkdir -p "$WORK/consumer"
# shellcheck disable=SC2086
if c++ -std=c++17 $CONSUMER_FLAGS -o "$WORK/consumer/by-pkg-config" "$SOURCE/consumer/consumer.cpp" \
       $(PKG_CONFIG_PATH="$PREFIX/$LIBDIR/pkgconfig" pkg-config --cflags --libs tovikconfig lumo) \
       -Wl,-rpath,"$PREFIX/$LIBDIR" >"$WORK/consumer/pkg-config.log" 2>&1; then
    [ "$("$WORK/consumer/by-pkg-config")" = "$expected" ] || fail "the pkg-config consumer printed something else"
else
    cat "$WORK/consumer/pkg-config.log"
    fail "the consumer does not build with pkg-config"
fi
if "$CMAKE" -S "$SOURCE/consumer" -B "$WORK/consumer/build" -DCMAKE_PREFIX_PATH="$PREFIX" \
       -DCMAKE_CXX_FLAGS="$CONSUMER_FLAGS" >"$WORK/consumer/cmake.log" 2>&1 &&
   "$CMAKE" --build "$WORK/consumer/build" >>"$WORK/consumer/cmake.log" 2>&1; then
    [ "$("$WORK/consumer/build/consumer")" = "$expected" ] || fail "the find_package consumer printed something else"
else
    cat "$WORK/consumer/cmake.log"
    fail "the consumer does not build with find_package(Tovik)"
fi

# --- The tree moved whole still runs; from here on, the moved copy.
mv "$PREFIX" "$WORK/moved"
PREFIX=$WORK/moved
mkdir -p "$RUN"
(cd / && "$PREFIX/bin/knobctl" --help >"$RUN/knobctl.out" 2>&1) || fail "installed knobctl --help"
grep -q "Usage: knobctl" "$RUN/knobctl.out" || fail "knobctl --help printed: $(cat "$RUN/knobctl.out")"
"$PREFIX/bin/tovik-descdump" 1 >/dev/null 2>&1 || fail "installed tovik-descdump"

# --- knobctl's completion: options always, parameter names from the store
# when it answers (and nothing, soon, when it does not).
complete_words() {
    bash -c '. "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _knobctl; printf "%s\n" "${COMPREPLY[@]}"' \
        complete "$PREFIX/share/bash-completion/completions/knobctl" "$@"
}
[ "$(complete_words "$PREFIX/bin/knobctl" -des)" = "-describe" ] || fail "completion of -des"
[ "$(complete_words "$PREFIX/bin/knobctl" --config 4)" = "4" ] || fail "completion of a config id"
started=$(date +%s)
[ -z "$(complete_words "$PREFIX/bin/knobctl" -get eParamID_Dev)" ] || fail "names offered with no store"
[ $(($(date +%s) - started)) -le 5 ] || fail "completion without a store took more than 5 s"

# --- The store and Portvane as an unprivileged user in group dialout, the
# simulated converter's terminal given to that group as udev does for USB
# serial ports. Portvane finds share/portvane/types from the moved tree.
chmod 755 "$WORK" "$PREFIX" "$RUN"
start_box "$PREFIX/bin"
wait_for 20 sh -c "'$PREFIX/bin/tovik-storedump' 2>/dev/null | grep -q '^eParamID_DeviceCount=1$'" \
    || fail "store dump: $("$PREFIX/bin/tovik-storedump" 2>&1 | grep DeviceCount)"

# With the store there: parameter names complete, and every command of
# knobctl's shell is on its man page.
names=$(complete_words "$PREFIX/bin/knobctl" -get eParamID_Device_1_)
echo "$names" | grep -qx "eParamID_Device_1_Type" || fail "completion of -get eParamID_Device_1_: $names"
commands=$(printf 'help\n' | env -u HOME "$PREFIX/bin/knobctl" 2>&1 | sed -n 's/^\([a-z]*\)\t.*/\1/p')
[ "$(echo "$commands" | wc -l)" -ge 16 ] || fail "knobctl's help listed: $commands"
for command in $commands; do
    grep -q "^\.IP \"\\\\fB$command\\\\fR" "$PREFIX/share/man/man1/knobctl.1" \
        || fail "knobctl(1) lacks the shell command $command"
done
for status in 0 1 2 3 234 255; do
    grep -q "^\.IP \"\\\\fB$status\\\\fR\"" "$PREFIX/share/man/man1/knobctl.1" \
        || fail "knobctl(1) lacks exit status $status"
done

if [ "$failures" -ne 0 ]; then
    echo "--- Portvane log ---"
    cat "$RUN/portvane.log"
    exit 1
fi
echo "installed into a fresh prefix: every check passed"
