#!/usr/bin/env python3
"""Writes the seeds of roiscaler_rules_fuzzer into rules_corpus/: a model
byte, the block's fields (two bytes each), the 64-byte status image, then
events of three bytes."""
import os
import sys

# The block's fields in the order of RoiField (model/fields.h), with their
# defaults and a measured input line total.
FIELDS = 62
FIELD_DEFAULTS = {0: 720, 1: 486, 2: 600, 3: 357, 4: 1600, 5: 1080, 6: 160, 8: 0x57, 10: 4, 11: 128,
                  12: 16, 13: 128, 48: 0x98}
PROC_LIMIT = 44
MEASURED_LINE_TOTAL = 48


def status(present=True, matches=True):
    image = [0] * 64
    image[20] = 0x40 if matches else 0
    image[42] = 0x80
    image[43] = 0x80 if present else 0
    for first, period in ((27, 36), (45, 54)):
        image[first], image[first + 1] = 0x07, 0x80          # 1920 wide
        image[first + 5], image[first + 6] = 0x38, 0x40      # 1080 high
        image[period:period + 3] = [0x42, 0xDE, 0x06]        # 450450: 59.94
    return image


def seed(model, events, image=None, fields=None):
    data = [model]
    values = dict(FIELD_DEFAULTS)
    values.update(fields or {})
    for f in range(FIELDS):
        v = values.get(f, 0)
        data += [v & 0xFF, (v >> 8) & 0xFF]
    data += image if image is not None else status()
    for e in events:
        data += list(e)
    return bytes(data)


SEEDS = {
    "hestra_start": seed(0, [(0, 1, 0), (1, 1, 0), (2, 0x04, 14), (1, 1, 0)]),
    "mardex_start": seed(1, [(0, 1, 0), (1, 1, 0), (2, 0x3E, 2), (2, 0x13, 0x20), (1, 1, 0)]),
    "pendro_fit": seed(2, [(0, 1, 0), (3, 5, 1), (4, 2, 1), (1, 1, 0), (7, 4, 0)]),
    "quastel_departing": seed(3, [(0, 1, 0), (1, 1, 0), (5, 45, 0x05), (5, 20, 0), (1, 1, 0), (1, 1, 0)]),
    "mardex_no_input": seed(1, [(0, 1, 0), (1, 1, 0), (5, 43, 0), (1, 1, 0), (5, 43, 0x80), (1, 1, 0)],
                            image=status(present=False)),
    "quastel_processing": seed(3, [(0, 1, 0), (6, PROC_LIMIT, 1), (2, 0x3C, 2), (2, 0x42, 0x11), (1, 1, 0)]),
    "hestra_waiting": seed(0, [(0, 1, 0), (0, 1, 0), (1, 1, 0), (0, 1, 0)], fields={MEASURED_LINE_TOTAL: 0}),
    "pendro_zeros": bytes([2] + [0] * (FIELDS * 2 + 64)),
}

if __name__ == "__main__":
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "rules_corpus")
    os.makedirs(out, exist_ok=True)
    for name, data in SEEDS.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)
