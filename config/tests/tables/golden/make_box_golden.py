#!/usr/bin/env python3
"""Writes the canonical descriptor dump of the box table (model 1).

Reads the box's parameter tables from box_reference.md beside this script
(markdown: connection status, device slots, network, alarm and
authentication, versions, persistence) and prints, from those tables alone,
what `tovik-descdump-pinned --serial-file <missing> --no-interface 1` must print.
It shares no data with the C++ tables, so a slip on either side shows up
as a difference when the checked-in dump is compared with the tool.

Usage: make_box_golden.py [--presets N] [--tables FILE] > box.dump
"""

import argparse
import os
import re
import sys

PRESET_ID_COUNT = 20
# The identity texts on a machine with no serial-number file and no
# interface to query (a cleared hardware-address request).
MAC_FALLBACK = "00:00:00:00:00:00"

# Limits the tables leave open, as libtovikconfig sets them: triggers take any value, the network-connected flag covers its items.
OPEN_LIMITS = {
    "eParamID_IPChangeCommit": (0, 0xFFFFFFFF),
    "eParamID_NetworkConnected": (0, 1),
    "eParamID_UploadedImageCommit": (0, 0xFFFFFFFF),
    "eParamID_UploadRequest": (0, 0xFFFFFFFF),
}


# ---------------------------------------------------------------- reading

def sections(text):
    """Heading title -> body, for every heading "## title"."""
    out = {}
    title, body = None, []
    for line in text.splitlines():
        m = re.match(r"^## (.+)$", line)
        if m:
            if title:
                out[title] = "\n".join(body)
            title, body = m.group(1).strip(), []
        elif title:
            body.append(line)
    if title:
        out[title] = "\n".join(body)
    return out


def section(secs, start):
    for title, body in secs.items():
        if title.startswith(start):
            return body
    sys.exit("no section titled " + start)


def tables(body):
    """Every markdown table of a body: (text before it, header, rows)."""
    out = []
    lines = body.splitlines()
    i = 0
    before = []
    while i < len(lines):
        if lines[i].startswith("|"):
            block = []
            while i < len(lines) and lines[i].startswith("|"):
                block.append(lines[i])
                i += 1
            cells = [split_row(l) for l in block]
            # A column's note in brackets is not part of its name.
            header = [re.sub(r"\s*\(.*\)$", "", c) for c in cells[0]]
            rows = cells[2:]
            for r in rows:
                if len(r) != len(header):
                    sys.exit("ragged table row: %r" % (r,))
            out.append(("\n".join(before[-4:]), header, rows))
            before = []
        else:
            before.append(lines[i])
            i += 1
    return out


def split_row(line):
    return [c.strip() for c in line.strip().strip("|").split("|")]


def table_with(body, *headers):
    for before, header, rows in tables(body):
        if all(h in header for h in headers):
            return [dict(zip(header, r)) for r in rows]
    sys.exit("no table with columns %r" % (headers,))


def table_after(body, phrase):
    for before, header, rows in tables(body):
        if phrase in before:
            return header, rows
    sys.exit("no table after %r" % phrase)


def unquote(cell):
    cell = cell.strip().strip("`")
    m = re.fullmatch(r'"(.*)"(?:\s*\([^"]*\))?', cell)
    return m.group(1) if m else cell


def number(cell):
    m = re.match(r"\s*(0x[0-9a-fA-F]+|\d+)", cell)
    if not m:
        sys.exit("not a number: %r" % cell)
    return int(m.group(1), 0)


def pair(cell):
    """'"name" / "short"' -> (name, short)."""
    m = re.fullmatch(r'"(.*)" / "(.*)"', cell.strip())
    if not m:
        sys.exit("not a name pair: %r" % cell)
    return m.group(1), m.group(2)


def markers(text):
    """Class names and attributes named in a markers cell, in order."""
    out = []
    pat = re.compile(
        r'class names? ((?:"[^"]*"(?:, then |, | and )?)+)'
        r'|(?:(?:string|numeric) attribute )?"(\w+)" = ("[^"]*"(?: followed by n)?|0x[0-9a-fA-F]+|\d+)')
    for m in pat.finditer(text):
        if m.group(1):
            for name in re.findall(r'"([^"]*)"', m.group(1)):
                out.append(("class", name))
        else:
            value = m.group(3)
            if value.startswith('"'):
                out.append(("text", m.group(2), value))
            else:
                out.append(("number", m.group(2), int(value, 0)))
    return out


def template_text(value, n):
    """A quoted text, "x" followed by n, or a %d template, for member n."""
    m = re.fullmatch(r'"([^"]*)" followed by n.*', value)
    if m:
        return m.group(1) + str(n)
    m = re.search(r'"([^"]*)"', value)
    return (m.group(1) if m else value).replace("%d", str(n))


# ---------------------------------------------------------------- model

def descriptor(kind, pid, idname, name, short, ptype, feature, access, persist, reg, reset):
    d = dict(kind=kind, id=pid, idname=idname, name=name, short=short, type=ptype,
             feature=feature, access=access, persist=persist, register=reg, reset=reset,
             items=[], classes=[], nattrs={}, sattrs={})
    if kind in ("enum", "integer"):
        d.update(min=0, max=0, default=0, adjust=1, scale=1, offset=0, precision=0)
    else:
        d.update(minlength=0, maxlength=20, minindex=0, maxindex=19, sdefault="")
    return d


def apply_markers(d, found, n=None):
    for m in found:
        if m[0] == "class":
            if m[1] in d["classes"]:
                d["classes"].remove(m[1])
            d["classes"].append(m[1])
        elif m[0] == "number":
            d["nattrs"][m[1]] = m[2]
        else:
            d["sattrs"][m[1]] = template_text(m[2], n) if n else unquote(m[2])


KINDS = {"EnumDescriptor": "enum", "IntegerDescriptor": "integer", "StringDescriptor": "string",
         "enumeration": "enum", "integer": "integer", "string": "string"}


def kind_of(cell):
    for word, kind in KINDS.items():
        if word in cell:
            return kind
    sys.exit("unknown class: %r" % cell)


# ---------------------------------------------------------------- tables

def cxn_status(secs, pid, idname, name, short):
    body = section(secs, "Connection status")
    m = re.search(r"ParamType (\d+); FeatureType (\d+); PersistenceType (\d+).*?"
                  r"RegisterType (\d+).*?FactoryResetType (\d+)", body)
    d = descriptor("enum", pid, idname, name, short, int(m.group(1)), int(m.group(2)), 0,
                   int(m.group(3)), int(m.group(4)), int(m.group(5)))
    for row in table_with(body, "value", "name", "short name"):
        d["items"].append((number(row["value"]), unquote(row["name"]), unquote(row["short name"])))
    m = re.search(r"FactoryDefault (\d+) \(No Device\); AccessType (\d+)", body)
    d["default"], d["access"] = int(m.group(1)), int(m.group(2))
    return d


def identity(secs):
    body = section(secs, "Alarm and authentication")
    serial = re.search(r'fallback serial number is "([^"]+)"', body).group(1)
    prefix = re.search(r'Default system name prefix: "([^"]+)"', body).group(1)
    return serial, prefix + serial


def network(secs, ident):
    body = section(secs, "Network")
    out = []
    limits = {unquote(r["id name"]): r for r in table_with(body, "MinValue", "AdjustBy")}
    strings = {unquote(r["id name"]): r for r in table_with(body, "MinLength", "MaxIndex")}
    marks = {unquote(r["id name"]): r for r in table_with(body, "class names", '"DisplayType"')}
    items = table_with(body, "id name", "value", "name", "short name")
    for r in table_with(body, "id name", "kind", "Feature", "Access"):
        idname = unquote(r["id name"])
        d = descriptor(kind_of(r["kind"]), number(r["id"]), idname, unquote(r["name"]),
                       unquote(r["short name"]), number(r["ParamType"]), number(r["Feature"]),
                       number(r["Access"]), number(r["Persist"]), number(r["Register"]),
                       number(r["Reset"]))
        if idname in limits:
            lim = limits[idname]
            if lim["MinValue"] != "not set":
                d["min"], d["max"] = number(lim["MinValue"]), number(lim["MaxValue"])
            else:
                d["min"], d["max"] = OPEN_LIMITS[idname]
            d["default"], d["adjust"] = number(lim["FactoryDefault"]), number(lim["AdjustBy"])
        if idname in strings:
            s = strings[idname]
            for key in ("MinLength", "MaxLength", "MinIndex", "MaxIndex"):
                d[key.lower()] = number(s[key])
            fd = s["FactoryDefault"]
            if "GetDefaultSystemName" in fd:
                d["sdefault"] = ident[1]
            elif "MAC address" in fd:
                d["sdefault"] = MAC_FALLBACK
            elif fd == "empty":
                d["sdefault"] = ""
            else:
                d["sdefault"] = unquote(fd)
        for it in items:
            if unquote(it["id name"]) == idname:
                d["items"].append((number(it["value"]), unquote(it["name"]), unquote(it["short name"])))
        mk = marks[idname]
        if mk["class names"] != "none":
            for name in re.findall(r'"([^"]*)"', mk["class names"]):
                apply_markers(d, [("class", name)])
        d["nattrs"]["DisplayType"] = number(mk['"DisplayType"'])
        out.append(d)
    return out


def flag(text, pattern):
    m = re.search(pattern, text)
    if not m:
        sys.exit("no %r in %r" % (pattern, text))
    return int(m.group(1))


def parse_limits(d, text):
    for key, field in (("MinValue", "min"), ("MaxValue", "max"), ("AdjustBy", "adjust"),
                       ("MinLength", "minlength"), ("MaxLength", "maxlength"),
                       ("MinIndex", "minindex"), ("MaxIndex", "maxindex")):
        m = re.search(key + r" (\d+)", text)
        if m:
            d[field] = int(m.group(1))
    m = re.search(r'FactoryDefault ("[^"]*"|\d+)', text)
    if m:
        if d["kind"] == "string":
            d["sdefault"] = unquote(m.group(1))
        else:
            d["default"] = int(m.group(1))


def alarm_auth(secs, which):
    body = section(secs, "Alarm and authentication")
    values = {unquote(r["id name"]): r for r in table_with(body, "limits and default", "items")}
    out = []
    for r in table_with(body, "table", "id name", "kind"):
        if r["table"] != which:
            continue
        idname = unquote(r["id name"])
        d = descriptor(kind_of(r["kind"]), number(r["id"]), idname, unquote(r["name"]),
                       unquote(r["short name"]), number(r["ParamType"]), number(r["Feature"]),
                       number(r["Access"]), number(r["Persist"]), number(r["Register"]),
                       number(r["Reset"]))
        v = values[idname]
        parse_limits(d, v["limits and default"])
        for m in re.finditer(r'(\d+): "([^"]*)" / "([^"]*)"', v["items"]):
            d["items"].append((int(m.group(1)), m.group(2), m.group(3)))
        if v["class names"] != "none":
            apply_markers(d, [("class", c) for c in re.findall(r'"([^"]*)"', v["class names"])])
        if v['"DisplayType"'] != "not set":
            d["nattrs"]["DisplayType"] = number(v['"DisplayType"'])
        out.append(d)
    return out


def ids_in(cell):
    return [int(x, 16) for x in re.findall(r"0x([0-9a-fA-F]+)", cell)]


def version(secs):
    body = section(secs, "Versions and firmware update")
    settings = {}
    for r in table_with(body, "param type", "feature", "factory reset", "minimum"):
        for pid in ids_in(r["id"]):
            settings[pid] = r
    marks = {}
    for r in table_with(body, "id", "markers in order"):
        for pid in ids_in(r["id"]):
            marks[pid] = markers(r["markers in order"])
    common = re.search(r"Common to all 14:(.*?)Descriptors in creation order", body, re.S)
    if not common:
        sys.exit("no common settings of the version table")
    persist = flag(common.group(1), r"persistence type (\d+)")
    reg = flag(common.group(1), r"register type (\d+)")
    access = 0 if "access type: not set" in common.group(1) else sys.exit("version access type")
    out = []
    for r in table_with(body, "#", "id", "id name", "class"):
        pid = number(r["id"])
        idname = unquote(r["id name"])
        s = settings[pid]
        kind = kind_of(r["class"])
        d = descriptor(kind, pid, idname, unquote(r["name"]), unquote(r["short name"]),
                       number(s["param type"]), number(s["feature"]), access, persist, reg,
                       number(s["factory reset"]))
        if kind == "string":
            d["sdefault"] = unquote(s["factory default"])
        else:
            if s["minimum"] == "-":
                d["min"], d["max"] = OPEN_LIMITS[idname]
            else:
                d["min"], d["max"] = number(s["minimum"]), number(s["maximum"])
            d["default"] = number(s["factory default"])
            if s["adjust by"] not in ("-", "n/a"):
                d["adjust"] = number(s["adjust by"])
        if kind == "enum":
            header, rows = table_after(body, "`%s` (0x%x), items" % (idname, pid))
            for row in rows:
                d["items"].append((number(row[0]), unquote(row[1]), unquote(row[2])))
        apply_markers(d, marks[pid])
        out.append(d)
    return out


def persistence(secs, count):
    body = section(secs, "Persistence and presets")
    out = []
    fields = {r["field"]: r["value"] for r in table_with(body, "field", "value")}
    presets = max(0, min(count, PRESET_ID_COUNT))
    for n in range(1, presets + 1):
        d = descriptor("string", 0x65000000 | (n * 0x100), template_text(fields["id name"], n),
                       template_text(fields["name"], n), unquote(fields["short name"]),
                       number(fields["param type"]), number(fields["feature"]), 0,
                       number(fields["persistence"]), number(fields["register"]),
                       number(fields["factory reset"]))
        d["sdefault"] = template_text(fields["factory default"], n)
        apply_markers(d, markers(fields["markers, in order"]), n)
        out.append(d)

    numeric = {}
    for r in table_with(body, "ids", "param type", "scale by", "units"):
        for pid in ids_in(r["ids"]):
            numeric[pid] = r
    marks = {}
    for r in table_with(body, "id", "markers in order"):
        marks[number(r["id"])] = markers(r["markers in order"])
    header, rows = table_after(body, "The six result enumerations have the same values")
    result_items = {}
    for col in range(1, len(header)):
        for name in re.findall(r"`(\w+)`", header[col]):
            result_items[name] = [(number(row[0]),) + pair(row[col]) for row in rows]
    for name in ("eParamID_PersistStatus", "eParamID_FactorySettings"):
        m = re.search(r"`%s` items, in this order[^:]*: (.*)" % name, body)
        result_items[name] = [(int(v), t, t) for v, t in re.findall(r'(\d+) "([^"]*)"', m.group(1))]

    common = re.search(r"Common to all twelve: ([^\n]*)", body)
    if not common or "access type not set" not in common.group(1):
        sys.exit("no common settings of the persistence table")
    persist = flag(common.group(1), r"persistence type (\d+)")
    reg = flag(common.group(1), r"register type (\d+)")
    reset = flag(common.group(1), r"factory-reset type (\d+)")
    for r in table_with(body, "#", "id", "id name", "class"):
        pid = number(r["id"])
        idname = unquote(r["id name"])
        s = numeric[pid]
        d = descriptor(kind_of(r["class"]), pid, idname, unquote(r["name"]), unquote(r["short name"]),
                       number(s["param type"]), number(s["feature"]), 0, persist, reg, reset)
        d["min"] = number(s["minimum"])
        d["max"] = presets if s["maximum"] == "N" else number(s["maximum"])
        d["default"] = number(s["factory default"])
        for col, field in (("adjust by", "adjust"), ("scale by", "scale"), ("offset by", "offset"),
                           ("display precision", "precision")):
            if s[col] != "-":
                d[field] = number(s[col])
        d["items"] = result_items.get(idname, [])
        apply_markers(d, marks[pid])
        out.append(d)
    return out


def slots(secs, ident):
    body = section(secs, "Device slots")
    common = re.search(r"share FeatureType (\d+), PersistenceType (\d+).*?RegisterType (\d+)", body)
    feature, persist, reg = (int(common.group(i)) for i in (1, 2, 3))
    type_items = []
    for before, header, rows in tables(body):
        if header == ["value", "name", "value", "name"]:
            for row in rows:
                for v, name in ((row[0], row[1]), (row[2], row[3])):
                    if v:
                        type_items.append((int(v), unquote(name), unquote(name)))
    type_items.sort()
    out = []
    for r in table_with(body, "id", "id name", "class", "values"):
        per_slot = "+ N" in r["id"]
        for n in (range(1, 5) if per_slot else [None]):
            pid = number(r["id"]) + (n or 0)
            text = lambda c: template_text(r[c], n) if n else unquote(r[c])
            values = r["values"]
            if "connection-status items" in values:
                out.append(cxn_status(secs, pid, text("id name"), text("name"), text("short name")))
                continue
            d = descriptor(kind_of(r["class"]), pid, text("id name"), text("name"), text("short name"),
                           number(r["type"]), feature, 0, persist, reg, number(r["factory reset"]))
            if "device-type items" in values:
                d["items"] = list(type_items)
            if "serial number" in values:
                d["sdefault"] = ident[0]
            elif "FactoryDefault empty" not in values:
                parse_limits(d, values)
            apply_markers(d, markers(values))
            out.append(d)
    return out


# ---------------------------------------------------------------- output

def quote(text):
    out = '"'
    for b in text.encode("utf-8"):
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
             '  regex "*"']
    if d["kind"] in ("enum", "integer"):
        lines.append("  integer min %d max %d default %d adjust %d scale %d offset %d precision %d"
                     % (d["min"], d["max"], d["default"], d["adjust"], d["scale"], d["offset"],
                        d["precision"]))
        lines.append('  units "" ""')
    else:
        lines.append("  string minlength %d maxlength %d minindex %d maxindex %d"
                     % (d["minlength"], d["maxlength"], d["minindex"], d["maxindex"]))
        lines.append("  default " + quote(d["sdefault"]))
    for value, name, short in d["items"]:
        lines.append("  item %d %s %s" % (value, quote(name), quote(short)))
    for c in d["classes"]:
        lines.append("  classname " + quote(c))
    for key in sorted(d["nattrs"], key=lambda k: k.encode()):
        lines.append("  attr %s %d" % (quote(key), d["nattrs"][key]))
    for key in sorted(d["sattrs"], key=lambda k: k.encode()):
        lines.append("  attr %s %s" % (quote(key), quote(d["sattrs"][key])))
    return "\n".join(lines)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--presets", type=int, default=10, help="the store's preset count")
    parser.add_argument("--tables", default=os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                                         "box_reference.md"),
                        help="the markdown file holding the box tables")
    args = parser.parse_args()
    with open(args.tables, encoding="utf-8") as f:
        secs = sections(f.read())
    ident = identity(secs)
    box = (network(secs, ident) + version(secs) + persistence(secs, args.presets)
           + alarm_auth(secs, "alarm") + alarm_auth(secs, "authentication") + slots(secs, ident))
    print("model 1 result true count %d" % len(box))
    for d in box:
        print(dump(d))


if __name__ == "__main__":
    main()
