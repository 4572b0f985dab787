#!/bin/sh
# Runs replay cases and writes what they show into their .chk files, for a
# change in behaviour that is meant. Review the difference before committing.
#
# Usage: tests/replay/rebuild.sh [-b BUILD_DIR] [MODEL/CASE ...]
#   BUILD_DIR defaults to build-test (./test.sh's); without cases, every case.
#   A case may also be named by its file, daemon/models/MODEL/replay/CASE.script.
set -e
cd "$(dirname "$0")/../.."
BUILD=build-test
if [ "$1" = "-b" ]; then
    BUILD=$2
    shift 2
fi
BIN="$BUILD/bin/replay_tests"
[ -x "$BIN" ] || { echo "no $BIN: build the tests first" >&2; exit 1; }

FILTER=""
for c in "$@"; do
    c=${c%.script}
    c=${c%.chk}
    c=${c#daemon/models/}
    case $c in */replay/*) c=${c%%/replay/*}/${c##*/replay/} ;; esac
    name=$(printf '%s' "$c" | tr -c 'A-Za-z0-9\n' '_')
    FILTER="${FILTER:+$FILTER:}Replay/ReplayTest.Case/$name"
done

TOVIK_REPLAY_REBUILD=1 TOVIK_BUILD_DIR=$(cd "$BUILD" && pwd) TOVIK_SOURCE_DIR=$(pwd) \
    tests/netns-run.sh "$BIN" ${FILTER:+--gtest_filter=$FILTER}
git status --short -- 'daemon/models/*/replay'
