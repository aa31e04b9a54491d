#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 Tavelo developers
# SPDX-License-Identifier: MIT

"""The lamps as assistive technology sees them, read through AT-SPI while
commands arrive."""
import unittest

from harness import TaveloTest, wait_for

OFF = ("apagado", False)
ON = ("aceso", True)


class Acessibilidade(TaveloTest):
    a11y = True

    def expect_states(self, **want):
        full = dict(Vermelho=OFF, Amarelo=OFF, Verde=OFF, Sirene=OFF)
        full.update(want)
        wait_for(lambda: self.s.lamp_states() == full, timeout=5,
                 what="states %r (have %r)" % (full, self.s.lamp_states()))

    def test_states_follow_the_lamps(self):
        self.start_on_device()
        self.expect_states()

        self.send(b"5", '"5"', '"35"', "Liga Led Vermelho")
        self.expect_states(Vermelho=ON)
        self.send(b"31", '"31"', '"3331"', "Liga Led Amarelo", "Liga Led Verde")
        self.expect_states(Vermelho=ON, Amarelo=ON, Verde=ON)
        self.send(b"6", '"6"', '"36"', "Desliga Vermelho ")
        self.expect_states(Amarelo=ON, Verde=ON)
        # What the screen shows agrees.
        self.expect(amarelo="amarelo", verde="verde")

        # The siren, as it blinks: lit, then dark, then lit again.
        self.send(b"7", '"7"', '"37"', "Liga sirene")
        self.expect_states(Amarelo=ON, Verde=ON, Sirene=ON)
        self.expect_states(Amarelo=ON, Verde=ON)
        self.expect_states(Amarelo=ON, Verde=ON, Sirene=ON)
        self.send(b"8", '"8"', '"38"', "Desliga Sirene ")
        self.expect_states(Amarelo=ON, Verde=ON)

        # Accessibility adds nothing to the log.
        self.assertEqual(len(self.s.log()), 2 + 3 + 4 + 3 + 3 + 3)


if __name__ == "__main__":
    unittest.main()
