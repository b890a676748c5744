#!/usr/bin/env python3
"""Lays out the level map: the road across the map picture, the route dots along it and the
nests on it. Writes map_bg.svg (the picture), src/meta/LevelMapRoute.cpp (the dots) and the
map_x/map_y of data/tData_Common/Levels.xml (the nests). Run it again after changing the
road's control points; the outputs are committed."""
import math, os, random, re

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))

# The road, left to right along the bottom, back along the middle, out along the top. It
# keeps to the columns 330 .. 1590, which every window shape shows (a 5:4 window shows the
# columns 285 .. 1635), so that no nest is ever cut off.
CONTROL = [(330, 868), (470, 856), (640, 862), (820, 846), (960, 878), (1090, 900),
           (1210, 858), (1330, 884), (1450, 900), (1535, 862), (1585, 770), (1578, 670),
           (1505, 610), (1390, 596), (1275, 548), (1150, 566), (1040, 512), (880, 458),
           (700, 458), (530, 470), (430, 462), (360, 410), (345, 330), (395, 262),
           (520, 236), (640, 272), (760, 244), (880, 272), (1000, 230), (1150, 204),
           (1300, 192), (1450, 214), (1580, 196)]

# Last dot shown while each level is the farthest reachable one.
ROUTE_ENDS = [-1, 0, 1, 5, 7, 8, 10, 12, 15, 18, 20, 23, 26, 28, 30, 31, 32, 33, 40, 41, 42,
              43, 44, 45, 60, 67, 68, 74, 80, 85, 88, 97, 100, 104, 107, 108, 110, 112, 114,
              116, 117, 118, 119, 120, 125, 128, 140, 144, 150, 154, 158, 161, 170, 172, 175,
              178]
NEST_GAP = 1.5  # a gap next to a nest, in dot spacings

def catmull(points, steps=40):
    pts = [points[0]] + points + [points[-1]]
    out = []
    for i in range(1, len(pts) - 2):
        p0, p1, p2, p3 = pts[i - 1], pts[i], pts[i + 1], pts[i + 2]
        for s in range(steps):
            t = s / steps
            t2, t3 = t * t, t * t * t
            out.append(tuple(0.5 * ((2 * p1[k]) + (-p0[k] + p2[k]) * t +
                                    (2 * p0[k] - 5 * p1[k] + 4 * p2[k] - p3[k]) * t2 +
                                    (-p0[k] + 3 * p1[k] - 3 * p2[k] + p3[k]) * t3)
                             for k in range(2)))
    out.append(points[-1])
    return out

curve = catmull(CONTROL)
arc = [0.0]
for a, b in zip(curve, curve[1:]):
    arc.append(arc[-1] + math.dist(a, b))

def at(s):
    s = max(0.0, min(arc[-1], s))
    lo, hi = 0, len(arc) - 1
    while hi - lo > 1:
        mid = (lo + hi) // 2
        if arc[mid] <= s: lo = mid
        else: hi = mid
    seg = arc[hi] - arc[lo] or 1.0
    t = (s - arc[lo]) / seg
    a, b = curve[lo], curve[hi]
    return (a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t), math.atan2(b[1] - a[1], b[0] - a[0])

# Positions along the road in units of the dot spacing.
weights = 0.0
nest_at, dot_at = [0.0], []
for i in range(1, len(ROUTE_ENDS)):
    n = ROUTE_ENDS[i] - ROUTE_ENDS[i - 1]
    for k in range(n):
        dot_at.append(weights + NEST_GAP + k)
    weights += 2 * NEST_GAP + n - 1
    nest_at.append(weights)
margin = 18.0
spacing = (arc[-1] - 2 * margin) / weights
dots = []
for u in dot_at:
    (x, y), ang = at(margin + u * spacing)
    dots.append((round(x), round(y), round(ang, 2)))
nests = [at(margin + u * spacing)[0] for u in nest_at]
assert len(dots) == 179 and len(nests) == 56

# --- route table ---
with open(os.path.join(ROOT, "src/meta/LevelMapRoute.cpp"), "w") as f:
    f.write("// The route dots of the level map in route order: centre and angle along the road.\n"
            "// Written by data/Map/make_map.py together with the map picture and the nests.\n"
            '#include "meta/LevelMap.h"\n\nnamespace bw {\n\n'
            "const std::array<MapWayDot, MapWayDotCount> MapWayDots{{\n")
    for x, y, a in dots:
        f.write(f"    {{{x}, {y}, {a}f}},\n")
    f.write("}};\n\n} // namespace bw\n")

# --- nests: the map coordinate is the egg picture's corner, less the (-1, -7) shift ---
EGG_W, EGG_H, EGG_LIFT = 48, 58, 14
levels_path = os.path.join(ROOT, "data/tData_Common/Levels.xml")
text = open(levels_path).read()
it = iter(nests)
def repl(m):
    x, y = next(it)
    return f'map_x="{round(x - EGG_W / 2 + 1)}" map_y="{round(y - EGG_LIFT - EGG_H / 2 + 7)}"'
text = re.sub(r'map_x="-?\d+" map_y="-?\d+"', repl, text)
open(levels_path, "w").write(text)

# --- the picture ---
rnd = random.Random(7)
INK = "#3A2430"
road_d = "M" + " L".join(f"{x:.1f},{y:.1f}" for x, y in curve[::2] + [curve[-1]])
LAKES = {"river": "M52,0 C60,90 40,180 70,260 C95,330 120,380 110,440 C105,475 160,480 190,450 "
                   "C215,420 205,360 185,300 C160,230 150,150 160,0 Z",
         "a": "M420,660 C420,615 470,600 510,605 C555,610 575,650 568,690 C560,730 520,750 480,745 "
              "C440,740 420,705 420,660 Z",
         "b": "M660,745 C655,705 700,682 740,686 C790,690 812,730 800,770 C790,805 745,818 705,810 "
              "C672,802 662,775 660,745 Z",
         "c": "M440,985 C440,930 520,905 600,905 C690,905 748,940 745,985 C742,1030 680,1062 "
              "595,1062 C510,1062 440,1035 440,985 Z",
         "pond": "M626,392 C626,375 660,368 694,368 C730,368 760,377 760,392 C760,407 728,415 "
                 "694,415 C658,415 626,408 626,392 Z"}

def near_road(x, y, d):
    return any(math.dist((x, y), p) < d for p in curve[::3])

def in_lake(x, y):
    boxes = [(30, 0, 230, 500), (400, 590, 590, 770), (640, 670, 830, 830), (420, 890, 770, 1075),
             (600, 355, 780, 430)]
    return any(a - 20 <= x <= c + 20 and b - 20 <= y <= d + 20 for a, b, c, d in boxes)

def in_reserved(x, y):
    # the mountain, the houses, the train and the score panel's corner
    return ((1120 <= x <= 1470 and 40 <= y <= 340) or (560 <= x <= 700 and 0 <= y <= 150) or
            (950 <= x <= 1090 and 0 <= y <= 150) or (670 <= x <= 910 and 490 <= y <= 660) or
            (x >= 1500 and y <= 110))

trees = []
for _ in range(2600):
    x, y = rnd.uniform(20, 1900), rnd.uniform(30, 1060)
    r = rnd.uniform(18, 30)
    if near_road(x, y, r + 34) or in_lake(x, y) or in_reserved(x, y): continue
    if any(math.dist((x, y), (tx, ty)) < (r + tr) * 0.9 for tx, ty, tr, _ in trees): continue
    trees.append((x, y, r, rnd.random()))
    if len(trees) >= 240: break
trees.sort(key=lambda t: t[1])

flowers = []
for _ in range(500):
    x, y = rnd.uniform(20, 1900), rnd.uniform(40, 1060)
    if near_road(x, y, 30) or in_lake(x, y) or in_reserved(x, y): continue
    if any(math.dist((x, y), (tx, ty)) < tr + 10 for tx, ty, tr, _ in trees): continue
    flowers.append((x, y, rnd.choice(["#FF8FA3", "#FFE066", "#FFFFFF", "#7CCBF2"])))
    if len(flowers) >= 120: break

o = []
o.append('<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 1920 1080" width="1920" height="1080">')
o.append('<defs>')
o.append('<mask id="land"><rect x="-10" y="-10" width="1940" height="1100" fill="#FFF"/>' +
         "".join(f'<path d="{d}" fill="#000"/>' for d in LAKES.values()) + '</mask>')
o.append('<linearGradient id="ground" x1="0" y1="0" x2="0.3" y2="1">'
         '<stop offset="0" stop-color="#8CD24C"/><stop offset="0.45" stop-color="#A6E05A"/>'
         '<stop offset="1" stop-color="#74C53F"/></linearGradient>')
o.append('<filter id="soft" x="-20%" y="-20%" width="140%" height="140%"><feGaussianBlur stdDeviation="3"/></filter>')
o.append('</defs>')
o.append('<g mask="url(#land)">')
o.append('<rect x="0" y="0" width="1920" height="1080" fill="url(#ground)"/>')
# fields and meadows
for x, y, rx, ry, c in [(980, 640, 420, 70, "#B8E46A"), (1500, 700, 260, 60, "#8CD24C"),
                        (300, 690, 180, 50, "#B8E46A"), (1200, 980, 330, 60, "#8CD24C"),
                        (1650, 400, 200, 60, "#B8E46A"), (900, 360, 260, 50, "#8CD24C")]:
    o.append(f'<ellipse cx="{x}" cy="{y}" rx="{rx}" ry="{ry}" fill="{c}" opacity="0.8"/>')
# the mountain with its snow cap
o.append(f'<path d="M1130,335 L1240,150 L1285,95 L1330,140 L1370,120 L1465,335 Z" fill="#94603A" stroke="{INK}" stroke-width="4" stroke-linejoin="round"/>')
o.append('<path d="M1285,95 L1330,140 L1370,120 L1465,335 L1330,335 Z" fill="#5E3A26" opacity="0.55"/>')
o.append(f'<path d="M1240,150 L1285,95 L1330,140 L1370,120 L1405,190 L1375,178 L1345,200 L1315,176 L1285,204 L1262,178 L1222,182 Z" fill="#FFFFFF" stroke="{INK}" stroke-width="3" stroke-linejoin="round"/>')
# shores
for d in LAKES.values():
    o.append(f'<path d="{d}" fill="none" stroke="#F0C890" stroke-width="14"/>')
o.append('</g>')
for d in LAKES.values():
    o.append(f'<path d="{d}" fill="none" stroke="{INK}" stroke-width="4"/>')
# houses with chimneys (the smoke rises from their tops)
for cx in (621, 1018):
    o.append(f'<g transform="translate({cx - 40},0)">'
             f'<rect x="30" y="14" width="20" height="44" fill="#94603A" stroke="{INK}" stroke-width="4"/>'
             f'<rect x="0" y="60" width="96" height="60" rx="4" fill="#FFF6DC" stroke="{INK}" stroke-width="4"/>'
             f'<path d="M-10,64 L48,24 L106,64 Z" fill="#E8413C" stroke="{INK}" stroke-width="4" stroke-linejoin="round"/>'
             f'<rect x="36" y="84" width="24" height="36" rx="3" fill="#5E3A26" stroke="{INK}" stroke-width="3"/>'
             f'<rect x="10" y="76" width="18" height="18" fill="#7CCBF2" stroke="{INK}" stroke-width="3"/>'
             f'<rect x="68" y="76" width="18" height="18" fill="#7CCBF2" stroke="{INK}" stroke-width="3"/></g>')
# the railway under the train
o.append(f'<path d="M640,640 L930,640" stroke="{INK}" stroke-width="10" stroke-linecap="round"/>')
o.append('<path d="M640,640 L930,640" stroke="#C8915A" stroke-width="4" stroke-linecap="round"/>')
# the road and a bridge where it crosses nothing but grass
o.append('<path d="%s" fill="none" stroke="#0F2A16" stroke-opacity="0.35" stroke-width="40" stroke-linecap="round" stroke-linejoin="round" transform="translate(1,5)" filter="url(#soft)"/>' % road_d)
o.append(f'<path d="{road_d}" fill="none" stroke="{INK}" stroke-width="36" stroke-linecap="round" stroke-linejoin="round"/>')
o.append(f'<path d="{road_d}" fill="none" stroke="#C8915A" stroke-width="28" stroke-linecap="round" stroke-linejoin="round"/>')
o.append(f'<path d="{road_d}" fill="none" stroke="#F0C890" stroke-width="10" stroke-linecap="round" stroke-linejoin="round" stroke-dasharray="22 30" opacity="0.8"/>')
# flowers
for x, y, c in flowers:
    o.append(f'<circle cx="{x:.0f}" cy="{y:.0f}" r="5" fill="{c}" stroke="{INK}" stroke-width="2"/>')
# trees, nearer (lower) ones last
for x, y, r, v in trees:
    snowy = 1120 <= x <= 1500 and y < 360
    top = "#FFFFFF" if snowy else ("#74C53F" if v < 0.6 else "#3F9A30")
    shade = "#CFF0FF" if snowy else ("#3F9A30" if v < 0.6 else "#23692A")
    o.append(f'<ellipse cx="{x + 4:.0f}" cy="{y + r * 0.9:.0f}" rx="{r:.0f}" ry="{r * 0.35:.0f}" fill="#0F2A16" opacity="0.35"/>')
    o.append(f'<rect x="{x - 5:.0f}" y="{y:.0f}" width="10" height="{r * 0.9:.0f}" fill="#94603A" stroke="{INK}" stroke-width="3"/>')
    o.append(f'<circle cx="{x:.0f}" cy="{y - r * 0.5:.0f}" r="{r:.0f}" fill="{shade}" stroke="{INK}" stroke-width="4"/>')
    o.append(f'<circle cx="{x - 5:.0f}" cy="{y - r * 0.5 - 5:.0f}" r="{r * 0.78:.0f}" fill="{top}"/>')
    o.append(f'<circle cx="{x - r * 0.4:.0f}" cy="{y - r * 0.9:.0f}" r="{r * 0.25:.0f}" fill="#FFFFFF" opacity="0.35"/>')
o.append('<rect x="0.5" y="0.5" width="1919" height="1079" fill="none" stroke="#000" stroke-opacity="0" />')
o.append('</svg>')
open(os.path.join(HERE, "map_bg.svg"), "w").write("\n".join(o) + "\n")
print("road", round(arc[-1]), "spacing", round(spacing, 1), "trees", len(trees))
