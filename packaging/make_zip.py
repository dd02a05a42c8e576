#!/usr/bin/env python3
"""Writes the portable zip of the Windows package: the given files, side by side in one folder of
the archive. The archive appears whole or not at all.

Usage: make_zip.py ZIP FOLDER FILE...
"""
import os
import sys
import zipfile


def main():
    archive, folder, files = sys.argv[1], sys.argv[2], sys.argv[3:]
    partial = archive + ".part"
    with zipfile.ZipFile(partial, "w", zipfile.ZIP_DEFLATED) as out:
        for path in files:
            out.write(path, folder + "/" + os.path.basename(path))
    os.replace(partial, archive)


if __name__ == "__main__":
    main()
