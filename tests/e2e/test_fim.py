#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 Tavelo developers
# SPDX-License-Identifier: MIT

"""How tavelo ends, and what it makes of the descriptors it is started with:
every orderly end releases the port; a log that is closed or gone never stops
the tower."""
import os
import signal
import unittest

from harness import TaveloTest, wait_for


class Fim(TaveloTest):
    def test_every_end_releases_the_port(self):
        for how in ("window", "SIGTERM", "SIGINT"):
            with self.subTest(how=how):
                tower = self.start_on_device()
                lock = wait_for(self.s.lock_file, what="Qt's lock file")
                self.send(b"5", '"5"', '"35"', "Liga Led Vermelho")
                if how == "window":
                    self.s.close_window(tower)
                else:
                    self.s.app.send_signal(getattr(signal, how))
                self.assertEqual(self.s.wait_exit(), 0)
                self.assertFalse(os.path.exists(lock), lock)
                self.assertEqual(self.s.log(), [str(self.s.port), "0", '"5"', '"35"',
                                                "Liga Led Vermelho"])
                self.s.unplug()

    def test_signal_at_the_prompt(self):
        self.s.start()
        self.s.window("Emulador Tavelo")
        self.s.app.send_signal(signal.SIGTERM)
        self.assertEqual(self.s.wait_exit(), 0)
        self.assertEqual(self.s.log(), [])


class Descritores(TaveloTest):
    def test_log_closed_or_gone(self):
        for how in ("closed", "reader gone"):
            with self.subTest(how=how):
                if how == "closed":
                    self.start_on_device(close_stderr=True)
                else:
                    reader, writer = os.pipe()
                    os.close(reader)
                    try:
                        self.start_on_device(stderr=writer)
                    finally:
                        os.close(writer)
                self.s.send(b"3")
                self.expect(amarelo="amarelo")
                self.s.close_window(self.tower)
                self.assertEqual(self.s.wait_exit(), 0)
                self.s.unplug()


if __name__ == "__main__":
    unittest.main()
