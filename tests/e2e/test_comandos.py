#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 Tavelo developers
# SPDX-License-Identifier: MIT

"""Commands end to end: bytes on the line, lamps on the screen, lines in the log."""
import os
import unittest

from harness import TaveloTest


class Comandos(TaveloTest):
    def test_lamps_and_log(self):
        tower = self.start_on_device()

        self.send(b"5", '"5"', '"35"', "Liga Led Vermelho")
        self.expect(vermelho="vermelho")
        self.send(b"3", '"3"', '"33"', "Liga Led Amarelo")
        self.expect(amarelo="amarelo")
        self.send(b"1", '"1"', '"31"', "Liga Led Verde")
        self.expect(verde="verde")

        self.send(b"6", '"6"', '"36"', "Desliga Vermelho ")
        self.expect(vermelho="apagado")

        # Several commands and line endings in one write: every command obeyed.
        self.send(b"24\r\n", '"24\\r\\n"', '"32340d0a"', "Desliga Verde", "Desliga Amarelo")
        self.expect(verde="apagado", amarelo="apagado")
        self.send(b"x9\n", '"x9\\n"', '"78390a"')

        self.send(b"531", '"531"', '"353331"', "Liga Led Vermelho", "Liga Led Amarelo",
                  "Liga Led Verde")
        self.expect(vermelho="vermelho", amarelo="amarelo", verde="verde")

        # The siren: lit with its icon, then dark with the icon hidden.
        self.send(b"7", '"7"', '"37"', "Liga sirene")
        self.expect(sirene="sirene", icone=True)
        shots = os.environ.get("TAVELO_SCREENSHOTS")
        if shots:
            self.s.capture(tower).save(os.path.join(shots, "torre-acesa.png"))
        self.expect(sirene="apagado", icone=False)
        self.expect(sirene="sirene", icone=True)

        self.send(b"8", '"8"', '"38"', "Desliga Sirene ")
        # At rest, as at start: dark, with the icon shown.
        self.expect(sirene="apagado", icone=True)
        # Stopped: stays dark.
        self.assertEqual(self.s.lamps(tower)["sirene"], "apagado")

        self.s.close_window(tower)
        self.assertEqual(self.s.wait_exit(), 0)
        self.assertEqual(self.s.log()[:2], [str(self.s.port), "0"])


if __name__ == "__main__":
    unittest.main()
