#!/usr/bin/env python3
"""The release archive as a host gets it.

    release_archive_test.py ARCHIVE BUILD_BIN WINE_EXEC TEST_PROGRAM [GTEST ARGUMENTS...]

Checks what the archive holds (names, bytes, encodings), unpacks it into a fresh directory whose
path holds blanks and Chinese characters, has the unpacked quadrivo-solve.exe judge an answer typed
in full-width characters, runs TEST_PROGRAM under Wine to play a round in the
unpacked program (it gets the directory in QUADRIVO_RELEASE_DIR and a current directory for the
program in QUADRIVO_ELSEWHERE_DIR), and checks afterwards that the program wrote log.txt and its
module there and nothing anywhere else in the test's directories. Exit code 0 when all holds.
"""
import hashlib
import os
import re
import shutil
import subprocess
import sys
import tempfile
import zipfile

PROGRAM = "Quadrivo.exe"
COMPANION = "quadrivo-solve.exe"
HELP = "Help.CHM"
CONFIG = "Config.ini"
NOTES = "使用说明.txt"
GUIDE = "publishing-updates.md"


def version_define(name):
    """A text of the release's one version source, common/version.h."""
    header = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "common", "version.h")
    with open(header, encoding="utf-8") as f:
        return re.search(rf'^#define {name} "([^"]*)"', f.read(), re.MULTILINE).group(1)


RELEASE = version_define("QUADRIVO_RELEASE_TEXT")
PRODUCT_VERSION = version_define("QUADRIVO_PRODUCT_VERSION_TEXT")
EXPECTED_CONFIG = f"[currentVersion]\r\nVersion={RELEASE}\r\n\r\n[UpdateInfo]\r\nUrl=\r\n".encode("ascii")
UTF8_NAME_FLAG = 0x800
# An answer as a host types it with a Chinese input method, and what the companion says of it when
# its output is redirected: UTF-8 with Windows line ends.
FULL_WIDTH_ANSWER = ["--check", "（１＋２）×（１＋７）", "1", "1", "2", "7"]
EXPECTED_VERDICT = "算式：(1+2)×(1+7)\r\n结果：24\r\n判定：正确，用的正是发的四个数，结果等于 24\r\n".encode("utf-8")

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
    return condition


def only_crlf(data):
    return b"\n" in data and data.count(b"\n") == data.count(b"\r\n") and data.count(b"\r") == data.count(b"\r\n")


def check_archive(archive, build_bin):
    check(os.path.basename(archive) == f"Quadrivo-{RELEASE}.zip", f"the archive is named {os.path.basename(archive)}")
    with zipfile.ZipFile(archive) as z:
        infos = z.infolist()
        names = [info.filename for info in infos]
        check(sorted(names) == sorted([PROGRAM, COMPANION, HELP, CONFIG, NOTES, GUIDE]), f"archive holds {names}")
        check(not any(name.lower().endswith(".dll") for name in names), "a DLL in the archive")
        check(z.testzip() is None, "a damaged member")
        for info in infos:
            if not info.filename.isascii():
                check(info.flag_bits & UTF8_NAME_FLAG, f"{info.filename}: name stored without the UTF-8 flag")
        contents = {info.filename: z.read(info) for info in infos}
    for name in (PROGRAM, COMPANION, HELP):
        with open(os.path.join(build_bin, name), "rb") as built:
            check(contents.get(name) == built.read(), f"{name} differs from the built one")
    check(contents.get(CONFIG) == EXPECTED_CONFIG, f"Config.ini is {contents.get(CONFIG)!r}")
    notes = contents.get(NOTES, b"")
    try:
        text = notes.decode("gbk")
        check(all(word in text for word in ("解压", "Quadrivo.exe", "log.txt", "Config.ini")),
              f"{NOTES} does not say how to start and where the files are")
        check(all(word in text for word in ("quadrivo-solve", "--check", "--exact")),
              f"{NOTES} does not say how to check an answer with the companion")
        check(f"V{PRODUCT_VERSION}" in text.splitlines()[0], f"{NOTES} does not name the release in its first line")
    except UnicodeDecodeError as error:
        check(False, f"{NOTES} is not GBK: {error}")
    check(only_crlf(notes), f"{NOTES} has line ends other than CR LF")
    guide = contents.get(GUIDE, b"")
    check(guide.startswith(b"\xef\xbb\xbf"), f"{GUIDE} without a UTF-8 byte-order mark")
    try:
        check("Update" in guide.decode("utf-8-sig"), f"{GUIDE} is not the publishing guide")
    except UnicodeDecodeError as error:
        check(False, f"{GUIDE} is not UTF-8: {error}")
    check(only_crlf(guide), f"{GUIDE} has line ends other than CR LF")


def windows_path(path):
    # Every Wine prefix maps drive Z: to the Unix root.
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def digest(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def main(archive, build_bin, wine_exec, program, gtest_arguments):
    check_archive(archive, build_bin)

    base = tempfile.mkdtemp(prefix="quadrivo-release-")
    try:
        run_dir = os.path.join(base, "测试 目录 1")
        elsewhere = os.path.join(base, "elsewhere")
        os.makedirs(run_dir)
        os.makedirs(elsewhere)
        with zipfile.ZipFile(archive) as z:
            z.extractall(run_dir)
        unpacked = {name: digest(os.path.join(run_dir, name)) for name in os.listdir(run_dir)}

        # Wine hands the arguments to the wide command line in the locale's character set.
        companion = subprocess.run([wine_exec, os.path.join(run_dir, COMPANION)] + FULL_WIDTH_ANSWER,
                                   cwd=elsewhere, env=dict(os.environ, LC_ALL="C.UTF-8"),
                                   stdout=subprocess.PIPE, timeout=120)
        check(companion.returncode == 0, f"{COMPANION} judged the answer with exit code {companion.returncode}")
        check(companion.stdout == EXPECTED_VERDICT, f"{COMPANION} wrote {companion.stdout!r}")

        environment = dict(os.environ, QUADRIVO_RELEASE_DIR=windows_path(run_dir),
                           QUADRIVO_ELSEWHERE_DIR=windows_path(elsewhere))
        result = subprocess.run([wine_exec, program] + gtest_arguments, env=environment, timeout=240)
        check(result.returncode == 0, f"the program test ended with {result.returncode}")

        # Written beside the program, and nowhere else: not in the current directory it was
        # started from, not next to the run directory.
        check(sorted(os.listdir(base)) == sorted(["测试 目录 1", "elsewhere"]), f"beside the run directory: {os.listdir(base)}")
        check(os.listdir(elsewhere) == [], f"in the current directory: {os.listdir(elsewhere)}")
        after = sorted(os.listdir(run_dir))
        check(after == sorted(list(unpacked) + ["log.txt", "Scribbet.dll"]), f"the run directory holds {after}")
        for name, before in unpacked.items():
            check(digest(os.path.join(run_dir, name)) == before, f"{name} was changed")
    finally:
        shutil.rmtree(base, ignore_errors=True)

    for failure in failures:
        print(f"release_archive_test: {failure}", file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    if len(sys.argv) < 5:
        print(__doc__, file=sys.stderr)
        sys.exit(2)
    sys.exit(main(sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4], sys.argv[5:]))
