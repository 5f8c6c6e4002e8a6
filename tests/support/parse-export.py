#!/usr/bin/env python3
"""Reads an export file with a real parser of its format and prints its cells: one line per row, each
cell as the hexadecimal bytes of its UTF-8 text, cells separated by blanks ("-" for an empty cell).
Usage: parse-export.py csv|xml|html|xlsx FILE [SEPARATOR]. Exits non-zero when the parser refuses."""
import csv
import io
import re
import sys
import xml.etree.ElementTree as ET
import zipfile
from html.parser import HTMLParser


def cell(text):
    data = text.encode("utf-8", "surrogateescape")
    return data.hex() if data else "-"


def rows_of_csv(raw, separator):
    text = raw.decode("utf-8", "surrogateescape")
    return list(csv.reader(io.StringIO(text, newline=""), delimiter=separator, strict=True))


def rows_of_xml(raw):
    root = ET.fromstring(raw)
    return [[item.text or "" for item in row.iter("item")] for row in root.iter("row")]


class Table(HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.rows, self.cell = [], None

    def handle_starttag(self, tag, attrs):
        if tag == "tr":
            self.rows.append([])
        elif tag == "td":
            self.cell = ""

    def handle_endtag(self, tag):
        if tag == "td":
            self.rows[-1].append(self.cell)
            self.cell = None

    def handle_data(self, data):
        if self.cell is not None:
            self.cell += data


def rows_of_html(raw):
    table = Table()
    table.feed(raw.decode("utf-8", "strict"))
    table.close()
    return table.rows


def unescaped(text):
    # A spreadsheet reads _xHHHH_ in a cell's text as the character U+HHHH.
    return re.sub(r"_x([0-9A-Fa-f]{4})_", lambda m: chr(int(m.group(1), 16)), text)


def rows_of_xlsx(path):
    ns = {"m": "http://schemas.openxmlformats.org/spreadsheetml/2006/main"}
    with zipfile.ZipFile(path) as book:
        root = ET.fromstring(book.read("xl/worksheets/sheet1.xml"))
    return [[unescaped("".join(t.text or "" for t in c.iter("{%s}t" % ns["m"]))) for c in row.findall("m:c", ns)]
            for row in root.iter("{%s}row" % ns["m"])]


def main():
    kind, path = sys.argv[1], sys.argv[2]
    if kind == "xlsx":
        rows = rows_of_xlsx(path)
    else:
        with open(path, "rb") as f:
            raw = f.read()
        if kind == "csv":
            rows = rows_of_csv(raw, sys.argv[3] if len(sys.argv) > 3 else ",")
        elif kind == "xml":
            rows = rows_of_xml(raw)
        else:
            rows = rows_of_html(raw)
    for row in rows:
        print(" ".join(cell(c) for c in row))


if __name__ == "__main__":
    main()
