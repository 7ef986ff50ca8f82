# SPDX-License-Identifier: MIT
"""What a script would do with pefile: read ProductVersion from both files and compare them.
Prints "=" when they are equal and "0" otherwise, like tamsik."""
import sys

import pefile


def product_version(path):
    try:
        pe = pefile.PE(path, fast_load=True)
        pe.parse_data_directories(
            directories=[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_RESOURCE"]])
    except (OSError, pefile.PEFormatError):
        return b""
    for group in getattr(pe, "FileInfo", None) or []:
        for entry in group:
            if getattr(entry, "Key", b"") == b"StringFileInfo":
                for table in entry.StringTable:
                    if b"ProductVersion" in table.entries:
                        return table.entries[b"ProductVersion"]
    return b""


if __name__ == "__main__":
    same = len(sys.argv) == 3 and product_version(sys.argv[1]) == product_version(sys.argv[2])
    sys.stdout.write("=" if same else "0")
