#!/usr/bin/env python3
"""Counts single test cases across both builds and prints 'N passed, M failed'.

Each ctest entry is a GoogleTest binary that leaves its own report; an entry without one
(a script test, or a binary that crashed before writing it) counts as one case by its ctest result.
"""
import sys
import xml.etree.ElementTree as ET
from pathlib import Path


def gtest_counts(report):
    root = ET.parse(report).getroot()
    cases = root.iter("testcase")
    passed = failed = 0
    for case in cases:
        if case.get("status") == "notrun" or case.get("result") == "skipped":
            continue
        if case.find("failure") is not None or case.find("error") is not None:
            failed += 1
        else:
            passed += 1
    return passed, failed


def main(folders):
    passed = failed = 0
    for folder in map(Path, folders):
        ctest = folder / "ctest.xml"
        if not ctest.exists():
            failed += 1
            print(f"no ctest report in {folder}")
            continue
        for case in ET.parse(ctest).getroot().iter("testcase"):
            name = case.get("name")
            ok = case.get("status") in ("run", "passed", None) and case.find("failure") is None
            report = folder / f"{name}.xml"
            if report.exists():
                p, f = gtest_counts(report)
                if not ok and f == 0:
                    f = 1  # the binary failed beyond its cases (crash, time-out, bad exit)
                passed += p
                failed += f
            elif ok:
                passed += 1
            else:
                failed += 1
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
