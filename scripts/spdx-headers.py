#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 Tavelo developers
# SPDX-License-Identifier: MIT

"""Puts the copyright and licence lines at the top of every tracked file that
can carry a comment, after a shebang or an XML declaration. Files that already
have them are left alone, so it can run again after new files come in.

  scripts/spdx-headers.py           add the lines where they are missing
  scripts/spdx-headers.py --check   only list the files that miss them (exit 1)
"""
import os
import subprocess
import sys

COPYRIGHT = "SPDX-FileCopyrightText: 2026 Tavelo developers"
LICENCE = "SPDX-License-Identifier: MIT"

# Comment style by file name ending; the first match wins.
STYLES = [
    ((".cpp", ".h", ".qml"), ("// ", "")),
    ((".c",), ("/* ", " */")),
    ((".xml", ".xml.in", ".qrc"), ("<!-- ", " -->")),
    ((".1", ".1.in"), ('.\\" ', "")),
    ((".py", ".sh", ".txt", ".cmake", ".rules", ".desktop", ".gitignore", ".clang-format",
      "/run"), ("# ", "")),
]
# No comment syntax, or not ours to mark: the copyright file covers these.
SKIP = ("LICENSE", "README.md", "packaging/copyright", "packaging/changelog.in")


def style_of(path):
    if path in SKIP or path.startswith("tests/fuzz/corpus/"):
        return None
    for endings, style in STYLES:
        if path.endswith(endings):
            return style
    return None


def has_header(lines):
    return any(LICENCE in line for line in lines[:6])


def with_header(lines, style):
    start, end = style
    header = [start + COPYRIGHT + end + "\n", start + LICENCE + end + "\n"]
    keep = 0
    if lines and (lines[0].startswith("#!") or lines[0].startswith("<?xml")):
        keep = 1
    rest = lines[keep:]
    # A blank line is text to troff, so the man page gets none.
    if rest and rest[0].strip() and not start.startswith("."):
        header.append("\n")
    return lines[:keep] + header + rest


def main():
    check = "--check" in sys.argv[1:]
    root = subprocess.run(["git", "rev-parse", "--show-toplevel"], check=True,
                          capture_output=True, text=True).stdout.strip()
    files = subprocess.run(["git", "ls-files"], cwd=root, check=True,
                           capture_output=True, text=True).stdout.split()
    missing = []
    for path in files:
        style = style_of(path)
        if style is None:
            continue
        full = os.path.join(root, path)
        with open(full, encoding="utf-8") as f:
            lines = f.readlines()
        if has_header(lines):
            continue
        missing.append(path)
        if not check:
            mode = os.stat(full).st_mode
            with open(full, "w", encoding="utf-8") as f:
                f.writelines(with_header(lines, style))
            os.chmod(full, mode)
    for path in missing:
        print(path)
    return 1 if check and missing else 0


if __name__ == "__main__":
    sys.exit(main())
