#!/usr/bin/env python3
"""Makes the release archive a host downloads: Quadrivo-<version>.zip.

    make_archive.py --bin BUILD_BIN --version 1.18 --notes 使用说明.txt --guide publishing-updates.md
                    --out build/dist/Quadrivo-1.18.zip

The archive holds, side by side at its top level (Explorer's "Extract All" puts them into a folder
named after the archive):
  Quadrivo.exe, Help.CHM       from the build, byte for byte
  quadrivo-solve.exe           the host's command-line companion (exact solutions, checking an
                               answer), from the build, byte for byte
  Config.ini                   installed version <version>, an empty update address (a host sets
                               its own server)
  使用说明.txt                 the short notes, turned into GBK with CR LF for Notepad on a
                               Chinese Windows
  publishing-updates.md        the guide for whoever publishes new versions: UTF-8 with a byte-order
                               mark and CR LF, so that older Notepads read it as UTF-8 too
No DLL: Quadrivo.exe writes its modules on first start. Names that are not ASCII are stored in
UTF-8 with the language-encoding flag (bit 11) set, so Explorer shows them as written.
"""
import argparse
import os
import sys
import tempfile
import time
import zipfile

PROGRAM = "Quadrivo.exe"
COMPANION = "quadrivo-solve.exe"
HELP = "Help.CHM"
CONFIG = "Config.ini"
NOTES = "使用说明.txt"
GUIDE = "publishing-updates.md"

# Windows file attribute "archive", in the high word of the external attributes of an entry made
# on MS-DOS/Windows (create_system 0): what Explorer expects of a plain file.
DOS_ARCHIVE = 0x20


def crlf(text):
    return text.replace("\r\n", "\n").replace("\n", "\r\n")


def config_ini(version):
    # The sections and keys the update check reads; Windows INI lines.
    return crlf(f"[currentVersion]\nVersion={version}\n\n[UpdateInfo]\nUrl=\n").encode("ascii")


def entry(name, timestamp):
    info = zipfile.ZipInfo(name, date_time=timestamp)
    info.create_system = 0
    info.external_attr = DOS_ARCHIVE
    info.compress_type = zipfile.ZIP_DEFLATED
    return info


def local_time(path):
    # ZIP stores local time with two-second steps and nothing before 1980.
    return max((1980, 1, 1, 0, 0, 0), tuple(time.localtime(os.path.getmtime(path))[:6]))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--bin", required=True,
                        help="the build's bin folder (Quadrivo.exe, quadrivo-solve.exe, Help.CHM)")
    parser.add_argument("--version", required=True, help="the installed version Config.ini names, e.g. 1.18")
    parser.add_argument("--notes", required=True, help="使用说明.txt in UTF-8")
    parser.add_argument("--guide", required=True, help="docs/publishing-updates.md")
    parser.add_argument("--out", required=True)
    args = parser.parse_args()

    program = os.path.join(args.bin, PROGRAM)
    companion = os.path.join(args.bin, COMPANION)
    help_file = os.path.join(args.bin, HELP)
    with open(args.notes, encoding="utf-8") as f:
        notes = crlf(f.read()).encode("gbk")  # fails loudly on a character GBK cannot carry
    with open(args.guide, encoding="utf-8") as f:
        guide = b"\xef\xbb\xbf" + crlf(f.read()).encode("utf-8")

    members = [
        (PROGRAM, program, None),
        (COMPANION, companion, None),
        (HELP, help_file, None),
        (CONFIG, program, config_ini(args.version)),
        (NOTES, args.notes, notes),
        (GUIDE, args.guide, guide),
    ]
    out_dir = os.path.dirname(os.path.abspath(args.out))
    os.makedirs(out_dir, exist_ok=True)
    # Written beside the target and renamed into place: a failed run leaves no half archive.
    handle, temporary = tempfile.mkstemp(prefix=".Quadrivo-", suffix=".zip", dir=out_dir)
    os.close(handle)
    try:
        with zipfile.ZipFile(temporary, "w") as archive:
            for name, source, data in members:
                if data is None:
                    with open(source, "rb") as f:
                        data = f.read()
                archive.writestr(entry(name, local_time(source)), data)
        os.chmod(temporary, 0o644)
        os.replace(temporary, args.out)
    except BaseException:
        os.unlink(temporary)
        raise
    print(f"make_archive: wrote {args.out} ({os.path.getsize(args.out)} bytes)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
