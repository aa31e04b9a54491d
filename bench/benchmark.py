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
"""
import os
import platform
import select
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "e2e"))

from harness import Session  # noqa: E402
from Xlib import X, XK, display  # noqa: E402
from Xlib.ext import xtest  # noqa: E402

BUILD = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
TAVELO = os.path.join(BUILD, "tavelo")
RAWREADER = os.path.join(BUILD, "bench", "rawreader")
VIEWER = os.path.join(BUILD, "bench", "floorviewer")
BARE = os.path.join(HERE, "bare.qml")
ONELAMP = os.path.join(HERE, "onelamp.qml")
FOURLAMPS = os.path.join(HERE, "fourlamps.qml")
RUNS = 5
COMMANDS = 200


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


def start_floor(s, qml):
    maps = Maps(s.env)
    t0 = time.perf_counter()
    p = subprocess.Popen([VIEWER, qml], env=s.env, stdin=subprocess.DEVNULL,
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


def pct(values, q):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(round(q / 100.0 * (len(ordered) - 1))))]


def main():
    for exe in (TAVELO, RAWREADER, VIEWER):
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
        _, lines, _, _, _ = start_tavelo(s)
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
    results["memory"] = (tav_rss, floor_rss)
    results["cpu"] = (statistics.median(tav_blink), statistics.median(floor_blink),
                      tav_idle, tav_gone, statistics.median(four_blink))

    report(results)


def report(r):
    tav, flo = r["latency"]
    t50, t99, f50, f99 = pct(tav, 50), pct(tav, 99), pct(flo, 50), pct(flo, 99)
    prompt, tower, bare = r["start"]
    rss, rss_floor = r["memory"]
    blink, blink_floor, idle, gone, four = r["cpu"]
    wire = 10 / 300.0
    rows = [
        ("latency p50 (ms)", t50 * 1e3, f50 * 1e3, t50 / f50, 3.0),
        ("latency p99 (ms)", t99 * 1e3, f99 * 1e3, t99 / f99, 3.0),
        ("exec to prompt shown (ms)", prompt * 1e3, bare * 1e3, prompt / bare, 1.2),
        ("Return to tower shown (ms)", tower * 1e3, bare * 1e3, tower / bare, 1.2),
        ("peak RSS blinking (MiB)", rss / 1024, rss_floor / 1024, rss / rss_floor, 1.1),
        ("CPU over 10 s blinking (s)", blink, blink_floor, blink / blink_floor, 1.3),
    ]
    print("machine: %s, %d cores, %s" % (platform.node(), os.cpu_count(),
                                         platform.platform()))
    print("%-30s %10s %10s %7s %7s" % ("measure", "tavelo", "floor", "ratio", "target"))
    for name, value, floor, ratio, target in rows:
        mark = "ok" if ratio <= target else "MISSED"
        print("%-30s %10.3f %10.3f %7.2f %5.1fx %s" % (name, value, floor, ratio, target, mark))
    print("%-30s %10.3f %10.3f %7.2f  (no target: the four lamps alone, no icon)"
          % ("CPU over 10 s, four lamps (s)", four, blink_floor, four / blink_floor))
    print("%-30s %10.4f" % ("CPU over 10 s idle (s)", idle))
    print("%-30s %10.4f" % ("CPU over 10 s device gone (s)", gone))
    print("latency p99 against one byte on the wire at 300 baud (33.3 ms): %.3f" % (t99 / wire))
    print("summary: latency p50 %.2fx p99 %.2fx, prompt %.2fx, tower %.2fx, RSS %.2fx, "
          "blinking CPU %.2fx, idle CPU %.4f s, gone CPU %.4f s"
          % (t50 / f50, t99 / f99, prompt / bare, tower / bare, rss / rss_floor,
             blink / blink_floor, idle, gone))


if __name__ == "__main__":
    main()
