#!/bin/sh
# Installs the build into a fresh prefix and runs what was installed: the
# layout, the libraries' exported symbols, knobctl from the installed tree,
# and Portvane with the installed store and simulator, reading the installed
# hardware description files. Usage: install_test.sh CMAKE BUILD_DIR
set -u
CMAKE=$1
BUILD=$2
PREFIX=$(mktemp -d /tmp/tovik-install-XXXXXX)
RUN=$PREFIX/run
PIDS=""
cleanup() {
    for pid in $PIDS; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$PREFIX"
}
trap cleanup EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
# wait_for SECONDS COMMAND...: true once the command succeeds.
wait_for() {
    tries=$(($1 * 10))
    shift
    while [ "$tries" -gt 0 ]; do
        "$@" && return 0
        sleep 0.1
        tries=$((tries - 1))
    done
    return 1
}

"$CMAKE" --install "$BUILD" --prefix "$PREFIX" >"$PREFIX/install.log" 2>&1 \
    || { cat "$PREFIX/install.log"; echo "FAIL: cmake --install"; exit 1; }
mkdir -p "$RUN"
LIBDIR=$(cd "$PREFIX" && ls -d lib* | head -n 1)
[ -e "$PREFIX/$LIBDIR/libparamlink.so.1" ] || LIBDIR=$(dirname "$(cd "$PREFIX" && find . -name libparamlink.so.1)")

for f in bin/Portvane bin/knobctl bin/tovik-configstore bin/tovik-convsim bin/tovik-storedump \
         bin/tovik-descdump include/paramlink/paramlink.h include/tovikconfig/tovikconfig.h \
         include/lumo/lumotimestamp.h share/portvane/types/hestra/assembly.xml; do
    [ -e "$PREFIX/$f" ] || fail "$f not installed"
done
for lib in tovikdescriptors paramlink tovikconfig lumo; do
    [ -e "$PREFIX/$LIBDIR/lib$lib.so.1" ] || fail "lib$lib.so.1 not installed"
done

# Only the public interface is exported: no private class of the store or
# the tables reaches the dynamic symbol table.
exports=$(nm -DC --defined-only "$PREFIX/$LIBDIR/libparamlink.so.1")
for private in ListenerQueue ListenerHub ConfigStore ServerConnection SocketConfig ParseMessage; do
    echo "$exports" | grep -q "$private" && fail "libparamlink exports $private"
done
echo "$exports" | grep -q "ConfigFactoryImpl::CreateConfig" || fail "libparamlink lacks ConfigFactoryImpl"
exports=$(nm -DC --defined-only "$PREFIX/$LIBDIR/libtovikconfig.so.1")
echo "$exports" | grep -q "SetSerialNumberPath" && fail "libtovikconfig exports its test seams"
echo "$exports" | grep -q "TovikConfig::AddParamDescriptors" || fail "libtovikconfig lacks TovikConfig"

# The installed programs find the installed libraries from anywhere.
(cd / && "$PREFIX/bin/knobctl" --help >"$RUN/knobctl.out" 2>&1) || fail "installed knobctl --help"
grep -q "Usage: knobctl" "$RUN/knobctl.out" || fail "knobctl --help printed: $(cat "$RUN/knobctl.out")"
"$PREFIX/bin/tovik-descdump" 1 >/dev/null 2>&1 || fail "installed tovik-descdump"

# Portvane from the installed tree with a simulated converter: it finds
# share/portvane/types, so the converter is identified and takes slot 0.
"$PREFIX/bin/tovik-configstore" >"$RUN/store.log" 2>&1 &
PIDS="$PIDS $!"
"$PREFIX/bin/tovik-convsim" --link "$RUN/tty0" --type 5 >"$RUN/sim.log" 2>&1 &
PIDS="$PIDS $!"
wait_for 20 grep -q "serving config 0" "$RUN/store.log" || fail "store did not start: $(cat "$RUN/store.log")"
wait_for 20 test -e "$RUN/tty0" || fail "simulator did not start: $(cat "$RUN/sim.log")"
PORTVANE_SERIAL_PORTS=$RUN/tty0 "$PREFIX/bin/Portvane" >"$RUN/portvane.log" 2>&1 &
PIDS="$PIDS $!"
wait_for 60 grep -q "Rozo 0 added with config id 1" "$RUN/portvane.log" || fail "Portvane did not take the converter"
grep -q "Failed to locate resource" "$RUN/portvane.log" && fail "Portvane did not find types/"
grep -q "Fatal Connect" "$RUN/portvane.log" && fail "Portvane could not identify the converter"
"$PREFIX/bin/tovik-storedump" >"$RUN/dump.out" 2>&1 || fail "installed tovik-storedump"
grep -q "^eParamID_DeviceCount=1$" "$RUN/dump.out" || fail "store dump: $(cat "$RUN/dump.out")"

if [ "$failures" -ne 0 ]; then
    echo "--- Portvane log ---"
    cat "$RUN/portvane.log"
    exit 1
fi
echo "installed into $PREFIX: every check passed"
