#!/usr/bin/env python3
"""Writes the canonical descriptor dump of a converter model's table.

Reads reference tables (markdown tables: the shared ones in reference/, a
model's own in daemon/models/<model>/golden/) and prints, from them alone,
what `tovik-descdump <model>` must print: the connection status every
converter config carries, then the model's own descriptors. It shares
no data with the C++ tables, so a slip on either side shows up as a
difference when the checked-in dump is compared with the tool.

A reference file holds tables recognised by their header row:
- "Model | Model number | Id base": the models the file serves; an id of
  the file is the id base of the model ORed with its "Id" cell.
- "Class | Reg ex": the regular expression of a class where no row gives one.
- "Pos | Id | Id name | Class | ...": the descriptors in creation order.
- "Id name | Min | Max | Default | ...": integer and enumeration values
  ("not set" reads 0); an optional "Reg ex" column.
- "Id name | Min length | ...": string values.
- "Id name | Numeric attributes ...": attributes and class names.
- "Id name | Items in insertion order ...": enumeration items,
  `value = "name"` or `value = "name" / "short name"`.
A field a file does not give keeps the value a new descriptor has.

Usage: make_model_golden.py MODEL COMMON.md REFERENCE.md > model.dump
"""

import re
import sys

CLASSES = {"`StringDescriptor`": "string", "`IntegerDescriptor`": "integer",
           "`EnumDescriptor`": "enum"}


# ---------------------------------------------------------------- reading

def split_row(line):
    return [c.strip() for c in line.strip().strip("|").split("|")]


def tables(text):
    """Every markdown table: (header, rows as dicts by column name)."""
    out = []
    lines = text.splitlines()
    i = 0
    while i < len(lines):
        if not lines[i].startswith("|"):
            i += 1
            continue
        block = []
        while i < len(lines) and lines[i].startswith("|"):
            block.append(split_row(lines[i]))
            i += 1
        header = [re.sub(r"\s*\(.*\)$", "", c) for c in block[0]]
        for row in block[2:]:
            if len(row) != len(header):
                sys.exit("ragged table row: %r" % (row,))
        out.append((header, [dict(zip(header, row)) for row in block[2:]]))
    return out


def rows_of(found, first, second):
    """Rows of every table whose first two columns are named so."""
    out = []
    for header, rows in found:
        if header[:2] == [first, second]:
            out.extend(rows)
    return out


def name(cell):
    return cell.strip().strip("`")


def text(cell):
    m = re.fullmatch(r'"(.*)"', cell.strip())
    if not m:
        sys.exit("not a quoted text: %r" % cell)
    return m.group(1)


def number(cell):
    """A number cell; "not set" reads 0, as libtovikconfig sets it."""
    cell = cell.strip()
    if cell == "not set":
        return 0
    return int(cell, 0)


def pairs(cell, value_pattern):
    return re.findall(r'"([^"]*)" = (%s)' % value_pattern, cell)


# ---------------------------------------------------------------- model

def new_descriptor(kind):
    d = dict(kind=kind, feature=3, access=0, persist=0, register=0, reset=1, regex="",
             items=[], classes=[], nattrs={}, sattrs={})
    if kind == "string":
        d.update(minlength=0, maxlength=20, minindex=0, maxindex=19, sdefault="")
    else:
        d.update(min=0, max=0, default=0, adjust=1, scale=1, offset=0, precision=0,
                 units="", units2="")
    return d


def add_item(d, value, item_name, short):
    """AddNameValuePair: one item per value, every call listed in order."""
    d["items"] = [(v, n, s) if v != value else (v, item_name, short) for v, n, s in d["items"]]
    d["items"].append((value, item_name, short))


def add_class(d, class_name):
    if class_name in d["classes"]:
        d["classes"].remove(class_name)
    d["classes"].append(class_name)


def read(path, model):
    with open(path, encoding="utf-8") as f:
        found = tables(f.read())
    base = 0
    models = rows_of(found, "Model", "Model number")
    if models:
        match = [r for r in models if int(r["Model number"]) == model]
        if not match:
            sys.exit("%s serves no model %d" % (path, model))
        base = int(match[0]["Id base"], 0)
    regex = {r["Class"]: text(r["Reg ex"]) for r in rows_of(found, "Class", "Reg ex")}

    out, by_name = [], {}
    for r in sorted(rows_of(found, "Pos", "Id"), key=lambda r: int(r["Pos"])):
        d = new_descriptor(CLASSES[r["Class"]])
        d.update(id=base | int(r["Id"], 0), idname=name(r["Id name"]), name=text(r["Name"]),
                 short=text(r["Short name"]), type=number(r["Param type"]),
                 access=number(r["Access"]), feature=number(r["Feature"]),
                 persist=number(r["Persistence"]), register=number(r["Register"]),
                 reset=number(r["Reset"]), regex=regex.get(r["Class"], ""))
        if d["idname"] in by_name:
            sys.exit("id name twice: " + d["idname"])
        by_name[d["idname"]] = d
        out.append(d)

    for r in rows_of(found, "Id name", "Min"):
        d = by_name[name(r["Id name"])]
        for col, field in (("Min", "min"), ("Max", "max"), ("Default", "default"),
                           ("Adjust by", "adjust"), ("Scale by", "scale"),
                           ("Offset by", "offset"), ("Precision", "precision")):
            d[field] = number(r[col])
        d["units"], d["units2"] = text(r["Units"]), text(r["Units2"])
        if "Reg ex" in r:
            d["regex"] = text(r["Reg ex"])
    for r in rows_of(found, "Id name", "Min length"):
        d = by_name[name(r["Id name"])]
        for col, field in (("Min length", "minlength"), ("Max length", "maxlength"),
                           ("Min index", "minindex"), ("Max index", "maxindex")):
            d[field] = number(r[col])
        d["sdefault"] = text(r["Default"])
        d["regex"] = text(r["Reg ex"])
    for r in rows_of(found, "Id name", "Numeric attributes"):
        d = by_name[name(r["Id name"])]
        for key, value in pairs(r["Numeric attributes"], r"\d+"):
            d["nattrs"][key] = int(value)
        for key, value in pairs(r["String attributes"], r'"[^"]*"'):
            d["sattrs"][key] = text(value)
        if r["Class names"] != "none":
            for class_name in re.findall(r'"([^"]*)"', r["Class names"]):
                add_class(d, class_name)
        for col in ("Dependent ids", "Depends-on ids", "Relations"):
            if r[col] != "none":
                sys.exit("unexpected %s of %s" % (col, d["idname"]))
    for r in rows_of(found, "Id name", "Items in insertion order"):
        d = by_name[name(r["Id name"])]
        cell = r["Items in insertion order"]
        items = re.findall(r'(0x[0-9A-Fa-f]+|\d+) = "([^"]*)"(?: / "([^"]*)")?', cell)
        if not items:
            sys.exit("no items for " + d["idname"])
        for value, item_name, short in items:
            add_item(d, int(value, 0), item_name, short or item_name)
    return out


# ---------------------------------------------------------------- output

def quote(value):
    out = '"'
    for b in value.encode("utf-8"):
        c = chr(b)
        if c in '"\\':
            out += "\\" + c
        elif b < 0x20 or b >= 0x7F:
            out += "\\x%02x" % b
        else:
            out += c
    return out + '"'


def dump(d):
    lines = ["descriptor 0x%08x %s" % (d["id"], d["idname"]),
             "  class " + d["kind"],
             "  type %d" % d["type"],
             "  flags feature %d access %d persist %d register %d reset %d"
             % (d["feature"], d["access"], d["persist"], d["register"], d["reset"]),
             "  name " + quote(d["name"]),
             "  short " + quote(d["short"]),
             "  regex " + quote(d["regex"])]
    if d["kind"] == "string":
        lines.append("  string minlength %d maxlength %d minindex %d maxindex %d"
                     % (d["minlength"], d["maxlength"], d["minindex"], d["maxindex"]))
        lines.append("  default " + quote(d["sdefault"]))
    else:
        lines.append("  integer min %d max %d default %d adjust %d scale %d offset %d precision %d"
                     % (d["min"], d["max"], d["default"], d["adjust"], d["scale"], d["offset"],
                        d["precision"]))
        lines.append("  units %s %s" % (quote(d["units"]), quote(d["units2"])))
    for value, item_name, short in d["items"]:
        lines.append("  item %d %s %s" % (value, quote(item_name), quote(short)))
    for class_name in d["classes"]:
        lines.append("  classname " + quote(class_name))
    for key in sorted(d["nattrs"], key=lambda k: k.encode()):
        lines.append("  attr %s %d" % (quote(key), d["nattrs"][key]))
    for key in sorted(d["sattrs"], key=lambda k: k.encode()):
        lines.append("  attr %s %s" % (quote(key), quote(d["sattrs"][key])))
    return "\n".join(lines)


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__.rsplit("Usage: ", 1)[1])
    model = int(sys.argv[1], 0)
    descriptors = read(sys.argv[2], model) + read(sys.argv[3], model)
    print("model %d result true count %d" % (model, len(descriptors)))
    for d in descriptors:
        print(dump(d))


if __name__ == "__main__":
    main()
