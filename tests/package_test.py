#!/usr/bin/env python3
"""Packages the built program twice into two folders and checks that the two archives are the
same bytes, and that an archive holds the program, the French guide and their checksums.
Usage: package_test.py --program Velkor.exe --arch x64 --work FOLDER"""

import argparse
import hashlib
import pathlib
import shutil
import subprocess
import sys
import zipfile

ROOT = pathlib.Path(__file__).resolve().parent.parent


def fail(message):
    print("FAILED:", message)
    sys.exit(1)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--arch", required=True)
    parser.add_argument("--work", required=True)
    args = parser.parse_args()
    work = pathlib.Path(args.work)
    shutil.rmtree(work, ignore_errors=True)
    archives = []
    for run in ("first", "second"):
        out = subprocess.run([sys.executable, str(ROOT / "tools" / "make_package.py"),
                              "--program", args.program, "--arch", args.arch,
                              "--out", str(work / run)],
                             check=True, capture_output=True, text=True).stdout
        archives.append(pathlib.Path(out.strip()))
    if archives[0].name != f"Nimbrel-1.00-{args.arch}.zip":
        fail(f"archive named {archives[0].name}")
    if archives[0].read_bytes() != archives[1].read_bytes():
        fail("two packagings of the same program differ")

    with zipfile.ZipFile(archives[0]) as archive:
        if archive.namelist() != ["Velkor.exe", "LISEZMOI.txt", "SHA256SUMS"]:
            fail(f"entries {archive.namelist()}")
        program = archive.read("Velkor.exe")
        guide = archive.read("LISEZMOI.txt")
        sums = archive.read("SHA256SUMS").decode("ascii")
    if program != pathlib.Path(args.program).read_bytes():
        fail("Velkor.exe is not the built program")
    if not guide.startswith(b"\xef\xbb\xbf") or b"\n" in guide.replace(b"\r\n", b""):
        fail("the guide is not UTF-8 with a byte order mark and Windows line ends")
    text = guide[3:].decode("utf-8")
    for needed in ("Windows 7 SP1", "Exécuter en tant qu'administrateur", "Prefetch",
                   "Mémoire tampon", "liens", "Vos documents",
                   "dossiers qu'il ne peut pas identifier", "Nimbrel 1.00"):
        if needed not in text:
            fail(f"the guide lacks {needed!r}")
    if "@" in text:
        fail("the guide still holds a placeholder")
    expected = "".join(f"{hashlib.sha256(data).hexdigest()}  {name}\n"
                       for name, data in (("Velkor.exe", program), ("LISEZMOI.txt", guide)))
    if sums != expected:
        fail(f"SHA256SUMS reads {sums!r}")
    print(f"{archives[0].name}: {archives[0].stat().st_size} bytes, the same twice")


if __name__ == "__main__":
    main()
