#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 Tavelo developers
# SPDX-License-Identifier: MIT

"""Start-up end to end: the port prompt, the tower window, the exit status."""
import unittest

from harness import BACKGROUND, TaveloTest, wait_for

MESSAGE = ("A porta serial não foi aberta. Verifique o número da porta no "
           "gerenciador de dispositivos")


class Arranque(TaveloTest):
    a11y = True  # to press the dialog's Cancel button

    def test_prompt_repeats_until_a_port_number(self):
        self.s.open_device()
        self.s.start()
        # Cancel, Escape and a typed 0 all ask again.
        self.s.window("Emulador Tavelo")
        wait_for(lambda: self.s.press_button("Cancel"), what="the Cancel button")
        self.s.wait_log(1)
        for n, answer in enumerate([dict(keys="Escape"), dict(text="0")]):
            self.s.prompt(**answer)
            self.s.wait_log(n + 2)
        self.assertEqual(self.s.windows().get("Tavelo"), None)
        self.s.prompt(text=str(self.s.port))
        tower = self.s.rendered(self.s.window("Tavelo"))
        self.assertEqual(self.s.wait_log(5), ["0", "0", "0", str(self.s.port), "0"])

        geometry = tower.get_geometry()
        self.assertEqual((geometry.width, geometry.height), (200, 445))
        image = self.s.capture(tower)
        self.assertEqual(image.getpixel((3, 3)), BACKGROUND)
        self.assertEqual(image.getpixel((196, 440)), BACKGROUND)
        self.assertEqual(self.s.lamps(tower), dict(vermelho="apagado", amarelo="apagado",
                                                   verde="apagado", sirene="apagado",
                                                   icone=True))

        self.s.close_window(tower)
        self.assertEqual(self.s.wait_exit(), 0)
        # Nothing but the tower's own lines: no Qt warning, no deprecation notice.
        self.assertEqual(self.s.log(), ["0", "0", "0", str(self.s.port), "0"])


class PortaInvalida(TaveloTest):
    a11y = True

    def test_port_that_cannot_be_opened(self):
        for answer in ["31999", "-2"]:
            with self.subTest(answer=answer):
                self.s.start()
                self.s.prompt(text=answer)
                self.assertEqual(self.s.wait_log(2), [answer, "Porta não foi aberta"])
                wait_for(lambda: any(n[:2] == ["ROLE_LABEL", MESSAGE]
                                     for n in self.s.accessible()),
                         what="message box")
                self.assertNotIn("Tavelo", self.s.windows())
                self.s.xdotool("key", "Return")
                self.assertEqual(self.s.wait_exit(), 1)
                self.assertNotIn("Tavelo", self.s.windows())
                self.assertEqual(self.s.log(), [answer, "Porta não foi aberta"])


if __name__ == "__main__":
    unittest.main()
