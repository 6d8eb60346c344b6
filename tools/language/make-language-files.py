#!/usr/bin/env python3
"""Writes the two language files from texts.tsv: Qmel_ZH_TW.ini in Big5, Qmel_EN_US.ini in ASCII.

Run after adding a text the program looks up; the test of the language files checks that every
key the code looks up is present in both files.
"""
import collections
import os

here = os.path.dirname(os.path.abspath(__file__))
resources = os.path.join(here, "..", "..", "src", "resources")

sections = collections.OrderedDict()
with open(os.path.join(here, "texts.tsv"), encoding="utf-8") as table:
    for line in table:
        line = line.rstrip("\n")
        if not line or line.startswith("#"):
            continue
        section, key, chinese, english = line.split("\t")
        sections.setdefault(section, []).append((key, chinese, english))


def write(name, column, encoding):
    lines = []
    for section, entries in sections.items():
        lines.append("[%s]" % section)
        for entry in entries:
            lines.append("%s=%s" % (entry[0], entry[column]))
        lines.append("")
    with open(os.path.join(resources, name), "wb") as out:
        out.write("\r\n".join(lines).encode(encoding))


write("Qmel_ZH_TW.ini", 1, "big5")
write("Qmel_EN_US.ini", 2, "ascii")
