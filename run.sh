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
BUILD=${BUILD_DIR:-build}
RUN=${RUN_DIR:-.run}

# One run per run directory: a second one would delete the first one's logs
# and links and then fail on the ports. The lock is held by this script and
# the programs it starts, and checked before anything is touched.
mkdir -p "$RUN"
exec 9>>"$RUN/run.lock"
if ! flock -n 9; then
    echo "run.sh: another run is using $RUN (pid $(cat "$RUN/run.pid" 2>/dev/null || echo unknown))." >&2
    echo "Stop it first (Ctrl-C where it runs)." >&2
    exit 1
fi

./scripts/deps.sh
JOBS=$(nproc 2>/dev/null || echo 2)
[ "$JOBS" -gt 4 ] && JOBS=4
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOVIK_TESTS=OFF >/dev/null
cmake --build "$BUILD" -j "$JOBS" --target Portvane tovik-configstore tovik-convsim tovik-storedump knobctl \
    tovik-descdump
BIN=$(cd "$BUILD/bin" && pwd)

# Everything of the last run but the lock.
find "$RUN" -mindepth 1 ! -name run.lock -exec rm -rf {} +
RUN=$(cd "$RUN" && pwd)
echo $$ >"$RUN/run.pid"
PIDS=""
DAEMON=""

# Sends SIGTERM to the programs and waits up to 10 s for each, then SIGKILL.
stop() {
    for pid in "$@"; do
        kill -TERM "$pid" 2>/dev/null || true
    done
    for pid in "$@"; do
        n=0
        while kill -0 "$pid" 2>/dev/null && [ "$n" -lt 100 ]; do
            sleep 0.1
            n=$((n + 1))
        done
        kill -KILL "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
}

stop_all() {
    trap - INT TERM EXIT
    echo "Stopping..."
    # The daemon first and alone, so that no converter goes away under it;
    # then the converters and the store.
    stop $DAEMON
    stop $PIDS
    rm -f "$RUN/run.pid"
    echo "Stopped. Logs are in $RUN."
}
trap 'stop_all; exit 0' INT TERM
trap 'stop_all' EXIT

# Each program runs in a session of its own: Ctrl-C reaches this script
# only, which stops them in order.
start() {
    log=$1
    shift
    setsid "$@" >"$log" 2>&1 &
}

# Shows why a program did not start, and ends the run.
failed() {
    echo "$1 did not start:" >&2
    tail -n 20 "$2" >&2
    exit 1
}

# Waits up to $3 tenths of a second for the shell test $2 while the program
# with pid $1 runs; false when it ended or the time ran out.
wait_for() {
    n=0
    while ! eval "$2"; do
        kill -0 "$1" 2>/dev/null || return 1
        n=$((n + 1))
        if [ "$n" -gt "$3" ]; then
            return 1
        fi
        sleep 0.1
    done
    kill -0 "$1" 2>/dev/null
}

start "$RUN/configstore.log" "$BIN/tovik-configstore"
STORE=$!
PIDS="$PIDS $STORE"
wait_for "$STORE" "grep -q 'serving config 0' '$RUN/configstore.log'" 100 ||
    failed "The config-0 store" "$RUN/configstore.log"

# One non-scaler and the four ROI scaler models (Hestra, Mardex, Pendro,
# Quastel); the daemon identifies them all and binds the scalers.
PORTS=""
CONVERTERS=""
for conv in "ttyCONV0 7" "ttyCONV1 5" "ttyCONV2 14" "ttyCONV3 18" "ttyCONV4 19"; do
    set -- $conv
    start "$RUN/$1.log" "$BIN/tovik-convsim" --link "$RUN/$1" --type "$2"
    PIDS="$PIDS $!"
    CONVERTERS="$CONVERTERS $1:$!"
    wait_for "$!" "[ -e '$RUN/$1' ]" 100 || failed "Simulated converter $1" "$RUN/$1.log"
    PORTS="${PORTS:+$PORTS:}$RUN/$1"
done

export PORTVANE_SERIAL_PORTS="$PORTS"
start "$RUN/portvane.log" "$BIN/Portvane"
DAEMON=$!
wait_for "$DAEMON" "grep -q 'No mini found for pos\|added with config id' '$RUN/portvane.log'" 200 ||
    failed "Portvane" "$RUN/portvane.log"

# Every program must still be up before the run is declared running.
kill -0 "$STORE" 2>/dev/null || failed "The config-0 store" "$RUN/configstore.log"
for entry in $CONVERTERS; do
    kill -0 "${entry#*:}" 2>/dev/null || failed "Simulated converter ${entry%%:*}" "$RUN/${entry%%:*}.log"
done
kill -0 "$DAEMON" 2>/dev/null || failed "Portvane" "$RUN/portvane.log"

echo "--- Portvane log ---"
cat "$RUN/portvane.log"
echo "--- Device slots in config 0 ---"
wait_for "$DAEMON" "\"$BIN/tovik-storedump\" | grep -q '^eParamID_DeviceCount=4'" 200 || true
"$BIN/tovik-storedump" | grep -E '^eParamID_Device' || true
# Each bound converter's config: what it is and a few live values.
for slot in 1 2 3 4; do
    type=$("$BIN/tovik-storedump" | sed -n "s/^eParamID_Device_${slot}_Type=//p")
    [ -n "$type" ] && [ "$type" != 0 ] || continue
    url="socket://localhost:43111?caching=true&configid=$slot"
    # Its values reach the store with its first status poll after binding.
    wait_for "$DAEMON" "\"$BIN/tovik-storedump\" '$url' | grep -q '^eParamID_ModuleName=.'" 50 || true
    echo "--- Config $slot (model $type) ---"
    "$BIN/tovik-storedump" "$url" |
        grep -E '^eParamID_(ModuleName|ModuleType|VoruZevezoZerazi|ImageSdiOutFormat|Image(Dp|Dvi|Hdmi)In(Enabled|Size)|CfgOutMode|InScreenProxy|RefImageInputStatus|GenlockStatusStr)=' || true
done
echo "--------------------------------"
echo "Running: store, Portvane (pid $DAEMON) and converters on $PORTS."
echo "Press Ctrl-C to stop. Meanwhile, from another terminal, try:"
echo "  $BIN/knobctl -get eParamID_DeviceCount"
echo "  echo dump | $BIN/knobctl --config 1"

if [ -n "$RUN_FOR" ]; then
    sleep "$RUN_FOR" &
    wait $! || true
    stop_all
    exit 0
fi
# Runs until a signal arrives (its trap stops everything) or the daemon ends.
status=0
wait "$DAEMON" || status=$?
echo "Portvane ended by itself (status $status):"
tail -n 20 "$RUN/portvane.log"
exit 1
