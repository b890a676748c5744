#!/usr/bin/env python3
"""Writes the SVG sources and the archive lists of the cut-scenes' pictures: the shared ones
(skies, hills, clouds, the branch and its nest, nestlings, cages, the key) into data/Video_0,
the intro's own into data/Video_1 and the outro's into data/Video_2. The films place them in a
1280 x 720 picture, so every size here is in those units. Run it from the repository root
after changing a drawing; its output is committed beside the other sources of data/."""
import math
import os

INK = "#3A2430"
HEAD = '<?xml version="1.0" encoding="UTF-8"?>\n'
LICENSE = """Pictures in this folder (the SVG sources, the drawing parameters and the images built from
them):
Drawn for Branchwick by the Branchwick team.

Licence: CC-BY-SA-4.0 (Creative Commons Attribution-ShareAlike 4.0 International),
https://creativecommons.org/licenses/by-sa/4.0/
"""


def svg(w, h, body, defs=""):
    return (HEAD + f'<svg xmlns="http://www.w3.org/2000/svg" width="{w}" height="{h}" '
            f'viewBox="0 0 {w} {h}">\n<defs>\n'
            '<filter id="soft" x="-30%" y="-30%" width="160%" height="160%">'
            '<feGaussianBlur stdDeviation="2.5"/></filter>\n' + defs + '</defs>\n' + body + '</svg>\n')


def grad(gid, stops, vertical=True):
    a = 'x1="0" y1="0" x2="0" y2="1"' if vertical else 'x1="0" y1="0" x2="1" y2="0"'
    s = "".join(f'<stop offset="{o}" stop-color="{c}"/>' for o, c in stops)
    return f'<linearGradient id="{gid}" {a}>{s}</linearGradient>'


def sky(w, h, stops, extra=""):
    # The outermost row and column stay clear (the renderer wraps textures).
    return svg(w, h, f'<rect x="1" y="1" width="{w - 2}" height="{h - 2}" fill="url(#g)"/>' + extra,
               grad("g", stops))


def stars(seed, n, w, h):
    out, x = "", seed
    for _ in range(n):
        x = (x * 1103515245 + 12345) % 2147483648
        px, py = 20 + x % (w - 40), 20 + (x // 7919) % h
        r = 1.2 + (x % 5) * 0.4
        out += f'<circle cx="{px}" cy="{py}" r="{r:.1f}" fill="#FFF6DC" opacity="0.8"/>'
    return out


def hills(w, h, pts, fill, shade, outline):
    # The left edge rises to the first hill; the outermost rows and columns stay clear.
    d = (f"M2 {h - 2} L2 {pts[0][1] + 70} " + " ".join(f"Q{a} {b} {c} {d}" for a, b, c, d in pts)
         + f" L{w - 2} {h - 2} Z")
    stroke = f' stroke="{INK}" stroke-width="4"' if outline else ""
    return (f'<path d="{d}" fill="{shade}"/>'
            f'<path d="{d}" fill="{fill}" transform="translate(-7 6)"{stroke}/>')


def cloud(w, h):
    c = ""
    for cx, cy, r in ((0.3, 0.62, 0.3), (0.52, 0.45, 0.38), (0.74, 0.6, 0.28), (0.5, 0.72, 0.26)):
        c += f'<circle cx="{w * cx:.1f}" cy="{h * cy:.1f}" r="{h * r:.1f}" fill="#FFFFFF"/>'
    return svg(w, h, f'<g opacity="0.92">{c}</g>')


def house():
    return svg(120, 170,
               '<rect x="56" y="86" width="10" height="82" fill="#5E3A26" stroke="' + INK + '" stroke-width="3"/>'
               '<rect x="22" y="40" width="76" height="56" rx="4" fill="#C8915A" stroke="' + INK + '" stroke-width="4"/>'
               '<path d="M12 46 L60 6 L108 46 Z" fill="#E8413C" stroke="' + INK + '" stroke-width="4" stroke-linejoin="round"/>'
               '<circle cx="60" cy="66" r="12" fill="#3A2430"/>'
               '<rect x="52" y="82" width="16" height="4" fill="#5E3A26"/>')


def branch():
    leaves = ""
    for i, (x, y, a) in enumerate(((120, 52, -30), (250, 40, 20), (400, 50, -15), (560, 38, 25),
                                   (650, 60, -40), (330, 96, 160), (480, 100, 200))):
        fill = "#74C53F" if i % 2 == 0 else "#A6E05A"
        leaves += (f'<ellipse cx="{x}" cy="{y}" rx="34" ry="14" fill="{fill}" stroke="{INK}" '
                   f'stroke-width="3" transform="rotate({a} {x} {y})"/>')
    return svg(700, 140,
               f'<path d="M2 90 Q200 60 400 76 T698 66 L698 84 Q420 98 200 92 T2 112 Z" fill="#94603A" '
               f'stroke="{INK}" stroke-width="4"/>'
               '<path d="M40 96 Q220 80 420 86" stroke="#5E3A26" stroke-width="3" fill="none"/>' + leaves)


def nest():
    twigs = "".join(f'<path d="M{14 + i * 18} {30 + (i % 3) * 8} Q100 {60 + (i % 2) * 8} {186 - i * 14} {28 + (i % 4) * 6}" '
                    f'stroke="#5E3A26" stroke-width="3" fill="none"/>' for i in range(8))
    return svg(200, 80, f'<path d="M6 26 Q100 96 194 26 Z" fill="#C8915A" stroke="{INK}" stroke-width="4"/>' + twigs)


def nestling():
    return svg(48, 50,
               f'<circle cx="24" cy="28" r="18" fill="#E0A414" stroke="{INK}" stroke-width="3"/>'
               '<circle cx="21" cy="25" r="15" fill="#FFD12E"/>'
               '<path d="M20 6 Q24 0 26 8 Q30 2 30 10" stroke="' + INK + '" stroke-width="2" fill="none"/>'
               '<circle cx="17" cy="24" r="5" fill="#FFFFFF" stroke="' + INK + '" stroke-width="2"/>'
               '<circle cx="31" cy="24" r="5" fill="#FFFFFF" stroke="' + INK + '" stroke-width="2"/>'
               f'<circle cx="18.5" cy="25" r="2.4" fill="{INK}"/><circle cx="32.5" cy="25" r="2.4" fill="{INK}"/>'
               '<path d="M19 31 L29 31 L24 39 Z" fill="#FF9F1C" stroke="' + INK + '" stroke-width="2"/>'
               '<ellipse cx="11" cy="33" rx="3" ry="2" fill="#FF8FA3" opacity="0.75"/>'
               '<ellipse cx="37" cy="33" rx="3" ry="2" fill="#FF8FA3" opacity="0.75"/>')


def cage():
    bars = "".join(f'<line x1="{x}" y1="30" x2="{x}" y2="136" stroke="#8C8FA0" stroke-width="4"/>'
                   for x in (18, 36, 55, 74, 92))
    return svg(110, 150,
               f'<circle cx="55" cy="12" r="8" fill="none" stroke="{INK}" stroke-width="4"/>'
               f'<path d="M10 34 Q55 10 100 34" fill="#FFB52E" stroke="{INK}" stroke-width="4"/>' + bars +
               f'<rect x="6" y="132" width="98" height="14" rx="4" fill="#FFB52E" stroke="{INK}" stroke-width="4"/>'
               f'<rect x="10" y="32" width="90" height="104" fill="none" stroke="{INK}" stroke-width="3"/>')


def key():
    return svg(90, 44,
               f'<circle cx="20" cy="22" r="14" fill="#FFB52E" stroke="{INK}" stroke-width="4"/>'
               '<circle cx="20" cy="22" r="5" fill="#FFF6DC" stroke="' + INK + '" stroke-width="2"/>'
               f'<path d="M33 18 L84 18 L84 26 L78 26 L78 34 L70 34 L70 26 L62 26 L62 32 L56 32 L56 26 L33 26 Z" '
               f'fill="#FFB52E" stroke="{INK}" stroke-width="3" stroke-linejoin="round"/>'
               '<ellipse cx="14" cy="15" rx="4" ry="3" fill="#FFFFFF" opacity="0.6"/>')


def sparkle():
    return svg(48, 48, '<g transform="translate(24 24) scale({{s}}) rotate({{a}})" opacity="{{o}}">'
               '<path d="M0 -20 L4 -4 L20 0 L4 4 L0 20 L-4 4 L-20 0 L-4 -4 Z" fill="#FFE066"/>'
               '<circle r="4" fill="#FFFFFF"/></g>')


def sun():
    return svg(140, 140, '<circle cx="70" cy="70" r="64" fill="#FFE066" opacity="0.35"/>'
               f'<circle cx="70" cy="70" r="44" fill="#FFB52E"/><circle cx="64" cy="64" r="40" fill="#FFE066"/>')


def moon():
    return svg(110, 110, '<circle cx="55" cy="55" r="50" fill="#FFF6DC" opacity="0.25"/>'
               '<circle cx="55" cy="55" r="36" fill="#FFF6DC"/><circle cx="72" cy="44" r="30" fill="#2A3568" opacity="0.9"/>')


def woods():
    trees = ""
    for i in range(12):
        x = 20 + i * 110 + (i % 3) * 17
        h = 260 + (i * 53) % 140
        c = "#1E5A2A" if i % 2 else "#23692A"
        trees += (f'<rect x="{x + 38}" y="{458 - 80}" width="20" height="80" fill="#3A2430"/>'
                  f'<path d="M{x} {458 - 60} L{x + 48} {458 - h} L{x + 96} {458 - 60} Z" fill="{c}"/>')
    return svg(1280, 460, trees + '<rect x="1" y="400" width="1278" height="59" fill="#1E5A2A"/>')


def hut():
    return svg(240, 220,
               '<rect x="100" y="4" width="30" height="70" fill="#5E3A26" stroke="' + INK + '" stroke-width="4"/>'
               f'<rect x="26" y="90" width="190" height="126" fill="#94603A" stroke="{INK}" stroke-width="4"/>'
               f'<path d="M10 100 L120 30 L230 100 Z" fill="#5E3A26" stroke="{INK}" stroke-width="4" stroke-linejoin="round"/>'
               f'<rect x="98" y="140" width="44" height="76" rx="20" fill="#3A2430"/>'
               '<rect x="44" y="120" width="36" height="30" fill="#FFE066" stroke="' + INK + '" stroke-width="3"/>'
               '<rect x="162" y="120" width="36" height="30" fill="#FFE066" stroke="' + INK + '" stroke-width="3"/>')


def bushes():
    b = "".join(f'<circle cx="{40 + i * 120}" cy="{100 + (i % 2) * 20}" r="{70 + (i % 3) * 12}" fill="#0F2A16"/>'
                for i in range(11))
    return svg(1280, 170, b)


def cart():
    return svg(440, 140,
               f'<rect x="6" y="12" width="428" height="34" rx="6" fill="#94603A" stroke="{INK}" stroke-width="4"/>'
               '<path d="M12 30 L428 30" stroke="#5E3A26" stroke-width="3"/>'
               + "".join(f'<circle cx="{x}" cy="86" r="44" fill="#C8915A" stroke="{INK}" stroke-width="5"/>'
                         f'<circle cx="{x}" cy="86" r="8" fill="{INK}"/>'
                         f'<path d="M{x - 40} 86 L{x + 40} 86 M{x} 46 L{x} 126" stroke="{INK}" stroke-width="4"/>'
                         for x in (80, 360)))


def burger():
    return svg(90, 66,
               f'<path d="M8 30 Q45 -6 82 30 Z" fill="#FFB52E" stroke="{INK}" stroke-width="3"/>'
               f'<rect x="6" y="30" width="78" height="8" fill="#74C53F" stroke="{INK}" stroke-width="2"/>'
               f'<rect x="8" y="38" width="74" height="12" rx="5" fill="#5E3A26" stroke="{INK}" stroke-width="3"/>'
               f'<path d="M8 50 L82 50 Q82 62 45 62 Q8 62 8 50 Z" fill="#FFB52E" stroke="{INK}" stroke-width="3"/>'
               + "".join(f'<ellipse cx="{x}" cy="18" rx="2.5" ry="1.5" fill="#FFF6DC"/>' for x in (30, 45, 58)))


def zzz():
    # Three Z shapes drawn as stroked paths, rising and fading over the frames.
    parts = ""
    for i, (x, y, s) in enumerate(((20, 90, 14), (50, 60, 18), (84, 30, 22))):
        parts += (f'<path d="M{x} {y} l{s} 0 l{-s} {s} l{s} 0" transform="translate(0 {{{{dy}}}})" '
                  f'stroke="#FFF6DC" stroke-width="4" fill="none" stroke-linejoin="round" stroke-linecap="round" '
                  f'opacity="{{{{o{i}}}}}"/>')
    return svg(120, 120, parts)


def rainbow():
    arcs = "".join(f'<path d="M{20 + i * 16} 330 A{320 - i * 16} {300 - i * 16} 0 0 1 {660 - i * 16} 330" '
                   f'stroke="{c}" stroke-width="16" fill="none"/>'
                   for i, c in enumerate(("#E8413C", "#FFB52E", "#FFD12E", "#43C15A", "#2F86E0", "#8E55D6")))
    return svg(680, 340, f'<g opacity="0.55">{arcs}</g>')


def bunting():
    flags, cols = "", ("#E8413C", "#2F86E0", "#FFD12E", "#43C15A", "#8E55D6", "#FF78B4")
    for i in range(16):
        x = 10 + i * 80
        y = 20 + 30 * math.sin(math.pi * (i + 0.5) / 16)
        flags += (f'<path d="M{x} {y:.1f} L{x + 60} {y:.1f} L{x + 30} {y + 60:.1f} Z" fill="{cols[i % 6]}" '
                  f'stroke="{INK}" stroke-width="3" stroke-linejoin="round"/>')
    return svg(1280, 160, f'<path d="M2 20 Q640 80 1278 20" stroke="{INK}" stroke-width="3" fill="none"/>' + flags)


def den():
    trees = "".join(f'<path d="M{x} 520 L{x + 70} {200 + (i * 41) % 120} L{x + 140} 520 Z" fill="#1E5A2A"/>'
                    for i, x in enumerate(range(-40, 1280, 150)))
    return sky(1280, 720, (("0", "#5C4A8C"), ("0.6", "#E08A6A"), ("1", "#FFC07A")),
               trees + hills(1280, 720, ((320, 470, 640, 500), (960, 530, 1280, 490)), "#3F9A30", "#23692A", True))


def final():
    return sky(1280, 720, (("0", "#3E5FA0"), ("0.45", "#FF9F7A"), ("0.7", "#FFE066"), ("1", "#FFB52E")),
               '<circle cx="900" cy="420" r="90" fill="#FFE066" opacity="0.8"/>'
               + hills(1280, 720, ((300, 430, 640, 470), (980, 510, 1280, 450)), "#3F9A30", "#23692A", False)
               + hills(1280, 720, ((360, 560, 700, 600), (1000, 640, 1280, 590)), "#74C53F", "#3F9A30", True))


SHARED = {
    "video_sky_day": ((1280, 720), lambda: sky(1280, 720, (("0", "#3E8FD0"), ("0.55", "#7CCBF2"), ("1", "#CFF0FF")))),
    "video_sky_night": ((1280, 720), lambda: sky(1280, 720, (("0", "#1B2450"), ("1", "#3E4F8C")), stars(7, 90, 1280, 420))),
    "video_sun": ((140, 140), sun),
    "video_moon": ((110, 110), moon),
    "video_cloud_1": ((300, 110), lambda: cloud(300, 110)),
    "video_cloud_2": ((220, 80), lambda: cloud(220, 80)),
    # A little wider and taller than the picture, so that no clear edge shows on screen.
    "video_hills_far": ((1296, 280), lambda: svg(1296, 280, hills(1296, 280, ((320, 60, 640, 120), (960, 180, 1294, 90)), "#A6E05A", "#74C53F", False))),
    "video_hills": ((1296, 270), lambda: svg(1296, 270, hills(1296, 270, ((300, 40, 620, 90), (980, 150, 1294, 60)), "#74C53F", "#3F9A30", True))),
    "video_house": ((120, 170), house),
    "video_branch": ((700, 140), branch),
    "video_nest": ((200, 80), nest),
    "video_nestling": ((48, 50), nestling),
    "video_cage": ((110, 150), cage),
    "video_key": ((90, 44), key),
}
INTRO = {
    "scene_1_sky": ((1280, 720), lambda: sky(1280, 720, (("0", "#3B2F6E"), ("0.6", "#A05A8C"), ("1", "#FF9F7A")))),
    "scene_1_woods": ((1280, 460), woods),
    "scene_1_hut": ((240, 220), hut),
    "scene_2_bushes": ((1280, 170), bushes),
    "scene_3_cart": ((440, 140), cart),
}
OUTRO = {
    "outro_scene_0_bg": ((1280, 720), den),
    "outro_scene_0_burger": ((90, 66), burger),
    "outro_scene_1_rainbow": ((680, 340), rainbow),
    "outro_scene_2_bunting": ((1280, 160), bunting),
    "outro_scene_3_final": ((1280, 720), final),
}


def write(folder, comment, pictures, animated):
    os.makedirs(folder, exist_ok=True)
    rows = []
    for name, ((w, h), draw) in sorted(pictures.items()):
        with open(os.path.join(folder, name + ".svg"), "w") as f:
            f.write(draw())
        rows.append(f'  <image key="{name}.image" svg="{name}.svg" pattern="{w}x{h}"/>')
    rows += animated
    with open(os.path.join(folder, "archive.xml"), "w") as f:
        f.write('<?xml version="1.0" encoding="UTF-8"?>\n<!-- ' + comment + ' -->\n<archive>\n'
                + "\n".join(rows) + "\n</archive>\n")
    with open(os.path.join(folder, "LICENSE"), "w") as f:
        f.write(LICENSE)


def frames(n, f):
    return ",".join(f"{f(i / n):.3f}" for i in range(n))


def main():
    grain = ('  <!-- Film grain over the whole scene: one tileable frame that the cut-scene player repeats\n'
             '       over 1920 x 1080, scrolls and adds faintly. -->\n'
             '  <image key="Grain.image" draw="grain" pattern="256x256" seed="7">\n'
             '    <param name="amount" value="0.5"/>\n    <param name="softness" value="0.35"/>\n  </image>')
    with open("data/Video_0/video_sparkle.svg", "w") as f:
        f.write(sparkle())
    spark = ('  <image key="video_sparkle.image" svg="video_sparkle.svg" pattern="48x48" frames="8">\n'
             f'    <param name="s" values="{frames(8, lambda t: 0.4 + 0.6 * math.sin(math.pi * t))}"/>\n'
             f'    <param name="a" values="{frames(8, lambda t: 45 * t)}"/>\n'
             f'    <param name="o" values="{frames(8, lambda t: 0.3 + 0.7 * math.sin(math.pi * t))}"/>\n  </image>')
    write("data/Video_0", "Pictures shared by the intro and the outro.", SHARED, [grain, spark])
    write("data/Video_1", "The intro's own pictures.", INTRO, [])
    with open("data/Video_2/outro_scene_0_zzz.svg", "w") as f:
        f.write(zzz())
    z = ('  <image key="outro_scene_0_zzz.image" svg="outro_scene_0_zzz.svg" pattern="120x120" frames="8">\n'
         f'    <param name="dy" values="{frames(8, lambda t: -20 * t)}"/>\n'
         + "".join(f'    <param name="o{i}" values="{frames(8, lambda t, i=i: max(0.0, math.sin(math.pi * ((t + i / 3) % 1))))}"/>\n'
                   for i in range(3)) + '  </image>')
    write("data/Video_2", "The outro's own pictures.", OUTRO, [z])


if __name__ == "__main__":
    main()
