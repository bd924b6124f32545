#!/usr/bin/env python3
"""Reference point for txrtool resave: reads a .txr with Python's csv module and writes it back."""
import csv
import sys

src, dst = sys.argv[1], sys.argv[2]
with open(src, newline="", encoding="utf-8", errors="surrogateescape") as f:
    rows = list(csv.reader(f, delimiter="|", quoting=csv.QUOTE_NONE))
with open(dst, "w", newline="", encoding="utf-8", errors="surrogateescape") as f:
    w = csv.writer(f, delimiter="|", quoting=csv.QUOTE_NONE, escapechar=None, lineterminator="\r\n")
    w.writerows(rows)
