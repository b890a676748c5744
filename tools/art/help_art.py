#!/usr/bin/env python3
"""Writes the SVG sources of the help screen and the tutorial: the help panel, one picture per
help topic (a small board in the game's look showing the topic), the tutorial's text panel and
its pointing arrow (a template that datapack renders in four kinds of 16 patterns). Run it from
the repository root after changing a drawing; its output is committed beside the other sources
of data/."""
import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from awards_art import INK, bird, star, svg, wood_panel  # noqa: E402

FACE = ('<linearGradient id="face" x1="0" y1="0" x2="0" y2="1"><stop offset="0" '
        'stop-color="#7A4E30"/><stop offset="1" stop-color="#5E3A26"/></linearGradient>\n')

# ---- The small board of a help picture (360 x 210) -------------------------------------------
# Cells of 56 units; the board of C x R cells is centred in the picture.
W, H, CELL = 360, 210, 56


class Board:
    def __init__(self, cols, rows, missing=()):
        self.cols, self.rows = cols, rows
        self.x0 = (W - cols * CELL) / 2
        self.y0 = (H - rows * CELL) / 2
        self.missing = set(missing)
        self.below = []
        self.layers = []
        self.over = []

    def c(self, x, y):
        return self.x0 + x * CELL + CELL / 2, self.y0 + y * CELL + CELL / 2

    def cells(self, arrows=None, gates=None):
        arrows = arrows or {}
        s = ''
        for y in range(self.rows):
            for x in range(self.cols):
                if (x, y) in self.missing:
                    continue
                px, py = self.x0 + x * CELL, self.y0 + y * CELL
                fill = "#C8915A" if (x + y) % 2 == 0 else "#B88252"
                s += (f'<rect x="{px + 2}" y="{py + 4}" width="{CELL - 4}" height="{CELL - 4}" rx="9" '
                      f'fill="#5E3A26" opacity="0.6"/>'
                      f'<rect x="{px + 2}" y="{py + 2}" width="{CELL - 4}" height="{CELL - 6}" rx="9" '
                      f'fill="{fill}" stroke="{INK}" stroke-width="2.5"/>'
                      f'<rect x="{px + 7}" y="{py + 6}" width="{CELL - 18}" height="8" rx="4" '
                      f'fill="#FFFFFF" opacity="0.25"/>')
                if (x, y) in arrows:
                    s += one_way(px + CELL / 2, py + CELL / 2, arrows[(x, y)])
        return s

    def add(self, s):
        self.layers.append(s)

    def top(self, s):
        self.over.append(s)

    def under(self, s):
        self.below.append(s)

    def picture(self, arrows=None):
        body = ('<rect x="3" y="3" width="354" height="204" rx="18" fill="url(#face)" '
                f'stroke="{INK}" stroke-width="3"/>'
                '<rect x="9" y="8" width="342" height="26" rx="10" fill="#FFFFFF" opacity="0.10"/>')
        body += self.cells(arrows)
        body += "".join(self.below) + "".join(self.layers) + "".join(self.over)
        defs = FACE + ('<filter id="glow" x="-50%" y="-50%" width="200%" height="200%">'
                       '<feGaussianBlur stdDeviation="4"/></filter>\n')
        return svg(W, H, body, defs)


def one_way(cx, cy, d):
    rot = {1: 0, 2: 90, 3: 180, 4: 270}[d]
    return (f'<g transform="translate({cx} {cy}) rotate({rot})"><path d="M0 -18 L14 0 L6 0 L6 16 '
            f'L-6 16 L-6 0 L-14 0 Z" fill="#FFE066" stroke="{INK}" stroke-width="2.5" '
            'stroke-linejoin="round"/></g>')


def crow(cx, cy, r=20):
    return (f'<circle cx="{cx}" cy="{cy}" r="{r}" fill="#1A1826" stroke="{INK}" stroke-width="2.5"/>'
            f'<circle cx="{cx - r * 0.12}" cy="{cy - r * 0.1}" r="{r * 0.86}" fill="#2C2A3A"/>'
            f'<path d="M{cx - r * 0.6} {cy - r * 0.5} Q{cx} {cy - r * 0.9} {cx + r * 0.5} {cy - r * 0.5}" '
            f'stroke="#4B5B8C" stroke-width="3" fill="none"/>'
            f'<circle cx="{cx - r * 0.33}" cy="{cy - r * 0.15}" r="{r * 0.22}" fill="#FFE066" '
            f'stroke="{INK}" stroke-width="1.5"/><circle cx="{cx + r * 0.33}" cy="{cy - r * 0.15}" '
            f'r="{r * 0.22}" fill="#FFE066" stroke="{INK}" stroke-width="1.5"/>'
            f'<path d="M{cx - r * 0.2} {cy + r * 0.1} L{cx + r * 0.2} {cy + r * 0.1} L{cx} {cy + r * 0.5} Z" '
            f'fill="#8C8FA0" stroke="{INK}" stroke-width="1.2"/>')


def egg(cx, cy, r=14):
    return (f'<ellipse cx="{cx}" cy="{cy + 2}" rx="{r * 0.8}" ry="{r}" fill="#FFF6DC" stroke="{INK}" '
            f'stroke-width="2.5"/><circle cx="{cx - 3}" cy="{cy - 3}" r="2.5" fill="#7CCBF2"/>'
            f'<circle cx="{cx + 4}" cy="{cy + 5}" r="2" fill="#7CCBF2"/>'
            f'<ellipse cx="{cx - 4}" cy="{cy - 6}" rx="3" ry="4" fill="#FFFFFF" opacity="0.7"/>')


def tied(cx, cy, kind):
    return (bird(cx, cy, 20, kind) +
            f'<path d="M{cx - 21} {cy - 6} Q{cx} {cy + 2} {cx + 21} {cy - 6} M{cx - 20} {cy + 8} '
            f'Q{cx} {cy + 16} {cx + 20} {cy + 8}" stroke="#C8915A" stroke-width="5" fill="none"/>'
            f'<path d="M{cx - 21} {cy - 6} Q{cx} {cy + 2} {cx + 21} {cy - 6} M{cx - 20} {cy + 8} '
            f'Q{cx} {cy + 16} {cx + 20} {cy + 8}" stroke="{INK}" stroke-width="1.5" fill="none"/>'
            f'<circle cx="{cx + 14}" cy="{cy + 3}" r="4" fill="#94603A" stroke="{INK}" stroke-width="1.5"/>')


def wall(cx, cy, strong=False):
    fill, deep = ("#8C8FA0", "#5E6070") if strong else ("#B5A28C", "#8A7560")
    s = (f'<rect x="{cx - 25}" y="{cy - 27}" width="50" height="50" rx="7" fill="{deep}" '
         f'stroke="{INK}" stroke-width="2.5"/><rect x="{cx - 25}" y="{cy - 27}" width="46" height="44" '
         f'rx="7" fill="{fill}"/><path d="M{cx - 25} {cy - 10} H{cx + 25} M{cx - 25} {cy + 7} H{cx + 25} '
         f'M{cx - 5} {cy - 27} V{cy - 10} M{cx + 10} {cy - 10} V{cy + 7} M{cx - 12} {cy + 7} V{cy + 23}" '
         f'stroke="{INK}" stroke-width="2"/>')
    if strong:
        s += (f'<path d="M{cx - 25} {cy - 20} H{cx + 25} M{cx - 25} {cy + 16} H{cx + 25}" '
              f'stroke="#FFB52E" stroke-width="3"/>')
    return s


def gate(cx, cy, closed=True):
    s = (f'<rect x="{cx - 25}" y="{cy - 28}" width="8" height="50" rx="3" fill="#94603A" stroke="{INK}" '
         f'stroke-width="2"/><rect x="{cx + 17}" y="{cy - 28}" width="8" height="50" rx="3" '
         f'fill="#94603A" stroke="{INK}" stroke-width="2"/>')
    if closed:
        for dx in (-10, 0, 10):
            s += (f'<rect x="{cx + dx - 2.5}" y="{cy - 22}" width="5" height="42" fill="#8C8FA0" '
                  f'stroke="{INK}" stroke-width="1.5"/>')
        s += f'<rect x="{cx - 18}" y="{cy - 4}" width="36" height="5" fill="#8C8FA0" stroke="{INK}" stroke-width="1.5"/>'
    else:
        s += f'<rect x="{cx - 18}" y="{cy - 28}" width="36" height="6" fill="#8C8FA0" stroke="{INK}" stroke-width="1.5"/>'
    return s


CAT_COLOURS = {1: ("#8C8FA0", "#5E6070"), 2: ("#FF9F1C", "#E07010"), 3: ("#94603A", "#5E3A26"),
               4: ("#FFD12E", "#E0A414"), 5: ("#B07CE0", "#7A4EB0")}


def cat(cx, cy, kind=2, r=21):
    base, deep = CAT_COLOURS[kind]
    s = (f'<path d="M{cx - r * 0.9} {cy - r * 0.3} L{cx - r * 0.75} {cy - r * 1.15} L{cx - r * 0.2} {cy - r * 0.8} Z '
         f'M{cx + r * 0.9} {cy - r * 0.3} L{cx + r * 0.75} {cy - r * 1.15} L{cx + r * 0.2} {cy - r * 0.8} Z" '
         f'fill="{deep}" stroke="{INK}" stroke-width="2.5" stroke-linejoin="round"/>'
         f'<ellipse cx="{cx}" cy="{cy}" rx="{r}" ry="{r * 0.9}" fill="{deep}" stroke="{INK}" stroke-width="2.5"/>'
         f'<ellipse cx="{cx - 2}" cy="{cy - 2}" rx="{r * 0.88}" ry="{r * 0.78}" fill="{base}"/>'
         f'<ellipse cx="{cx - r * 0.35}" cy="{cy - r * 0.1}" rx="{r * 0.15}" ry="{r * 0.22}" fill="#A6E05A" stroke="{INK}" stroke-width="1.5"/>'
         f'<ellipse cx="{cx + r * 0.35}" cy="{cy - r * 0.1}" rx="{r * 0.15}" ry="{r * 0.22}" fill="#A6E05A" stroke="{INK}" stroke-width="1.5"/>'
         f'<ellipse cx="{cx - r * 0.35}" cy="{cy - r * 0.1}" rx="{r * 0.05}" ry="{r * 0.17}" fill="{INK}"/>'
         f'<ellipse cx="{cx + r * 0.35}" cy="{cy - r * 0.1}" rx="{r * 0.05}" ry="{r * 0.17}" fill="{INK}"/>'
         f'<path d="M{cx - r * 0.1} {cy + r * 0.2} L{cx + r * 0.1} {cy + r * 0.2} L{cx} {cy + r * 0.32} Z" fill="#FF8FA3" stroke="{INK}" stroke-width="1"/>'
         f'<path d="M{cx - r * 0.3} {cy + r * 0.3} L{cx - r * 1.1} {cy + r * 0.2} M{cx - r * 0.3} {cy + r * 0.4} '
         f'L{cx - r * 1.05} {cy + r * 0.55} M{cx + r * 0.3} {cy + r * 0.3} L{cx + r * 1.1} {cy + r * 0.2} '
         f'M{cx + r * 0.3} {cy + r * 0.4} L{cx + r * 1.05} {cy + r * 0.55}" stroke="{INK}" stroke-width="1.2"/>')
    return s


def key(cx, cy, rot=-30):
    return (f'<g transform="translate({cx} {cy}) rotate({rot})"><circle cx="-10" cy="0" r="9" fill="#FFB52E" '
            f'stroke="{INK}" stroke-width="2.5"/><circle cx="-10" cy="0" r="3.5" fill="#5E3A26"/>'
            f'<rect x="-2" y="-3.5" width="22" height="7" rx="2" fill="#FFB52E" stroke="{INK}" stroke-width="2"/>'
            f'<rect x="12" y="2" width="4" height="7" fill="#FFB52E" stroke="{INK}" stroke-width="1.5"/>'
            f'<rect x="17" y="2" width="3.5" height="5" fill="#FFB52E" stroke="{INK}" stroke-width="1.5"/></g>')


def cage(cx, cy, chains=1):
    s = (f'<circle cx="{cx}" cy="{cy + 4}" r="13" fill="#FFF6DC" stroke="{INK}" stroke-width="2"/>'
         f'<circle cx="{cx - 4}" cy="{cy + 1}" r="2" fill="{INK}"/><circle cx="{cx + 4}" cy="{cy + 1}" r="2" fill="{INK}"/>'
         f'<path d="M{cx - 3} {cy + 6} L{cx + 3} {cy + 6} L{cx} {cy + 10} Z" fill="#FF9F1C"/>'
         f'<path d="M{cx - 22} {cy + 24} V{cy - 8} Q{cx} {cy - 34} {cx + 22} {cy - 8} V{cy + 24} Z" fill="none" '
         f'stroke="{INK}" stroke-width="3"/>')
    for dx in (-11, 0, 11):
        s += f'<path d="M{cx + dx} {cy + 24} V{cy - 18}" stroke="#8C8FA0" stroke-width="3"/>'
    s += f'<rect x="{cx - 25}" y="{cy + 20}" width="50" height="7" rx="3" fill="#94603A" stroke="{INK}" stroke-width="2"/>'
    for i in range(chains):
        y = cy - 6 + i * 10
        s += (f'<path d="M{cx - 24} {y} L{cx + 24} {y + 6}" stroke="#5E6070" stroke-width="5"/>'
              f'<path d="M{cx - 24} {y} L{cx + 24} {y + 6}" stroke="#B5B8C8" stroke-width="2" stroke-dasharray="5 3"/>')
    return s


def bomb(cx, cy):
    return (f'<circle cx="{cx}" cy="{cy + 3}" r="17" fill="#2C2A3A" stroke="{INK}" stroke-width="2.5"/>'
            f'<ellipse cx="{cx - 6}" cy="{cy - 3}" rx="5" ry="4" fill="#FFFFFF" opacity="0.35"/>'
            f'<rect x="{cx - 5}" y="{cy - 18}" width="10" height="7" fill="#5E6070" stroke="{INK}" stroke-width="2"/>'
            f'<path d="M{cx} {cy - 18} Q{cx + 6} {cy - 27} {cx + 13} {cy - 24}" stroke="#94603A" stroke-width="3" fill="none"/>'
            + star(cx + 15, cy - 25, 6, "#FFE066", INK, 1.5))


def rocket(cx, cy):
    return (f'<g transform="translate({cx} {cy}) rotate(-35)"><path d="M0 -22 Q9 -12 8 12 L-8 12 Q-9 -12 0 -22 Z" '
            f'fill="#E8413C" stroke="{INK}" stroke-width="2.5"/><path d="M-8 4 L-14 16 L-8 12 Z M8 4 L14 16 L8 12 Z" '
            f'fill="#2F86E0" stroke="{INK}" stroke-width="2"/><circle cx="0" cy="-6" r="4" fill="#CFF0FF" '
            f'stroke="{INK}" stroke-width="1.5"/><path d="M-5 13 L0 24 L5 13 Z" fill="#FFE066" stroke="{INK}" '
            'stroke-width="1.5"/></g>')


def bolt(cx, cy, s=1.0):
    return (f'<path d="M{cx + 4 * s} {cy - 22 * s} L{cx - 10 * s} {cy + 2 * s} L{cx - 1 * s} {cy + 2 * s} '
            f'L{cx - 6 * s} {cy + 22 * s} L{cx + 10 * s} {cy - 4 * s} L{cx + 1 * s} {cy - 4 * s} Z" '
            f'fill="#FFE066" stroke="{INK}" stroke-width="2.5" stroke-linejoin="round"/>')


def paint(cx, cy):
    return (f'<path d="M{cx - 14} {cy - 8} L{cx + 14} {cy - 8} L{cx + 11} {cy + 18} L{cx - 11} {cy + 18} Z" '
            f'fill="#CFF0FF" stroke="{INK}" stroke-width="2.5"/><path d="M{cx - 14} {cy - 8} Q{cx} {cy - 2} '
            f'{cx + 14} {cy - 8} L{cx + 13} {cy} Q{cx + 2} {cy + 8} {cx - 13} {cy} Z" fill="#8E55D6" '
            f'stroke="{INK}" stroke-width="2"/><path d="M{cx + 14} {cy - 8} Q{cx + 24} {cy - 22} {cx + 6} {cy - 22}" '
            f'stroke="{INK}" stroke-width="2.5" fill="none"/>')


def burger(cx, cy):
    return (f'<path d="M{cx - 18} {cy - 2} Q{cx - 18} {cy - 20} {cx} {cy - 20} Q{cx + 18} {cy - 20} {cx + 18} {cy - 2} Z" '
            f'fill="#FFB52E" stroke="{INK}" stroke-width="2.5"/><rect x="{cx - 19}" y="{cy - 3}" width="38" '
            f'height="6" rx="3" fill="#74C53F" stroke="{INK}" stroke-width="2"/><rect x="{cx - 17}" y="{cy + 3}" '
            f'width="34" height="7" rx="3" fill="#5E3A26" stroke="{INK}" stroke-width="2"/><path d="M{cx - 18} {cy + 10} '
            f'H{cx + 18} Q{cx + 18} {cy + 18} {cx} {cy + 18} Q{cx - 18} {cy + 18} {cx - 18} {cy + 10} Z" '
            f'fill="#FFB52E" stroke="{INK}" stroke-width="2.5"/>'
            f'<circle cx="{cx - 6}" cy="{cy - 13}" r="1.5" fill="#FFF6DC"/><circle cx="{cx + 5}" cy="{cy - 10}" r="1.5" fill="#FFF6DC"/>')


def move(points, colour="#FFE066"):
    """A dashed route through `points` with an arrow head at the end."""
    d = "M" + " L".join(f"{x} {y}" for x, y in points)
    (x1, y1), (x2, y2) = points[-2], points[-1]
    a = math.atan2(y2 - y1, x2 - x1)
    hx, hy = x2, y2
    l, r_ = (hx - 14 * math.cos(a - 0.5), hy - 14 * math.sin(a - 0.5)), (hx - 14 * math.cos(a + 0.5), hy - 14 * math.sin(a + 0.5))
    return (f'<path d="{d}" stroke="{INK}" stroke-width="7" fill="none" stroke-linecap="round" stroke-linejoin="round"/>'
            f'<path d="{d}" stroke="{colour}" stroke-width="4" fill="none" stroke-dasharray="8 6" stroke-linecap="round" stroke-linejoin="round"/>'
            f'<path d="M{l[0]:.1f} {l[1]:.1f} L{hx} {hy} L{r_[0]:.1f} {r_[1]:.1f}" stroke="{INK}" stroke-width="7" fill="none" stroke-linecap="round"/>'
            f'<path d="M{l[0]:.1f} {l[1]:.1f} L{hx} {hy} L{r_[0]:.1f} {r_[1]:.1f}" stroke="{colour}" stroke-width="4" fill="none" stroke-linecap="round"/>')


def ring(cx, cy, r=26, colour="#FFE066"):
    return f'<circle cx="{cx}" cy="{cy}" r="{r}" fill="{colour}" opacity="0.55" filter="url(#glow)"/>'


def sparkle(cx, cy, r=7):
    return star(cx, cy, r, "#FFFFFF", INK, 1.5)


def b_(board, x, y, kind, r=20):
    cx, cy = board.c(x, y)
    return bird(cx, cy, r, kind)


def topic(n):
    if n == 0:  # moving birds along free cells
        b = Board(6, 3)
        b.add(b_(b, 0, 1, 1) + b_(b, 2, 0, 2) + b_(b, 2, 1, 3) + b_(b, 4, 2, 2))
        p = [b.c(0, 1), b.c(1, 1), b.c(1, 2), b.c(3, 2), b.c(3, 1), b.c(5, 1)]
        b.top(move(p))
        b.under(ring(*b.c(5, 1), 22, "#FFFFFF"))
        return b.picture()
    if n == 1:  # three in a row fly away; an egg waits
        b = Board(6, 3)
        b.add(b_(b, 1, 1, 1) + b_(b, 2, 1, 1) + b_(b, 3, 1, 1) + b_(b, 0, 0, 2) + b_(b, 5, 2, 3))
        b.add(egg(*b.c(4, 0)) + egg(*b.c(0, 2)))
        for x in (1, 2, 3):
            cx, cy = b.c(x, 1)
            b.top(sparkle(cx + 16, cy - 20) + f'<path d="M{cx} {cy - 24} l0 -12" stroke="#FFFFFF" stroke-width="3" stroke-linecap="round"/>')
        b.under(ring(*b.c(2, 1), 70, "#FFE066"))
        return b.picture()
    if n == 2:  # a key carried onto a cage
        b = Board(5, 3)
        b.add(cage(*b.c(4, 1)) + key(*b.c(0, 1)) + b_(b, 2, 0, 4) + b_(b, 2, 2, 2))
        b.top(move([b.c(0, 1), b.c(3, 1)]))
        return b.picture()
    if n == 3:  # a cat caught by two birds of one kind
        b = Board(5, 3)
        b.add(cat(*b.c(2, 1)) + b_(b, 2, 0, 2) + b_(b, 4, 2, 2) + b_(b, 0, 0, 1))
        b.top(move([b.c(4, 2), b.c(3, 2), b.c(3, 1)]))
        b.under(ring(*b.c(2, 1), 30))
        return b.picture()
    if n == 4:  # one-way cells
        b = Board(5, 3)
        b.add(b_(b, 1, 2, 3) + b_(b, 3, 0, 4) + b_(b, 3, 2, 4))
        b.top(move([b.c(1, 2), b.c(2, 2), b.c(2, 0), b.c(4, 0)]))
        return b.picture(arrows={(2, 1): 1, (2, 0): 2})
    if n == 5:  # tied birds freed by a match
        b = Board(5, 3)
        b.add(tied(*b.c(2, 1), 5) + b_(b, 1, 1, 5) + b_(b, 4, 0, 5) + b_(b, 0, 2, 3))
        b.top(move([b.c(4, 0), b.c(3, 0), b.c(3, 1)]))
        return b.picture()
    if n == 6:  # a crow parked out of the way
        b = Board(5, 3)
        b.add(crow(*b.c(2, 1)) + cage(*b.c(4, 1)) + b_(b, 2, 0, 6) + b_(b, 2, 2, 1))
        b.top(move([b.c(2, 1), b.c(1, 1), b.c(1, 2), b.c(0, 2)], "#CFF0FF"))
        return b.picture()
    if n == 7:  # walls and gates
        b = Board(6, 3)
        b.add(wall(*b.c(2, 0)) + wall(*b.c(2, 2), True) + gate(*b.c(2, 1), False) + gate(*b.c(4, 1), True))
        b.add(b_(b, 0, 1, 3) + b_(b, 5, 0, 6))
        b.top(move([b.c(0, 1), b.c(3, 1)]))
        return b.picture()
    if n == 8:  # a bomb in a match
        b = Board(5, 3)
        b.add(b_(b, 0, 1, 1) + b_(b, 1, 1, 1) + bomb(*b.c(2, 1)) + wall(*b.c(3, 0)) + b_(b, 3, 2, 2))
        cx, cy = b.c(2, 1)
        b.under(ring(cx, cy, 60, "#FF9F1C"))
        for i in range(8):
            a = i * math.pi / 4
            b.top(f'<path d="M{cx + 26 * math.cos(a):.1f} {cy + 26 * math.sin(a):.1f} L{cx + 44 * math.cos(a):.1f} '
                  f'{cy + 44 * math.sin(a):.1f}" stroke="#FFE066" stroke-width="4" stroke-linecap="round"/>')
        return b.picture()
    if n == 9:  # fireworks along row and column
        b = Board(6, 3)
        b.add(rocket(*b.c(2, 1)) + b_(b, 0, 1, 3) + b_(b, 5, 1, 2) + b_(b, 2, 0, 4) + b_(b, 2, 2, 6))
        cx, cy = b.c(2, 1)
        b.top(f'<path d="M{b.x0 + 8} {cy} H{b.x0 + 6 * CELL - 8} M{cx} {b.y0 + 6} V{b.y0 + 3 * CELL - 6}" '
              'stroke="#FFE066" stroke-width="5" stroke-dasharray="10 7" stroke-linecap="round" opacity="0.9"/>')
        return b.picture()
    if n == 10:  # chain lightning between birds of one kind
        b = Board(6, 3)
        pts = [(0, 0), (2, 2), (3, 0), (5, 1)]
        for x, y in pts:
            b.add(b_(b, x, y, 2))
        b.add(b_(b, 1, 1, 3) + b_(b, 4, 2, 1))
        d = "M" + " L".join(f"{b.c(x, y)[0]} {b.c(x, y)[1]}" for x, y in pts)
        b.top(f'<path d="{d}" stroke="#FFE066" stroke-width="6" fill="none" stroke-linejoin="bevel"/>'
              f'<path d="{d}" stroke="#FFFFFF" stroke-width="2" fill="none"/>' + bolt(*b.c(1, 0), 0.8))
        return b.picture()
    if n == 11:  # paint colours birds
        b = Board(6, 3)
        b.add(paint(*b.c(1, 1)))
        for x, y, k in ((3, 0, 5), (4, 1, 5), (3, 2, 5), (5, 0, 1), (5, 2, 4)):
            b.add(b_(b, x, y, k))
        b.top(f'<path d="M{b.c(1, 1)[0] + 20} {b.c(1, 1)[1]} Q{b.c(3, 1)[0]} {b.c(3, 1)[1] - 30} {b.c(4, 1)[0] - 24} {b.c(4, 1)[1]}" '
              'stroke="#8E55D6" stroke-width="8" fill="none" stroke-linecap="round" opacity="0.8"/>')
        for x, y in ((3, 0), (4, 1), (3, 2)):
            cx, cy = b.c(x, y)
            b.top(sparkle(cx + 18, cy - 18, 6))
        return b.picture()
    if n == 12:  # big cats need more birds
        b = Board(5, 3)
        b.add(cat(*b.c(2, 1), 1, 25) + b_(b, 2, 0, 4) + b_(b, 1, 1, 4) + b_(b, 3, 1, 4) + b_(b, 2, 2, 4))
        b.under(ring(*b.c(2, 1), 32))
        return b.picture()
    if n == 13:  # walking cats
        b = Board(6, 3)
        b.add(cat(*b.c(2, 1), 4))
        for i, (x, y) in enumerate(((3, 1), (4, 1))):
            cx, cy = b.c(x, y)
            b.add(f'<g opacity="{0.8 - i * 0.3}"><ellipse cx="{cx - 6}" cy="{cy + 4}" rx="5" ry="6" fill="#5E3A26"/>'
                  f'<ellipse cx="{cx + 8}" cy="{cy - 6}" rx="5" ry="6" fill="#5E3A26"/></g>')
        b.add(b_(b, 5, 0, 3) + b_(b, 5, 2, 3) + b_(b, 0, 0, 1))
        b.top(move([b.c(2, 1), b.c(4, 1)], "#FFFFFF"))
        return b.picture()
    if n == 14:  # cats that carry a key or a bonus
        b = Board(5, 3)
        b.add(cat(*b.c(1, 1), 2) + cat(*b.c(3, 1), 2))
        b.top(key(b.c(1, 1)[0] + 12, b.c(1, 1)[1] + 16) + bomb(b.c(3, 1)[0] + 16, b.c(3, 1)[1] + 14).replace('r="17"', 'r="10"'))
        b.add(b_(b, 1, 0, 6) + b_(b, 3, 2, 2))
        return b.picture()
    if n == 15:  # cages held by several chains
        b = Board(5, 3)
        b.add(cage(*b.c(3, 1), 3) + key(*b.c(0, 0)) + key(*b.c(0, 1)) + key(*b.c(0, 2)))
        b.top(move([b.c(0, 1), b.c(2, 1)]))
        return b.picture()
    if n == 16:  # tasks: gold egg and white egg
        b = Board(5, 3)
        for x, fill in ((1, "#FFB52E"), (3, "#FFF6DC")):
            cx, cy = b.c(x, 1)
            b.add(f'<path d="M{cx - 34} {cy + 8} Q{cx} {cy + 44} {cx + 34} {cy + 8} L{cx + 30} {cy + 20} Q{cx} {cy + 50} '
                  f'{cx - 30} {cy + 20} Z" fill="#94603A" stroke="{INK}" stroke-width="2.5"/>'
                  f'<ellipse cx="{cx}" cy="{cy - 4}" rx="20" ry="26" fill="{fill}" stroke="{INK}" stroke-width="3"/>'
                  f'<ellipse cx="{cx - 7}" cy="{cy - 14}" rx="5" ry="8" fill="#FFFFFF" opacity="0.6"/>')
        b.top(star(b.c(1, 1)[0] + 26, b.c(1, 1)[1] - 28, 10, "#FFE066", INK, 2))
        b.under(ring(*b.c(1, 1), 34))
        return b.picture()
    if n == 17:  # the boss eats hamburgers
        b = Board(6, 3)
        cx, cy = (b.c(3, 1)[0] + b.c(4, 1)[0]) / 2, b.c(3, 1)[1]
        b.add(f'<ellipse cx="{cx}" cy="{cy + 22}" rx="56" ry="10" fill="#1E1020" opacity="0.4"/>')
        b.add(cat(cx, cy, 3, 40))
        b.add(burger(*b.c(0, 1)) + burger(*b.c(0, 2)))
        b.top(move([b.c(0, 1), b.c(2, 1)]))
        return b.picture()
    if n == 18:  # combos: a match with every move
        b = Board(6, 3)
        for i, k in enumerate((1, 2, 3)):
            x = i * 2
            for y in range(3):
                b.add(b_(b, x, y, k, 17))
            cx, cy = b.c(x + 1, 1)
            for j in range(i + 1):
                b.top(star(cx, cy - 30 + j * 22, 9, "#FFE066", INK, 2))
        return b.picture()
    if n == 19:  # jumping cats
        b = Board(6, 3)
        b.add(cat(*b.c(1, 2), 5) + b_(b, 4, 0, 4) + b_(b, 5, 1, 4))
        (x1, y1), (x2, y2) = b.c(1, 2), b.c(4, 1)
        b.top(f'<path d="M{x1} {y1 - 24} Q{(x1 + x2) / 2} {b.y0 - 10} {x2} {y2 - 8}" stroke="{INK}" stroke-width="7" '
              f'fill="none" stroke-linecap="round"/><path d="M{x1} {y1 - 24} Q{(x1 + x2) / 2} {b.y0 - 10} {x2} {y2 - 8}" '
              'stroke="#FFFFFF" stroke-width="4" fill="none" stroke-dasharray="8 6" stroke-linecap="round"/>'
              f'<ellipse cx="{x2}" cy="{y2 + 10}" rx="20" ry="8" fill="#1E1020" opacity="0.5"/>')
        return b.picture()
    if n == 20:  # shadows: a cat about to land
        b = Board(5, 3)
        cx, cy = b.c(2, 1)
        b.add(f'<ellipse cx="{cx}" cy="{cy + 6}" rx="24" ry="10" fill="#1E1020" opacity="0.55"/>')
        b.add(b_(b, 0, 0, 2) + b_(b, 4, 2, 6) + b_(b, 1, 2, 3))
        b.top(f'<g opacity="0.85">{cat(cx, cy - 50, 2, 18)}</g>'
              f'<path d="M{cx - 30} {cy - 36} v16 M{cx + 30} {cy - 36} v16" stroke="#FFFFFF" stroke-width="3" stroke-linecap="round"/>')
        return b.picture()
    raise ValueError(n)


# ---- The help panel (1140 x 900) ---------------------------------------------------------------
# At (390, 55): the title across the top, three topic rows at panel y 80, 300, 520, the page
# arrows and indicator at panel y 760, the Back button's place at the lower right.

def help_panel():
    w, h = 1140, 900
    body = wood_panel(w, h, 30)
    body += (f'<rect x="370" y="8" width="400" height="60" rx="18" fill="#2A1A1E" stroke="{INK}" stroke-width="3"/>'
             f'<rect x="374" y="12" width="392" height="52" rx="15" fill="#4A2E26"/>')
    body += (f'<rect x="40" y="70" width="1060" height="680" rx="20" fill="url(#face)" stroke="{INK}" stroke-width="3"/>'
             '<rect x="46" y="75" width="1048" height="30" rx="12" fill="#FFFFFF" opacity="0.10"/>')
    for i in range(2):
        y = 300 + i * 220 - 10
        body += f'<path d="M80 {y} H1060" stroke="#3A2430" stroke-width="2" opacity="0.35" stroke-dasharray="3 9"/>'
    body += (f'<rect x="420" y="752" width="300" height="72" rx="20" fill="#2A1A1E" opacity="0.55"/>')
    for x, y, a in ((30, 90, -30), (1110, 90, 210), (30, 850, 30)):
        body += (f'<g transform="translate({x} {y}) rotate({a})"><path d="M0 0 Q22 -16 44 0 Q22 16 0 0 Z" '
                 f'fill="#74C53F" stroke="{INK}" stroke-width="3"/><path d="M4 0 H40" stroke="#3F9A30" stroke-width="2"/></g>')
    return svg(w, h, body, FACE)


# ---- The tutorial's text panel (440 x 200) and arrow ----------------------------------------

def tutorial_panel():
    w, h = 440, 200
    body = (f'<rect x="8" y="12" width="{w - 14}" height="{h - 16}" rx="28" fill="#1E1020" opacity="0.5" filter="url(#soft)"/>'
            f'<rect x="5" y="5" width="{w - 12}" height="{h - 12}" rx="28" fill="#FFF6DC" stroke="{INK}" stroke-width="4"/>'
            f'<rect x="12" y="11" width="{w - 26}" height="{h - 26}" rx="22" fill="#2A6B34" stroke="#74C53F" stroke-width="3"/>'
            f'<rect x="20" y="17" width="{w - 42}" height="26" rx="12" fill="#FFFFFF" opacity="0.12"/>')
    for x, y, a in ((26, 26, -35), (w - 28, h - 26, 145)):
        body += (f'<g transform="translate({x} {y}) rotate({a})"><path d="M0 0 Q14 -10 28 0 Q14 10 0 0 Z" '
                 f'fill="#A6E05A" stroke="{INK}" stroke-width="2.5"/></g>')
    return svg(w, h, body)


def tutorial_arrow():
    """The template: {{w}} x {{h}}, pointing by {{rot}} degrees (0 down), {{fill}}/{{deep}} its
    colours, {{s}} the pulse of its length and {{g}} its glow per pattern."""
    return ('<?xml version="1.0" encoding="UTF-8"?>\n'
            '<!-- The tutorial arrow (tools/art/help_art.py): points down at rot 0, its tip at the '
            'middle of the bottom edge; w h the picture, rot the turn, fill deep the colours, '
            's the stretch and g the glow of each pattern. -->\n'
            '<svg xmlns="http://www.w3.org/2000/svg" width="{{w}}" height="{{h}}" viewBox="0 0 {{w}} {{h}}">\n'
            '<defs><filter id="glow" x="-50%" y="-50%" width="200%" height="200%"><feGaussianBlur stdDeviation="4"/></filter></defs>\n'
            '<g transform="translate({{cx}} {{cy}}) rotate({{rot}}) translate(0 36) scale(1 {{s}}) translate(0 -36)">\n'
            '<path d="M-14 -36 H14 V2 H28 L0 36 L-28 2 H-14 Z" fill="{{fill}}" opacity="{{g}}" filter="url(#glow)"/>\n'
            '<path d="M-14 -34 H14 V2 H27 L0 34 L-27 2 H-14 Z" fill="{{deep}}" stroke="#3A2430" stroke-width="4" stroke-linejoin="round"/>\n'
            '<path d="M-14 -34 H8 V-2 H19 L-3 26 L-20 4 H-14 Z" fill="{{fill}}"/>\n'
            '<path d="M-8 -28 V-4" stroke="#FFFFFF" stroke-width="4" stroke-linecap="round" opacity="0.55"/>\n'
            '</g></svg>\n')


def arrow_records():
    pulse = [1 - 0.08 * (1 - math.cos(math.pi * i / 15)) / 2 for i in range(16)]
    glow = [0.25 + 0.5 * (1 - math.cos(math.pi * i / 15)) / 2 for i in range(16)]
    kinds = {1: ("84x90", 84, 90, 0, "#FFE066", "#FFB52E"), 2: ("90x84", 90, 84, -90, "#A6E05A", "#3F9A30"),
             3: ("84x90", 84, 90, 0, "#A6E05A", "#3F9A30"), 4: ("90x84", 90, 84, 90, "#A6E05A", "#3F9A30")}
    out = []
    for k, (pat, w, h, rot, fill, deep) in kinds.items():
        cx, cy = w / 2, h / 2
        p = [("w", w), ("h", h), ("cx", cx), ("cy", cy), ("rot", rot), ("fill", fill), ("deep", deep)]
        lines = "".join(f'\n    <param name="{n}" value="{v}"/>' for n, v in p)
        lines += '\n    <param name="s" values="' + ",".join(f"{v:.3f}" for v in pulse) + '"/>'
        lines += '\n    <param name="g" values="' + ",".join(f"{v:.3f}" for v in glow) + '"/>'
        out.append(f'  <image key="tutorial_Arrow_{k}.image" svg="tutorial_arrow.svg" pattern="{pat}" frames="16">'
                   f'{lines}\n  </image>')
    return "\n".join(out)


def write(path, text):
    with open(path, "w") as f:
        f.write(text)


def main():
    for n in range(21):
        write(f"data/Interface/help_{n}.svg", topic(n))
    write("data/Interface/help_panel.svg", help_panel())
    write("data/Interface/tutorial_panel.svg", tutorial_panel())
    write("data/Interface/tutorial_arrow.svg", tutorial_arrow())
    if os.environ.get("PRINT_RECORDS"):
        print(arrow_records())


if __name__ == "__main__":
    main()
