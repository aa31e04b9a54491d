#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 Tavelo developers
# SPDX-License-Identifier: MIT

"""The demo script's sequence mode, end to end: the tower moves, and the
script cleans up after itself."""
import os
import random
import subprocess
import unittest

from harness import TAVELO, TaveloTest, wait_for

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))


class Demo(TaveloTest):
    def test_sequence(self):
        port = random.randint(100000, 999999)
        while os.path.lexists("/dev/COM%d" % port):
            port = random.randint(100000, 999999)
        out = open(os.path.join(self.s.tmp, "demo.out"), "w+")
        env = dict(self.s.env, TAVELO=TAVELO)
        demo = subprocess.Popen([os.path.join(ROOT, "scripts", "demo.sh"), "--sequence",
                                 "--port", str(port)], env=env, stdin=subprocess.DEVNULL,
                                stdout=out, stderr=subprocess.STDOUT)
        self.addCleanup(demo.kill)
        wait_for(lambda: os.path.lexists("/dev/COM%d" % port), what="the demo's link")
        self.s.prompt(text=str(port))
        self.tower = self.s.rendered(self.s.window("Tavelo"))
        self.state = dict(vermelho="apagado", amarelo="apagado", verde="apagado",
                          sirene="apagado", icone=True)

        self.expect(vermelho="vermelho", amarelo="amarelo", verde="verde")
        self.expect(sirene="sirene", icone=True)
        self.expect(sirene="apagado", icone=False)
        # The sequence ends with everything dark, then the demo stops it all.
        lamps = ("vermelho", "amarelo", "verde", "sirene")
        wait_for(lambda: all(self.s.lamps(self.tower)[k] == "apagado" for k in lamps),
                 timeout=10, what="all lamps dark")
        self.assertEqual(demo.wait(20), 0)
        self.assertFalse(os.path.lexists("/dev/COM%d" % port))
        wait_for(lambda: "Tavelo" not in self.s.windows(), what="the tower to close")
        out.seek(0)
        text = out.read()
        out.close()
        self.assertIn("type %d in the prompt" % port, text)
        self.assertIn("Liga sirene", text)


if __name__ == "__main__":
    unittest.main()
