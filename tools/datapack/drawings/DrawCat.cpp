// The "cat" drawing program: the five board cats in every pose the game shows (sitting,
// falling, caught, carried off, walking), the warning shadow of a falling cat and the thought
// bubbles of a caught one; and the boss cat of boss levels with its hamburger and its gauge.
//
// A cat is drawn in picture units around its ground point, the spot between its paws where it
// stands: x to the right, y downwards, so everything of a cat has y < 0. Each kind differs in
// silhouette as well as colour:
//   1  round fat ginger tabby: a ball with small ears, short ringed tail curled round its paws
//   2  lean tall cream cat with dark points: long legs, wedge head, very big ears, thin tail hook
//   3  fluffy blue-grey long-hair: scalloped coat and ruff, plume tail, glowing aura
//   4  silver cat with bold dark stripes and a very long ringed tail held high; the walker
//   5  small tuxedo kitten, black with white bib, muzzle, paws and tail tip; the jumper
#include "drawings/Drawings.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

namespace bw::pack {

namespace {

constexpr double kPi = 3.14159265358979323846;

constexpr uint32_t kInk = 0x3A2430;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kCream = 0xFFF6DC;
constexpr uint32_t kBlush = 0xFF8FA3;
constexpr uint32_t kNose = 0xF2708C; // a shade of Blush
constexpr uint32_t kSun = 0xFFE066;
constexpr uint32_t kSky = 0x7CCBF2;
constexpr uint32_t kSkyDeep = 0x3E8FD0;
constexpr uint32_t kSkyLight = 0xCFF0FF;

struct Pt {
    double x = 0, y = 0;
};
using Poly = std::vector<Pt>;

double Smooth(double t) {
    t = std::clamp(t, 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

double Lerp(double a, double b, double t) {
    return a + (b - a) * t;
}

void Colour(cairo_t* cr, uint32_t rgb, double alpha = 1.0) {
    cairo_set_source_rgba(cr, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0,
                          (rgb & 0xFF) / 255.0, alpha);
}

void Stroke(cairo_t* cr, uint32_t colour, double width, double alpha = 1.0) {
    Colour(cr, colour, alpha);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
}

void AddPoly(cairo_t* cr, const Poly& p, bool close = true) {
    if (p.empty()) return;
    cairo_move_to(cr, p[0].x, p[0].y);
    for (std::size_t i = 1; i < p.size(); ++i) cairo_line_to(cr, p[i].x, p[i].y);
    if (close) cairo_close_path(cr);
}

void Ellipse(cairo_t* cr, double cx, double cy, double rx, double ry, double angle = 0) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, angle);
    cairo_scale(cr, rx, ry);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
    cairo_close_path(cr);
    cairo_restore(cr);
}

// The screen's "lower right" in the current user space, so that the cel shade stays on the lower
// right and the gloss on the upper left whether the cat is mirrored or tilted.
Pt ScreenOffset(cairo_t* cr, double dx, double dy) {
    cairo_device_to_user_distance(cr, &dx, &dy);
    return {dx, dy};
}

// The house shading of one shape: the shade colour, the base colour laid over it moved up and
// left, whatever `inside` paints clipped to the shape, and the Ink outline.
void Cel(cairo_t* cr, const std::function<void()>& path, uint32_t base, uint32_t shade,
         double outline, double offset = 7, const std::function<void()>& inside = {}) {
    path();
    Colour(cr, shade);
    cairo_fill_preserve(cr);
    cairo_save(cr);
    cairo_clip(cr);
    const Pt o = ScreenOffset(cr, -offset, -offset * 6 / 7);
    cairo_save(cr);
    cairo_translate(cr, o.x, o.y);
    path();
    Colour(cr, base);
    cairo_fill(cr);
    cairo_restore(cr);
    if (inside) inside();
    cairo_restore(cr);
    if (outline > 0) {
        path();
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        Stroke(cr, kInk, outline);
    }
}

// A soft gloss spot at the upper left of a shape centred on (cx, cy).
void Gloss(cairo_t* cr, double cx, double cy, double rx, double ry, double alpha = 0.35) {
    const Pt o = ScreenOffset(cr, -rx * 0.9, -ry * 1.2);
    Ellipse(cr, cx + o.x, cy + o.y, rx * 0.45, ry * 0.28, -0.5);
    Colour(cr, kWhite, alpha);
    cairo_fill(cr);
}

// A closed outline as a chain of little bulges: fur.
Poly Fluff(const Poly& p, double step, double bulge) {
    double area = 0;
    for (std::size_t i = 0; i < p.size(); ++i) {
        const Pt& a = p[i];
        const Pt& b = p[(i + 1) % p.size()];
        area += a.x * b.y - b.x * a.y;
    }
    const double side = area > 0 ? 1 : -1;
    // Resample the outline evenly.
    double length = 0;
    for (std::size_t i = 0; i < p.size(); ++i) {
        const Pt& a = p[i];
        const Pt& b = p[(i + 1) % p.size()];
        length += std::hypot(b.x - a.x, b.y - a.y);
    }
    const int n = std::max(6, int(std::round(length / step)));
    const double each = length / n;
    Poly even;
    double walked = 0, next = 0;
    for (std::size_t i = 0; i < p.size() && int(even.size()) < n; ++i) {
        const Pt& a = p[i];
        const Pt& b = p[(i + 1) % p.size()];
        const double d = std::hypot(b.x - a.x, b.y - a.y);
        while (next <= walked + d && int(even.size()) < n) {
            const double t = d > 0 ? (next - walked) / d : 0;
            even.push_back({Lerp(a.x, b.x, t), Lerp(a.y, b.y, t)});
            next += each;
        }
        walked += d;
    }
    Poly out;
    for (std::size_t i = 0; i < even.size(); ++i) {
        const Pt& a = even[i];
        const Pt& b = even[(i + 1) % even.size()];
        const double dx = b.x - a.x, dy = b.y - a.y;
        const double d = std::max(1e-6, std::hypot(dx, dy));
        // Outward normal for this orientation (y grows downwards).
        const double nx = side * dy / d, ny = -side * dx / d;
        for (int k = 0; k < 6; ++k) {
            const double t = k / 6.0;
            const double bump = std::sin(t * kPi) * bulge;
            out.push_back({a.x + dx * t + nx * bump, a.y + dy * t + ny * bump});
        }
    }
    return out;
}

// A rounded body or head: a superellipse of half-sizes (rx, ry) around (cx, cy), fuller towards
// the bottom by `bottom` (0 none) and narrowed towards the bottom by `chin`.
Poly Blob(double cx, double cy, double rx, double ry, double power, double bottom = 0,
          double chin = 0, double top = 0) {
    Poly p;
    const int n = 96;
    for (int i = 0; i < n; ++i) {
        const double a = 2 * kPi * i / n;
        const double c = std::cos(a), s = std::sin(a);
        const double e = 2 / power;
        double x = rx * (c < 0 ? -1 : 1) * std::pow(std::fabs(c), e);
        double y = ry * (s < 0 ? -1 : 1) * std::pow(std::fabs(s), e);
        if (s > 0) {
            x *= 1 + bottom * s * s - chin * s * s * s;
        } else {
            x *= 1 - top * s * s;
        }
        p.push_back({cx + x, cy + y});
    }
    return p;
}

// A tube along a cubic curve, `w0` wide at its start and `w1` at its end, with a round end.
struct Curve {
    Pt a, b, c, d;
    Pt At(double t) const {
        const double u = 1 - t;
        return {u * u * u * a.x + 3 * u * u * t * b.x + 3 * u * t * t * c.x + t * t * t * d.x,
                u * u * u * a.y + 3 * u * u * t * b.y + 3 * u * t * t * c.y + t * t * t * d.y};
    }
};

Poly Tube(const Curve& k, double w0, double w1, double belly = 0) {
    const int n = 32;
    std::vector<Pt> centre, normal;
    std::vector<double> width;
    for (int i = 0; i <= n; ++i) {
        const double t = double(i) / n;
        centre.push_back(k.At(t));
        width.push_back(Lerp(w0, w1, t) / 2 + belly * std::sin(t * kPi));
    }
    for (int i = 0; i <= n; ++i) {
        const Pt& p0 = centre[std::size_t(std::max(0, i - 1))];
        const Pt& p1 = centre[std::size_t(std::min(n, i + 1))];
        const double dx = p1.x - p0.x, dy = p1.y - p0.y;
        const double d = std::max(1e-6, std::hypot(dx, dy));
        normal.push_back({-dy / d, dx / d});
    }
    Poly p;
    for (int i = 0; i <= n; ++i) {
        p.push_back({centre[std::size_t(i)].x + normal[std::size_t(i)].x * width[std::size_t(i)],
                     centre[std::size_t(i)].y + normal[std::size_t(i)].y * width[std::size_t(i)]});
    }
    // Round end.
    const Pt end = centre.back();
    const Pt nn = normal.back();
    const double r = width.back();
    const double a0 = std::atan2(nn.y, nn.x);
    for (int i = 1; i < 12; ++i) {
        const double a = a0 - kPi * i / 12.0;
        p.push_back({end.x + r * std::cos(a), end.y + r * std::sin(a)});
    }
    for (int i = n; i >= 0; --i) {
        p.push_back({centre[std::size_t(i)].x - normal[std::size_t(i)].x * width[std::size_t(i)],
                     centre[std::size_t(i)].y - normal[std::size_t(i)].y * width[std::size_t(i)]});
    }
    return p;
}

void StrokeCurve(cairo_t* cr, const Curve& k, double from, double to) {
    const int n = 24;
    for (int i = 0; i <= n; ++i) {
        const Pt p = k.At(Lerp(from, to, double(i) / n));
        if (i == 0) {
            cairo_move_to(cr, p.x, p.y);
        } else {
            cairo_line_to(cr, p.x, p.y);
        }
    }
}

// ------------------------------------------------------------------ the kinds

enum class TailKind { Curl, Hook, Plume, Long, Up };
enum class Marks { Tabby, Points, Ruff, Stripes, Tuxedo };

struct Look {
    uint32_t Base, Shade;       // coat
    uint32_t Light, LightShade; // muzzle, chest, paws
    uint32_t Mark;              // stripes, points
    uint32_t EarIn;
    uint32_t Iris;
    double BodyW, BodyTop, BodyH; // half width at the haunches, at the shoulders; height
    double HeadX, HeadY, HeadCy;  // head half-sizes and centre height
    double HeadPower, Cheeks, Chin;
    double EarW, EarH, EarX, EarTilt; // ear half-base, height, spacing, outward tilt (degrees)
    double EyeX, EyeY, EyeR, EyeTilt, EyeSquash;
    double ArmX, ArmW, ArmTop; // front legs: spacing, thickness, shoulder height (of BodyH)
    TailKind Tail;
    Marks Marking;
    bool Fluffy;
};

const Look& LookOf(int kind) {
    static const Look looks[] = {
        // 1: round fat ginger tabby
        {0xFFB52E,
         0xE08A12,
         kCream,
         0xEBD5A4,
         0xC8641A,
         kBlush,
         0xA6E05A,
         32,
         27,
         50,
         28,
         22,
         -50,
         2.6,
         0.08,
         0,
         10,
         18,
         16,
         18,
         11,
         -3,
         8,
         0,
         1.0,
         11,
         11,
         0.42,
         TailKind::Curl,
         Marks::Tabby,
         false},
        // 2: lean tall cream cat with dark points
        {0xF6E6C4,
         0xD9BE94,
         kCream,
         0xEBD5A4,
         0x6A4330,
         0xE0A0A0,
         kSky,
         18,
         13,
         48,
         21,
         18,
         -62,
         2.3,
         0,
         0.25,
         11,
         27,
         12,
         26,
         8.5,
         -2,
         7,
         12,
         1.0,
         8,
         9,
         0.7,
         TailKind::Hook,
         Marks::Points,
         false},
        // 3: fluffy blue-grey long-hair
        {0xA9B8DA,
         0x7A8ABA,
         0xE8F2FF,
         0xB8C8E6,
         0x7A8ABA,
         kBlush,
         0xFFB52E,
         30,
         27,
         42,
         27,
         21,
         -50,
         2.4,
         0.12,
         0,
         9,
         16,
         16,
         22,
         10,
         -2,
         8.5,
         0,
         1.0,
         9,
         11,
         0.5,
         TailKind::Plume,
         Marks::Ruff,
         true},
        // 4: silver, bold stripes, very long tail
        {0xD6D0D8,
         0xA8A0AE,
         kWhite,
         0xDAD4DC,
         0x4A3A48,
         kBlush,
         kSun,
         22,
         16,
         44,
         22,
         19,
         -58,
         2.5,
         0.06,
         0.05,
         10,
         21,
         13,
         16,
         8.5,
         -2,
         7.5,
         0,
         1.0,
         8,
         10,
         0.62,
         TailKind::Long,
         Marks::Stripes,
         false},
        // 5: small tuxedo kitten
        {0x4A3C4E,
         0x2E2434,
         kWhite,
         0xD8D4E0,
         0x2E2434,
         kBlush,
         0xA6E05A,
         17,
         13,
         30,
         21,
         18,
         -44,
         2.4,
         0.05,
         0,
         9,
         19,
         12,
         8,
         8.5,
         -1,
         8,
         0,
         1.0,
         7,
         9,
         0.6,
         TailKind::Up,
         Marks::Tuxedo,
         false},
    };
    return looks[std::clamp(kind, 1, 5) - 1];
}

// ------------------------------------------------------------------ poses

enum class Face { Normal, Sly, Startled, Worried, Dazed, Happy, Effort };

struct CatPose {
    int Kind = 1;
    // Body: raised above the ground, squashed (> 0 flatter and wider, < 0 taller), leaning
    // (degrees, clockwise) about the hips.
    double Lift = 0, Squash = 0, Lean = 0;
    double HeadTilt = 0, HeadDy = 0;
    double Tail = 0;  // tail swing, -1 .. 1
    double Ears = 0;  // 0 pricked .. 1 flat
    double Blink = 0; // 0 open .. 1 shut
    double LookX = 0, LookY = 0;
    Face Expression = Face::Sly;
    // Front paws and hind paws in cat units; sitting when Sitting is set (hind legs folded under
    // the haunches, all paws planted).
    bool Sitting = true;
    Pt FrontL{-8, -3}, FrontR{8, -3};
    Pt HindL{-20, -3}, HindR{20, -3};
    double FurUp = 0; // startled fur
    double Aura = -1; // Cat_3's glow phase 0..1, negative none
    bool Sweat = false;
    bool TailHangs = false; // hanging down from a cat in the air
};

struct Frame {
    cairo_matrix_t Body; // cat units -> picture, for the body
    cairo_matrix_t Head;
};

Pt Apply(const cairo_matrix_t& m, Pt p) {
    cairo_matrix_transform_point(&m, &p.x, &p.y);
    return p;
}

// --------------------------------------------------------------- the parts

void DrawAura(cairo_t* cr, const Look& look, double phase) {
    const double pulse = 0.5 + 0.5 * std::sin(phase * 2 * kPi);
    const double cy = -look.BodyH * 0.9;
    const double r = 44 + 4 * pulse;
    cairo_pattern_t* glow = cairo_pattern_create_radial(0, cy, 8, 0, cy, r);
    cairo_pattern_add_color_stop_rgba(glow, 0, 1.0, 0.95, 0.7, 0.55 + 0.15 * pulse);
    cairo_pattern_add_color_stop_rgba(glow, 0.55, 0.81, 0.94, 1.0, 0.35 + 0.1 * pulse);
    cairo_pattern_add_color_stop_rgba(glow, 1, 0.81, 0.94, 1.0, 0.0);
    cairo_set_source(cr, glow);
    Ellipse(cr, 0, cy, r, r * 0.95);
    cairo_fill(cr);
    cairo_pattern_destroy(glow);
    // A ring of little twinkles riding round the glow.
    for (int i = 0; i < 5; ++i) {
        const double a = 2 * kPi * (i / 5.0 + phase * 0.2) - kPi / 2;
        const double x = std::cos(a) * 44, y = cy + std::sin(a) * 40;
        const double s = 3 + 2 * std::sin((phase + i * 0.37) * 2 * kPi);
        if (s < 1.2) continue;
        cairo_move_to(cr, x, y - s * 1.6);
        cairo_line_to(cr, x + s * 0.4, y - s * 0.4);
        cairo_line_to(cr, x + s * 1.6, y);
        cairo_line_to(cr, x + s * 0.4, y + s * 0.4);
        cairo_line_to(cr, x, y + s * 1.6);
        cairo_line_to(cr, x - s * 0.4, y + s * 0.4);
        cairo_line_to(cr, x - s * 1.6, y);
        cairo_line_to(cr, x - s * 0.4, y - s * 0.4);
        cairo_close_path(cr);
        Colour(cr, kWhite, 0.9);
        cairo_fill(cr);
    }
}

// The tail's centre line for a kind and swing, in body units (it hangs from the hips).
Curve TailCurve(const Look& look, double swing, bool dangling) {
    const double s = swing;
    switch (look.Tail) {
    case TailKind::Curl: // short and thick, round the front paws from the right
        if (dangling) return {{10, -8}, {26 + 4 * s, -2}, {24 + 8 * s, 14}, {14 + 10 * s, 12}};
        return {{look.BodyW - 10, -8}, {look.BodyW + 8, -6}, {20, -3}, {-6 + 3 * s, -5}};
    case TailKind::Hook:
        if (dangling) return {{8, -8}, {24 + 6 * s, 4}, {14 + 12 * s, 20}, {22 + 14 * s, 8}};
        return {{10, -6}, {30, -4}, {34 + 3 * s, -30}, {26 + 8 * s, -46 - 2 * s}};
    case TailKind::Plume:
        if (dangling) return {{-12, -10}, {-28 - 4 * s, -2}, {-30 - 8 * s, 10}, {-22 - 10 * s, 12}};
        return {{-16, -10}, {-40 - 2 * s, -12}, {-44 + 2 * s, -40}, {-32 + 6 * s, -58}};
    case TailKind::Long:
        if (dangling) return {{10, -8}, {30 + 6 * s, 0}, {36 + 10 * s, 20}, {22 + 18 * s, 10}};
        return {{12, -8}, {40, -14}, {46 + 4 * s, -52}, {30 + 8 * s, -80 - 3 * s}};
    case TailKind::Up:
    default:
        if (dangling) return {{-8, -6}, {-22 - 4 * s, 2}, {-24 - 8 * s, 18}, {-16 - 10 * s, 20}};
        return {{-8, -6}, {-24, -8}, {-28 + 2 * s, -34}, {-22 + 6 * s, -48}};
    }
}

void DrawTail(cairo_t* cr, const Look& look, const CatPose& pose, bool dangling) {
    const Curve k = TailCurve(look, pose.Tail, dangling);
    double w0 = 9, w1 = 7, belly = 0;
    switch (look.Tail) {
    case TailKind::Curl:
        w0 = 14, w1 = 11;
        break;
    case TailKind::Hook:
        w0 = 7, w1 = 6;
        break;
    case TailKind::Plume:
        w0 = 10, w1 = 8, belly = 6;
        break;
    case TailKind::Long:
        w0 = 9, w1 = 7;
        break;
    case TailKind::Up:
        w0 = 8, w1 = 7;
        break;
    }
    Poly tube = Tube(k, w0, w1, belly);
    if (look.Fluffy) tube = Fluff(tube, 7, 2.2);
    const bool pointed = look.Marking == Marks::Points;
    const uint32_t base = pointed ? look.Mark : look.Base;
    const uint32_t shade = pointed ? 0x4E3024 : look.Shade;
    Cel(
        cr, [&] { AddPoly(cr, tube); }, base, shade, 4, 3,
        [&] {
            cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
            if (look.Marking == Marks::Tabby || look.Marking == Marks::Stripes) {
                // Rings across the tail.
                const double dash[] = {4.5, 5.5};
                cairo_set_dash(cr, dash, 2, 2);
                StrokeCurve(cr, k, 0.12, 1.0);
                Stroke(cr, look.Mark, 30);
                cairo_set_dash(cr, nullptr, 0, 0);
            } else if (look.Marking == Marks::Tuxedo) {
                StrokeCurve(cr, k, 0.8, 1.0);
                cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
                Stroke(cr, kWhite, 30);
            } else if (look.Marking == Marks::Ruff) {
                StrokeCurve(cr, k, 0.25, 0.95);
                cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
                Stroke(cr, look.Light, 4, 0.7);
            }
        });
}

// One leg from the hip or shoulder to the paw, and the paw.
void DrawLeg(cairo_t* cr, const Look& look, Pt from, Pt paw, uint32_t colour, uint32_t shade,
             uint32_t pawColour, double width) {
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(cr, from.x, from.y);
    cairo_line_to(cr, paw.x, paw.y - 2);
    Stroke(cr, kInk, width + 8);
    cairo_move_to(cr, from.x, from.y);
    cairo_line_to(cr, paw.x, paw.y - 2);
    Stroke(cr, shade, width);
    cairo_move_to(cr, from.x - 1.5, from.y - 1);
    cairo_line_to(cr, paw.x - 1.5, paw.y - 3);
    Stroke(cr, colour, std::max(2.0, width - 4));
    // The paw, a little wider than the leg, with two toe lines.
    const double rx = width * 0.5 + 2.5, ry = width * 0.38 + 1.5;
    Ellipse(cr, paw.x, paw.y - ry, rx, ry);
    Colour(cr, pawColour);
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 3);
    Colour(cr, kInk);
    cairo_stroke(cr);
    cairo_move_to(cr, paw.x - rx * 0.3, paw.y - ry * 0.9);
    cairo_line_to(cr, paw.x - rx * 0.3, paw.y - ry * 0.1);
    cairo_move_to(cr, paw.x + rx * 0.3, paw.y - ry * 0.9);
    cairo_line_to(cr, paw.x + rx * 0.3, paw.y - ry * 0.1);
    Stroke(cr, kInk, 2);
    (void)look;
}

Poly BodyShape(const Look& look) {
    const double h = look.BodyH;
    // Wide haunches at the bottom, narrower shoulders.
    Poly p = Blob(0, -h / 2, (look.BodyW + look.BodyTop) / 2, h / 2, 2.4,
                  (look.BodyW - look.BodyTop) / (look.BodyW + look.BodyTop) * 2.2, 0, 0.05);
    if (look.Fluffy) p = Fluff(p, 8, 2.5);
    return p;
}

void DrawBodyMarks(cairo_t* cr, const Look& look, bool back) {
    const double h = look.BodyH, w = look.BodyW;
    switch (look.Marking) {
    case Marks::Tabby:
        for (int side = -1; side <= 1; side += 2) {
            for (int i = 0; i < 3; ++i) {
                const double y = -h * 0.72 + i * 11;
                cairo_move_to(cr, side * (w + 2), y);
                cairo_curve_to(cr, side * (w - 6), y - 2, side * (w - 10), y + 2, side * (w - 13),
                               y + 5);
            }
        }
        if (back) {
            for (int i = 0; i < 3; ++i) {
                cairo_move_to(cr, -8, -h * 0.8 + i * 10);
                cairo_line_to(cr, 8, -h * 0.8 + i * 10);
            }
        }
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        Stroke(cr, look.Mark, 4);
        break;
    case Marks::Stripes:
        for (int i = 0; i < 4; ++i) {
            const double y = -h * 0.86 + i * 10.5;
            for (int side = -1; side <= 1; side += 2) {
                cairo_move_to(cr, side * (w + 4), y - 3);
                cairo_curve_to(cr, side * (w - 4), y - 1, side * (w - 8), y + 1, side * (w - 15),
                               y + 4);
                cairo_line_to(cr, side * (w - 13), y + 7);
                cairo_curve_to(cr, side * (w - 6), y + 6, side * (w - 2), y + 5, side * (w + 4),
                               y + 5);
                cairo_close_path(cr);
            }
        }
        if (back) {
            for (int i = 0; i < 4; ++i) {
                const double y = -h * 0.86 + i * 10.5;
                Ellipse(cr, 0, y + 2, 9, 2.6);
            }
        }
        Colour(cr, look.Mark);
        cairo_fill(cr);
        break;
    default:
        break;
    }
}

// The light chest: a bib under the chin.
void DrawChest(cairo_t* cr, const Look& look) {
    const double h = look.BodyH;
    if (look.Marking == Marks::Tuxedo) {
        cairo_move_to(cr, -10, -h - 2);
        cairo_curve_to(cr, -12, -h * 0.5, -7, -6, 0, -2);
        cairo_curve_to(cr, 7, -6, 12, -h * 0.5, 10, -h - 2);
        cairo_close_path(cr);
        Colour(cr, kWhite);
        cairo_fill(cr);
        return;
    }
    if (look.Marking == Marks::Points) return;
    Ellipse(cr, 0, -h * 0.42, look.BodyTop * 0.62, h * 0.42);
    Colour(cr, look.Light, look.Marking == Marks::Ruff ? 0.8 : 1.0);
    cairo_fill(cr);
}

void DrawEar(cairo_t* cr, const Look& look, const CatPose& pose, int side) {
    cairo_save(cr);
    cairo_translate(cr, side * look.EarX, -look.HeadY * 0.5);
    cairo_rotate(cr, side * (look.EarTilt + 28 * pose.Ears) * kPi / 180);
    const double w = look.EarW, h = look.EarH * (1 - 0.35 * pose.Ears);
    auto ear = [&](double s, double dy) {
        cairo_move_to(cr, -w * s, dy);
        cairo_line_to(cr, -w * 0.22 * s, -h * s * 0.9 + dy);
        cairo_curve_to(cr, -w * 0.08 * s, -h * s * 1.04 + dy, w * 0.08 * s, -h * s * 1.04 + dy,
                       w * 0.22 * s, -h * s * 0.9 + dy);
        cairo_line_to(cr, w * s, dy);
        cairo_close_path(cr);
    };
    const bool pointed = look.Marking == Marks::Points;
    Cel(
        cr, [&] { ear(1, 2); }, pointed ? look.Mark : look.Base, pointed ? 0x4E3024 : look.Shade, 4,
        3);
    ear(0.55, 0);
    Colour(cr, look.EarIn);
    cairo_fill(cr);
    if (look.Fluffy || look.Marking == Marks::Tuxedo) {
        // Tufts of light fur inside the ear.
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        for (int i = -1; i <= 1; ++i) {
            cairo_move_to(cr, i * w * 0.25, -1);
            cairo_line_to(cr, i * w * 0.45, -h * 0.5);
        }
        Stroke(cr, look.Fluffy ? kWhite : 0xE8E4EE, 2);
    }
    cairo_restore(cr);
}

void DrawEye(cairo_t* cr, const Look& look, const CatPose& pose, double ex, double ey, int side) {
    const double r = look.EyeR;
    cairo_save(cr);
    cairo_translate(cr, ex, ey);
    cairo_rotate(cr, -side * look.EyeTilt * kPi / 180);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    const double rx = r * 0.92, ry = r * look.EyeSquash;
    switch (pose.Expression) {
    case Face::Happy:
        cairo_arc(cr, 0, 2, r * 0.7, kPi * 1.15, kPi * 1.85);
        Stroke(cr, kInk, 3.5);
        break;
    case Face::Effort:
        cairo_move_to(cr, -5 * side, -5);
        cairo_line_to(cr, 5 * side, 0);
        cairo_line_to(cr, -5 * side, 5);
        Stroke(cr, kInk, 3.5);
        break;
    case Face::Dazed: {
        Ellipse(cr, 0, 0, rx, ry);
        Colour(cr, kWhite);
        cairo_fill_preserve(cr);
        Stroke(cr, kInk, 3);
        for (int i = 0; i <= 40; ++i) {
            const double t = i / 40.0;
            const double a = t * 2.2 * 2 * kPi * side;
            const double rr = 0.8 + t * (r - 3.2);
            if (i == 0) {
                cairo_move_to(cr, rr * std::cos(a), rr * std::sin(a));
            } else {
                cairo_line_to(cr, rr * std::cos(a), rr * std::sin(a));
            }
        }
        Stroke(cr, kInk, 2);
        break;
    }
    case Face::Startled: {
        // Eyes popped wide: all white with a small pupil.
        Ellipse(cr, 0, 0, rx * 1.12, ry * 1.15);
        Colour(cr, kWhite);
        cairo_fill_preserve(cr);
        Stroke(cr, kInk, 3);
        Ellipse(cr, pose.LookX * 0.6, pose.LookY * 0.6, r * 0.32, r * 0.36);
        Colour(cr, kInk);
        cairo_fill(cr);
        break;
    }
    default: {
        if (pose.Blink >= 0.95) {
            cairo_arc(cr, 0, -1, r * 0.75, kPi * 0.15, kPi * 0.85);
            Stroke(cr, kInk, 3);
            break;
        }
        // A coloured iris, a tall cat's pupil and a glint.
        Ellipse(cr, 0, 0, rx, ry);
        Colour(cr, look.Iris);
        cairo_fill(cr);
        cairo_save(cr);
        Ellipse(cr, 0, 0, rx, ry);
        cairo_clip(cr);
        Ellipse(cr, 1.5, 2.5, rx, ry);
        Colour(cr, kWhite, 0.25);
        cairo_fill(cr);
        const double px = std::clamp(pose.LookX, -rx + 3, rx - 3);
        const double py = std::clamp(pose.LookY, -ry + 4, ry - 4);
        const double pw = pose.Expression == Face::Worried ? r * 0.3 : r * 0.36;
        Ellipse(cr, px, py, pw, ry * 0.78);
        Colour(cr, kInk);
        cairo_fill(cr);
        Ellipse(cr, px + pw * 0.9, py - ry * 0.38, std::max(1.6, r * 0.22),
                std::max(1.6, r * 0.24));
        Colour(cr, kWhite);
        cairo_fill(cr);
        // Lids: the sly half-lid of a cat up to something, or a blink.
        double lid = pose.Blink;
        if (pose.Expression == Face::Sly) lid = std::max(lid, 0.3);
        if (lid > 0) {
            const double edge = -ry + 2 * ry * lid;
            cairo_rectangle(cr, -rx - 2, -ry - 2, 2 * rx + 4, edge + ry + 2);
            Colour(cr, look.Marking == Marks::Points ? 0x8A6048 : look.Base);
            cairo_fill(cr);
            cairo_move_to(cr, -rx, edge + side * 0.0);
            cairo_line_to(cr, rx, edge);
            Stroke(cr, kInk, 2.5);
        }
        cairo_restore(cr);
        Ellipse(cr, 0, 0, rx, ry);
        Stroke(cr, kInk, 3);
        break;
    }
    }
    cairo_restore(cr);
    // Brows for feelings.
    if (pose.Expression == Face::Worried || pose.Expression == Face::Effort ||
        pose.Expression == Face::Startled) {
        const double by = ey - r * look.EyeSquash - 5;
        const double in = pose.Expression == Face::Effort ? 3 : -3;
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_move_to(cr, ex - 6 * side, by + 1 - (pose.Expression == Face::Startled ? 3 : 0));
        cairo_line_to(cr, ex + 5 * side, by + in);
        Stroke(cr, kInk, 2.5);
    }
}

void DrawWhiskers(cairo_t* cr, double mx, double my, double spread, double droop) {
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int side = -1; side <= 1; side += 2) {
        for (int i = -1; i <= 1; ++i) {
            const double x0 = mx + side * 7, y0 = my + i * 2.5;
            cairo_move_to(cr, x0, y0);
            cairo_curve_to(cr, x0 + side * spread * 0.5, y0 + i * 2 - 1 + droop * 0.5,
                           x0 + side * spread * 0.85, y0 + i * 4 + droop, x0 + side * spread,
                           y0 + i * 5.5 + droop * 1.4);
        }
    }
    Stroke(cr, kInk, 2);
}

void DrawHead(cairo_t* cr, const Look& look, const CatPose& pose, bool back) {
    const double hx = look.HeadX, hy = look.HeadY;
    DrawEar(cr, look, pose, -1);
    DrawEar(cr, look, pose, 1);
    Poly head = Blob(0, 0, hx, hy, look.HeadPower, look.Cheeks, look.Chin);
    if (look.Fluffy) head = Fluff(head, 7, 2.4);
    const bool pointed = look.Marking == Marks::Points;
    const double my = hy * 0.36; // the mouth
    Cel(
        cr, [&] { AddPoly(cr, head); }, look.Base, look.Shade, 4, 6,
        [&] {
            if (back) {
                Gloss(cr, 0, 0, hx, hy);
                if (look.Marking == Marks::Stripes || look.Marking == Marks::Tabby) {
                    for (int i = -1; i <= 1; ++i) {
                        cairo_move_to(cr, i * 8, -hy - 2);
                        cairo_line_to(cr, i * 6, -hy * 0.2);
                    }
                    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
                    Stroke(cr, look.Mark, look.Marking == Marks::Stripes ? 5 : 3.5);
                }
                return;
            }
            switch (look.Marking) {
            case Marks::Tabby:
            case Marks::Stripes: {
                const bool bold = look.Marking == Marks::Stripes;
                // Three stripes down the forehead, two on each cheek.
                for (int i = -1; i <= 1; ++i) {
                    const double x = i * (bold ? 7.5 : 6.5);
                    const double len = i == 0 ? hy * 0.62 : hy * 0.48;
                    const double w = bold ? 3.6 : 2.6;
                    cairo_move_to(cr, x - w, -hy - 2);
                    cairo_line_to(cr, x + w, -hy - 2);
                    cairo_line_to(cr, x + 0.8 * i, -hy + len);
                    cairo_close_path(cr);
                }
                for (int side = -1; side <= 1; side += 2) {
                    for (int i = 0; i < 2; ++i) {
                        const double y = hy * 0.02 + i * 6.5;
                        cairo_move_to(cr, side * (hx + 2), y - 2.2);
                        cairo_line_to(cr, side * (hx - (bold ? 11 : 8)), y + 0.5);
                        cairo_line_to(cr, side * (hx + 2), y + 2.6);
                        cairo_close_path(cr);
                    }
                }
                Colour(cr, look.Mark);
                cairo_fill(cr);
                break;
            }
            case Marks::Points: {
                // The dark mask over the muzzle and round the eyes.
                Ellipse(cr, 0, hy * 0.22, hx * 0.62, hy * 0.62);
                Colour(cr, 0x8A6048);
                cairo_fill(cr);
                Ellipse(cr, 0, hy * 0.34, hx * 0.4, hy * 0.42);
                Colour(cr, look.Mark);
                cairo_fill(cr);
                break;
            }
            case Marks::Tuxedo: {
                // White muzzle with a blaze up between the eyes.
                cairo_move_to(cr, -2.5, -hy - 2);
                cairo_curve_to(cr, -5, -hy * 0.4, -4, -2, -hx * 0.52, my - 1);
                cairo_curve_to(cr, -hx * 0.62, hy + 4, hx * 0.62, hy + 4, hx * 0.52, my - 1);
                cairo_curve_to(cr, 4, -2, 5, -hy * 0.4, 2.5, -hy - 2);
                cairo_close_path(cr);
                Colour(cr, kWhite);
                cairo_fill(cr);
                break;
            }
            case Marks::Ruff:
                break;
            }
            Gloss(cr, 0, 0, hx, hy);
        });
    if (back) return;
    if (look.Marking != Marks::Points && look.Marking != Marks::Tuxedo) {
        // The light muzzle: two round whisker pads.
        for (int side = -1; side <= 1; side += 2) {
            Ellipse(cr, side * 5.5, my + 1.5, 7.5, 6);
        }
        Colour(cr, look.Light);
        cairo_fill(cr);
    }
    // Blushing cheeks.
    if (pose.Expression != Face::Startled) {
        for (int side = -1; side <= 1; side += 2)
            Ellipse(cr, side * (hx * 0.66), hy * 0.28, 4.5, 3);
        Colour(cr, kBlush, pointed ? 0.5 : 0.75);
        cairo_fill(cr);
    }
    DrawEye(cr, look, pose, -look.EyeX, look.EyeY, 1);
    DrawEye(cr, look, pose, look.EyeX, look.EyeY, -1);
    // Nose, mouth.
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    const double ny = my - 4.5;
    cairo_move_to(cr, -4, ny - 2);
    cairo_line_to(cr, 4, ny - 2);
    cairo_line_to(cr, 0, ny + 2.5);
    cairo_close_path(cr);
    Colour(cr, kNose);
    cairo_fill_preserve(cr);
    Stroke(cr, kInk, 2.5);
    const uint32_t mouthInk = pointed ? 0x2A1A14 : kInk;
    switch (pose.Expression) {
    case Face::Startled:
    case Face::Worried: {
        const double open = pose.Expression == Face::Startled ? 1.0 : 0.6;
        Ellipse(cr, 0, my + 3.5, 3.8, 4 * open);
        Colour(cr, kInk);
        cairo_fill_preserve(cr);
        Stroke(cr, kInk, 2);
        Ellipse(cr, 0, my + 5 * open, 2.4, 1.6 * open);
        Colour(cr, kBlush);
        cairo_fill(cr);
        break;
    }
    case Face::Effort:
        cairo_move_to(cr, -5, my + 2);
        cairo_line_to(cr, 5, my + 2);
        Stroke(cr, mouthInk, 2.5);
        break;
    default: {
        // The cat's mouth with a sly smile and one little fang.
        cairo_move_to(cr, 0, ny + 2);
        cairo_line_to(cr, 0, my);
        cairo_move_to(cr, -6, my - 0.5);
        cairo_curve_to(cr, -4.5, my + 3, -1, my + 3, 0, my);
        cairo_curve_to(cr, 1, my + 3, 5, my + 3.5, 7, my - 1.5);
        Stroke(cr, mouthInk, 2.5);
        if (pose.Expression == Face::Sly || pose.Expression == Face::Happy) {
            cairo_move_to(cr, 2.2, my + 2.2);
            cairo_line_to(cr, 4.8, my + 2.0);
            cairo_line_to(cr, 3.6, my + 5.2);
            cairo_close_path(cr);
            Colour(cr, kWhite);
            cairo_fill_preserve(cr);
            Stroke(cr, kInk, 1.5);
        }
        break;
    }
    }
    DrawWhiskers(cr, 0, my - 1, hx * 0.75, pose.Expression == Face::Dazed ? 4 : 0);
    if (pose.Sweat) {
        cairo_move_to(cr, hx + 2, -hy * 0.6);
        cairo_curve_to(cr, hx + 7, -hy * 0.2, hx + 6, -hy * 0.05, hx + 2, -hy * 0.05);
        cairo_curve_to(cr, hx - 2, -hy * 0.05, hx - 3, -hy * 0.2, hx + 2, -hy * 0.6);
        cairo_close_path(cr);
        Colour(cr, kSkyLight);
        cairo_fill_preserve(cr);
        Stroke(cr, kSkyDeep, 2);
    }
}

// Fur standing on end: little spikes round the back and the head.
void DrawFurUp(cairo_t* cr, const Look& look, double amount) {
    if (amount <= 0) return;
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    const double h = look.BodyH;
    for (int side = -1; side <= 1; side += 2) {
        for (int i = 0; i < 3; ++i) {
            const double y = -h * 0.45 - i * 9;
            const double x = side * (look.BodyTop + 6 - i * 2);
            cairo_move_to(cr, x, y);
            cairo_line_to(cr, x + side * 7 * amount, y - 3 * amount);
        }
    }
    Stroke(cr, kInk, 2.5);
}

// ------------------------------------------------------------------ the front view

void DrawFrontCat(cairo_t* cr, const CatPose& pose, double gx, double gy, bool back = false) {
    const Look& look = LookOf(pose.Kind);
    cairo_save(cr);
    cairo_translate(cr, gx, gy);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);

    if (pose.Aura >= 0) DrawAura(cr, look, pose.Aura);

    // The body's frame: lifted, squashed about the ground, leaning about the hips.
    cairo_matrix_t base;
    cairo_get_matrix(cr, &base);
    cairo_matrix_t body = base;
    cairo_matrix_translate(&body, 0, -pose.Lift);
    cairo_matrix_translate(&body, 0, -10);
    cairo_matrix_rotate(&body, pose.Lean * kPi / 180);
    cairo_matrix_translate(&body, 0, 10);
    cairo_matrix_scale(&body, 1 + 0.6 * pose.Squash, 1 - pose.Squash);
    cairo_matrix_t head = body;
    cairo_matrix_translate(&head, 0, look.HeadCy + pose.HeadDy);
    cairo_matrix_rotate(&head, pose.HeadTilt * kPi / 180);

    // Points of the body in the cat's own units, for the legs.
    cairo_matrix_t toLocal = base;
    cairo_matrix_invert(&toLocal);
    auto bodyPoint = [&](Pt p) {
        Pt d = Apply(body, p);
        return Apply(toLocal, d);
    };

    const bool pointed = look.Marking == Marks::Points;
    const uint32_t legBase = pointed ? look.Mark : look.Base;
    const uint32_t legShade = pointed ? 0x4E3024 : look.Shade;
    const uint32_t pawColour = pointed ? look.Mark
                               : (look.Marking == Marks::Tuxedo || pose.Kind == 1 || pose.Kind == 4)
                                   ? look.Light
                                   : look.Base;
    const bool curlInFront = look.Tail == TailKind::Curl && !pose.TailHangs && !back;

    // Behind the body: the tail (unless it curls round the front) and dangling hind legs.
    cairo_set_matrix(cr, &body);
    if (!curlInFront && !back) DrawTail(cr, look, pose, pose.TailHangs);
    cairo_set_matrix(cr, &base);
    if (!pose.Sitting) {
        DrawLeg(cr, look, bodyPoint({-look.BodyW * 0.5, -8}), pose.HindL, legBase, legShade,
                pawColour, look.ArmW + 1);
        DrawLeg(cr, look, bodyPoint({look.BodyW * 0.5, -8}), pose.HindR, legBase, legShade,
                pawColour, look.ArmW + 1);
    }

    // The body.
    cairo_set_matrix(cr, &body);
    const Poly shape = BodyShape(look);
    Cel(
        cr, [&] { AddPoly(cr, shape); }, look.Base, look.Shade, 4, 7,
        [&] {
            if (!back) DrawChest(cr, look);
            DrawBodyMarks(cr, look, back);
            Gloss(cr, 0, -look.BodyH / 2, look.BodyW, look.BodyH / 2, 0.3);
        });
    if (pose.Sitting) {
        // Haunches folded at the sides, hind paws peeking out in front of them.
        for (int side = -1; side <= 1; side += 2) {
            const double hx = side * (look.BodyW - 6);
            cairo_save(cr);
            Cel(
                cr, [&] { Ellipse(cr, hx, -look.BodyH * 0.22, 9, look.BodyH * 0.22); }, look.Base,
                look.Shade, 3, 3,
                [&] {
                    if (look.Marking == Marks::Stripes || look.Marking == Marks::Tabby) {
                        cairo_move_to(cr, hx - 6, -look.BodyH * 0.3);
                        cairo_line_to(cr, hx + 6, -look.BodyH * 0.26);
                        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
                        Stroke(cr, look.Mark, 3);
                    }
                });
            cairo_restore(cr);
        }
    }
    cairo_set_matrix(cr, &base);
    if (pose.Sitting) {
        for (int side = -1; side <= 1; side += 2) {
            const Pt paw = side < 0 ? pose.HindL : pose.HindR;
            const double rx = 7.5, ry = 4.5;
            Ellipse(cr, paw.x, paw.y - ry, rx, ry);
            Colour(cr, pawColour);
            cairo_fill_preserve(cr);
            Stroke(cr, kInk, 3);
        }
    }
    if (curlInFront) {
        // Wrapped round the front, under the front paws.
        cairo_set_matrix(cr, &body);
        DrawTail(cr, look, pose, false);
        cairo_set_matrix(cr, &base);
    }
    // Front legs; raised ones reach out from the shoulders beside the head.
    if (!back) {
        for (int side = -1; side <= 1; side += 2) {
            const Pt paw = side < 0 ? pose.FrontL : pose.FrontR;
            const Pt low = bodyPoint({side * look.ArmX, -look.BodyH * look.ArmTop});
            const double up = std::clamp((low.y - paw.y) / 24.0, 0.0, 1.0);
            const Pt shoulder = bodyPoint({side * Lerp(look.ArmX, look.BodyTop + 1, up),
                                           -look.BodyH * Lerp(look.ArmTop, 0.72, up)});
            DrawLeg(cr, look, shoulder, paw, legBase, legShade, pawColour, look.ArmW);
        }
    }
    if (back) {
        cairo_set_matrix(cr, &body);
        DrawTail(cr, look, pose, pose.TailHangs);
    }
    cairo_set_matrix(cr, &body);
    DrawFurUp(cr, look, pose.FurUp);
    if (look.Marking == Marks::Ruff && !back) {
        // The long-hair's ruff under its chin.
        Poly ruff = Fluff(
            Blob(0, look.HeadCy + look.HeadY * 0.75, look.HeadX * 0.95, look.HeadY * 0.55, 2.2), 7,
            2.6);
        Cel(
            cr, [&] { AddPoly(cr, ruff); }, look.Light, look.LightShade, 3, 3);
    }
    cairo_set_matrix(cr, &head);
    DrawHead(cr, look, pose, back);
    cairo_restore(cr);
}

// ------------------------------------------------------------------ sheets

// Where the cat stands in a 130 x 130 pattern: Cat_1 is drawn 5 units lower than the others.
Pt Ground(int kind) {
    return {65, kind == 1 ? 119.0 : 114.0};
}

// Sitting on its cell, played back and forth slowly: breathing, the tail swishing, looking
// round from left to right, blinking once on the way.
CatPose Idle(int kind, int f, int n) {
    CatPose p;
    p.Kind = kind;
    const double t = n > 1 ? double(f) / (n - 1) : 0.0;
    const double s = Smooth(t);
    p.Squash = Lerp(0.02, -0.02, s);
    p.Tail = Lerp(-1, 1, s);
    p.LookX = Lerp(-2.5, 2.5, s);
    p.LookY = Lerp(0.5, -1, s);
    p.HeadTilt = Lerp(-4, 4, s);
    p.Ears = f >= 12 && f <= 13 ? 0.25 : 0;
    if (n >= 16 && (f == 6 || f == 8)) p.Blink = 0.6;
    if (n >= 16 && f == 7) p.Blink = 1;
    if (kind == 3) p.Aura = t * 0.5;
    return p;
}

// Cat_5's idle is also its jump: patterns 0 and 1 are the crouch before a leap (the game
// alternates them), 4 is the leap itself, and on landing the game plays 4 down to 0. Played
// forward, the sheet is a kitten bouncing on the spot.
CatPose Bounce(int f) {
    CatPose p;
    p.Kind = 5;
    p.Expression = Face::Sly;
    // Lift, squash and tail for each pattern.
    static const double lift[16] = {0, 0, 1, 4, 8, 11, 12, 11, 8, 4, 0, 0, 0, 0, 0, 0};
    static const double squash[16] = {0.16,  0.16,  0.02, -0.1, -0.14, -0.08, -0.04, -0.02,
                                      -0.04, -0.08, 0.14, 0.1,  0.06,  0.08,  0.11,  0.14};
    p.Lift = lift[f];
    p.Squash = squash[f];
    p.Tail = f == 0 ? -1 : f == 1 ? 1 : std::sin(f * 2 * kPi / 16);
    p.LookY = f < 2 ? 2 : -1;
    p.Ears = f < 2 ? 0.15 : 0;
    p.HeadDy = squash[f] * 14;
    const bool air = lift[f] > 0;
    if (air) {
        // Legs stretched down, forepaws a little forward.
        p.Sitting = false;
        p.FrontL = {-9, -p.Lift - 1};
        p.FrontR = {9, -p.Lift - 1};
        p.HindL = {-14, -p.Lift + 2};
        p.HindR = {14, -p.Lift + 2};
        // Eyes stay open: shut ones would be ink lines lost on the black face.
        p.Expression = Face::Normal;
        p.LookY = -2;
    }
    if (f < 2) {
        p.HindL = {-19, -3};
        p.HindR = {19, -3};
        p.FrontL = {-10, -3};
        p.FrontR = {10, -3};
    }
    return p;
}

// Falling onto the board: legs spread, tail up, eyes wide.
CatPose Drop(int kind) {
    CatPose p;
    p.Kind = kind;
    p.Sitting = false;
    p.Expression = Face::Startled;
    p.Lift = 14;
    p.Squash = -0.06;
    p.FrontL = {-40, -52};
    p.FrontR = {40, -52};
    p.HindL = {-26, -6};
    p.HindR = {26, -6};
    p.Ears = 0.6;
    p.FurUp = 1;
    p.Tail = 1;
    p.TailHangs = true;
    return p;
}

// Caught: startled into the air, then looking up at the birds and reaching for them as they
// lift it; the last pattern leads into the carried-off sheet.
CatPose Match(int kind, int f, int n) {
    CatPose p;
    p.Kind = kind;
    const double t = n > 1 ? double(f) / (n - 1) : 0.0;
    if (t < 0.3) {
        // The start: a jump with the fur up.
        const double u = t / 0.3;
        const double hop = std::sin(u * kPi);
        p.Sitting = hop < 0.05;
        p.Lift = 16 * hop;
        p.Squash = u < 0.15 ? 0.12 : -0.1 * hop;
        p.Expression = Face::Startled;
        p.FurUp = std::min(1.0, u * 3);
        p.Ears = 0.8;
        p.Tail = 1;
        p.FrontL = {-16, -p.Lift - 10};
        p.FrontR = {16, -p.Lift - 10};
        p.HindL = {-20, -p.Lift - 2};
        p.HindR = {20, -p.Lift - 2};
        if (p.Sitting) {
            p.FrontL = {-8, -3};
            p.FrontR = {8, -3};
            p.HindL = {-20, -3};
            p.HindR = {20, -3};
        }
    } else {
        // Looking up and stretching the forepaws up to the birds, lifting off at the end.
        const double u = Smooth((t - 0.3) / 0.7);
        const double lift = Smooth((t - 0.7) / 0.3) * 6;
        p.Sitting = false;
        p.Expression = Face::Worried;
        p.Sweat = t > 0.55;
        p.LookY = -3;
        p.HeadDy = -2 * u;
        p.Lift = lift;
        p.Squash = Lerp(0.04, -0.08, u);
        p.Ears = Lerp(0.6, 0.3, u);
        p.FurUp = 1 - u;
        p.Tail = std::sin(t * 9);
        // Ending where the carried-off sheet starts: forepaws up in the carrying birds' feet.
        p.FrontL = {Lerp(-14, -52, u), Lerp(-30, -70, u) - lift};
        p.FrontR = {Lerp(14, 44, u), Lerp(-30, -70, u) - lift};
        p.HindL = {Lerp(-20, -14, u), -3 - lift};
        p.HindR = {Lerp(20, 14, u), -3 - lift};
    }
    return p;
}

// Carried off by the birds: hanging from the forepaws held up to either side, swinging,
// dizzy.
CatPose Fly(int kind, int f, int n) {
    CatPose p;
    p.Kind = kind;
    const double t = n > 1 ? double(f) / (n - 1) : 0.0;
    const double s = Lerp(-1, 1, Smooth(t));
    p.Sitting = false;
    p.Expression = Face::Dazed;
    p.Lean = 8 * s;
    p.HeadTilt = -6 * s;
    p.Lift = 6;
    p.Squash = -0.1;
    // The tall cat's head would leave the pattern: it hangs between its shoulders.
    if (kind == 2) p.HeadDy = 6;
    p.Tail = s;
    p.Ears = 0.3;
    // In the feet of the two birds that the game holds at the cat's (13, 5) and (107, 5).
    p.FrontL = {-47, -68};
    p.FrontR = {49, -68};
    p.HindL = {-10 + 6 * s, 4};
    p.HindR = {10 + 6 * s, 4};
    p.TailHangs = true;
    return p;
}

// ------------------------------------------------------------------ walking

// Cat_4 walking across the board, seen from the side (facing right; the left sheet is its
// mirror image, lit from the same side). One stride per 16 patterns: the legs move in the
// cat's walking order, the body bobs twice, the long tail sways.
void DrawSideCat(cairo_t* cr, int kind, int f, double gx, double gy, bool mirror) {
    const Look& look = LookOf(kind);
    const double phase = 2 * kPi * f / 16.0;
    cairo_save(cr);
    cairo_translate(cr, gx, gy);
    if (mirror) cairo_scale(cr, -1, 1);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    const double bob = -1.5 * std::fabs(std::sin(phase));
    const double by = -31 + bob; // body centre
    // Legs: shoulder and hip, each with its own phase (hind left, front left, hind right,
    // front right).
    struct LegAt {
        double X, Phase;
        bool Far;
    };
    const LegAt legs[] = {
        {-15, 0, true}, {15, kPi / 2, true}, {-15, kPi, false}, {15, 3 * kPi / 2, false}};
    auto drawLeg = [&](const LegAt& leg) {
        const double a = phase + leg.Phase;
        const double dx = 8 * std::sin(a);
        const double lift = std::max(0.0, std::cos(a)) * 6;
        const Pt top{leg.X + (leg.Far ? 3 : 0), by + 5};
        const Pt paw{leg.X + dx + (leg.Far ? 3 : 0), -3 - lift};
        const uint32_t c = leg.Far ? look.Shade : look.Base;
        DrawLeg(cr, look, top, paw, c, leg.Far ? 0x8A8290 : look.Shade,
                leg.Far ? look.LightShade : look.Light, look.ArmW);
    };
    // The tail from the rump, up and curling over.
    const double sway = std::sin(phase);
    const Curve tail{
        {-22, by - 4}, {-44, by - 8}, {-50 + 3 * sway, by - 40}, {-38 + 6 * sway, by - 58}};
    CatPose pose;
    pose.Kind = kind;
    pose.Tail = sway;
    {
        const Poly tube = Tube(tail, 9, 7);
        Cel(
            cr, [&] { AddPoly(cr, tube); }, look.Base, look.Shade, 4, 3,
            [&] {
                const double dash[] = {4.5, 5.5};
                cairo_set_dash(cr, dash, 2, 2);
                StrokeCurve(cr, tail, 0.12, 1.0);
                Stroke(cr, look.Mark, 30);
                cairo_set_dash(cr, nullptr, 0, 0);
            });
    }
    drawLeg(legs[0]);
    drawLeg(legs[1]);
    // The body, a long bean with bands across it.
    const Poly body = Blob(0, by, 27, 14, 2.4, 0, 0, 0);
    Cel(
        cr, [&] { AddPoly(cr, body); }, look.Base, look.Shade, 4, 6,
        [&] {
            Ellipse(cr, 4, by + 10, 20, 6);
            Colour(cr, look.Light);
            cairo_fill(cr);
            for (int i = 0; i < 4; ++i) {
                const double x = -18 + i * 10.5;
                cairo_move_to(cr, x - 3, by - 16);
                cairo_curve_to(cr, x - 1, by - 8, x + 1, by - 4, x - 1, by + 3);
                cairo_line_to(cr, x + 3, by + 2);
                cairo_curve_to(cr, x + 5, by - 4, x + 4, by - 9, x + 4, by - 16);
                cairo_close_path(cr);
            }
            Colour(cr, look.Mark);
            cairo_fill(cr);
            Gloss(cr, 0, by, 27, 14, 0.3);
        });
    drawLeg(legs[2]);
    drawLeg(legs[3]);
    // The head at the front, turned towards the player, looking where it goes.
    pose.Expression = Face::Sly;
    pose.LookX = 3;
    pose.HeadTilt = 4 * std::sin(phase * 2);
    cairo_translate(cr, 22, by - 16 + bob * 0.5);
    cairo_rotate(cr, pose.HeadTilt * kPi / 180);
    cairo_scale(cr, 0.92, 0.92);
    DrawHead(cr, look, pose, false);
    cairo_restore(cr);
}

// Walking towards the player or away: the front or back view padding along, paws lifting in
// turn, the body bobbing, the tail swaying.
CatPose Pad(int kind, int f, bool away) {
    CatPose p;
    p.Kind = kind;
    const double phase = 2 * kPi * f / 16.0;
    p.Sitting = true;
    p.Squash = -0.04 + 0.03 * std::fabs(std::cos(phase));
    p.Lift = 1.5 * std::fabs(std::sin(phase));
    p.Tail = std::sin(phase);
    p.HeadTilt = 3 * std::sin(phase);
    p.LookY = 2;
    const double l = std::max(0.0, std::sin(phase)) * 6;
    const double r = std::max(0.0, -std::sin(phase)) * 6;
    p.FrontL = {-8, -3 - l};
    p.FrontR = {8, -3 - r};
    p.HindL = {-20, -3 - (away ? r : 0)};
    p.HindR = {20, -3 - (away ? l : 0)};
    return p;
}

// ------------------------------------------------------------------ shadow and bubbles

// The shadow that warns of a cat about to drop: a soft dark ellipse in the middle of the
// pattern (the game grows it from its centre and lays it over the cell).
void DrawShadow(cairo_t* cr, double cx, double cy) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, 1, 0.42);
    cairo_pattern_t* soft = cairo_pattern_create_radial(0, 0, 0, 0, 0, 34);
    cairo_pattern_add_color_stop_rgba(soft, 0, 0.12, 0.06, 0.12, 0.85);
    cairo_pattern_add_color_stop_rgba(soft, 0.6, 0.12, 0.06, 0.12, 0.75);
    cairo_pattern_add_color_stop_rgba(soft, 1, 0.12, 0.06, 0.12, 0.0);
    cairo_set_source(cr, soft);
    cairo_arc(cr, 0, 0, 34, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(soft);
    cairo_restore(cr);
}

void Puffs(cairo_t* cr, const std::vector<std::array<double, 3>>& puffs, double grow) {
    for (const auto& q : puffs) {
        cairo_new_sub_path(cr);
        cairo_arc(cr, q[0], q[1], q[2] + grow, 0, 2 * kPi);
    }
}

// A thought bubble over a caught cat: a cloud with a trail of little puffs leading down to the
// cat (to the lower left, or to the lower right for the bubble the game shows left of the
// cat), holding a picture of what the cat thinks of being caught.
void DrawBubble(cairo_t* cr, int symbol, double w, double h) {
    const bool trailRight = symbol == 3;
    const double cx = trailRight ? w * 0.45 : w * 0.55, cy = h * 0.42;
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    const std::vector<std::array<double, 3>> cloud = {
        {cx - 28, cy + 6, 20}, {cx - 12, cy - 14, 22}, {cx + 14, cy - 14, 21},
        {cx + 30, cy + 4, 19}, {cx + 10, cy + 16, 20}, {cx - 14, cy + 16, 19},
        {cx, cy, 26}};
    // The trail.
    const double tx = trailRight ? w - 22 : 22;
    const double ty = h - 20;
    const double dir = trailRight ? 1 : -1;
    const std::vector<std::array<double, 3>> trail = {{tx - dir * 12, ty - 12, 7},
                                                      {tx + dir * 2, ty + 4, 4.5}};
    // Outline all puffs first, then fill them, so they merge into one cloud.
    Puffs(cr, cloud, 2);
    Puffs(cr, trail, 2);
    Colour(cr, kInk);
    cairo_fill(cr);
    Puffs(cr, cloud, -1.2);
    Puffs(cr, trail, -1.2);
    Colour(cr, kSkyLight);
    cairo_fill(cr);
    cairo_save(cr);
    cairo_translate(cr, -3, -3);
    Puffs(cr, cloud, -2.5);
    Puffs(cr, trail, -2.5);
    Colour(cr, kWhite);
    cairo_fill(cr);
    cairo_restore(cr);

    cairo_save(cr);
    cairo_translate(cr, cx, cy + 1);
    switch (symbol) {
    case 1: {
        // A storm cloud with a lightning bolt and rain: grumpy.
        const std::vector<std::array<double, 3>> storm = {
            {-12, -2, 9}, {0, -8, 11}, {13, -3, 9}, {4, 3, 8}, {-6, 3, 8}};
        Puffs(cr, storm, 1.5);
        Colour(cr, kInk);
        cairo_fill(cr);
        Puffs(cr, storm, -1.5);
        Colour(cr, 0x7E7488);
        cairo_fill(cr);
        cairo_save(cr);
        cairo_translate(cr, -2, -2);
        Puffs(cr, {{-12, -3, 6}, {0, -9, 8}, {12, -4, 5}}, 0);
        Colour(cr, 0xA69CAE);
        cairo_fill(cr);
        cairo_restore(cr);
        cairo_move_to(cr, 2, 4);
        cairo_line_to(cr, -5, 16);
        cairo_line_to(cr, 1, 16);
        cairo_line_to(cr, -4, 27);
        cairo_line_to(cr, 9, 12);
        cairo_line_to(cr, 3, 12);
        cairo_line_to(cr, 8, 4);
        cairo_close_path(cr);
        Colour(cr, kSun);
        cairo_fill_preserve(cr);
        Stroke(cr, kInk, 2.5);
        for (const double x : {-14.0, 16.0}) {
            cairo_move_to(cr, x, 10);
            cairo_curve_to(cr, x + 3, 15, x + 3, 18, x, 18);
            cairo_curve_to(cr, x - 3, 18, x - 3, 15, x, 10);
            cairo_close_path(cr);
            Colour(cr, kSky);
            cairo_fill_preserve(cr);
            Stroke(cr, kInk, 2);
        }
        break;
    }
    case 2: {
        // A fish bone: all that is left of a dinner.
        cairo_move_to(cr, -22, 0);
        cairo_line_to(cr, 12, 0);
        Stroke(cr, kInk, 7);
        for (int i = 0; i < 3; ++i) {
            const double x = -12 + i * 8;
            cairo_move_to(cr, x - 3, -9);
            cairo_curve_to(cr, x, -5, x + 1, -2, x + 1, 0);
            cairo_curve_to(cr, x + 1, 2, x, 5, x - 3, 9);
        }
        Stroke(cr, kInk, 6);
        // The tail fin.
        cairo_move_to(cr, -20, 0);
        cairo_line_to(cr, -30, -9);
        cairo_line_to(cr, -28, 0);
        cairo_line_to(cr, -30, 9);
        cairo_close_path(cr);
        Colour(cr, kCream);
        cairo_fill_preserve(cr);
        Stroke(cr, kInk, 3);
        // The head.
        cairo_move_to(cr, 10, -1);
        cairo_curve_to(cr, 14, -12, 28, -10, 31, 0);
        cairo_curve_to(cr, 28, 10, 14, 12, 10, 1);
        cairo_close_path(cr);
        Colour(cr, kCream);
        cairo_fill_preserve(cr);
        Stroke(cr, kInk, 3);
        cairo_arc(cr, 22, -2.5, 2.4, 0, 2 * kPi);
        Colour(cr, kInk);
        cairo_fill(cr);
        // The bones themselves, light inside their ink.
        cairo_move_to(cr, -22, 0);
        cairo_line_to(cr, 12, 0);
        Stroke(cr, kCream, 2.5);
        for (int i = 0; i < 3; ++i) {
            const double x = -12 + i * 8;
            cairo_move_to(cr, x - 3, -9);
            cairo_curve_to(cr, x, -5, x + 1, -2, x + 1, 0);
            cairo_curve_to(cr, x + 1, 2, x, 5, x - 3, 9);
        }
        Stroke(cr, kCream, 2);
        break;
    }
    default: {
        // Swirls and little stars: dizzy.
        for (int k = 0; k < 2; ++k) {
            const double ox = k ? 10 : -11, oy = k ? 2 : -3;
            const double turn = k ? -1 : 1;
            for (int i = 0; i <= 48; ++i) {
                const double t = i / 48.0;
                const double a = turn * t * 2.3 * 2 * kPi;
                const double r = 1 + t * 10;
                if (i == 0) {
                    cairo_move_to(cr, ox + r * std::cos(a), oy + r * std::sin(a));
                } else {
                    cairo_line_to(cr, ox + r * std::cos(a), oy + r * std::sin(a));
                }
            }
            Stroke(cr, kInk, 3);
        }
        const double stars[][3] = {{-24, 12, 5}, {24, -12, 4.5}, {2, 17, 3.5}};
        for (const auto& st : stars) {
            const double x = st[0], y = st[1], r = st[2];
            for (int i = 0; i < 10; ++i) {
                const double a = -kPi / 2 + i * kPi / 5;
                const double rr = (i % 2) ? r * 0.45 : r;
                if (i == 0) {
                    cairo_move_to(cr, x + rr * std::cos(a), y + rr * std::sin(a));
                } else {
                    cairo_line_to(cr, x + rr * std::cos(a), y + rr * std::sin(a));
                }
            }
            cairo_close_path(cr);
            Colour(cr, kSun);
            cairo_fill_preserve(cr);
            Stroke(cr, kInk, 2);
        }
        break;
    }
    }
    cairo_restore(cr);
}

// ------------------------------------------------------------------ the boss cat

// The boss of a boss level: a huge, round, greedy calico (white with ginger and dark brown
// patches) sitting over two cells, a little gold crown between its ears, a red checked napkin
// tied under its chin and a great cream belly. It shares the cats' outline, eyes, nose, whiskers
// and light; only its size, roundness, coat and finery set it apart.
//
// Drawn straight in picture units of its 136 x 136 pattern, whose top-left the game puts 72
// above the top-left of the left cell's picture: the two cells' faces lie at x 0..128,
// y 74..127, and the boss sits with its hind feet on y 123, its head rising in front of the row
// above. The eaten hamburger (its own 56 x 48 pattern) lies at (64, 70) of the boss, the gauge
// at (132, 10), the gauge's fill at (115, 3).

constexpr uint32_t kBossCoat = 0xFFFFFF;
constexpr uint32_t kBossCoatShade = 0xE2D8E8; // a pale tint of Ink
constexpr uint32_t kBossGinger = 0xFFB52E;    // Gold
constexpr uint32_t kBossGingerShade = 0xE08A12;
constexpr uint32_t kBossDark = 0x5E3A26; // Bark Deep
constexpr uint32_t kBossDarkShade = 0x45291B;
constexpr uint32_t kBossBelly = kCream;
constexpr uint32_t kBossBellyShade = 0xF0DAB4;
constexpr uint32_t kBossNapkin = 0xE8413C; // Cherry
constexpr uint32_t kGold = 0xFFB52E;
constexpr uint32_t kGoldShade = 0xE08A12;
constexpr uint32_t kCherry = 0xE8413C;
constexpr uint32_t kLeaf = 0x74C53F;
constexpr uint32_t kBeak = 0xFF9F1C;
constexpr uint32_t kBeakShade = 0xE07010;
constexpr uint32_t kWell = 0x4A2E26;

constexpr double kBossX = 64;       // middle of the two cells
constexpr double kBossGround = 123; // where the hind feet stand
constexpr double kBossHeadY = 50;   // head centre of the upright boss

struct BossPose {
    double Breath = 0; // 0 breathed out .. 1 breathed in
    double Slump = 0;  // 0 sitting up .. 1 settled down asleep
    double Tail = 0;   // tail swing -1 .. 1
    double HeadDy = 0, HeadTilt = 0;
    Face Eyes = Face::Sly; // Sly, Normal or Happy; Blink shuts them
    double Blink = 0;
    double LookX = 1.5, LookY = 0.5;
    double Mouth = 0;  // 0 closed smile .. 1 wide open (chomping)
    double Yawn = 0;   // 0 .. 1 a yawn's open mouth
    bool Chew = false; // mouth full, cheeks puffed
    Pt PawL{kBossX - 27, 101}, PawR{kBossX + 27, 101};
    double Crown = 0; // crown tilt, degrees
    double Zzz = -1;  // the sleeping "z"s: their growth 0..1, negative none
    double ZFade = 1; // and how far they have faded in
};

// The boss's own look for the parts it shares with the cats (ears and eyes).
Look BossLook(uint32_t base, uint32_t shade) {
    Look look{};
    look.Base = base;
    look.Shade = shade;
    look.Light = kCream;
    look.LightShade = kBossBellyShade;
    look.Mark = kBossDark;
    look.EarIn = kBlush;
    look.Iris = 0xA6E05A;
    look.HeadX = 40;
    look.HeadY = 29;
    look.EarW = 12;
    look.EarH = 17;
    look.EarX = 25;
    look.EarTilt = 16;
    look.EyeR = 9;
    look.EyeSquash = 1.0;
    look.Marking = Marks::Tabby; // plain ears
    return look;
}

// A coat patch laid inside a shape already cel-shaded with `outline`: the patch colour with the
// same shade crescent at the lower right.
void Patch(cairo_t* cr, const std::function<void()>& patch, const std::function<void()>& outline,
           uint32_t base, uint32_t shade, double offset) {
    cairo_save(cr);
    patch();
    cairo_clip(cr);
    Colour(cr, shade);
    cairo_paint(cr);
    const Pt o = ScreenOffset(cr, -offset, -offset * 6 / 7);
    cairo_translate(cr, o.x, o.y);
    outline();
    Colour(cr, base);
    cairo_fill(cr);
    cairo_restore(cr);
}

Poly BossBody() {
    return Blob(kBossX, 87, 55, 37, 2.3, 0.09, 0, 0.04);
}

Poly BossHead(bool chew) {
    return Blob(0, 0, 40, 29, 2.5, chew ? 0.2 : 0.12, 0);
}

// The crown: a gold band with three points and a red gem, standing on the top of the head.
void DrawCrown(cairo_t* cr) {
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    auto shape = [&] {
        cairo_move_to(cr, -14, 0);
        cairo_line_to(cr, -15, -13);
        cairo_line_to(cr, -7.5, -6);
        cairo_line_to(cr, 0, -16);
        cairo_line_to(cr, 7.5, -6);
        cairo_line_to(cr, 15, -13);
        cairo_line_to(cr, 14, 0);
        cairo_curve_to(cr, 5, 2.5, -5, 2.5, -14, 0);
        cairo_close_path(cr);
    };
    Cel(cr, shape, kGold, kGoldShade, 3, 3, [&] {
        cairo_move_to(cr, -13, -3.5);
        cairo_curve_to(cr, -5, -1.5, 5, -1.5, 13, -3.5);
        Stroke(cr, kGoldShade, 2);
        Ellipse(cr, -8, -9, 2, 3.5, -0.4);
        Colour(cr, kWhite, 0.45);
        cairo_fill(cr);
    });
    // Balls on the points and the gem.
    for (const Pt& p : {Pt{-15, -14}, Pt{0, -17}, Pt{15, -14}}) {
        Ellipse(cr, p.x, p.y, 2.6, 2.6);
        Colour(cr, kSun);
        cairo_fill_preserve(cr);
        Stroke(cr, kInk, 2);
    }
    Ellipse(cr, 0, -6, 3.2, 3.6);
    Colour(cr, kCherry);
    cairo_fill_preserve(cr);
    Stroke(cr, kInk, 2);
    Ellipse(cr, -1, -7.2, 1, 1.2);
    Colour(cr, kWhite, 0.8);
    cairo_fill(cr);
}

// "z" shapes, drawn as thick ink strokes with a light core: a big one and a small one rising
// to the upper right of the head.
void DrawZ(cairo_t* cr, double x, double y, double size, double alpha) {
    if (size <= 0.5 || alpha <= 0) return;
    const double s = size / 2;
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_rotate(cr, -0.15);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_push_group(cr);
    cairo_move_to(cr, -s, -s);
    cairo_line_to(cr, s, -s);
    cairo_line_to(cr, -s, s);
    cairo_line_to(cr, s, s);
    Stroke(cr, kInk, 3 + size * 0.16);
    cairo_move_to(cr, -s, -s);
    cairo_line_to(cr, s, -s);
    cairo_line_to(cr, -s, s);
    cairo_line_to(cr, s, s);
    Stroke(cr, kSkyLight, size * 0.16);
    cairo_pop_group_to_source(cr);
    cairo_new_path(cr);
    cairo_paint_with_alpha(cr, alpha);
    cairo_restore(cr);
}

void DrawBossHead(cairo_t* cr, const BossPose& pose) {
    const Look white = BossLook(kBossCoat, kBossCoatShade);
    const Look ginger = BossLook(kBossGinger, kBossGingerShade);
    const Look dark = BossLook(kBossDark, kBossDarkShade);
    const double hx = white.HeadX, hy = white.HeadY;
    CatPose face;
    face.Expression = pose.Eyes;
    face.Blink = pose.Blink;
    face.LookX = pose.LookX;
    face.LookY = pose.LookY;
    face.Ears = pose.Slump * 0.25;
    DrawEar(cr, ginger, face, -1);
    DrawEar(cr, dark, face, 1);
    const Poly head = BossHead(pose.Chew);
    auto headPath = [&] { AddPoly(cr, head); };
    Cel(cr, headPath, kBossCoat, kBossCoatShade, 4, 6, [&] {
        // Calico: ginger over the left ear and eye, dark brown over the right of the crown.
        Patch(
            cr,
            [&] {
                cairo_move_to(cr, -hx - 4, -hy - 4);
                cairo_line_to(cr, -4, -hy - 4);
                cairo_curve_to(cr, -2, -hy * 0.5, -4, -4, -8, 4);
                cairo_curve_to(cr, -16, 10, -28, 8, -hx - 4, 2);
                cairo_close_path(cr);
            },
            headPath, kBossGinger, kBossGingerShade, 6);
        Patch(
            cr,
            [&] {
                cairo_move_to(cr, 8, -hy - 4);
                cairo_line_to(cr, hx + 4, -hy - 4);
                cairo_line_to(cr, hx + 4, -10);
                cairo_curve_to(cr, 32, -12, 24, -17, 18, -20);
                cairo_curve_to(cr, 12, -22, 9, -26, 8, -hy - 4);
                cairo_close_path(cr);
            },
            headPath, kBossDark, kBossDarkShade, 6);
        Gloss(cr, 0, 0, hx, hy);
    });
    const double my = hy * 0.36 + 1; // the mouth
    // Light whisker pads and blushing cheeks.
    for (int side = -1; side <= 1; side += 2) Ellipse(cr, side * 6.5, my + 1.5, 8.5, 6.5);
    Colour(cr, kCream);
    cairo_fill(cr);
    for (int side = -1; side <= 1; side += 2)
        Ellipse(cr, side * (hx * 0.64 + (pose.Chew ? 3 : 0)), hy * 0.3, pose.Chew ? 7 : 5.5, 3.6);
    Colour(cr, kBlush, 0.75);
    cairo_fill(cr);
    // Eyes: the left one sits in the ginger patch, so its lid is ginger.
    const double ex = 15, ey = -3;
    const bool shut = pose.Yawn > 0.35;
    CatPose eyes = face;
    if (shut) {
        eyes.Expression = Face::Normal;
        eyes.Blink = 1;
    }
    DrawEye(cr, ginger, eyes, -ex, ey, 1);
    DrawEye(cr, white, eyes, ex, ey, -1);
    // Nose.
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    const double ny = my - 5;
    cairo_move_to(cr, -4.5, ny - 2.5);
    cairo_line_to(cr, 4.5, ny - 2.5);
    cairo_line_to(cr, 0, ny + 2.5);
    cairo_close_path(cr);
    Colour(cr, kNose);
    cairo_fill_preserve(cr);
    Stroke(cr, kInk, 2.5);
    // Mouth.
    const double open = std::max(pose.Mouth, pose.Yawn);
    if (open > 0.05) {
        // Open: an ink hollow with a pink tongue and two little fangs, hanging from the nose.
        const double rx = pose.Yawn > pose.Mouth ? 6 + 4 * open : 6 + 5 * open;
        const double ry = pose.Yawn > pose.Mouth ? 2.5 + 10 * open : 2 + 7 * open;
        const double cy = my + 1 + ry;
        auto hollow = [&] {
            cairo_move_to(cr, -rx, my + 0.5);
            cairo_curve_to(cr, -rx, cy + ry * 0.9, rx, cy + ry * 0.9, rx, my + 0.5);
            cairo_curve_to(cr, rx * 0.5, my - 1, -rx * 0.5, my - 1, -rx, my + 0.5);
            cairo_close_path(cr);
        };
        hollow();
        Colour(cr, kInk);
        cairo_fill(cr);
        cairo_save(cr);
        hollow();
        cairo_clip(cr);
        Ellipse(cr, 0, cy + ry * 0.75, rx * 0.7, ry * 0.5);
        Colour(cr, kBlush);
        cairo_fill(cr);
        for (int side = -1; side <= 1; side += 2) {
            cairo_move_to(cr, side * rx * 0.75, my - 1);
            cairo_line_to(cr, side * rx * 0.3, my - 1);
            cairo_line_to(cr, side * rx * 0.52, my + 2 + 2 * open);
            cairo_close_path(cr);
        }
        Colour(cr, kWhite);
        cairo_fill(cr);
        cairo_restore(cr);
        hollow();
        Stroke(cr, kInk, 2.5);
        cairo_move_to(cr, 0, ny + 2);
        cairo_line_to(cr, 0, my);
        Stroke(cr, kInk, 2.5);
    } else if (pose.Chew) {
        // A full mouth: a small wavy line between puffed cheeks.
        cairo_move_to(cr, 0, ny + 2);
        cairo_line_to(cr, 0, my);
        cairo_move_to(cr, -7, my + 1);
        cairo_curve_to(cr, -4, my - 1.5, -2, my + 3, 0, my + 1);
        cairo_curve_to(cr, 2, my - 1, 4, my + 3.5, 7, my + 1);
        Stroke(cr, kInk, 2.5);
    } else {
        // The cats' sly smile, a little wider, with one fang.
        cairo_move_to(cr, 0, ny + 2);
        cairo_line_to(cr, 0, my);
        cairo_move_to(cr, -8, my - 1);
        cairo_curve_to(cr, -6, my + 3.5, -1.5, my + 3.5, 0, my);
        cairo_curve_to(cr, 1.5, my + 3.5, 6, my + 4, 9, my - 2);
        Stroke(cr, kInk, 2.5);
        if (pose.Eyes != Face::Normal || pose.Blink < 0.95) {
            cairo_move_to(cr, 2.6, my + 2.6);
            cairo_line_to(cr, 5.6, my + 2.4);
            cairo_line_to(cr, 4.2, my + 6);
            cairo_close_path(cr);
            Colour(cr, kWhite);
            cairo_fill_preserve(cr);
            Stroke(cr, kInk, 1.5);
        }
    }
    DrawWhiskers(cr, 0, my - 1, hx * 0.72, pose.Slump * 3);
    // The crown on top, between the ears, slipping as the boss nods off.
    cairo_save(cr);
    cairo_translate(cr, 2, -hy + 5);
    cairo_rotate(cr, (6 + pose.Crown) * kPi / 180);
    DrawCrown(cr);
    cairo_restore(cr);
}

void DrawBoss(cairo_t* cr, const BossPose& pose) {
    cairo_save(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    const double gx = kBossX, gy = kBossGround;
    // The body breathes and slumps about the ground; the head rides on its top.
    const double sy = 1 + 0.035 * pose.Breath - 0.07 * pose.Slump;
    const double sx = 1 + 0.02 * pose.Breath + 0.035 * pose.Slump;
    cairo_matrix_t base;
    cairo_get_matrix(cr, &base);
    cairo_matrix_t body = base;
    cairo_matrix_translate(&body, gx, gy - 1);
    cairo_matrix_scale(&body, sx, sy);
    cairo_matrix_translate(&body, -gx, -(gy - 1));
    const double rise = (gy - 1 - 54) * (sy - 1); // how far the shoulders rise (negative: sink)

    // The tail behind, rising at the left with a dark tip.
    {
        const double s = pose.Tail;
        const Curve k{
            {36, 104}, {13, 104}, {12 + 3 * s, 72}, {19 + 5 * s, 50 - s + 6 * pose.Slump}};
        const Poly tube = Tube(k, 14, 11);
        Cel(
            cr, [&] { AddPoly(cr, tube); }, kBossGinger, kBossGingerShade, 4, 3,
            [&] {
                cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
                StrokeCurve(cr, k, 0.8, 1.0);
                Stroke(cr, kBossDark, 30);
            });
    }

    // The body with its patches, the haunches and the great belly.
    cairo_set_matrix(cr, &body);
    const Poly shape = BossBody();
    auto bodyPath = [&] { AddPoly(cr, shape); };
    Cel(cr, bodyPath, kBossCoat, kBossCoatShade, 4, 7, [&] {
        Patch(
            cr, [&] { Ellipse(cr, 14, 76, 24, 28, 0.3); }, bodyPath, kBossGinger, kBossGingerShade,
            7);
        Patch(
            cr, [&] { Ellipse(cr, 118, 90, 20, 22, -0.2); }, bodyPath, kBossDark, kBossDarkShade,
            7);
        Patch(
            cr, [&] { Ellipse(cr, 100, 58, 14, 8, 0.2); }, bodyPath, kBossGinger, kBossGingerShade,
            7);
        Gloss(cr, kBossX, 89, 52, 35, 0.3);
    });
    for (int side = -1; side <= 1; side += 2) {
        const double hx = gx + side * 42;
        Cel(
            cr, [&] { Ellipse(cr, hx, 109, 13, 13); }, side < 0 ? kBossGinger : kBossCoat,
            side < 0 ? kBossGingerShade : kBossCoatShade, 3, 3);
    }
    Cel(
        cr, [&] { Ellipse(cr, gx, 101, 40, 21); }, kBossBelly, kBossBellyShade, 3, 5,
        [&] {
            // The navel and the gloss of a well-filled belly.
            cairo_move_to(cr, gx - 3, 106);
            cairo_curve_to(cr, gx - 1.5, 108.5, gx + 1.5, 108.5, gx + 3, 106);
            cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
            Stroke(cr, kInk, 2);
            Ellipse(cr, gx - 17, 93, 10, 4.5, -0.35);
            Colour(cr, kWhite, 0.55);
            cairo_fill(cr);
        });
    // The napkin tied under the chin: red and cream checks, a point hanging onto the belly.
    {
        auto napkin = [&] {
            cairo_move_to(cr, gx - 26, 70);
            cairo_curve_to(cr, gx - 24, 84, gx - 10, 93, gx + 1, 97);
            cairo_curve_to(cr, gx + 12, 93, gx + 25, 84, gx + 27, 70);
            cairo_close_path(cr);
        };
        Cel(cr, napkin, kCream, 0xEBD5B4, 3, 4, [&] {
            cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
            for (double x = gx - 30; x <= gx + 30; x += 9) {
                cairo_move_to(cr, x, 64);
                cairo_line_to(cr, x + 2, 100);
            }
            for (double y = 70; y <= 100; y += 9) {
                cairo_move_to(cr, gx - 30, y);
                cairo_line_to(cr, gx + 30, y - 1);
            }
            Stroke(cr, kBossNapkin, 4.5, 0.72);
            // The shade crescent laid back over the checks.
            cairo_save(cr);
            napkin();
            cairo_clip(cr);
            cairo_new_path(cr);
            cairo_rectangle(cr, 0, 0, 200, 200);
            cairo_translate(cr, -4, -3.4);
            napkin();
            cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
            Colour(cr, 0x7A2030, 0.22);
            cairo_fill(cr);
            cairo_restore(cr);
        });
    }
    cairo_set_matrix(cr, &base);

    // Hind feet in front, planted on the same pixels in every frame, toe beans showing.
    for (int side = -1; side <= 1; side += 2) {
        const double fx = gx + side * 30;
        Ellipse(cr, fx, gy - 6.5, 11.5, 6.5);
        Colour(cr, kCream);
        cairo_fill_preserve(cr);
        Stroke(cr, kInk, 3);
        cairo_move_to(cr, fx - 4, gy - 11.5);
        cairo_line_to(cr, fx - 4, gy - 6);
        cairo_move_to(cr, fx + 4, gy - 11.5);
        cairo_line_to(cr, fx + 4, gy - 6);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        Stroke(cr, kInk, 2);
    }

    // Front legs: short and stout, from the shoulders to the paws.
    for (int side = -1; side <= 1; side += 2) {
        const Pt paw = side < 0 ? pose.PawL : pose.PawR;
        Pt shoulder{gx + side * 37, 85};
        cairo_matrix_transform_point(&body, &shoulder.x, &shoulder.y);
        cairo_matrix_t inv = base;
        cairo_matrix_invert(&inv);
        cairo_matrix_transform_point(&inv, &shoulder.x, &shoulder.y);
        const Look& look = BossLook(side < 0 ? kBossGinger : kBossCoat,
                                    side < 0 ? kBossGingerShade : kBossCoatShade);
        DrawLeg(cr, look, shoulder, {paw.x, paw.y + 6}, look.Base, look.Shade, kCream, 11);
    }

    // The head on the shoulders.
    cairo_save(cr);
    cairo_translate(cr, gx, kBossHeadY - rise + pose.HeadDy + 7 * pose.Slump);
    cairo_rotate(cr, pose.HeadTilt * kPi / 180);
    DrawBossHead(cr, pose);
    cairo_restore(cr);

    // The "z"s of a sleeping boss, over its right ear.
    if (pose.Zzz >= 0) {
        const double g = std::clamp(pose.Zzz, 0.0, 1.0);
        DrawZ(cr, 116, 30 - 3 * g, 9 + 5 * g, pose.ZFade);
        DrawZ(cr, 126, 12 - 2 * g, 5 + 3 * g, (0.4 + 0.6 * g) * pose.ZFade);
    }
    cairo_restore(cr);
}

// The hamburger bonus drawn small, its parts made thicker than in the bonus picture so that
// they read at this size: 46 x 38 from its top-left, in units of `s` (the outlines stay as
// they are). Each bite is a circle cut out of the whole burger and rimmed with ink; `simple`
// leaves out the cheese and the seeds (the gauge's little mark).
void DrawBurger(cairo_t* cr, double s, const std::vector<std::array<double, 3>>& bites,
                bool simple = false) {
    const double outer = (simple ? 2 : 3) / s, inner = (simple ? 2 : 2.5) / s;
    cairo_push_group(cr);
    cairo_save(cr);
    cairo_scale(cr, s, s);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    auto rounded = [&](double x0, double y0, double x1, double y1, double rt, double rb) {
        cairo_new_sub_path(cr);
        cairo_arc(cr, x1 - rt, y0 + rt, rt, -kPi / 2, 0);
        cairo_arc(cr, x1 - rb, y1 - rb, rb, 0, kPi / 2);
        cairo_arc(cr, x0 + rb, y1 - rb, rb, kPi / 2, kPi);
        cairo_arc(cr, x0 + rt, y0 + rt, rt, kPi, 3 * kPi / 2);
        cairo_close_path(cr);
    };
    // Bottom bun, patty, cheese with drips, lettuce, from the bottom up.
    Cel(
        cr, [&] { rounded(3, 29, 43, 38, 2, 4.5); }, 0xF0B25A, 0xC8915A, outer, 3);
    Cel(
        cr, [&] { rounded(1, 23, 45, 31.5, 4.2, 4.2); }, 0x94603A, 0x5E3A26, inner, 2.5);
    if (!simple) {
        cairo_move_to(cr, 2, 20.5);
        cairo_line_to(cr, 44, 20.5);
        cairo_line_to(cr, 44, 24);
        cairo_line_to(cr, 38, 24);
        cairo_line_to(cr, 35, 29);
        cairo_line_to(cr, 32, 24);
        cairo_line_to(cr, 16, 24);
        cairo_line_to(cr, 12.5, 28);
        cairo_line_to(cr, 9, 24);
        cairo_line_to(cr, 2, 24);
        cairo_close_path(cr);
        Colour(cr, 0xFFD12E);
        cairo_fill_preserve(cr);
        Stroke(cr, kInk, inner);
    }
    {
        cairo_move_to(cr, 0, 17.5);
        for (int i = 0; i < 6; ++i) {
            const double x = i * 46 / 6.0;
            cairo_curve_to(cr, x + 2, 13.5, x + 5.6, 13.5, x + 46 / 6.0, 17.5);
        }
        for (int i = 6; i > 0; --i) {
            const double x = i * 46 / 6.0;
            cairo_curve_to(cr, x - 2, 23.5, x - 5.6, 23.5, x - 46 / 6.0, 19.5);
        }
        cairo_close_path(cr);
        Colour(cr, kLeaf);
        cairo_fill_preserve(cr);
        Stroke(cr, kInk, inner);
    }
    // The top bun with its seeds.
    auto top = [&] {
        cairo_move_to(cr, 2, 15);
        cairo_curve_to(cr, 2, 5, 10, 0.5, 23, 0.5);
        cairo_curve_to(cr, 36, 0.5, 44, 5, 44, 15);
        cairo_curve_to(cr, 44, 16.5, 43, 17.5, 41, 17.5);
        cairo_line_to(cr, 5, 17.5);
        cairo_curve_to(cr, 3, 17.5, 2, 16.5, 2, 15);
        cairo_close_path(cr);
    };
    Cel(cr, top, 0xF0B25A, 0xC8915A, outer, 3.5, [&] {
        Ellipse(cr, 13, 6, 6, 2.6, -0.4);
        Colour(cr, kWhite, 0.4);
        cairo_fill(cr);
        if (simple) return;
        const double seeds[][3] = {{16, 10, -0.35}, {23, 6, 0.2},  {30, 10, 0.5},
                                   {10, 14, -0.6},  {36, 14, 0.6}, {24, 13, 0}};
        for (const auto& seed : seeds) Ellipse(cr, seed[0], seed[1], 1.7, 1.05, seed[2]);
        Colour(cr, kCream);
        cairo_fill(cr);
    });
    // The bites: rims first (only where there is burger), then the holes.
    cairo_set_operator(cr, CAIRO_OPERATOR_ATOP);
    for (const auto& b : bites) {
        Ellipse(cr, b[0], b[1], b[2], b[2]);
        Stroke(cr, kInk, 2 * outer);
    }
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    for (const auto& b : bites) {
        Ellipse(cr, b[0], b[1], b[2], b[2]);
        cairo_fill(cr);
    }
    cairo_restore(cr);
    cairo_pop_group_to_source(cr);
    cairo_paint(cr);
}

// The bites taken by eating pattern f of n: one after another from the upper left corner,
// where the mouth is, each opening up over two patterns.
std::vector<std::array<double, 3>> Bites(int f, int n) {
    static const double bites[][3] = {{1, 2, 7},  {10, -1, 6.5}, {0, 13, 7.5},
                                      {14, 7, 7}, {3, 24, 8},    {16, 17, 7.5}};
    const double t = n > 1 ? double(f) / (n - 1) : 0.0;
    const double reach = 0.8 + t * 5.2; // how many bites so far
    std::vector<std::array<double, 3>> out;
    for (int i = 0; i < 6; ++i) {
        const double grow = std::clamp(reach - i, 0.0, 1.0);
        if (grow <= 0) break;
        out.push_back({bites[i][0], bites[i][1], bites[i][2] * (0.4 + 0.6 * grow)});
    }
    return out;
}

// The gauge beside the boss: a gold tube on a medallion that shows a hamburger, the window in
// the tube left open for the fill drawn behind it. Sizes of its 40 x 112 pattern.
constexpr double kWinX0 = 13, kWinX1 = 27, kWinY0 = 12, kWinY1 = 82;
// The fill's pattern lies 17 left of and 7 above the gauge's.
constexpr double kFillDx = 17, kFillDy = 7;

void WindowPath(cairo_t* cr, double grow) {
    const double x0 = kWinX0 - grow, x1 = kWinX1 + grow, y0 = kWinY0 - grow, y1 = kWinY1 + grow;
    const double r = (x1 - x0) / 2;
    cairo_new_sub_path(cr);
    cairo_arc(cr, x0 + r, y0 + r, r, kPi, 2 * kPi);
    cairo_line_to(cr, x1, y1);
    cairo_line_to(cr, x0, y1);
    cairo_close_path(cr);
}

void DrawGaugePanel(cairo_t* cr) {
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    auto tube = [&] {
        cairo_new_sub_path(cr);
        cairo_arc(cr, 20, 19, 14, kPi, 2 * kPi);
        cairo_line_to(cr, 34, 86);
        cairo_line_to(cr, 6, 86);
        cairo_close_path(cr);
    };
    Cel(cr, tube, kGold, kGoldShade, 3, 4, [&] {
        // Notches down the right side of the rim.
        for (double y = 26; y <= 76; y += 12.5) {
            cairo_move_to(cr, 29.5, y);
            cairo_line_to(cr, 32.5, y);
        }
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        Stroke(cr, kGoldShade, 2);
        cairo_move_to(cr, 9.5, 22);
        cairo_line_to(cr, 9.5, 74);
        Stroke(cr, kWhite, 2.5, 0.5);
    });
    // The dark groove round the window, then the window itself cut out.
    WindowPath(cr, 2.5);
    Colour(cr, kWell);
    cairo_fill(cr);
    WindowPath(cr, 0);
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_fill(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    // The medallion at the foot with the hamburger on it.
    Cel(
        cr, [&] { Ellipse(cr, 20, 92.5, 16.5, 16.5); }, kGold, kGoldShade, 3, 4);
    Cel(
        cr, [&] { Ellipse(cr, 20, 92.5, 13, 13); }, kCream, 0xEBD5B4, 2.5, 3);
    cairo_save(cr);
    cairo_translate(cr, 10.3, 85);
    DrawBurger(cr, 0.42, {}, true);
    cairo_restore(cr);
}

void DrawGaugeFill(cairo_t* cr) {
    cairo_save(cr);
    cairo_translate(cr, kFillDx, kFillDy);
    // A little past the window under the groove on every side but the top, so that the fill
    // shows no gap where the gauge's rim meets it.
    auto area = [&] {
        const double x0 = kWinX0 - 2, x1 = kWinX1 + 2, y1 = kWinY1 + 2, r = (x1 - x0) / 2;
        cairo_new_sub_path(cr);
        cairo_arc(cr, x0 + r, kWinY0 - 2 + r, r, kPi, 2 * kPi);
        cairo_line_to(cr, x1, y1);
        cairo_line_to(cr, x0, y1);
        cairo_close_path(cr);
    };
    cairo_pattern_t* warm = cairo_pattern_create_linear(kWinX0, 0, kWinX1, 0);
    cairo_pattern_add_color_stop_rgb(warm, 0, 1.0, 0.80, 0.30);
    cairo_pattern_add_color_stop_rgb(warm, 0.35, 1.0, 0.624, 0.11);
    cairo_pattern_add_color_stop_rgb(warm, 0.7, 1.0, 0.624, 0.11);
    cairo_pattern_add_color_stop_rgb(warm, 1, 0.878, 0.44, 0.063);
    area();
    cairo_set_source(cr, warm);
    cairo_fill(cr);
    cairo_pattern_destroy(warm);
    // A gloss streak at the left and a few rising bubbles.
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(cr, kWinX0 + 3, kWinY0 + 8);
    cairo_line_to(cr, kWinX0 + 3, kWinY1 - 2);
    Stroke(cr, kWhite, 2.5, 0.55);
    const double bubbles[][3] = {{21, 70, 2}, {23, 52, 1.6}, {19.5, 36, 1.8}, {22.5, 22, 1.4}};
    for (const auto& b : bubbles) {
        Ellipse(cr, b[0], b[1], b[2], b[2]);
        Colour(cr, kSun, 0.9);
        cairo_fill(cr);
    }
    (void)kBeak;
    (void)kBeakShade;
    cairo_restore(cr);
}

// ---------------------------------------------------------------- the boss's sheets

// Sitting smug, played back and forth slowly: breathing in, the tail swishing across, a slow
// cat's blink at the far end.
BossPose BossIdle(int f, int n) {
    BossPose p;
    const double t = n > 1 ? double(f) / (n - 1) : 0.0;
    const double s = Smooth(t);
    p.Breath = s;
    p.Tail = Lerp(-1, 1, s);
    p.HeadTilt = Lerp(-2, 2, s);
    p.LookX = Lerp(-1.5, 2.5, s);
    p.PawL.y -= 2 * s;
    p.PawR.y -= 2 * s;
    if (n >= 9 && f == n - 3) p.Blink = 0.5;
    if (n >= 9 && f >= n - 2) p.Blink = 1;
    return p;
}

// Eating, played back and forth fast: one chomp from shut (pattern 0) through wide open to shut
// again (the last), so that it reads the same both ways; the head dips on every bite and the
// right paw holds the hamburger up to the mouth.
BossPose BossEat(int f, int n) {
    BossPose p;
    const double t = n > 1 ? double(f) / (n - 1) : 0.0;
    const double open = std::sin(t * kPi);
    p.Eyes = Face::Happy;
    p.Mouth = open;
    p.Chew = open < 0.3;
    p.HeadDy = 2 - 4 * open;
    p.HeadTilt = 4;
    p.Breath = 0.5;
    p.Tail = std::sin(t * 2 * kPi);
    p.PawR = {kBossX + 38, 102 - 2 * open};
    p.PawL = {kBossX - 26, 104};
    return p;
}

// The last hamburger eaten: a satisfied pat on the belly, a big yawn, the eyes drooping shut,
// the head nodding and the body settling down until it is the first pattern of the sleep sheet.
BossPose BossSleep(int f, int n);

BossPose BossFallAsleep(int f, int n) {
    const double t = n > 1 ? double(f) / (n - 1) : 0.0;
    if (t >= 0.999) return BossSleep(0, 9);
    BossPose p;
    const double yawn = Smooth((t - 0.22) / 0.18) * (1 - Smooth((t - 0.47) / 0.13));
    const double settle = Smooth((t - 0.55) / 0.45);
    p.Eyes = t < 0.4 ? Face::Happy : Face::Normal;
    p.Blink = t < 0.4 ? 0 : t < 0.72 ? 0.62 : 1;
    p.LookY = 2;
    p.Yawn = yawn;
    p.HeadDy = -1 * yawn;
    p.HeadTilt = Lerp(0, -6, yawn) + Lerp(0, -5, settle);
    p.Breath = Lerp(0.7, 0, settle);
    p.Slump = settle;
    p.Tail = Lerp(1, -0.4, Smooth(t));
    p.LookX = 0;
    p.Crown = -8 * settle;
    // The paws pat the full belly twice, then come to rest on it.
    const double pat = t < 0.25 ? std::fabs(std::sin(t / 0.25 * 2 * kPi)) : 0;
    p.PawL = {Lerp(kBossX - 27, kBossX - 24, settle), 101 - 5 * pat + 3 * settle};
    p.PawR = {Lerp(kBossX + 27, kBossX + 24, settle), 101 - 5 * pat + 3 * settle};
    if (t > 0.8) {
        p.Zzz = 0;
        p.ZFade = (t - 0.8) / 0.2;
    }
    return p;
}

// Asleep, played back and forth slowly: the belly rising and falling, the "z"s swelling with
// every breath.
BossPose BossSleep(int f, int n) {
    BossPose p;
    const double t = n > 1 ? double(f) / (n - 1) : 0.0;
    const double s = Smooth(t);
    p.Eyes = Face::Normal;
    p.Blink = 1;
    p.Slump = 1;
    p.Breath = s;
    p.HeadTilt = -5 + 1.5 * s;
    p.HeadDy = 0;
    p.Crown = -8;
    p.LookX = 0;
    p.Tail = -0.4;
    p.PawL = {kBossX - 24, 104 - 2 * s};
    p.PawR = {kBossX + 24, 104 - 2 * s};
    p.Zzz = s;
    return p;
}

bool DrawBossSheet(cairo_t* cr, const DrawContext& context, const std::string& sheet,
                   std::string& error) {
    const int n = context.Frames;
    const int f = context.Frame;
    if (sheet == "boss_panel") {
        cairo_scale(cr, context.Width / 40.0, context.Height / 112.0);
        DrawGaugePanel(cr);
        return true;
    }
    if (sheet == "boss_fill") {
        cairo_scale(cr, context.Width / 48.0, context.Height / 92.0);
        DrawGaugeFill(cr);
        return true;
    }
    if (sheet == "boss_hamburger") {
        // The hamburger's pattern lies at (64, 70) of the boss's; the burger is tilted a
        // little towards the mouth at its upper left.
        cairo_scale(cr, context.Width / 56.0, context.Height / 48.0);
        cairo_translate(cr, 4, 6);
        cairo_rotate(cr, -0.1);
        DrawBurger(cr, 1, Bites(f, n));
        return true;
    }
    cairo_scale(cr, context.Width / 136.0, context.Height / 136.0);
    if (sheet == "boss_idle") {
        DrawBoss(cr, BossIdle(f, n));
    } else if (sheet == "boss_eat") {
        DrawBoss(cr, BossEat(f, n));
    } else if (sheet == "boss_fallasleep") {
        DrawBoss(cr, BossFallAsleep(f, n));
    } else if (sheet == "boss_sleep") {
        DrawBoss(cr, BossSleep(f, n));
    } else {
        error = "sheet \"" + sheet +
                "\" is none of boss_idle, boss_eat, boss_fallasleep, boss_sleep, "
                "boss_hamburger, boss_panel, boss_fill";
        return false;
    }
    return true;
}

} // namespace

bool DrawCat(cairo_t* cr, const DrawContext& context, std::string& error) {
    const std::string sheet = context.Text("sheet", "idle");
    if (sheet.rfind("boss_", 0) == 0) return DrawBossSheet(cr, context, sheet, error);
    const int n = std::min(context.Frames, 16);
    const int f = context.Frame % 16;
    cairo_scale(cr, context.Width / 130.0, context.Height / 130.0);
    if (sheet == "shadow") {
        DrawShadow(cr, 65, 65);
        return true;
    }
    if (sheet == "bubble") {
        const std::string symbol = context.Text("symbol", "1");
        if (symbol != "1" && symbol != "2" && symbol != "3") {
            error = "symbol \"" + symbol + "\" is none of 1..3";
            return false;
        }
        // Drawn on a 130 x 110 design; other sizes scale it.
        cairo_scale(cr, 1, context.Height / 110.0 / (context.Height / 130.0));
        DrawBubble(cr, symbol[0] - '0', 130, 110);
        return true;
    }
    const std::string kindText = context.Text("kind", "");
    int kind = 0;
    if (kindText.size() == 1 && kindText[0] >= '1' && kindText[0] <= '5') kind = kindText[0] - '0';
    if (kind == 0) {
        error = "kind \"" + kindText + "\" is none of 1..5";
        return false;
    }
    const Pt g = Ground(kind);
    // The walking sheets are placed 9 units higher than a sitting cat (cell centre - (65, 97)).
    const Pt walk{65, g.y + 9};
    if (sheet == "idle") {
        DrawFrontCat(cr, kind == 5 ? Bounce(f) : Idle(kind, f, n), g.x, g.y);
    } else if (sheet == "drop") {
        DrawFrontCat(cr, Drop(kind), g.x, g.y);
    } else if (sheet == "match") {
        DrawFrontCat(cr, Match(kind, f, n), g.x, g.y);
    } else if (sheet == "fly") {
        DrawFrontCat(cr, Fly(kind, f, n), 60, 106);
    } else if (sheet == "move_right" || sheet == "move_left") {
        DrawSideCat(cr, kind, f, walk.x, walk.y, sheet == "move_left");
    } else if (sheet == "move_down") {
        DrawFrontCat(cr, Pad(kind, f, false), walk.x, walk.y);
    } else if (sheet == "move_up") {
        DrawFrontCat(cr, Pad(kind, f, true), walk.x, walk.y, true);
    } else {
        error = "sheet \"" + sheet +
                "\" is none of idle, drop, match, fly, move_right, move_left, move_down, "
                "move_up, shadow, bubble";
        return false;
    }
    return true;
}

} // namespace bw::pack
