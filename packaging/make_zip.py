#!/usr/bin/env python3
"""Writes the portable zip of the Windows package: each given file under its name in the archive.
The archive appears whole or not at all.

Usage: make_zip.py ZIP FILE=NAME...
"""
import os
import sys
import zipfile


def main():
    archive, entries = sys.argv[1], sys.argv[2:]
    partial = archive + ".part"
    with zipfile.ZipFile(partial, "w", zipfile.ZIP_DEFLATED) as out:
        for entry in entries:
            path, name = entry.split("=", 1)
            out.write(path, name)
    os.replace(partial, archive)


if __name__ == "__main__":
    main()
