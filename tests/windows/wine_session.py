# SPDX-FileCopyrightText: 2026 Tavelo developers
# SPDX-License-Identifier: MIT

"""Runs the Windows program under Wine.

One Wine prefix per run, fresh, with the program unzipped into C:\\ and its own
X server; per test a harness session on that X server with COM7 linked to a
socat pty pair. Windows, keys, pixels and the log are tests/e2e/harness.py's.

Wine links COM1, COM2... to the machine's serial ports (/dev/ttyS0 is this
machine's console) each time its server starts. So the run keeps one Wine
server of its own for all its tests, and removes those links once, right
after the prefix is made: no test can open a real port.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "e2e"))

import harness  # noqa: E402
from Xlib import display  # noqa: E402

PORT = 7
# No Mono or Gecko installers, and none of Wine's own chatter in the log.
WINE_ENV = dict(WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
UART_PTY = os.environ.get("TAVELO_UART_PTY", "")
# Qt's Windows plugin warns once per window when the call below fails; Wine
# does not implement it, Windows does.
WINE_ONLY = ("EnableNonClientDpiScaling() failed",)


class Prefix:
    """A fresh Wine prefix with the program unzipped into C:\\, its X server
    and its Wine server, kept for the whole run."""

    def __init__(self, zip_path):
        self.x = harness.Session()  # just for its X server and its cleanup
        self.display = self.x.env["DISPLAY"]
        self.dir = tempfile.mkdtemp(prefix="tavelo-wine-")
        self.env = dict(self.x.env, WINEPREFIX=self.dir, **WINE_ENV)
        try:
            self.server = subprocess.Popen(["wineserver", "--foreground", "--persistent"],
                                           env=self.env)
            self.wine(["wineboot", "--init"])
            self.machine_ports = self.remove_com_links()
            # Wine passes no Unix QT_* variable to the program; without this
            # the log goes to the debugger output instead of stderr.
            self.wine(["wine", "reg", "add", r"HKCU\Environment", "/v",
                       "QT_FORCE_STDERR_LOGGING", "/d", "1", "/f"])
            self.drive_c = os.path.join(self.dir, "drive_c")
            with zipfile.ZipFile(zip_path) as z:
                z.extractall(self.drive_c)
            found = [os.path.join(d, "tavelo.exe") for d, _, files in os.walk(self.drive_c)
                     if "tavelo.exe" in files]
            assert len(found) == 1, "one tavelo.exe in the zip, not %r" % found
            self.exe = found[0]
            self.folder = os.path.dirname(self.exe)
        except BaseException:
            self.close()
            raise

    def wine(self, argv):
        subprocess.run(argv, env=self.env, check=True, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=300)

    def dosdevices(self):
        return os.path.join(self.dir, "dosdevices")

    def com_links(self):
        return sorted(n for n in os.listdir(self.dosdevices()) if n.startswith("com"))

    def remove_com_links(self):
        """Removes the links Wine made to the machine's ports; returns their names."""
        names = self.com_links()
        for name in names:
            os.remove(os.path.join(self.dosdevices(), name))
        return names

    def close(self):
        if getattr(self, "server", None) and self.server.poll() is None:
            # The server ends every Wine process of this prefix, then itself;
            # killed alone it would leave them behind.
            subprocess.run(["wineserver", "--kill"], env=self.env, check=False)
            try:
                self.server.wait(20)
            except subprocess.TimeoutExpired:
                self.server.kill()
                self.server.wait()
        shutil.rmtree(self.dir, ignore_errors=True)
        self.x.close()


class WineSession(harness.Session):
    """A harness session on the prefix's X server, with tavelo.exe run by Wine
    and the serial line at COM7."""

    def __init__(self, prefix):
        self.prefix = prefix
        super().__init__()
        self.env.update(WINEPREFIX=prefix.dir, **WINE_ENV)
        self.com = os.path.join(prefix.dosdevices(), "com%d" % PORT)

    def _start_x(self):
        self.env["DISPLAY"] = self.prefix.display
        self.x = display.Display(self.prefix.display)

    def open_device(self, number=PORT):
        """Links COM7 to one end of a socat pty pair; the test holds the other."""
        self.port = number
        line = os.path.join(self.tmp, "line")
        self.dev = os.path.join(self.tmp, "dev")
        self.socat = subprocess.Popen(["socat", "pty,raw,echo=0,link=" + line,
                                       "pty,raw,echo=0,link=" + self.dev],
                                      stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.procs.append(self.socat)
        harness.wait_for(lambda: os.path.exists(line) and os.path.exists(self.dev),
                         what="socat")
        os.symlink(os.path.realpath(line), self.com)
        self.dev_fd = os.open(self.dev, os.O_RDWR | os.O_NOCTTY)
        return number

    def start(self, debug=None):
        """Starts tavelo.exe in its folder; debug names Wine debug channels."""
        self.err = open(self.err_path, "wb")
        env = dict(self.env)
        if UART_PTY:
            env["LD_PRELOAD"] = UART_PTY
        if debug:
            env["WINEDEBUG"] = debug
        self.app = subprocess.Popen(["wine", self.prefix.exe], env=env, cwd=self.prefix.folder,
                                    stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                    stderr=self.err)
        return self.app

    def raw_log(self):
        """The log as written: in the ANSI code page (Wine's default, for
        en-US, is 1252) with the C runtime's CR LF line ends."""
        with open(self.err_path, "rb") as f:
            data = f.read()
        return [line.rstrip("\r") for line in data.decode("cp1252").split("\n")[:-1]]

    def log(self):
        return [line for line in self.raw_log() if not line.startswith(WINE_ONLY)]

    def close(self):
        super().close()
        if os.path.lexists(self.com):
            os.remove(self.com)
