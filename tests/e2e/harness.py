# SPDX-FileCopyrightText: 2026 Tavelo developers
# SPDX-License-Identifier: MIT

"""Drives the real tavelo executable under Xvfb with a socat serial pair.

Every session gets its own X server, its own /dev/COM<n> link and its own
temporary folder, so tests can run in parallel.
"""
import json
import os
import random
import shutil
import signal
import subprocess
import tempfile
import time
import unittest

from PIL import Image
from Xlib import X, display
from Xlib.protocol import event

TAVELO = os.environ.get("TAVELO", "tavelo")
PROBE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "atspi_probe.py")

# Lamp centres in window coordinates, and a siren point the icon leaves clear.
LAMPS = {
    "vermelho": (93, 53),
    "amarelo": (95, 160),
    "verde": (100, 270),
    "sirene": (101, 360),
}
ICON_STROKE = (100, 382)  # on the loudspeaker's cone outline
BACKGROUND = (0x75, 0x71, 0x71)


def wait_for(predicate, timeout=10.0, step=0.02, what="condition"):
    end = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > end:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(step)


def classify(rgb):
    """Names what a lamp pixel shows: 'apagado' or the lit lamp's colour."""
    r, g, b = rgb[:3]
    if max(r, g, b) <= 90 and max(r, g, b) - min(r, g, b) <= 12:
        return "apagado"
    if r > 200 and g > 200 and b < 150:
        return "amarelo"
    if r > 200 and g < 150 and b < 150 and abs(g - b) < 30:
        return "vermelho"
    if r > 200 and 100 <= g <= 180 and b < 110:
        return "sirene"
    if g > 120 and r < 60 and b < 60:
        return "verde"
    return "desconhecido %s" % (rgb,)


class Session:
    def __init__(self, a11y=False):
        self.tmp = tempfile.mkdtemp(prefix="tavelo-e2e-")
        self.procs = []
        self.groups = []
        self.extra_dirs = []
        self.env = dict(os.environ)
        self.env.update(LANG="C.UTF-8", LC_ALL="C.UTF-8", XDG_RUNTIME_DIR=self.tmp,
                        QT_QPA_PLATFORM="xcb")
        for var in ("QT_LOGGING_RULES", "QT_MESSAGE_PATTERN", "QT_SCALE_FACTOR",
                    "QT_AUTO_SCREEN_SCALE_FACTOR", "QT_ACCESSIBILITY"):
            self.env.pop(var, None)
        self._start_x()
        if a11y:
            self._start_a11y()
        self.port = None
        self.dev = None
        self.dev_fd = None
        self.app = None
        self.err_path = os.path.join(self.tmp, "stderr.txt")

    # --- infrastructure -------------------------------------------------
    def _start_x(self):
        r, w = os.pipe()
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(w), "-screen", "0", "1024x768x24",
                                 "-nolisten", "tcp"], pass_fds=(w,),
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(w)
        self.procs.append(xvfb)
        number = b""
        while not number.endswith(b"\n"):
            chunk = os.read(r, 16)
            if not chunk:
                raise RuntimeError("Xvfb did not start")
            number += chunk
        os.close(r)
        self.env["DISPLAY"] = ":" + number.decode().strip()
        self.x = display.Display(self.env["DISPLAY"])

    def _start_a11y(self):
        """A session bus and an accessibility bus of the session's own."""
        out = subprocess.run(["dbus-launch", "--sh-syntax"], env=self.env, check=True,
                             capture_output=True, text=True).stdout
        for line in out.splitlines():
            if line.startswith("DBUS_SESSION_BUS_") and "=" in line:
                key, value = line.split("=", 1)
                self.env[key] = value.split(";")[0].strip("'")
        self.dbus_pid = int(self.env["DBUS_SESSION_BUS_PID"])
        launcher = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
                                    env=self.env, start_new_session=True,
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.groups.append(launcher)
        self.env.update(QT_ACCESSIBILITY="1", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        time.sleep(0.3)

    def _atspi(self, *args):
        return subprocess.run(["/usr/bin/python3", PROBE, "tavelo"] + list(args), env=self.env,
                              capture_output=True, text=True, timeout=20)

    def accessible(self):
        """[role, name, description, checked] of every accessible object of tavelo."""
        return json.loads(self._atspi("tree").stdout or "[]")

    def press_button(self, name):
        """Presses a push button by its accessible name, as a click would."""
        return self._atspi("press", name).returncode == 0

    def lamp_states(self):
        """{lamp name: (description, checked)} of the tower's lamps."""
        names = ("Vermelho", "Amarelo", "Verde", "Sirene")
        return {n[1]: (n[2], n[3]) for n in self.accessible() if n[1] in names}

    def open_device(self, number=None):
        """Creates /dev/COM<number> and keeps the device end open for writing."""
        if number is None:
            number = random.randint(1000, 99999)
            while os.path.exists("/dev/COM%d" % number):
                number = random.randint(1000, 99999)
        self.port = number
        self.plug()
        return number

    def plug(self):
        """Links the device at /dev/COM<port> (again)."""
        self.link = "/dev/COM%d" % self.port
        self.dev = os.path.join(self.tmp, "dev")
        socat = subprocess.Popen(["socat", "pty,raw,echo=0,link=" + self.link,
                                  "pty,raw,echo=0,link=" + self.dev],
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.procs.append(socat)
        self.socat = socat
        wait_for(lambda: os.path.exists(self.link) and os.path.exists(self.dev), what="socat")
        self.dev_fd = os.open(self.dev, os.O_RDWR | os.O_NOCTTY)

    def unplug(self):
        """The device goes away: its end of the line closes, the link is gone."""
        os.close(self.dev_fd)
        self.dev_fd = None
        self.socat.terminate()
        self.socat.wait(5)
        for path in (self.link, self.dev):
            if os.path.lexists(path):
                os.remove(path)

    def start(self, exe=None, user=None, stderr=None, close_stderr=False):
        """Starts tavelo, as another user if one is named. Its standard error
        goes to the log file, or to the given descriptor, or nowhere at all:
        closed before tavelo starts."""
        if getattr(self, "err", None):
            self.err.close()
        self.err = open(self.err_path, "wb")
        argv = [exe or TAVELO]
        env = dict(self.env)
        if user:
            runtime = tempfile.mkdtemp(prefix="tavelo-e2e-%s-" % user)
            self.extra_dirs.append(runtime)
            shutil.chown(runtime, user)
            env["XDG_RUNTIME_DIR"] = runtime
            env["HOME"] = runtime
            argv = ["setpriv", "--reuid=" + user, "--regid=nogroup", "--clear-groups"] + argv
        self.app = subprocess.Popen(argv, env=env, stdin=subprocess.DEVNULL,
                                    stdout=subprocess.DEVNULL,
                                    stderr=self.err if stderr is None else stderr,
                                    preexec_fn=(lambda: os.close(2)) if close_stderr else None)
        return self.app

    def lock_file(self):
        """Qt's lock file for the port, in the first lock folder it could use."""
        for folder in ("/var/lock", "/run/lock", "/etc/locks", "/var/spool/locks",
                       "/var/spool/uucp", "/tmp", "/var/tmp"):
            path = os.path.join(folder, "LCK..COM%d" % self.port)
            if os.path.exists(path):
                return path
        return None

    def cpu_threads(self, pid=None):
        """CPU nanoseconds of each live thread of the process, from the scheduler."""
        pid = pid or self.app.pid
        threads = {}
        task_dir = "/proc/%d/task" % pid
        for task in os.listdir(task_dir):
            try:
                with open(os.path.join(task_dir, task, "schedstat")) as f:
                    threads[task] = int(f.read().split()[0])
            except (FileNotFoundError, ProcessLookupError):
                pass
        return threads

    def cpu_over(self, seconds, pid=None):
        """CPU seconds the process's threads use during the next given seconds.

        Counted per thread, so a thread that ends on the way does not make the
        figure go down; a thread that starts is counted whole."""
        before = self.cpu_threads(pid)
        time.sleep(seconds)
        after = self.cpu_threads(pid)
        return sum(ns - before.get(tid, 0) for tid, ns in after.items()) / 1e9

    def close(self):
        if self.dev_fd is not None:
            os.close(self.dev_fd)
            self.dev_fd = None
        if self.app and self.app.poll() is None:
            self.app.kill()
            self.app.wait()
        if getattr(self, "err", None):
            self.err.close()
        if getattr(self, "dbus_pid", None):
            try:
                os.kill(self.dbus_pid, signal.SIGTERM)
            except ProcessLookupError:
                pass
        for p in self.groups:
            try:
                os.killpg(p.pid, signal.SIGTERM)
            except ProcessLookupError:
                pass
            p.wait()
        for p in reversed(self.procs):
            if p.poll() is None:
                p.terminate()
                try:
                    p.wait(5)
                except subprocess.TimeoutExpired:
                    p.kill()
                    p.wait()
        try:
            self.x.close()
        except Exception:
            pass
        for path in [self.tmp] + self.extra_dirs:
            shutil.rmtree(path, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    # --- the log ----------------------------------------------------------
    def log(self):
        with open(self.err_path, "rb") as f:
            data = f.read()
        return data.decode("utf-8").split("\n")[:-1]  # complete lines only

    def wait_log(self, count, timeout=10.0):
        return wait_for(lambda: len(self.log()) >= count and self.log(), timeout,
                        what="%d log lines (have %r)" % (count, self.log()))

    def wait_exit(self, timeout=10.0):
        return self.app.wait(timeout)

    # --- windows ----------------------------------------------------------
    def windows(self):
        """Viewable top-level windows as {title: window}."""
        found = {}
        net_name = self.x.intern_atom("_NET_WM_NAME")
        utf8 = self.x.intern_atom("UTF8_STRING")
        for w in self.x.screen().root.query_tree().children:
            try:
                if w.get_attributes().map_state != X.IsViewable:
                    continue
                prop = w.get_full_property(net_name, utf8)
                title = prop.value.decode("utf-8") if prop else (w.get_wm_name() or "")
            except Exception:
                continue
            if isinstance(title, bytes):
                title = title.decode("utf-8", "replace")
            found[title] = w
        return found

    def window(self, title, timeout=10.0):
        return wait_for(lambda: self.windows().get(title), timeout,
                        what="window %r (have %r)" % (title, list(self.windows())))

    def xdotool(self, *args):
        subprocess.run(["xdotool"] + [str(a) for a in args], env=self.env, check=True)

    def prompt(self, keys=None, text=None):
        """Answers the port prompt: typed text and Return, or the given key."""
        w = self.window("Emulador Tavelo")
        self.xdotool("windowfocus", "--sync", w.id)
        if text is not None:
            self.xdotool("key", "--clearmodifiers", "ctrl+a")
            self.xdotool("type", "--delay", "20", "--", text)
            self.xdotool("key", "Return")
        else:
            self.xdotool("key", keys)

    def capture(self, w):
        g = w.get_geometry()
        raw = w.get_image(0, 0, g.width, g.height, X.ZPixmap, 0xFFFFFFFF)
        return Image.frombytes("RGB", (g.width, g.height), raw.data, "raw", "BGRX")

    def rendered(self, w):
        """Waits until the tower window has drawn its background and its lamps."""
        def drawn():
            img = self.capture(w)
            return img.getpixel((3, 3)) == BACKGROUND and all(
                img.getpixel(xy) != BACKGROUND for xy in LAMPS.values())
        wait_for(drawn, what="first frame")
        return w

    def lamps(self, w):
        img = self.capture(w)
        state = {name: classify(img.getpixel(xy)) for name, xy in LAMPS.items()}
        state["icone"] = sum(img.getpixel(ICON_STROKE)) < 40
        return state

    def close_window(self, w):
        protocols = self.x.intern_atom("WM_PROTOCOLS")
        delete = self.x.intern_atom("WM_DELETE_WINDOW")
        ev = event.ClientMessage(window=w, client_type=protocols,
                                 data=(32, [delete, X.CurrentTime, 0, 0, 0]))
        w.send_event(ev, event_mask=0)
        self.x.flush()

    # --- the serial line ----------------------------------------------------
    def send(self, data):
        os.write(self.dev_fd, data)


class TaveloTest(unittest.TestCase):
    """Opens a session with a device and starts tavelo in it."""

    a11y = False

    def setUp(self):
        self.s = Session(a11y=self.a11y)
        self.addCleanup(self.s.close)

    def start_on_device(self, **start):
        """Starts tavelo (see Session.start), answers the prompt and returns
        the tower window."""
        self.s.open_device()
        self.s.start(**start)
        self.s.prompt(text=str(self.s.port))
        if not start:
            self.assertEqual(self.s.wait_log(2), [str(self.s.port), "0"])
        self.tower = self.s.rendered(self.s.window("Tavelo"))
        self.state = dict(vermelho="apagado", amarelo="apagado", verde="apagado",
                          sirene="apagado", icone=True)
        return self.tower

    def expect(self, **changes):
        """Waits until the lamps show the last state with these changes."""
        want = dict(self.state, **changes)

        def shown():
            have = self.s.lamps(self.tower)
            return have if have == want else None

        self.state = wait_for(shown, timeout=5, what="lamps %r (have %r)"
                              % (want, self.s.lamps(self.tower)))

    def send(self, data, *lines):
        """Sends bytes and checks the log lines they add, one by one."""
        before = len(self.s.log())
        self.s.send(data)
        got = self.s.wait_log(before + len(lines))
        self.assertEqual(got[before:], list(lines))
