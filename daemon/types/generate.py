#!/usr/bin/env python3
"""Writes the hardware description files of every module type.

One folder per type, named after the type in lower case, holding
assembly.xml (one assembly: id 1, release 1.2, safe-boot and application
1.0, FPGA 0 at 1.0) and the module-type file it names. Every model with a
configuration block declares it as block 0 of FPGA 0, with the register its
image starts at and its length in bytes (BLOCKS). A type with a model folder
(daemon/models/<type>/) has its files in that folder's types/, every other
type in daemon/types/<type>/; the build puts them all in one types/.

Run from anywhere: python3 daemon/types/generate.py [--out DIR]
(DIR stands for daemon/ and defaults to this tree's). The model registry's
test checks the written files against the registry's rows and the simulator.
"""

import argparse
import os

DAEMON = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

TYPES = [
    "ARVEL", "BRINDO", "CADMER", "GRAVO", "HESTRA", "DOVRIN", "ESTROW",
    "FALCRIN", "GESMOR", "HARVIK", "ILMARO", "JASTEL", "KELVRO", "MARDEX",
    "LOMRIK", "NOLVAR", "ORSIK", "PENDRO", "QUASTEL", "RIMBOL", "SARVEK",
    "TOLVIN", "UDRASK", "VENNOR", "WEXLAR", "YORVATH", "ZELMOR", "AMBREL",
    "BEXTON", "CORVANE", "DELMOK", "ESKVAR", "FORNEL",
]

ROI_SCALERS = {5, 14, 18, 19}

# Module type: (start register, length) of configuration block 0 of FPGA 0.
# A block whose image is indexed by byte starts at 0.
BLOCKS = {
    1: (0, 4),     # ARVEL
    2: (0, 4),     # BRINDO
    3: (0, 3),     # CADMER
    4: (0, 5),     # GRAVO
    5: (3, 41),    # HESTRA
    6: (3, 42),    # DOVRIN
    7: (3, 15),    # ESTROW
    8: (0, 4),     # FALCRIN
    9: (0, 15),    # GESMOR
    10: (3, 13),   # HARVIK
    11: (3, 32),   # ILMARO
    12: (3, 32),   # JASTEL
    13: (3, 13),   # KELVRO
    14: (3, 41),   # MARDEX
    15: (3, 13),   # LOMRIK
    16: (3, 15),   # NOLVAR
    18: (3, 41),   # PENDRO
    19: (3, 41),   # QUASTEL
}

ASSEMBLY = """<?xml version="1.0" encoding="UTF-8"?>
<Assemblies>
  <Module version="0.1" type="{name}">
    <Assembly id="1">
      <Release version="1.2"/>
      <ModuleType filename="types/{dir}/{dir}.xml"/>
      <SafeBoot version="1.0"/>
      <CNCApp version="1.0"/>
      <FPGA id="0" version="1.0"/>
    </Assembly>
  </Module>
</Assemblies>
"""

MODULE_TYPE = """<?xml version="1.0" encoding="UTF-8"?>
<ModuleTypes>
  <ModuleType version="0.1" type="{name}" fpgaID="0" addr="0">
    <FPGA id="0" name="{fpga}" interfaceID="SPI Control" deviceID="0">
      <Firmware interfaceID="SPI Config" deviceID="0" start="0"/>
      <FirmwareRevision start="1"/>
{blocks}    </FPGA>
  </ModuleType>
</ModuleTypes>
"""

BLOCK = '      <ParamBlock id="0" name="Config" start="{start}" length="{length}"/>\n'


def folder(out, directory):
    """Where a type's files go under out (laid out as daemon/)."""
    if os.path.isdir(os.path.join(DAEMON, "models", directory)):
        return os.path.join(out, "models", directory, "types")
    return os.path.join(out, "types", directory)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--out", default=DAEMON,
                        help="the folder standing for daemon/: types go to its models/<type>/types/ or types/<type>/")
    args = parser.parse_args()
    for type_id, name in enumerate(TYPES, start=1):
        directory = name.lower()
        path = folder(args.out, directory)
        os.makedirs(path, exist_ok=True)
        scaler = type_id in ROI_SCALERS
        with open(os.path.join(path, "assembly.xml"), "w", encoding="utf-8") as out:
            out.write(ASSEMBLY.format(name=name, dir=directory))
        with open(os.path.join(path, directory + ".xml"), "w", encoding="utf-8") as out:
            out.write(MODULE_TYPE.format(
                name=name,
                fpga="Scaler" if scaler else "Main",
                blocks=BLOCK.format(start=BLOCKS[type_id][0], length=BLOCKS[type_id][1])
                if type_id in BLOCKS else ""))


if __name__ == "__main__":
    main()
