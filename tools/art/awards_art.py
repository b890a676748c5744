#!/usr/bin/env python3
"""Writes the SVG sources of the awards' pictures: the ten award emblems (templates that
datapack renders in the unearned grey and in bronze, silver and gold), the popup's panel and
the pictures of the awards screen. Run it from the repository root after changing a drawing;
its output is committed beside the other sources of data/."""
import os

INK = "#3A2430"
HEAD = '<?xml version="1.0" encoding="UTF-8"?>\n'


def svg(w, h, body, defs=""):
    return (HEAD + f'<svg xmlns="http://www.w3.org/2000/svg" width="{w}" height="{h}" '
            f'viewBox="0 0 {w} {h}">\n<defs>\n'
            '<filter id="soft" x="-30%" y="-30%" width="160%" height="160%">'
            '<feGaussianBlur stdDeviation="2.5"/></filter>\n' + defs + '</defs>\n' + body + '</svg>\n')


# ---- The award icons (96 x 96) -----------------------------------------------------------------
# The medal's disc lies at (48, 44), radius 36; ribbons hang below it; up to three stars on the
# rim tell the medal. Template parameters: rim, rimhi, rimdeep (the metal), ribbon, ribbondeep,
# sat (1, or 0 for the grey unearned look), dim (opacity of the emblem), s1..s3 (stars).

BIRD_COLOURS = {1: ("#E8413C", "#B3262E", "#FFD9CF"), 2: ("#2F86E0", "#1E5DB0", "#CFE7FF"),
                3: ("#FFD12E", "#E0A414", "#FFF3B8"), 4: ("#43C15A", "#25893F", "#D6F5C8"),
                5: ("#8E55D6", "#643AA6", "#E6D5FF"), 6: ("#FF78B4", "#D94F8E", "#FFE1EE")}


def bird(cx, cy, r, kind, eyes=True, sooty=False):
    base, shade, belly = BIRD_COLOURS[kind]
    if sooty:
        base, shade, belly = "#6E6068", "#4A3E46", "#A89CA0"
    s = (f'<circle cx="{cx}" cy="{cy}" r="{r}" fill="{shade}" stroke="{INK}" stroke-width="2.5"/>'
         f'<circle cx="{cx - r * 0.12}" cy="{cy - r * 0.1}" r="{r * 0.86}" fill="{base}"/>'
         f'<ellipse cx="{cx}" cy="{cy + r * 0.45}" rx="{r * 0.55}" ry="{r * 0.38}" fill="{belly}"/>')
    if eyes:
        e = r * 0.28
        for dx in (-0.33, 0.33):
            s += (f'<circle cx="{cx + dx * r}" cy="{cy - r * 0.15}" r="{e}" fill="#FFFFFF" '
                  f'stroke="{INK}" stroke-width="1.5"/>'
                  f'<circle cx="{cx + dx * r + e * 0.3}" cy="{cy - r * 0.12}" r="{e * 0.5}" fill="{INK}"/>')
        s += (f'<path d="M{cx - r * 0.16} {cy + r * 0.08} L{cx + r * 0.16} {cy + r * 0.08} '
              f'L{cx} {cy + r * 0.34} Z" fill="#FF9F1C" stroke="{INK}" stroke-width="1.2"/>')
    return s


def star(cx, cy, r, fill, stroke=INK, sw=2):
    import math
    pts = []
    for i in range(10):
        a = math.pi / 2 + i * math.pi / 5
        rr = r if i % 2 == 0 else r * 0.45
        pts.append(f"{cx + rr * math.cos(a):.1f},{cy - rr * math.sin(a):.1f}")
    return f'<polygon points="{" ".join(pts)}" fill="{fill}" stroke="{stroke}" stroke-width="{sw}" stroke-linejoin="round"/>'


EMBLEMS = {
    # 1: the won levels: a nest holding a golden egg
    1: ('<ellipse cx="48" cy="37" rx="11" ry="14" fill="#FFB52E" stroke="' + INK + '" stroke-width="2.5"/>'
        '<ellipse cx="44" cy="31" rx="4" ry="6" fill="#FFFFFF" opacity="0.55"/>'
        '<path d="M26 44 Q48 66 70 44 L66 54 Q48 70 30 54 Z" fill="#94603A" stroke="' + INK + '" stroke-width="2.5" stroke-linejoin="round"/>'
        '<path d="M31 49 Q48 60 65 49 M34 55 Q48 63 62 55" stroke="#5E3A26" stroke-width="2" fill="none"/>'
        '<path d="M28 46 Q48 58 68 46" stroke="#C8915A" stroke-width="2" fill="none"/>'),
    # 2: the score: a big star with sparkles
    2: (star(48, 45, 21, "#FFE066", INK, 2.5) +
        '<path d="M42 37 L46 33" stroke="#FFFFFF" stroke-width="3" stroke-linecap="round" opacity="0.8"/>'
        '<path d="M68 26 l2 -5 l2 5 l5 2 l-5 2 l-2 5 l-2 -5 l-5 -2 Z" fill="#FFFFFF" stroke="' + INK + '" stroke-width="1.2"/>'),
    # 3: a burned bird: sooty, with a little flame and smoke
    3: (bird(46, 48, 15, 1, True, True) +
        '<path d="M52 31 Q58 24 55 16 Q64 22 61 32 Q58 36 52 31 Z" fill="#FF9F1C" stroke="' + INK + '" stroke-width="2"/>'
        '<path d="M55 30 Q58 26 57 21 Q61 26 59 31 Z" fill="#FFE066"/>'
        '<circle cx="30" cy="30" r="4" fill="#A89CA0" opacity="0.9"/><circle cx="25" cy="24" r="3" fill="#A89CA0" opacity="0.7"/>'),
    # 4: a caught cat: a sleepy cat's head between two birds
    4: ('<path d="M33 36 L35 20 L44 30 Z M63 36 L61 20 L52 30 Z" fill="#A8A0A8" stroke="' + INK + '" stroke-width="2.5" stroke-linejoin="round"/>'
        '<ellipse cx="48" cy="42" rx="17" ry="14" fill="#A8A0A8" stroke="' + INK + '" stroke-width="2.5"/>'
        '<ellipse cx="45" cy="38" rx="12" ry="8" fill="#C8C0C8"/>'
        '<path d="M39 40 q3 3 6 0 M51 40 q3 3 6 0" stroke="' + INK + '" stroke-width="2" fill="none" stroke-linecap="round"/>'
        '<path d="M46 46 h4 l-2 2 Z" fill="#FF8FA3" stroke="' + INK + '" stroke-width="1"/>' +
        bird(26, 58, 8, 2, False) + bird(70, 58, 8, 2, False)),
    # 5: a chain of birds: three birds in a row
    5: (bird(27, 49, 10, 3) + bird(69, 49, 10, 5) + bird(48, 45, 12, 1)),
    # 6: a bonus: a bomb with a lit fuse
    6: ('<circle cx="45" cy="49" r="16" fill="#2C2A3A" stroke="' + INK + '" stroke-width="2.5"/>'
        '<circle cx="39" cy="43" r="5" fill="#FFFFFF" opacity="0.35"/>'
        '<rect x="50" y="28" width="10" height="8" rx="2" transform="rotate(35 55 32)" fill="#8C8FA0" stroke="' + INK + '" stroke-width="2"/>'
        '<path d="M58 30 Q62 22 68 22" stroke="#94603A" stroke-width="2.5" fill="none"/>' +
        star(69, 21, 7, "#FFE066", INK, 1.5)),
    # 7: a paint drop
    7: ('<path d="M48 20 Q63 40 63 50 A15 15 0 0 1 33 50 Q33 40 48 20 Z" fill="#8E55D6" stroke="' + INK + '" stroke-width="2.5" stroke-linejoin="round"/>'
        '<path d="M48 26 Q60 42 60 50 A12 12 0 0 1 48 62 Z" fill="#643AA6" opacity="0.6"/>'
        '<ellipse cx="42" cy="47" rx="4" ry="7" fill="#FFFFFF" opacity="0.55"/>'
        '<circle cx="67" cy="30" r="4" fill="#FF78B4" stroke="' + INK + '" stroke-width="1.5"/>'
        '<circle cx="28" cy="34" r="3" fill="#2F86E0" stroke="' + INK + '" stroke-width="1.5"/>'),
    # 8: a broken wall: bricks with a crack and a flying piece
    8: ('<g stroke="' + INK + '" stroke-width="2" stroke-linejoin="round">'
        '<rect x="26" y="48" width="21" height="11" fill="#C8915A"/><rect x="47" y="48" width="21" height="11" fill="#94603A"/>'
        '<rect x="26" y="37" width="12" height="11" fill="#94603A"/><rect x="38" y="37" width="16" height="11" fill="#C8915A"/>'
        '<path d="M54 37 h8 l-3 5 l4 6 h-9 Z" fill="#94603A"/>'
        '<rect x="26" y="26" width="18" height="11" fill="#C8915A"/>'
        '<path d="M62 24 l9 -3 l2 8 l-8 3 Z" fill="#C8915A"/><path d="M66 34 l6 1 l-1 6 l-6 -2 Z" fill="#94603A"/></g>'
        '<path d="M50 26 l4 6" stroke="#FFE066" stroke-width="2.5" stroke-linecap="round"/>'),
    # 9: a freed tied bird: a bird and its snapped rope
    9: (bird(48, 47, 15, 2) +
        '<path d="M22 56 Q30 50 33 56 Q36 62 30 63" stroke="#C8915A" stroke-width="4" fill="none" stroke-linecap="round"/>'
        '<path d="M74 56 Q66 50 63 56 Q60 62 66 63" stroke="#C8915A" stroke-width="4" fill="none" stroke-linecap="round"/>'
        '<path d="M22 56 Q30 50 33 56 M74 56 Q66 50 63 56" stroke="' + INK + '" stroke-width="1.2" fill="none"/>'
        '<path d="M40 26 l-4 -5 M48 24 v-6 M56 26 l4 -5" stroke="#FFFFFF" stroke-width="2.5" stroke-linecap="round"/>'),
    # 10: a crow, angular, with narrow yellow eyes
    10: ('<path d="M30 60 L32 36 L40 24 L44 30 L48 20 L52 30 L56 24 L64 36 L66 60 Z" fill="#2C2A3A" stroke="' + INK + '" stroke-width="2.5" stroke-linejoin="round"/>'
         '<path d="M36 58 L37 40 L44 33 L52 33 L59 40 L60 58 Z" fill="#4B5B8C" opacity="0.5"/>'
         '<path d="M37 40 L46 42 L46 45 L38 44 Z M59 40 L50 42 L50 45 L58 44 Z" fill="#FFE066" stroke="' + INK + '" stroke-width="1.2"/>'
         '<path d="M36 37 L47 40 M60 37 L49 40" stroke="' + INK + '" stroke-width="2.5"/>'
         '<path d="M44 47 L52 47 L48 56 Z" fill="#8C8FA0" stroke="' + INK + '" stroke-width="1.5" stroke-linejoin="round"/>'),
}


def award_icon(index):
    defs = ('<filter id="look" x="0" y="0" width="100%" height="100%" color-interpolation-filters="sRGB">'
            '<feColorMatrix type="saturate" values="{{sat}}"/></filter>\n'
            '<radialGradient id="metal" cx="0.35" cy="0.3" r="0.8">'
            '<stop offset="0" stop-color="{{rimhi}}"/><stop offset="0.6" stop-color="{{rim}}"/>'
            '<stop offset="1" stop-color="{{rimdeep}}"/></radialGradient>\n'
            '<radialGradient id="face" cx="0.4" cy="0.35" r="0.75">'
            '<stop offset="0" stop-color="#CFF0FF"/><stop offset="1" stop-color="#7CCBF2"/></radialGradient>\n')
    body = ('<g filter="url(#look)" opacity="{{dim}}">\n'
            # ribbons
            '<path d="M30 64 L20 90 L30 86 L35 94 L44 70 Z" fill="{{ribbon}}" stroke="' + INK + '" stroke-width="2.5" stroke-linejoin="round"/>'
            '<path d="M66 64 L76 90 L66 86 L61 94 L52 70 Z" fill="{{ribbondeep}}" stroke="' + INK + '" stroke-width="2.5" stroke-linejoin="round"/>\n'
            # shadow, rim and face
            '<circle cx="49" cy="48" r="37" fill="#1E1020" opacity="0.45" filter="url(#soft)"/>'
            '<circle cx="48" cy="44" r="37" fill="url(#metal)" stroke="' + INK + '" stroke-width="3"/>'
            '<circle cx="48" cy="44" r="29" fill="{{rimdeep}}" opacity="0.6"/>'
            '<circle cx="48" cy="44" r="27" fill="url(#face)" stroke="' + INK + '" stroke-width="2.5"/>\n'
            '<g clip-path="url(#disc)">' + EMBLEMS[index] + '</g>\n'
            '<path d="M24 30 A28 28 0 0 1 44 13" stroke="#FFFFFF" stroke-width="3.5" fill="none" stroke-linecap="round" opacity="0.6"/>\n'
            # medal stars on the rim
            + '<g opacity="{{s1}}">' + star(48, 79, 6, "#FFE066", INK, 1.5) + '</g>'
            + '<g opacity="{{s2}}">' + star(36, 77, 5.5, "#FFE066", INK, 1.5) + star(60, 77, 5.5, "#FFE066", INK, 1.5) + '</g>'
            + '<g opacity="{{s3}}">' + star(27, 70, 5, "#FFE066", INK, 1.5) + star(69, 70, 5, "#FFE066", INK, 1.5) + '</g>\n'
            '</g>\n')
    defs += '<clipPath id="disc"><circle cx="48" cy="44" r="27"/></clipPath>\n'
    return svg(96, 96, body, defs)


MEDALS = {  # rim, rimhi, rimdeep, ribbon, ribbondeep, sat, dim, stars
    0: ("#B0A8A8", "#E8E4E0", "#7A7070", "#A09898", "#807878", 0, 0.75, (0, 0, 0)),
    1: ("#D08A4E", "#F6C898", "#8E5428", "#E8413C", "#B3262E", 1, 1, (1, 0, 0)),
    2: ("#C8D2DC", "#FFFFFF", "#8A96A6", "#2F86E0", "#1E5DB0", 1, 1, (0, 1, 0)),
    3: ("#FFC830", "#FFF3B8", "#D08A10", "#43C15A", "#25893F", 1, 1, (1, 0, 1)),
}


def award_records():
    lines = []
    for a in range(1, 11):
        for m in range(4):
            rim, hi, deep, rib, ribd, sat, dim, stars = MEDALS[m]
            params = dict(rim=rim, rimhi=hi, rimdeep=deep, ribbon=rib, ribbondeep=ribd, sat=sat,
                          dim=dim, s1=stars[0], s2=stars[1], s3=stars[2])
            p = "".join(f'<param name="{k}" value="{v}"/>' for k, v in params.items())
            lines.append(f'  <image key="award_{a}_medal_{m}.image" svg="award_{a}.svg" pattern="96x96">{p}</image>')
    return "\n".join(lines)


# ---- Panels ----------------------------------------------------------------------------------

def wood_panel(w, h, r=26, inset=None):
    s = (f'<rect x="8" y="12" width="{w - 16}" height="{h - 18}" rx="{r}" fill="#1E1020" opacity="0.5" filter="url(#soft)"/>'
         f'<rect x="5" y="5" width="{w - 12}" height="{h - 12}" rx="{r}" fill="#94603A" stroke="{INK}" stroke-width="4"/>'
         f'<rect x="11" y="9" width="{w - 24}" height="{h - 22}" rx="{r - 6}" fill="none" stroke="#C8915A" stroke-width="3" opacity="0.8"/>'
         f'<path d="M{r} {h - 13} H{w - r}" stroke="#5E3A26" stroke-width="4" opacity="0.6"/>')
    for y in range(40, h - 40, 90):
        s += (f'<path d="M13 {y} c0 20 0 40 0 60 M{w - 13} {y + 10} c0 20 0 40 0 60" stroke="#5E3A26" '
              'stroke-width="3" stroke-linecap="round" opacity="0.7"/>')
    for x, y in ((16, 16), (w - 16, 16), (16, h - 16), (w - 16, h - 16)):
        s += f'<circle cx="{x}" cy="{y}" r="4.5" fill="#C8915A" stroke="{INK}" stroke-width="2.5"/>'
    return s


DARK = '<linearGradient id="well" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="#4A2E26"/><stop offset="1" stop-color="#2A1A1E"/></linearGradient>\n'
FACE = '<linearGradient id="face" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="#7A4E30"/><stop offset="1" stop-color="#5E3A26"/></linearGradient>\n'


def awards_panel():  # 1142 x 940
    w, h = 1142, 940
    body = wood_panel(w, h, 30)
    # title board
    body += (f'<rect x="371" y="6" width="400" height="54" rx="16" fill="#2A1A1E" stroke="{INK}" stroke-width="3"/>'
             f'<rect x="375" y="10" width="392" height="46" rx="13" fill="#4A2E26"/>')
    # the tiles' field
    body += (f'<rect x="120" y="60" width="920" height="764" rx="18" fill="url(#face)" stroke="{INK}" stroke-width="3"/>'
             '<rect x="126" y="65" width="908" height="30" rx="12" fill="#FFFFFF" opacity="0.10"/>')
    # leaves in the corners
    for x, y, a in ((40, 80, -30), (1100, 80, 210), (40, 860, 30), (1100, 860, 150)):
        body += (f'<g transform="translate({x} {y}) rotate({a})"><path d="M0 0 Q22 -16 44 0 Q22 16 0 0 Z" '
                 f'fill="#74C53F" stroke="{INK}" stroke-width="3"/><path d="M4 0 H40" stroke="#3F9A30" stroke-width="2"/></g>')
    return svg(w, h, body, FACE)


def awards_slot():  # 440 x 140
    w, h = 440, 140
    body = (f'<rect x="8" y="10" width="{w - 16}" height="{h - 16}" rx="22" fill="#1E1020" opacity="0.45" filter="url(#soft)"/>'
            f'<rect x="6" y="6" width="{w - 14}" height="{h - 14}" rx="22" fill="#5E3A26" stroke="{INK}" stroke-width="3"/>'
            f'<rect x="10" y="9" width="{w - 22}" height="{h - 22}" rx="19" fill="none" stroke="#94603A" stroke-width="2.5"/>'
            f'<circle cx="69" cy="70" r="55" fill="url(#well)" stroke="{INK}" stroke-width="3"/>'
            f'<path d="M30 48 A44 44 0 0 1 60 20" stroke="#C8915A" stroke-width="3" fill="none" opacity="0.5"/>'
            f'<rect x="132" y="22" width="276" height="48" rx="14" fill="url(#well)" stroke="{INK}" stroke-width="2.5"/>'
            f'<path d="M146 66 H394" stroke="#C8915A" stroke-width="2" opacity="0.4"/>')
    return svg(w, h, body, DARK)


def awards_bar():  # 200 x 22
    body = (f'<rect x="2" y="2" width="196" height="18" rx="9" fill="#1E1218" stroke="{INK}" stroke-width="3"/>'
            '<rect x="6" y="12" width="188" height="5" rx="2.5" fill="#4A2E26"/>')
    return svg(200, 22, body)


def awards_progress():  # 200 x 22; shown from its left edge up to the counter's share
    defs = ('<linearGradient id="fill" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="#FFF3B8"/>'
            '<stop offset="0.45" stop-color="#FFE066"/><stop offset="1" stop-color="#FFB52E"/></linearGradient>\n')
    body = ('<rect x="5" y="5" width="190" height="12" rx="6" fill="url(#fill)"/>'
            '<rect x="9" y="6" width="182" height="3.5" rx="1.75" fill="#FFFFFF" opacity="0.6"/>')
    return svg(200, 22, body, defs)


METALS = {1: ("#D08A4E", "#F6C898", "#8E5428"), 2: ("#C8D2DC", "#FFFFFF", "#8A96A6"),
          3: ("#FFC830", "#FFF3B8", "#D08A10")}


def small_medal(size, m):
    c = size / 2
    r = size / 2 - 3
    rim, hi, deep = METALS[m]
    defs = (f'<radialGradient id="metal" cx="0.35" cy="0.3" r="0.8"><stop offset="0" stop-color="{hi}"/>'
            f'<stop offset="0.6" stop-color="{rim}"/><stop offset="1" stop-color="{deep}"/></radialGradient>\n')
    body = (f'<circle cx="{c}" cy="{c}" r="{r}" fill="url(#metal)" stroke="{INK}" stroke-width="2.5"/>'
            f'<circle cx="{c}" cy="{c}" r="{r * 0.62}" fill="none" stroke="{deep}" stroke-width="2"/>')
    # the medal's number as dots
    for i in range(m):
        dx = (i - (m - 1) / 2) * r * 0.55
        body += f'<circle cx="{c + dx:.1f}" cy="{c}" r="{r * 0.17:.1f}" fill="{INK}"/>'
    body += f'<path d="M{c - r * 0.6} {c - r * 0.35} A{r * 0.7} {r * 0.7} 0 0 1 {c - r * 0.1} {c - r * 0.72}" stroke="#FFFFFF" stroke-width="2" fill="none" stroke-linecap="round" opacity="0.7"/>'
    return svg(size, size, body, defs)


def description_panel():  # 430 x 280
    w, h = 430, 280
    body = (f'<rect x="8" y="12" width="{w - 16}" height="{h - 18}" rx="20" fill="#1E1020" opacity="0.55" filter="url(#soft)"/>'
            f'<rect x="5" y="5" width="{w - 12}" height="{h - 12}" rx="20" fill="#94603A" stroke="{INK}" stroke-width="4"/>'
            f'<rect x="14" y="14" width="{w - 30}" height="{h - 30}" rx="14" fill="url(#well)" stroke="{INK}" stroke-width="2.5"/>'
            f'<path d="M40 108 H{w - 50}" stroke="#94603A" stroke-width="2" opacity="0.7"/>'
            f'<path d="M40 145 H{w - 50}" stroke="#94603A" stroke-width="2" opacity="0.7"/>')
    return svg(w, h, body, DARK)


def complete_tick():  # 22 x 22
    body = ('<circle cx="11" cy="11" r="8.8" fill="#74C53F" stroke="' + INK + '" stroke-width="2.2"/>'
            '<path d="M6.5 11.5 L9.8 14.8 L15.5 7.5" stroke="#FFFFFF" stroke-width="2.6" fill="none" '
            'stroke-linecap="round" stroke-linejoin="round"/>')
    return svg(22, 22, body)


def new_award_panel():  # 440 x 150; icon well at (80, 77), name centred on (268, 78)
    w, h = 440, 150
    body = (f'<rect x="8" y="12" width="{w - 16}" height="{h - 18}" rx="26" fill="#1E1020" opacity="0.55" filter="url(#soft)"/>'
            f'<rect x="5" y="5" width="{w - 12}" height="{h - 12}" rx="26" fill="#94603A" stroke="{INK}" stroke-width="4"/>'
            f'<rect x="11" y="9" width="{w - 24}" height="{h - 22}" rx="20" fill="none" stroke="#C8915A" stroke-width="3" opacity="0.8"/>'
            f'<circle cx="80" cy="75" r="56" fill="url(#well)" stroke="{INK}" stroke-width="3"/>'
            f'<rect x="146" y="40" width="262" height="76" rx="16" fill="url(#well)" stroke="{INK}" stroke-width="2.5"/>'
            f'<path d="M160 112 H394" stroke="#C8915A" stroke-width="2" opacity="0.4"/>')
    for x in (160, 394):
        body += f'<circle cx="{x}" cy="26" r="4.5" fill="#C8915A" stroke="{INK}" stroke-width="2.5"/>'
    body += ('<g transform="translate(400 128) rotate(160)"><path d="M0 0 Q18 -13 36 0 Q18 13 0 0 Z" '
             f'fill="#74C53F" stroke="{INK}" stroke-width="3"/><path d="M4 0 H32" stroke="#3F9A30" stroke-width="2"/></g>')
    return svg(w, h, body, DARK)


def write(path, text):
    with open(path, "w") as f:
        f.write(text)


def main():
    for a in range(1, 11):
        write(f"data/Interface/award_{a}.svg", award_icon(a))
    write("data/Interface/new_award_panel.svg", new_award_panel())
    write("data/MainMenu/awards_panel.svg", awards_panel())
    write("data/MainMenu/awards_slot.svg", awards_slot())
    write("data/MainMenu/awards_bar.svg", awards_bar())
    write("data/MainMenu/awards_progress.svg", awards_progress())
    for m in (1, 2, 3):
        write(f"data/MainMenu/awards_marker_{m}.svg", small_medal(32, m))
        write(f"data/MainMenu/awards_desc_medal_{m}.svg", small_medal(30, m))
    write("data/MainMenu/awards_desc_panel.svg", description_panel())
    write("data/MainMenu/awards_complete.svg", complete_tick())
    if os.environ.get("PRINT_RECORDS"):
        print(award_records())


if __name__ == "__main__":
    main()
