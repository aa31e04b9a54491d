#!/usr/bin/env python3
"""Commands end to end: bytes on the line, lamps on the screen, lines in the log."""
import os
import unittest

from harness import TaveloTest, wait_for

DARK = dict(vermelho="apagado", amarelo="apagado", verde="apagado", sirene="apagado")


class Comandos(TaveloTest):
    def expect(self, tower, **changes):
        want = dict(self.state, **changes)
        wait_for(lambda: self.s.lamps(tower) == want, timeout=5,
                 what="lamps %r (have %r)" % (want, self.s.lamps(tower)))
        self.state = want

    def send(self, data, *lines):
        before = len(self.s.log())
        self.s.send(data)
        got = self.s.wait_log(before + len(lines))
        self.assertEqual(got[before:], list(lines))

    def test_lamps_and_log(self):
        tower = self.start_on_device()
        self.state = dict(DARK, icone=True)
        self.expect(tower)

        self.send(b"5", '"5"', '"35"', "Liga Led Vermelho")
        self.expect(tower, vermelho="vermelho")
        self.send(b"3", '"3"', '"33"', "Liga Led Amarelo")
        self.expect(tower, amarelo="amarelo")
        self.send(b"1", '"1"', '"31"', "Liga Led Verde")
        self.expect(tower, verde="verde")

        self.send(b"6", '"6"', '"36"', "Desliga Vermelho ")
        self.expect(tower, vermelho="apagado")

        # Several commands and line endings in one write: every command obeyed.
        self.send(b"24\r\n", '"24\\r\\n"', '"32340d0a"', "Desliga Verde", "Desliga Amarelo")
        self.expect(tower, verde="apagado", amarelo="apagado")
        self.send(b"x9\n", '"x9\\n"', '"78390a"')

        self.send(b"531", '"531"', '"353331"', "Liga Led Vermelho", "Liga Led Amarelo",
                  "Liga Led Verde")
        self.expect(tower, vermelho="vermelho", amarelo="amarelo", verde="verde")

        # The siren: lit with its icon, then dark with the icon hidden.
        self.send(b"7", '"7"', '"37"', "Liga sirene")
        self.expect(tower, sirene="sirene", icone=True)
        shots = os.environ.get("TAVELO_SCREENSHOTS")
        if shots:
            self.s.capture(tower).save(os.path.join(shots, "torre-acesa.png"))
        self.expect(tower, sirene="apagado", icone=False)
        self.expect(tower, sirene="sirene", icone=True)

        self.send(b"8", '"8"', '"38"', "Desliga Sirene ")
        self.expect(tower, sirene="apagado", icone=True)
        # Stopped: stays dark.
        self.assertEqual(self.s.lamps(tower)["sirene"], "apagado")

        self.s.close_window(tower)
        self.assertEqual(self.s.wait_exit(), 0)
        self.assertEqual(self.s.log()[:2], [str(self.s.port), "0"])


if __name__ == "__main__":
    unittest.main()
