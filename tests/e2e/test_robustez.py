#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 Tavelo developers
# SPDX-License-Identifier: MIT

"""Robustness end to end: random bytes, floods of commands, a device that goes
away and comes back, ports that are busy or forbidden."""
import fcntl
import os
import random
import time
import unittest

from harness import TaveloTest, wait_for

TEXTS = {
    ord("1"): "Liga Led Verde", ord("2"): "Desliga Verde",
    ord("3"): "Liga Led Amarelo", ord("4"): "Desliga Amarelo",
    ord("5"): "Liga Led Vermelho", ord("6"): "Desliga Vermelho ",
    ord("7"): "Liga sirene", ord("8"): "Desliga Sirene ",
}


def chunks(lines):
    """Splits the log after the prompt lines into (data, bytes, command lines)."""
    i = 0
    out = []
    while i < len(lines):
        data, hexline = lines[i], lines[i + 1]
        assert data.startswith('"') and data.endswith('"'), data
        assert hexline.startswith('"') and hexline.endswith('"'), hexline
        raw = bytes.fromhex(hexline[1:-1])
        k = sum(1 for b in raw if b in TEXTS)
        out.append((data, raw, lines[i + 2:i + 2 + k]))
        i += 2 + k
    return out


class Entrada(TaveloTest):
    def test_random_burst_then_a_command(self):
        self.start_on_device()
        rng = random.Random(20261211)
        burst = bytes(rng.getrandbits(8) for _ in range(64 * 1024))
        sent = burst + b"5"
        for i in range(0, len(burst), 4096):
            self.s.send(burst[i:i + 4096])
        self.s.send(b"5")

        def all_logged():
            lines = self.s.log()[2:]
            try:
                got = b"".join(raw for _, raw, _ in chunks(lines))
            except (IndexError, AssertionError, ValueError):
                return False
            return got == sent

        wait_for(all_logged, timeout=30, what="the whole burst in the log")
        self.assertIsNone(self.s.app.poll())
        # Correct to the byte: every chunk's command lines match its bytes.
        commands = []
        for _, raw, texts in chunks(self.s.log()[2:]):
            self.assertEqual(texts, [TEXTS[b] for b in raw if b in TEXTS])
            commands += texts
        self.assertEqual(len(commands), sum(1 for b in sent if b in TEXTS))
        self.assertEqual(commands[-1], "Liga Led Vermelho")
        wait_for(lambda: self.s.lamps(self.tower)["vermelho"] == "vermelho", what="red lit")

    def test_flood_of_commands(self):
        self.start_on_device()
        rng = random.Random(7)
        flood = bytes(rng.choice(b"12345678") for _ in range(1999)) + b"8"
        for b in flood:
            self.s.send(bytes([b]))

        def count():
            return sum(1 for line in self.s.log() if line in TEXTS.values())

        wait_for(lambda: count() == len(flood), timeout=30, what="2000 command lines")
        last = {}
        for b in flood:
            last[(b - ord("1")) // 2] = b
        want = {}
        for index, name, color in ((0, "verde", "verde"), (1, "amarelo", "amarelo"),
                                   (2, "vermelho", "vermelho")):
            on = last.get(index) == ord("1") + 2 * index
            want[name] = color if on else "apagado"
        want["sirene"] = "apagado"
        wait_for(lambda: {k: v for k, v in self.s.lamps(self.tower).items() if k != "icone"}
                 == want, what="final lamps %r" % want)
        commands = [line for line in self.s.log() if line in TEXTS.values()]
        self.assertEqual(commands, [TEXTS[b] for b in flood])


class Dispositivo(TaveloTest):
    def test_device_goes_away_and_comes_back(self):
        self.start_on_device()
        self.send(b"5", '"5"', '"35"', "Liga Led Vermelho")
        self.send(b"7", '"7"', '"37"', "Liga sirene")
        self.expect(vermelho="vermelho", sirene="sirene", icone=True)

        # (commands after the return, the lamp they change, seconds away to measure)
        cycles = [
            (b"8", "Desliga Sirene ", dict(sirene="apagado", icone=True), None),
            (b"3", "Liga Led Amarelo", dict(amarelo="amarelo"), 10.0),
            (b"4", "Desliga Amarelo", dict(amarelo="apagado"), 5.0),
        ]
        for command, text, change, away in cycles:
            before = len(self.s.log())
            self.s.unplug()
            self.assertEqual(self.s.wait_log(before + 1)[before:], ["Porta serial desconectada"])
            if away is None:
                # Lamps and blinker carry on as they were.
                self.expect(sirene="apagado", icone=False)
                self.expect(sirene="sirene", icone=True)
            else:
                # Waiting costs nothing beyond one attempt a second.
                used = self.s.cpu_over(away)
                print("%.4f s of CPU in %.1f s away" % (used, away))
                self.assertLess(used, 0.1 * away / 10)
            self.assertEqual(self.s.log()[before:], ["Porta serial desconectada"])
            self.expect()

            self.s.plug()
            wait_for(lambda: "Porta serial reconectada" in self.s.log()[before:], timeout=5,
                     what="reconnection")
            self.assertEqual(self.s.log()[before:],
                             ["Porta serial desconectada", "Porta serial reconectada"])
            self.send(command, '"%s"' % command.decode(), '"%s"' % command.hex(), text)
            self.expect(**change)
        self.assertIsNone(self.s.app.poll())


    def test_reopens_as_soon_as_the_device_is_back(self):
        self.start_on_device()
        for _ in range(3):
            before = len(self.s.log())
            self.s.unplug()
            self.s.wait_log(before + 1)
            # Back at once: no waiting for the next retry of the second-long timer.
            self.s.plug()
            plugged = time.monotonic()
            wait_for(lambda: len(self.s.log()) > before + 1, timeout=5, what="reconnection")
            delay = time.monotonic() - plugged
            print("reopened %.0f ms after the device came back" % (delay * 1000))
            self.assertEqual(self.s.log()[before:],
                             ["Porta serial desconectada", "Porta serial reconectada"])
            self.assertLess(delay, 0.5)
        self.send(b"1", '"1"', '"31"', "Liga Led Verde")
        self.expect(verde="verde")


class PortaOcupada(TaveloTest):
    def refused(self, **start):
        self.s.start(**start)
        self.s.prompt(text=str(self.s.port))
        self.assertEqual(self.s.wait_log(2), [str(self.s.port), "Porta não foi aberta"])
        box = wait_for(lambda: [t for t in self.s.windows() if t not in ("Tavelo",
                                                                         "Emulador Tavelo")],
                       what="message box")
        self.assertEqual(len(box), 1)
        self.s.xdotool("windowfocus", "--sync", self.s.windows()[box[0]].id)
        self.s.xdotool("key", "Return")
        self.assertEqual(self.s.wait_exit(), 1)
        self.assertEqual(self.s.log(), [str(self.s.port), "Porta não foi aberta"])

    def test_port_held_by_another_tavelo(self):
        self.start_on_device()
        first = self.s.app
        self.refused()
        self.assertIsNone(first.poll())
        first.kill()
        first.wait()

    def test_port_locked_by_another_program(self):
        # As picocom and pyserial's exclusive mode hold it: a lock on the device.
        self.s.open_device()
        other = os.open(self.s.link, os.O_RDWR | os.O_NOCTTY | os.O_NONBLOCK)
        self.addCleanup(os.close, other)
        fcntl.flock(other, fcntl.LOCK_EX | fcntl.LOCK_NB)
        self.refused()

    @unittest.skipUnless(os.geteuid() == 0, "needs root to start as another user")
    def test_port_without_permission(self):
        self.s.open_device()
        os.chmod(os.path.realpath(self.s.link), 0o600)
        self.refused(user="nobody")


if __name__ == "__main__":
    unittest.main()
