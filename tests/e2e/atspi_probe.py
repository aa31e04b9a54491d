#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 Tavelo developers
# SPDX-License-Identifier: MIT

"""Reads or acts on an application's accessible objects through AT-SPI, in a
process of its own: pyatspi binds to the first accessibility bus it meets, and
every test session has its own.

  atspi_probe.py APP tree           JSON list of [role, name, description, checked]
  atspi_probe.py APP press NAME     presses the push button NAME; exit 1 if none

Roles are given by their constant's name (ROLE_LABEL).
"""
import json
import sys
import warnings

with warnings.catch_warnings():
    warnings.simplefilter("ignore")
    import pyatspi


# Role constants by value: both the names that libatspi reports for display
# and pyatspi's own string forms change between releases.
ROLES = {int(getattr(pyatspi, n)): n for n in dir(pyatspi)
         if n.startswith("ROLE_") and isinstance(getattr(pyatspi, n), int)}


def nodes(app_name):
    def walk(node):
        if node is None:
            return
        yield node
        for child in node:
            yield from walk(child)

    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == app_name:
            yield from walk(app)


def main():
    app, command = sys.argv[1], sys.argv[2]
    if command == "tree":
        print(json.dumps([[ROLES.get(int(n.getRole()), "?"), n.name, n.description,
                           n.getState().contains(pyatspi.STATE_CHECKED)] for n in nodes(app)]))
        return 0
    if command == "press":
        for n in nodes(app):
            if n.getRole() == pyatspi.ROLE_PUSH_BUTTON and n.name.replace("&", "") == sys.argv[3]:
                n.queryAction().doAction(0)
                return 0
        return 1
    return 2


if __name__ == "__main__":
    sys.exit(main())
