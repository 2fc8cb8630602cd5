#!/usr/bin/env python3
"""Counts one GoogleTest run from its own XML results.

    gtest-result.py LIST.xml RESULT.xml EXIT_CODE

LIST.xml is what the executable wrote for --gtest_list_tests with the same
filter; RESULT.xml is what it wrote at the end of the run. The first line
printed is "PASSED FAILED SKIPPED"; the lines after it say what went wrong.

GoogleTest writes its XML only when the run reaches its end, so a missing
file means the executable stopped early (exit(0) in a test included), and a
listed test absent from the file means the file is not that run's (or the
run was cut short). Both count as failures: an exit code of 0 proves nothing.
"""
import sys
import xml.etree.ElementTree as ET


def read_cases(path):
    """{"Suite.Test": element} for every testcase, or None when unreadable."""
    try:
        root = ET.parse(path).getroot()
    except (OSError, ET.ParseError):
        return None
    if root.tag != "testsuites":
        return None
    cases = {}
    for suite in root.findall("testsuite"):
        for case in suite.findall("testcase"):
            cases[suite.get("name", "") + "." + case.get("name", "")] = case
    return cases


def disabled(name):
    # GoogleTest's own rule: a suite or test whose name starts with DISABLED_,
    # parameterised ones included ("Prefix/DISABLED_Suite").
    suite, _, test = name.partition(".")
    return any(part.startswith("DISABLED_") or "/DISABLED_" in part for part in (suite, test))


def count(list_path, result_path, exit_code):
    notes = []
    listed = read_cases(list_path)
    cases = read_cases(result_path)
    if listed is None:
        notes.append("could not list its tests (no readable %s)" % list_path)
    if cases is None:
        expected = len([n for n in listed if not disabled(n)]) if listed else 0
        notes.append("no result file: the run ended before GoogleTest's end "
                     "(%d listed tests unaccounted for)" % expected)
        return 0, max(expected, 1), 0, notes

    passed = failed = skipped = 0
    for name, case in cases.items():
        if case.get("status") != "run":
            if not disabled(name):
                failed += 1
                notes.append("%s: listed but not run" % name)
            continue
        if case.find("failure") is not None:
            failed += 1
        elif case.get("result") == "skipped" or case.find("skipped") is not None:
            skipped += 1
        else:
            passed += 1

    if listed is not None:
        missing = sorted(set(listed) - set(cases))
        if missing:
            failed += max(len([n for n in missing if not disabled(n)]), 1)
            notes.append("%d of %d listed tests have no result (short or foreign result "
                         "file): %s" % (len(missing), len(listed), ", ".join(missing[:10])
                                        + (" ..." if len(missing) > 10 else "")))
        extra = sorted(n for n in set(cases) - set(listed) if not n.startswith("NonTestSuiteFailure."))
        if extra:
            notes.append("results for tests it did not list: %s" % ", ".join(extra[:10]))
    else:
        failed = max(failed, 1)

    if exit_code != 0 and failed == 0:
        failed = 1
        notes.append("exit code %d with no failed test" % exit_code)
    return passed, failed, skipped, notes


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    passed, failed, skipped, notes = count(sys.argv[1], sys.argv[2], int(sys.argv[3]))
    print(passed, failed, skipped)
    for note in notes:
        print(note)


if __name__ == "__main__":
    main()
