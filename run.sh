#!/bin/sh
# Installs what is missing, builds, and runs the system: the box's config-0
# store, the Portvane daemon and simulated converters. Shows what the daemon
# published in config 0, then keeps running until Ctrl-C (or SIGTERM), which
# stops everything.
#
# Environment: BUILD_DIR (default build), RUN_DIR (default .run), RUN_FOR
# (seconds to run before stopping by itself; default: until stopped).
set -e
cd "$(dirname "$0")"
./scripts/deps.sh
BUILD=${BUILD_DIR:-build}
RUN=${RUN_DIR:-.run}
JOBS=$(nproc 2>/dev/null || echo 2)
[ "$JOBS" -gt 4 ] && JOBS=4
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOVIK_TESTS=OFF >/dev/null
cmake --build "$BUILD" -j "$JOBS" --target Portvane tovik-configstore tovik-convsim tovik-storedump
BIN=$(cd "$BUILD/bin" && pwd)

rm -rf "$RUN"
mkdir -p "$RUN"
RUN=$(cd "$RUN" && pwd)
PIDS=""

stop_all() {
    trap - INT TERM EXIT
    echo "Stopping..."
    # The daemon first, then the converters and the store.
    for pid in $DAEMON $PIDS; do
        kill -TERM "$pid" 2>/dev/null || true
    done
    for pid in $DAEMON $PIDS; do
        wait "$pid" 2>/dev/null || true
    done
    echo "Stopped. Logs are in $RUN."
}
trap 'stop_all; exit 0' INT TERM
trap 'stop_all' EXIT

# Waits up to $2 tenths of a second for the shell test $1.
wait_for() {
    n=0
    while ! eval "$1"; do
        n=$((n + 1))
        if [ "$n" -gt "$2" ]; then
            return 1
        fi
        sleep 0.1
    done
}

"$BIN/tovik-configstore" >"$RUN/configstore.log" 2>&1 &
PIDS="$PIDS $!"
wait_for "grep -q 'serving config 0' '$RUN/configstore.log'" 100 || {
    echo "The config-0 store did not start:"; cat "$RUN/configstore.log"; exit 1; }

# One non-scaler and the four ROI scaler models (Hestra, Mardex, Pendro,
# Quastel); the daemon identifies them all and binds the scalers.
PORTS=""
for conv in "ttyCONV0 7" "ttyCONV1 5" "ttyCONV2 14" "ttyCONV3 18" "ttyCONV4 19"; do
    set -- $conv
    "$BIN/tovik-convsim" --link "$RUN/$1" --type "$2" >"$RUN/$1.log" 2>&1 &
    PIDS="$PIDS $!"
    wait_for "[ -e '$RUN/$1' ]" 100 || {
        echo "Simulated converter $1 did not start:"; cat "$RUN/$1.log"; exit 1; }
    PORTS="${PORTS:+$PORTS:}$RUN/$1"
done

PORTVANE_SERIAL_PORTS="$PORTS" "$BIN/Portvane" >"$RUN/portvane.log" 2>&1 &
DAEMON=$!
wait_for "grep -q 'No mini found for pos\|added with config id' '$RUN/portvane.log'" 200 || {
    echo "Portvane did not finish its first scan:"; cat "$RUN/portvane.log"; exit 1; }

echo "--- Portvane log ---"
cat "$RUN/portvane.log"
echo "--- Device slots in config 0 ---"
wait_for "\"$BIN/tovik-storedump\" | grep -q '^eParamID_DeviceCount=4'" 200 || true
"$BIN/tovik-storedump" | grep -E '^eParamID_Device' || true
# Each bound converter's config: what it is and a few live values.
for slot in 1 2 3 4; do
    type=$("$BIN/tovik-storedump" | sed -n "s/^eParamID_Device_${slot}_Type=//p")
    [ -n "$type" ] && [ "$type" != 0 ] || continue
    url="socket://localhost:43111?caching=true&configid=$slot"
    # Its values reach the store with its first status poll after binding.
    wait_for "\"$BIN/tovik-storedump\" '$url' | grep -q '^eParamID_ModuleName=.'" 50 || true
    echo "--- Config $slot (model $type) ---"
    "$BIN/tovik-storedump" "$url" |
        grep -E '^eParamID_(ModuleName|ModuleType|VoruZevezoZerazi|ImageSdiOutFormat|Image(Dp|Dvi|Hdmi)In(Enabled|Size)|CfgOutMode|InScreenProxy|RefImageInputStatus|GenlockStatusStr)=' || true
done
echo "--------------------------------"
echo "Running: store, Portvane (pid $DAEMON) and converters on $PORTS."
echo "Press Ctrl-C to stop."

if [ -n "$RUN_FOR" ]; then
    sleep "$RUN_FOR" &
    wait $! || true
    stop_all
    exit 0
fi
# Runs until a signal arrives or the daemon ends.
wait "$DAEMON" || true
echo "Portvane ended by itself:"
tail -n 20 "$RUN/portvane.log"
