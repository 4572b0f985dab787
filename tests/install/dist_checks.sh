#!/bin/sh
# Checks what dist/ adds to an installed tree under ROOT (an install prefix,
# or the root of unpacked packages): each unit's exposure as systemd rates
# it (systemd-analyze security, at most 3.5, where systemd-analyze exists)
# and the udev rule, which marks the converters' USB vendor (as the daemon
# knows it) for ModemManager to ignore and leaves owner, group and mode be
# (its syntax checked by udevadm verify where that exists).
# Usage: dist_checks.sh ROOT; prints what fails, exit status 1 then.
set -u
ROOT=$1
SOURCE=$(cd "$(dirname "$0")/../.." && pwd)
. "$SOURCE/tests/support/shelltest.sh"

if command -v systemd-analyze >/dev/null 2>&1; then
    for unit in portvane tovik-configstore; do
        rating=$(systemd-analyze security --offline=true "$ROOT/lib/systemd/system/$unit.service" 2>&1)
        score=$(echo "$rating" | sed -n "s/.*exposure level for $unit.service: \([0-9.]*\) .*/\1/p")
        echo "$unit.service: exposure ${score:-unknown}"
        awk -v score="$score" 'BEGIN { exit !(score != "" && score + 0 <= 3.5) }' \
            || fail "$unit.service is rated above 3.5: $(echo "$rating" | tail -n 1)"
    done
else
    echo "systemd-analyze is not installed: the units' exposure is not rated"
fi

RULE=$ROOT/lib/udev/rules.d/70-portvane.rules
VENDOR=$(sed -n 's/.*kConverterVendorID\[\] = "\([0-9a-f]*\)".*/\1/p' "$SOURCE/daemon/link/serial/converterusb.h")
[ -n "$VENDOR" ] || fail "no converter vendor id in converterusb.h"
[ "$(grep -c "ATTRS\{0,1\}{idVendor}==\"$VENDOR\".*ENV{ID_MM_DEVICE_IGNORE}=\"1\"" "$RULE")" = 2 ] \
    || fail "70-portvane.rules does not mark vendor $VENDOR's USB device and serial ports"
grep -v '^#' "$RULE" | grep -q 'MODE\|GROUP\|OWNER' && fail "70-portvane.rules changes who may open the ports"
if command -v udevadm >/dev/null 2>&1 && udevadm verify --help >/dev/null 2>&1; then
    said=$(udevadm verify "$RULE" 2>&1) || fail "udevadm verify: $said"
else
    echo "udevadm verify is not available: the udev rule's syntax is not checked"
fi
[ "$failures" -eq 0 ]
