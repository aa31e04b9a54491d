#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 Tavelo developers
# SPDX-License-Identifier: MIT

"""Draws the project's images, four times larger and scaled down for smooth
edges:

- qml/images/sound.png: the view's loudspeaker icon; 512 by 512 RGBA, a black
  outline loudspeaker facing right with three concentric sound-wave arcs, on a
  transparent background.
- packaging/tavelo.png: the application icon; 256 by 256 RGBA, a signal tower
  with a red, a yellow and a green lamp.
- packaging/windows/tavelo.ico: the same icon for Windows (the program, its
  installer and uninstaller), in the sizes Windows asks for.

Usage: scripts/draw-icons.py  (needs python3-pil)
"""
import os
from PIL import Image, ImageDraw

SIZE = 512
SCALE = 4


def loudspeaker(path):
    s = SIZE * SCALE
    img = Image.new("RGBA", (s, s), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    black = (0, 0, 0, 255)
    stroke = 22 * SCALE

    def p(x, y):
        return (x * SCALE, y * SCALE)

    # Magnet box and cone as one closed outline, facing right.
    body = [p(40, 196), p(130, 196), p(250, 96), p(250, 416), p(130, 316), p(40, 316)]
    d.line(body + [body[0], body[1]], fill=black, width=stroke, joint="curve")
    d.line([p(130, 196), p(130, 316)], fill=black, width=stroke)

    # Three concentric arcs centred on the cone's mouth.
    cx, cy = 250, 256
    for r in (70, 140, 210):
        box = [p(cx - r, cy - r), p(cx + r, cy + r)]
        d.arc(box, start=-45, end=45, fill=black, width=stroke)

    img = img.resize((SIZE, SIZE), Image.LANCZOS)
    img.save(path)


def tower(path, size=256):
    s = size * SCALE
    img = Image.new("RGBA", (s, s), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)

    def p(x, y):
        return (x * s // 256, y * s // 256)

    body = (60, 60, 64, 255)
    edge = (30, 30, 32, 255)
    width = 6 * SCALE
    # Cap, lamp column, pole and foot.
    d.rounded_rectangle([p(84, 8), p(172, 30)], radius=6 * SCALE, fill=body, outline=edge,
                        width=width)
    d.rectangle([p(120, 200), p(136, 228)], fill=body, outline=edge, width=width)
    d.rounded_rectangle([p(72, 222), p(184, 248)], radius=8 * SCALE, fill=body, outline=edge,
                        width=width)
    lamps = [(255, 40, 40), (255, 220, 0), (20, 170, 40)]
    for i, colour in enumerate(lamps):
        top = 30 + i * 57
        d.rectangle([p(92, top), p(164, top + 57)], fill=colour + (255,), outline=edge,
                    width=width)
        # A highlight, so the segments read as lit glass.
        d.ellipse([p(104, top + 10), p(122, top + 22)], fill=(255, 255, 255, 110))
    img = img.resize((size, size), Image.LANCZOS)
    img.save(path)


def windows_icon(png, path):
    Image.open(png).save(path, sizes=[(n, n) for n in (16, 24, 32, 48, 64, 128, 256)])


if __name__ == "__main__":
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    loudspeaker(os.path.join(root, "qml", "images", "sound.png"))
    tower(os.path.join(root, "packaging", "tavelo.png"))
    windows_icon(os.path.join(root, "packaging", "tavelo.png"),
                 os.path.join(root, "packaging", "windows", "tavelo.ico"))
