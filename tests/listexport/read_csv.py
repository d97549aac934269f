#!/usr/bin/env python3
"""Reads a CSV table with Python's csv module (RFC 4180 dialect) and prints its rows as JSON.

Fails when a record is not ended by CR LF (outside quoted fields) or the file is not UTF-8.
"""
import csv
import io
import json
import sys


def check_record_ends(text):
    """Every line break outside a quoted field is CR LF, and so is the table's end."""
    quoted = False
    for i, c in enumerate(text):
        if c == '"':
            quoted = not quoted
        elif not quoted and c == "\n" and (i == 0 or text[i - 1] != "\r"):
            raise ValueError("a record ends with a bare LF at offset %d" % i)
        elif not quoted and c == "\r" and text[i + 1:i + 2] != "\n":
            raise ValueError("a record ends with a bare CR at offset %d" % i)
    if not text.endswith("\r\n"):
        raise ValueError("the table does not end with CR LF")


def main():
    with open(sys.argv[1], "rb") as f:
        data = f.read()
    try:
        text = data.decode("utf-8")
        rows = list(csv.reader(io.StringIO(text, newline=""), strict=True))
        check_record_ends(text)
    except Exception as error:
        print("unreadable table: %s" % error, file=sys.stderr)
        return 1
    json.dump(rows, sys.stdout, ensure_ascii=False)
    return 0


if __name__ == "__main__":
    sys.exit(main())
