#!/usr/bin/env python3
"""Writes the hardware description files of every module type.

One folder per type, named after the type in lower case, holding
assembly.xml (one assembly: id 1, release 1.2, safe-boot and application
1.0, FPGA 0 at 1.0) and the module-type file it names. The types and what
their files say come from the model list
(config/include/tovikconfig/models/modellist.h): a MODEL row's type has a
model folder (daemon/models/<type>/) and its files go to that folder's
types/, naming FPGA 0 and declaring its configuration block as block 0 of
FPGA 0 with the register its image starts at and its length in bytes; every
other type's go to daemon/types/<type>/, with an FPGA 0 named "Main" and no
block. The build puts them all in one types/.

Run from anywhere: python3 daemon/types/generate.py [--out DIR]
(DIR stands for daemon/ and defaults to this tree's). The model registry's
test checks the written files against the registry's rows and the simulator.
"""

import argparse
import os
import re
import sys

DAEMON = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
MODEL_LIST = os.path.join(os.path.dirname(DAEMON), "config", "include", "tovikconfig", "models", "modellist.h")

# The rows of TOVIK_MODEL_LIST, one a line, as modellist.h writes them.
ROW_START = re.compile(r"^\s*(MODEL|NUMBERED|OTHER)\(")
ROWS = {
    "MODEL": re.compile(r"^\s*MODEL\((\d+), \d+, \"(\w+)\", \"\w+\", \w+, \w+, \w+, \w+, "
                        r"\((\w+), (\d+), (\d+)\)\)\s*\\?$"),
    "NUMBERED": re.compile(r"^\s*NUMBERED\((\d+), \d+, \"(\w+)\", \"\w+\"\)\s*\\?$"),
    "OTHER": re.compile(r"^\s*OTHER\((\d+), \"(\w+)\"\)\s*\\?$"),
}


class Type:
    """One module type: its name, and for a model its FPGA's name and block."""

    def __init__(self, name, fpga="Main", block=None):
        self.name = name
        self.fpga = fpga
        self.block = block  # (start register, length) or None
        self.model = block is not None


def read_model_list(path=MODEL_LIST):
    """The model list's rows in order; exits naming any row it cannot read."""
    types = []
    with open(path, encoding="utf-8") as source:
        for number, line in enumerate(source, start=1):
            kind = ROW_START.match(line)
            if not kind:
                continue
            row = ROWS[kind.group(1)].match(line)
            if not row:
                sys.exit("%s:%d: a %s row that does not read as one: %s"
                         % (path, number, kind.group(1), line.strip()))
            type_id, name = int(row.group(1)), row.group(2)
            if type_id != len(types):
                sys.exit("%s:%d: row %d is module type %d" % (path, number, len(types), type_id))
            if kind.group(1) == "MODEL":
                types.append(Type(name, row.group(3), (int(row.group(4)), int(row.group(5)))))
            else:
                types.append(Type(name))
    if not types:
        sys.exit("%s: no model list rows" % path)
    return types


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


def folder(out, module_type):
    """Where a type's files go under out (laid out as daemon/)."""
    directory = module_type.name.lower()
    if module_type.model:
        return os.path.join(out, "models", directory, "types")
    return os.path.join(out, "types", directory)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--out", default=DAEMON,
                        help="the folder standing for daemon/: types go to its models/<type>/types/ or types/<type>/")
    args = parser.parse_args()
    for module_type in read_model_list()[1:]:
        directory = module_type.name.lower()
        path = folder(args.out, module_type)
        os.makedirs(path, exist_ok=True)
        with open(os.path.join(path, "assembly.xml"), "w", encoding="utf-8") as out:
            out.write(ASSEMBLY.format(name=module_type.name, dir=directory))
        with open(os.path.join(path, directory + ".xml"), "w", encoding="utf-8") as out:
            out.write(MODULE_TYPE.format(
                name=module_type.name,
                fpga=module_type.fpga,
                blocks=BLOCK.format(start=module_type.block[0], length=module_type.block[1])
                if module_type.block else ""))


if __name__ == "__main__":
    main()
