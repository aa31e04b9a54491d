#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 Tavelo developers
# SPDX-License-Identifier: MIT

"""Makes the README's screenshot, docs/tavelo.png: the tower under Xvfb with
red, yellow and green lit and the siren in its lit phase.

Usage: scripts/screenshot.py [TAVELO]   (default build/tavelo; run as root,
for the /dev/COM<n> link; needs the test packages)
"""
import os
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))

from harness import Session, wait_for  # noqa: E402


def main():
    exe = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build", "tavelo")
    with Session() as s:
        s.open_device()
        s.start(exe)
        s.prompt(text=str(s.port))
        tower = s.rendered(s.window("Tavelo"))
        s.send(b"5317")
        want = dict(vermelho="vermelho", amarelo="amarelo", verde="verde", sirene="sirene",
                    icone=True)
        wait_for(lambda: s.lamps(tower) == want, what="all lamps lit")
        out = os.path.join(ROOT, "docs", "tavelo.png")
        s.capture(tower).save(out)
        print(out)


if __name__ == "__main__":
    main()
