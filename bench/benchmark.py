#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 Tavelo developers
# SPDX-License-Identifier: MIT

"""Measures tavelo against its floors, side by side in one run.

Usage: bench/benchmark.py BUILD_DIR   (scripts/benchmark.sh builds and runs it)

Latency: 200 commands ('5' and '6', 20 ms apart), from the write on the
device end of a pty to the command's text line on stderr; floor: a C reader
that poll()s the same kind of pty. Start-up: exec to the prompt mapped, Return
to the tower mapped; floor: a bare 200x445 QML window, exec to mapped.
Memory and CPU: tavelo blinking its siren against one blinking StatusIndicator
(CPU: all threads, from the scheduler's per-thread figures).
Command to light: '5' and '6' from the write on the device end to the red
lamp's centre pixels showing the new state, read back from the X server;
floor: one plain Rectangle coloured by a QSocketNotifier reading a pty (and,
as an explanation, the same program showing one StatusIndicator).
Replug to reopened: after an unplug, from the device link appearing again in
/dev (inotify) to "Porta serial reconectada" on stderr; no floor.
"""
import ctypes
import os
import platform
import random
import select
import statistics
import struct
import subprocess
import sys
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "e2e"))

from harness import LAMPS, Session, classify  # noqa: E402
from Xlib import X, XK, display  # noqa: E402
from Xlib.ext import xtest  # noqa: E402

BUILD = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
TAVELO = os.path.join(BUILD, "tavelo")
RAWREADER = os.path.join(BUILD, "bench", "rawreader")
VIEWER = os.path.join(BUILD, "bench", "floorviewer")
PIXELFLOOR = os.path.join(BUILD, "bench", "pixelfloor")
BARE = os.path.join(HERE, "bare.qml")
ONELAMP = os.path.join(HERE, "onelamp.qml")
FOURLAMPS = os.path.join(HERE, "fourlamps.qml")
PIXELQML = os.path.join(HERE, "pixelfloor.qml")
PIXELLAMP = os.path.join(HERE, "pixellamp.qml")
RUNS = 5
COMMANDS = 200
LIGHTS = 150      # command-to-light samples for each side
POLL = 0.0002     # pause between two pixel reads: ~2 reads per ms
REPLUGS = 20


class Lines:
    """Reads a child's stderr line by line, noting when each line arrived."""

    def __init__(self, fd):
        self.fd = fd
        self.buf = b""

    def until(self, wanted, timeout=10.0):
        end = time.monotonic() + timeout
        while True:
            while b"\n" in self.buf:
                line, self.buf = self.buf.split(b"\n", 1)
                if line.decode("utf-8", "replace") == wanted:
                    return time.perf_counter()
            left = end - time.monotonic()
            if left <= 0 or not select.select([self.fd], [], [], left)[0]:
                raise AssertionError("no line %r" % wanted)
            chunk = os.read(self.fd, 65536)
            if not chunk:
                raise AssertionError("stderr closed before %r" % wanted)
            self.buf += chunk


class Maps:
    """Notes when top-level windows get mapped, from the X server's events."""

    def __init__(self, env):
        self.x = display.Display(env["DISPLAY"])
        self.root = self.x.screen().root
        self.root.change_attributes(event_mask=X.SubstructureNotifyMask)
        self.x.sync()
        self.net_name = self.x.intern_atom("_NET_WM_NAME")
        self.utf8 = self.x.intern_atom("UTF8_STRING")

    def title(self, w):
        prop = w.get_full_property(self.net_name, self.utf8)
        if prop:
            return prop.value.decode("utf-8")
        name = w.get_wm_name()
        return name.decode() if isinstance(name, bytes) else (name or "")

    def wait(self, title, timeout=20.0):
        end = time.monotonic() + timeout
        while True:
            while self.x.pending_events():
                ev = self.x.next_event()
                if ev.type == X.MapNotify:
                    t = time.perf_counter()
                    try:
                        if self.title(ev.window) == title:
                            return t, ev.window
                    except Exception:
                        pass
            left = end - time.monotonic()
            if left <= 0:
                raise AssertionError("window %r never mapped" % title)
            select.select([self.x.fileno()], [], [], left)

    def press(self, keysym_name):
        code = self.x.keysym_to_keycode(XK.string_to_keysym(keysym_name))
        xtest.fake_input(self.x, X.KeyPress, code)
        xtest.fake_input(self.x, X.KeyRelease, code)
        self.x.sync()

    def close(self):
        self.x.close()


def spawn(s, argv):
    p = subprocess.Popen(argv, env=s.env, stdin=subprocess.DEVNULL,
                         stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    s.procs.append(p)
    return p, Lines(p.stderr.fileno())


def start_tavelo(s):
    """Starts tavelo on the session's device; returns the process, its lines
    and the times exec->prompt and Return->tower."""
    maps = Maps(s.env)
    t0 = time.perf_counter()
    p, lines = spawn(s, [TAVELO])
    t_prompt, prompt = maps.wait("Emulador Tavelo")
    s.xdotool("windowfocus", "--sync", prompt.id)
    s.xdotool("key", "--clearmodifiers", "ctrl+a")
    s.xdotool("type", "--", str(s.port))
    time.sleep(0.2)
    t1 = time.perf_counter()
    maps.press("Return")
    t_tower, tower = maps.wait("Tavelo")
    lines.until("0")
    maps.close()
    s.app = p
    return p, lines, t_prompt - t0, t_tower - t1, tower


def start_floor(s, qml, argv=None):
    maps = Maps(s.env)
    t0 = time.perf_counter()
    p = subprocess.Popen(argv or [VIEWER, qml], env=s.env, stdin=subprocess.DEVNULL,
                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    s.procs.append(p)
    t_shown, _ = maps.wait("floor")
    maps.close()
    return p, t_shown - t0


def latencies(s, lines, count, texts, start_at):
    out = []
    for i in range(count):
        byte, text = texts[(start_at + i) % 2]
        t0 = time.perf_counter()
        s.send(byte)
        out.append(lines.until(text) - t0)
        left = 0.020 - (time.perf_counter() - t0)
        if left > 0:
            time.sleep(left)
    return out


def rss_peak_kib(pid):
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith("VmHWM:"):
                return int(line.split()[1])
    return 0

class Lamp:
    """Reads what a lamp shows from the X server: the 3x3 pixels around its
    centre, one small GetImage per read, so the reading stays cheap."""

    def __init__(self, s, window_id, name):
        self.w = s.x.create_resource_object("window", window_id)
        self.x, self.y = LAMPS[name]

    def shows(self):
        raw = self.w.get_image(self.x - 1, self.y - 1, 3, 3, X.ZPixmap, 0xFFFFFFFF).data
        seen = {classify((raw[i + 2], raw[i + 1], raw[i])) for i in range(0, 36, 4)}
        return seen.pop() if len(seen) == 1 else None

    def until(self, wanted, timeout=5.0):
        end = time.monotonic() + timeout
        while self.shows() != wanted:
            if time.monotonic() > end:
                raise AssertionError("lamp never showed %r" % wanted)
            time.sleep(POLL)
        return time.perf_counter()


def to_light(s, lamp, count, start_at, rng, lines=None):
    """Sends '5' and '6' in turn; each sample is the write to the lamp showing
    it. The next write follows the change by 20-40 ms, drawn at random, so
    that writes fall at every phase of the render loop."""
    steps = [(b"5", "vermelho", "Liga Led Vermelho"), (b"6", "apagado", "Desliga Vermelho ")]
    out = []
    for i in range(count):
        byte, shown, text = steps[(start_at + i) % 2]
        t0 = time.perf_counter()
        s.send(byte)
        out.append(lamp.until(shown) - t0)
        if lines:
            lines.until(text)  # keeps tavelo's stderr drained
        time.sleep(rng.uniform(0.020, 0.040))
    return out


class DevLinks:
    """Notes when a name is created in /dev, from inotify."""

    IN_CREATE = 0x100
    EVENT = struct.Struct("iIII")

    def __init__(self):
        libc = ctypes.CDLL(None, use_errno=True)
        self.fd = libc.inotify_init1(os.O_NONBLOCK | os.O_CLOEXEC)
        if self.fd < 0 or libc.inotify_add_watch(self.fd, b"/dev", self.IN_CREATE) < 0:
            raise OSError(ctypes.get_errno(), "inotify on /dev")

    def drain(self):
        try:
            while os.read(self.fd, 65536):
                pass
        except BlockingIOError:
            pass

    def created(self, name, timeout=10.0):
        """Waits for /dev/NAME to be created; returns when it was seen."""
        end = time.monotonic() + timeout
        while True:
            left = end - time.monotonic()
            if left <= 0 or not select.select([self.fd], [], [], left)[0]:
                raise AssertionError("/dev/%s never appeared" % name)
            seen = time.perf_counter()
            data = os.read(self.fd, 65536)
            at = 0
            while at < len(data):
                _, _, _, length = self.EVENT.unpack_from(data, at)
                at += self.EVENT.size
                if data[at:at + length].rstrip(b"\0").decode() == name:
                    return seen
                at += length

    def close(self):
        os.close(self.fd)


def replugs(s, lines, count, rng):
    """Times the device link appearing to tavelo's "reconectada" line, over
    plug/unplug cycles; starts unplugged (the loss logged) and ends plugged.
    The pause before each plug is drawn at random, so that plugs fall
    anywhere in a retry period."""
    links = DevLinks()
    name = "COM%d" % s.port
    out = []
    try:
        for i in range(count):
            if i:
                s.unplug()
                lines.until("Porta serial desconectada")
            time.sleep(rng.uniform(0.0, 1.0))
            links.drain()
            # plug() polls for the links at its own pace; the times are taken
            # here, where nothing else holds us up.
            failed = []
            plugger = threading.Thread(target=lambda: _plug(s, failed))
            plugger.start()
            t_link = links.created(name)
            t_open = lines.until("Porta serial reconectada")
            plugger.join()
            if failed:
                raise failed[0]
            out.append(t_open - t_link)
    finally:
        links.close()
    return out


def _plug(s, failed):
    try:
        s.plug()
    except Exception as e:  # noqa: BLE001 - handed back to the waiting side
        failed.append(e)


def pct(values, q):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(round(q / 100.0 * (len(ordered) - 1))))]


def main():
    for exe in (TAVELO, RAWREADER, VIEWER, PIXELFLOOR):
        if not os.access(exe, os.X_OK):
            sys.exit("missing %s: build with -DTAVELO_BENCHMARK=ON" % exe)
    results = {}

    # Start-up, alternating tavelo and the bare window.
    prompt_t, tower_t, bare_t = [], [], []
    for _ in range(RUNS):
        with Session() as s:
            s.open_device()
            _, _, tp, tt, _ = start_tavelo(s)
            prompt_t.append(tp)
            tower_t.append(tt)
        with Session() as s:
            _, tb = start_floor(s, BARE)
            bare_t.append(tb)
    results["start"] = (statistics.median(prompt_t), statistics.median(tower_t),
                        statistics.median(bare_t))

    # Latency, in alternating blocks so both see the same machine.
    with Session() as s:
        s.open_device()
        _, lines, _, _, tower = start_tavelo(s)
        with Session() as f:
            f.open_device()
            raw, raw_lines = spawn(f, [RAWREADER, f.link])
            raw_lines.until("ready")
            tav, flo = [], []
            texts_t = [(b"5", "Liga Led Vermelho"), (b"6", "Desliga Vermelho ")]
            texts_f = [(b"5", "5"), (b"6", "6")]
            block = COMMANDS // 4
            for b in range(4):
                tav += latencies(s, lines, block, texts_t, b * block)
                flo += latencies(f, raw_lines, block, texts_f, b * block)
        results["latency"] = (tav, flo)

        # Command to light, in alternating blocks against the Rectangle floor
        # and, to explain the gap, the same floor showing one StatusIndicator.
        rng = random.Random(7)
        with Session() as f, Session() as g:
            for q, qml in ((f, PIXELQML), (g, PIXELLAMP)):
                q.open_device()
                start_floor(q, qml, [PIXELFLOOR, qml, q.link])
            lamp_f = Lamp(f, f.window("floor").id, "vermelho")
            lamp_g = Lamp(g, g.window("floor").id, "vermelho")
            lamp_t = Lamp(s, tower.id, "vermelho")
            for lamp in (lamp_t, lamp_f, lamp_g):
                lamp.until("apagado")
            # The first colour changes of a fresh window are slow once; not a
            # figure anyone waits on twice.
            to_light(s, lamp_t, 4, 0, rng, lines)
            to_light(f, lamp_f, 4, 0, rng)
            to_light(g, lamp_g, 4, 0, rng)
            tav, flo, one = [], [], []
            block = LIGHTS // 6
            for b in range(6):
                tav += to_light(s, lamp_t, block, b * block, rng, lines)
                flo += to_light(f, lamp_f, block, b * block, rng)
                one += to_light(g, lamp_g, block, b * block, rng)
        results["light"] = (tav, flo, one)

        # Memory and CPU while blinking, against the one-lamp floor blinking
        # beside it; 10 s windows, alternating, median of three.
        s.send(b"7")
        lines.until("Liga sirene")
        with Session() as f, Session() as g:
            floor, _ = start_floor(f, ONELAMP)
            four, _ = start_floor(g, FOURLAMPS)
            time.sleep(5)
            tav_rss = rss_peak_kib(s.app.pid)
            floor_rss = rss_peak_kib(floor.pid)
            tav_blink, floor_blink, four_blink = [], [], []
            for _ in range(3):
                tav_blink.append(s.cpu_over(10, s.app.pid))
                floor_blink.append(f.cpu_over(10, floor.pid))
                four_blink.append(g.cpu_over(10, four.pid))
        s.send(b"8")
        lines.until("Desliga Sirene ")
        time.sleep(1)
        tav_idle = s.cpu_over(10, s.app.pid)
        s.unplug()
        lines.until("Porta serial desconectada")
        tav_gone = s.cpu_over(10, s.app.pid)

        # Replug to reopened, from the loss just logged.
        results["replug"] = replugs(s, lines, REPLUGS, random.Random(11))
    results["memory"] = (tav_rss, floor_rss)
    results["cpu"] = (statistics.median(tav_blink), statistics.median(floor_blink),
                      tav_idle, tav_gone, statistics.median(four_blink))

    report(results)


def report(r):
    tav, flo = r["latency"]
    t50, t99, f50, f99 = pct(tav, 50), pct(tav, 99), pct(flo, 50), pct(flo, 99)
    tav, flo, one = r["light"]
    l50, l99, lf50, lf99 = pct(tav, 50), pct(tav, 99), pct(flo, 50), pct(flo, 99)
    replug = r["replug"]
    r50, r99 = pct(replug, 50), pct(replug, 99)
    prompt, tower, bare = r["start"]
    rss, rss_floor = r["memory"]
    blink, blink_floor, idle, gone, four = r["cpu"]
    wire = 10 / 300.0
    # (measure, tavelo, floor or None, target: a ratio to the floor, "N ms"
    # against tavelo's own figure, or a note when there is none)
    rows = [
        ("latency p50 (ms)", t50 * 1e3, f50 * 1e3, 3.0),
        ("latency p99 (ms)", t99 * 1e3, f99 * 1e3, 3.0),
        ("command to light p50 (ms)", l50 * 1e3, lf50 * 1e3, 1.5),
        ("command to light p99 (ms)", l99 * 1e3, lf99 * 1e3, "(no target)"),
        ("light p50, lamp alone (ms)", pct(one, 50) * 1e3, lf50 * 1e3,
         "(no target: one StatusIndicator, no tavelo)"),
        ("exec to prompt shown (ms)", prompt * 1e3, bare * 1e3, 1.2),
        ("Return to tower shown (ms)", tower * 1e3, bare * 1e3, 1.2),
        ("peak RSS blinking (MiB)", rss / 1024, rss_floor / 1024, 1.1),
        ("CPU over 10 s blinking (s)", blink, blink_floor, 1.3),
        ("CPU over 10 s, four lamps (s)", four, blink_floor,
         "(no target: the four lamps alone, no icon)"),
        ("replug to reopened p50 (ms)", r50 * 1e3, None, "100 ms"),
        ("replug to reopened p99 (ms)", r99 * 1e3, None, "100 ms"),
    ]
    print("machine: %s, %d cores, %s" % (platform.node(), os.cpu_count(),
                                         platform.platform()))
    print("%-30s %10s %10s %7s %7s" % ("measure", "tavelo", "floor", "ratio", "target"))
    for name, value, floor, target in rows:
        if floor is None:
            limit = float(target.split()[0])
            print("%-30s %10.3f %10s %7s %7s %s" % (name, value, "", "", target,
                                                    "ok" if value <= limit else "MISSED"))
        elif isinstance(target, str):
            print("%-30s %10.3f %10.3f %7.2f  %s" % (name, value, floor, value / floor, target))
        else:
            mark = "ok" if value / floor <= target else "MISSED"
            print("%-30s %10.3f %10.3f %7.2f %5.1fx %s"
                  % (name, value, floor, value / floor, target, mark))
    print("%-30s %10.4f" % ("CPU over 10 s idle (s)", idle))
    print("%-30s %10.4f" % ("CPU over 10 s device gone (s)", gone))
    print("latency p99 against one byte on the wire at 300 baud (33.3 ms): %.3f" % (t99 / wire))
    print("samples: %d command to light each side, %d replugs" % (len(tav), len(replug)))
    print("summary: latency p50 %.2fx p99 %.2fx, light p50 %.2fx p99 %.2fx, prompt %.2fx, "
          "tower %.2fx, RSS %.2fx, blinking CPU %.2fx, idle CPU %.4f s, gone CPU %.4f s, "
          "replug p50 %.1f ms p99 %.1f ms"
          % (t50 / f50, t99 / f99, l50 / lf50, l99 / lf99, prompt / bare, tower / bare,
             rss / rss_floor, blink / blink_floor, idle, gone, r50 * 1e3, r99 * 1e3))


if __name__ == "__main__":
    main()
