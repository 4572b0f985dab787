# Sourced by the shell tests (tests/install, tests/package): counted
# failures, bounded waits, and the box started from an installed tree's
# programs. WORK, when the caller sets it, is removed at exit; RUN holds the
# programs' logs.
failures=0
PIDS=""
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
# Ends what start_box started and removes WORK.
cleanup() {
    for pid in $PIDS; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    [ -z "${WORK:-}" ] || rm -rf "$WORK"
}
trap cleanup EXIT

# start_box BIN: the config-0 store and Portvane from BIN as an
# unprivileged user in group dialout, with a simulated converter (type 5)
# whose terminal is given to that group as udev does for USB serial ports;
# waits until Portvane has bound it (PORTVANE: its process id). The
# environment (LD_LIBRARY_PATH) passes on.
start_box() {
    bin=$1
    as_user="setpriv --reuid=nobody --regid=nogroup --groups=dialout --inh-caps=-all --"
    $as_user "$bin/tovik-configstore" >"$RUN/store.log" 2>&1 &
    PIDS="$PIDS $!"
    "$bin/tovik-convsim" --link "$RUN/tty0" --type 5 >"$RUN/sim.log" 2>&1 &
    PIDS="$PIDS $!"
    wait_for 20 grep -q "serving config 0" "$RUN/store.log" || fail "store did not start: $(cat "$RUN/store.log")"
    wait_for 20 test -e "$RUN/tty0" || fail "simulator did not start: $(cat "$RUN/sim.log")"
    terminal=$(readlink -f "$RUN/tty0")
    chgrp dialout "$terminal" && chmod 660 "$terminal" || fail "cannot give $terminal to dialout"
    PORTVANE_SERIAL_PORTS=$RUN/tty0 $as_user "$bin/Portvane" >"$RUN/portvane.log" 2>&1 &
    PORTVANE=$!
    PIDS="$PIDS $PORTVANE"
    wait_for 60 grep -q "Rozo 0 added with config id 1" "$RUN/portvane.log" || fail "Portvane did not take the converter"
    grep -q "not run properly as root" "$RUN/portvane.log" && fail "Portvane ran as root"
    grep -q "Failed to locate resource" "$RUN/portvane.log" && fail "Portvane did not find types/"
    grep -q "Fatal Connect" "$RUN/portvane.log" && fail "Portvane could not identify the converter"
    [ "$(ps -o user= -p "$PORTVANE" | tr -d ' ')" = nobody ] || fail "Portvane is not running as nobody"
}
