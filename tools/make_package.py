#!/usr/bin/env python3
"""Writes the release archive Nimbrel-<version>-<arch>.zip: Velkor.exe, the French guide
LISEZMOI.txt (UTF-8 with a byte order mark and Windows line ends) and SHA256SUMS.

The archive depends on nothing but its inputs: entries in a fixed order, each with the same fixed
date and attributes, compressed at a fixed level, so the same sources give the same bytes.

Usage: make_package.py --program build/win64/Velkor.exe --arch x64 --out dist"""

import argparse
import hashlib
import pathlib
import re
import sys
import zipfile

ROOT = pathlib.Path(__file__).resolve().parent.parent
GUIDE = ROOT / "docs" / "LISEZMOI.txt"
ARCHITECTURES = {"x64": "64 bits (x64)", "x86": "32 bits (x86)"}
FIXED_DATE = (2000, 1, 1, 0, 0, 0)  # zip dates start in 1980; any fixed date will do


def product_version():
    """The version the program's version record shows ("1.00")."""
    rc = (ROOT / "res" / "velkor.rc").read_text(encoding="utf-8")
    return re.search(r'VALUE "ProductVersion", "([^"]+)"', rc).group(1)


def guide_bytes(version, arch):
    text = GUIDE.read_text(encoding="utf-8")
    text = text.replace("@VERSION@", version).replace("@ARCHITECTURE@", ARCHITECTURES[arch])
    return b"\xef\xbb\xbf" + text.replace("\r\n", "\n").replace("\n", "\r\n").encode("utf-8")


def write_archive(path, files):
    with zipfile.ZipFile(path, "w") as archive:
        for name, data in files:
            entry = zipfile.ZipInfo(name, date_time=FIXED_DATE)
            entry.compress_type = zipfile.ZIP_DEFLATED
            entry.create_system = 0  # MS-DOS attributes, whatever system packs it
            entry.external_attr = 0x20  # archive bit
            archive.writestr(entry, data, compresslevel=9)


def package(program, arch, out_dir):
    version = product_version()
    files = [("Velkor.exe", pathlib.Path(program).read_bytes()),
             ("LISEZMOI.txt", guide_bytes(version, arch))]
    sums = "".join(f"{hashlib.sha256(data).hexdigest()}  {name}\n" for name, data in files)
    files.append(("SHA256SUMS", sums.encode("ascii")))
    out = pathlib.Path(out_dir)
    out.mkdir(parents=True, exist_ok=True)
    path = out / f"Nimbrel-{version}-{arch}.zip"
    write_archive(path, files)
    return path


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--program", required=True, help="the Velkor.exe to ship")
    parser.add_argument("--arch", required=True, choices=sorted(ARCHITECTURES))
    parser.add_argument("--out", required=True, help="folder of the archive")
    args = parser.parse_args()
    print(package(args.program, args.arch, args.out))


if __name__ == "__main__":
    sys.exit(main())
