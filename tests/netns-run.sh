#!/bin/sh
# Runs a command in a fresh network namespace with only loopback up, so tests
# that use the fixed store ports never collide with each other or the host.
exec unshare -n sh -c 'ip link set lo up 2>/dev/null || ifconfig lo up 2>/dev/null; exec "$@"' netns-run "$@"
