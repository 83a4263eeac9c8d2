#!/usr/bin/env python3
"""Asks a running application for its DefaultText over the session bus.

Usage: ask_default_text.py SIGNATURE [PROPERTY]
Prints one text per line (line feeds inside a text as \\n). Needs only the
Python standard library and dbus-send.
"""
import re
import struct
import subprocess
import sys

BUS = ["dbus-send", "--session", "--print-reply"]


def field(name, type_code, items):
    """One field of variable-size items, with four-byte counts."""
    data = b""
    for item in items:
        data += struct.pack("<i", len(item)) + item
        data += b"\0" * ((-(4 + len(item))) % 8)
    flags = 0x01 | (0x08 if len(items) == 1 else 0)
    out = bytes([flags]) + struct.pack("<I", type_code)
    if len(items) != 1:
        out += struct.pack("<i", len(items))
    return out + struct.pack("<i", len(data)) + bytes([len(name)]) + name + data


def message(what, fields, script=False):
    body = b"".join(fields) + b"\0"
    size = 17 + len(body)
    header = struct.pack("<iI", size, what) + bytes([0x01 | (0x08 if script else 0)])
    checksum = sum(struct.unpack(">II", header[:8])) + header[8]
    return b"1BOF" + struct.pack("<I", checksum & 0xFFFFFFFF) + header + body


def code(text):
    return struct.unpack(">I", text.encode())[0]


def read_strings(data, wanted):
    """The string values of one field of a flattened reply."""
    if data[:4] != b"1BOF":
        raise ValueError("not a little-endian flattened message")
    size, what = struct.unpack_from("<iI", data, 8)
    flags = data[16]
    pos = 17 + (4 if flags & 0x02 else 0) + (16 if flags & 0x04 else 0)
    values = []
    while pos < size - 1 and data[pos] & 0x01:
        fflags = data[pos]
        ftype = struct.unpack_from("<I", data, pos + 1)[0]
        pos += 5
        mini = fflags & 0x02
        count = 1
        if not fflags & 0x08:
            count = data[pos] if mini else struct.unpack_from("<i", data, pos)[0]
            pos += 1 if mini else 4
        length = data[pos] if mini else struct.unpack_from("<i", data, pos)[0]
        pos += 1 if mini else 4
        name = data[pos + 1:pos + 1 + data[pos]].decode()
        pos += 1 + data[pos]
        end = pos + length
        if name == wanted and ftype == code("CSTR"):
            while pos < end:
                item = struct.unpack_from("<i", data, pos)[0]
                values.append(data[pos + 4:pos + 4 + item - 1].decode())
                pos += 4 + item + (-(4 + item)) % 8
        pos = end
    return what, values


def call(*args):
    return subprocess.run(BUS + list(args), check=True, capture_output=True, text=True).stdout


def find_team(signature):
    names = re.findall(r'"(org\.vessmor\.Team\d+)"', call(
        "--dest=org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus.ListNames"))
    for name in names:
        # Another program may quit between the listing and the question, or
        # hold a name without answering: skip it.
        try:
            reply = call("--reply-timeout=2000", "--dest=" + name, "/org/vessmor/App",
                         "org.freedesktop.DBus.Properties.Get", "string:org.vessmor.App",
                         "string:Signature")
        except subprocess.CalledProcessError:
            continue
        if re.search(r'string "%s"' % re.escape(signature), reply, re.IGNORECASE):
            return name
    return None


def main():
    signature = sys.argv[1]
    prop = sys.argv[2] if len(sys.argv) > 2 else "DefaultText"
    service = find_team(signature)
    if service is None:
        sys.exit("no running application " + signature)
    specifier = message(1, [field(b"property", code("CSTR"), [prop.encode() + b"\0"])])
    request = message(code("PGET"), [field(b"specifiers", code("MSGG"), [specifier])], True)
    reply = call("--reply-timeout=5000", "--dest=" + service, "/org/vessmor/App",
                 "org.vessmor.App.Request", "array:byte:" + ",".join(str(b) for b in request),
                 "int32:-1", "int32:-1")
    data = bytes(int(h, 16) for h in re.findall(r"\b[0-9a-f]{2}\b", reply.split("array of bytes", 1)[1]))
    what, texts = read_strings(data, "result")
    if what != code("RPLY"):
        sys.exit("not answered")
    for text in texts:
        print(text.replace("\n", "\\n"))


if __name__ == "__main__":
    main()
