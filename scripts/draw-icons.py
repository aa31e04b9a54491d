#!/usr/bin/env python3
"""Draws the view's loudspeaker icon: qml/images/sound.png.

512 by 512 RGBA, a black outline loudspeaker facing right with three
concentric sound-wave arcs, on a transparent background. Drawn four times
larger and scaled down, for smooth edges.

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


if __name__ == "__main__":
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    loudspeaker(os.path.join(root, "qml", "images", "sound.png"))
