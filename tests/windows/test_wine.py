#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 Tavelo developers
# SPDX-License-Identifier: MIT

"""The Windows program, unzipped into a fresh Wine prefix: the prompt, a port
that cannot be opened, the lamps on COM7, and the folder it runs from.

TAVELO_ZIP names the zip, TAVELO_INSTALLER the installer; TAVELO_UART_PTY the
library that lets a pty answer like a UART (see uart_pty.c).
"""
import hashlib
import os
import re
import struct
import subprocess
import unittest

from wine_session import PORT, Prefix, WineSession, harness

MESSAGE_LOG = ["Porta não foi aberta"]
ICON = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "packaging", "windows",
                    "tavelo.ico")
PREFIX = None


def setUpModule():
    global PREFIX
    PREFIX = Prefix(os.environ["TAVELO_ZIP"])


def tearDownModule():
    if PREFIX:
        PREFIX.close()


class WineTest(harness.TaveloTest):
    def setUp(self):
        self.s = WineSession(PREFIX)
        self.addCleanup(self.s.close)
        self.addCleanup(self.no_machine_port)

    def start_on_device(self):
        """Starts tavelo.exe on COM7, answers the prompt, lights the red lamp
        and returns the tower window.

        Under Wine the first frame of Qt's threaded renderer never reaches
        the screen (the window stays black until the scene changes), so the
        tower is read once a command has changed it."""
        self.s.open_device()
        self.s.start()
        self.s.prompt(text=str(PORT))
        self.assertEqual(self.s.wait_log(2, timeout=30), [str(PORT), "0"])
        self.send(b"5", '"5"', '"35"', "Liga Led Vermelho")
        self.tower = self.s.rendered(self.s.window("Tavelo"))
        self.state = dict(vermelho="vermelho", amarelo="apagado", verde="apagado",
                          sirene="apagado", icone=True)
        self.expect()
        return self.tower

    def no_machine_port(self):
        self.assertEqual([n for n in PREFIX.com_links() if n != "com%d" % PORT], [],
                         "Wine linked a port of the machine")


class Arranque(WineTest):
    def test_prompt_repeats_until_a_port_number(self):
        self.s.open_device()
        self.s.start()
        self.s.prompt(keys="Escape")
        self.assertEqual(self.s.wait_log(1, timeout=30), ["0"])
        self.s.prompt(text="0")
        self.s.wait_log(2)
        self.assertNotIn("Tavelo", self.s.windows())
        self.s.prompt(text=str(PORT))
        self.assertEqual(self.s.wait_log(4), ["0", "0", str(PORT), "0"])
        tower = self.s.window("Tavelo", timeout=30)
        geometry = tower.get_geometry()
        self.assertEqual((geometry.width, geometry.height), (200, 445))
        self.s.close_window(tower)
        self.assertEqual(self.s.wait_exit(20), 0)
        self.assertEqual(self.s.log(), ["0", "0", str(PORT), "0"])

    def test_tower_starts_dark(self):
        self.start_on_device()
        self.send(b"6", '"6"', '"36"', "Desliga Vermelho ")
        self.expect(vermelho="apagado")
        image = self.s.capture(self.tower)
        self.assertEqual(image.getpixel((3, 3)), harness.BACKGROUND)
        self.assertEqual(image.getpixel((196, 440)), harness.BACKGROUND)
        self.assertEqual(self.s.lamps(self.tower), dict(vermelho="apagado", amarelo="apagado",
                                                        verde="apagado", sirene="apagado",
                                                        icone=True))

    def test_port_that_cannot_be_opened(self):
        self.s.start()
        self.s.prompt(text="31999")
        self.assertEqual(self.s.wait_log(2, timeout=30), ["31999"] + MESSAGE_LOG)
        # The message box has no title of its own: Windows shows the program's.
        box = self.s.window("tavelo")
        self.assertNotIn("Tavelo", self.s.windows())
        self.s.xdotool("windowfocus", "--sync", box.id)
        self.s.xdotool("key", "Return")
        self.assertEqual(self.s.wait_exit(20), 1)
        self.assertNotIn("Tavelo", self.s.windows())
        self.assertEqual(self.s.log(), ["31999"] + MESSAGE_LOG)


class Comandos(WineTest):
    def test_lamps_and_log(self):
        tower = self.start_on_device()

        self.send(b"3", '"3"', '"33"', "Liga Led Amarelo")
        self.expect(amarelo="amarelo")
        self.send(b"1", '"1"', '"31"', "Liga Led Verde")
        self.expect(verde="verde")

        # The siren: lit with its icon, then dark with the icon hidden.
        self.send(b"7", '"7"', '"37"', "Liga sirene")
        self.expect(sirene="sirene", icone=True)
        shots = os.environ.get("TAVELO_SCREENSHOTS")
        if shots:
            self.s.capture(tower).save(os.path.join(shots, "tavelo-wine.png"))
        self.expect(sirene="apagado", icone=False)
        self.expect(sirene="sirene", icone=True)
        self.send(b"8", '"8"', '"38"', "Desliga Sirene ")
        # Siren off: dark, with the icon shown as at start.
        self.expect(sirene="apagado", icone=True)

        self.send(b"6", '"6"', '"36"', "Desliga Vermelho ")
        self.expect(vermelho="apagado")
        # Several commands in one write: every one obeyed.
        self.send(b"24\r\n", '"24\\r\\n"', '"32340d0a"', "Desliga Verde", "Desliga Amarelo")
        self.expect(verde="apagado", amarelo="apagado")
        self.send(b"531", '"531"', '"353331"', "Liga Led Vermelho", "Liga Led Amarelo",
                  "Liga Led Verde")
        self.expect(vermelho="vermelho", amarelo="amarelo", verde="verde")

        self.s.close_window(tower)
        self.assertEqual(self.s.wait_exit(20), 0)
        # Every byte arrived on the first open: the line never dropped.
        self.assertNotIn("Porta serial desconectada", self.s.log())
        self.assertEqual(self.s.log()[:2], [str(PORT), "0"])


class Pasta(WineTest):
    """The folder holds what the program loads, and the program loads from it."""

    def test_gui_program_with_the_application_icon(self):
        kind = subprocess.run(["file", "-b", PREFIX.exe], check=True, capture_output=True,
                              text=True).stdout
        self.assertRegex(kind, r"^PE32\+ executable .*\(GUI\).* x86-64")
        # Every image of the icon file is in the program's resources, as is.
        with open(ICON, "rb") as f:
            icon = f.read()
        with open(PREFIX.exe, "rb") as f:
            exe = f.read()
        count = struct.unpack_from("<H", icon, 4)[0]
        self.assertGreater(count, 0)
        for i in range(count):
            size, offset = struct.unpack_from("<II", icon, 6 + 16 * i + 8)
            self.assertTrue(icon[offset:offset + size] in exe,
                            "image %d of %s is not in tavelo.exe" % (i, ICON))

    def test_loads_every_dll_of_its_folder_and_none_from_elsewhere(self):
        self.s.open_device()
        self.s.start(debug="loaddll")
        self.s.prompt(text=str(PORT))
        self.s.window("Tavelo", timeout=30)
        self.s.send(b"5")
        harness.wait_for(lambda: "Liga Led Vermelho" in self.s.raw_log(), what="a command")
        self.s.rendered(self.s.window("Tavelo"))

        loaded = set()
        for line in self.s.raw_log():
            m = re.search(r'Loaded L"(.+?)" at \S+: native', line)
            if m:
                loaded.add(m.group(1).replace("\\\\", "\\").lower())
        folder = "c:" + PREFIX.folder[len(PREFIX.drive_c):].replace("/", "\\").lower()
        outside = sorted(p for p in loaded if not p.startswith(folder + "\\"))
        self.assertEqual(outside, [], "native DLLs loaded from outside the program folder")

        shipped = set()
        for d, _, files in os.walk(PREFIX.folder):
            for f in files:
                if f.lower().endswith(".dll") and "qml" not in os.path.relpath(d, PREFIX.folder):
                    rel = os.path.relpath(os.path.join(d, f), PREFIX.folder)
                    shipped.add(folder + "\\" + rel.replace("/", "\\").lower())
        self.assertTrue(shipped)
        self.assertEqual(sorted(shipped - loaded), [], "shipped but never loaded")


def tree(folder):
    """{path relative to the folder: SHA-256} of every file below it."""
    files = {}
    for d, _, names in os.walk(folder):
        for name in names:
            path = os.path.join(d, name)
            with open(path, "rb") as f:
                files[os.path.relpath(path, folder)] = hashlib.sha256(f.read()).hexdigest()
    return files


class Instalador(WineTest):
    def start_menu_links(self):
        return sorted(os.path.relpath(os.path.join(d, n), PREFIX.drive_c)
                      for d, _, names in os.walk(PREFIX.drive_c) for n in names
                      if n.endswith(".lnk") and os.path.basename(d) == "Tavelo")

    def test_installs_the_program_folder_with_a_start_menu_entry_and_uninstalls(self):
        target = os.path.join(PREFIX.drive_c, "Tavelo")
        PREFIX.wine(["wine", os.environ["TAVELO_INSTALLER"], "/S", r"/D=C:\Tavelo"])
        installed = tree(target)
        self.assertIn("Uninstall.exe", installed)
        del installed["Uninstall.exe"]
        self.assertEqual(installed, tree(PREFIX.folder))
        links = self.start_menu_links()
        self.assertEqual([os.path.basename(n) for n in links], ["Tavelo.lnk", "Uninstall.lnk"])
        self.assertIn("Start Menu", links[0])

        # The uninstaller runs from a copy of itself and returns at once.
        PREFIX.wine(["wine", os.path.join(target, "Uninstall.exe"), "/S"])
        harness.wait_for(lambda: not os.path.exists(os.path.join(target, "tavelo.exe"))
                         and not self.start_menu_links(), timeout=30, what="the uninstall")
        self.assertEqual(tree(target) if os.path.exists(target) else {}, {})


if __name__ == "__main__":
    unittest.main(verbosity=2)
