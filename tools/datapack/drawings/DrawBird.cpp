#include "drawings/DrawBird.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace bw::pack {

namespace {

constexpr double kPi = 3.14159265358979323846;

constexpr uint32_t kInk = 0x3A2430;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kCream = 0xFFF6DC;
constexpr uint32_t kBeak = 0xFF9F1C;
constexpr uint32_t kBeakShade = 0xE07010;
constexpr uint32_t kBlush = 0xFF8FA3;
constexpr uint32_t kSun = 0xFFE066;
constexpr uint32_t kGold = 0xFFB52E;
constexpr uint32_t kRope = 0xC8915A;
constexpr uint32_t kRopeShade = 0x94603A;
constexpr uint32_t kCrowGrey = 0x8C8FA0;
constexpr uint32_t kCrowSheen = 0x4B5B8C;

// What makes one kind: colours, body outline and where its wings sit.
struct Look {
    uint32_t Base, Shade, Belly;
    const char* Body; // closed outline, design units (M, L, C, Z; absolute)
    double Top;       // highest point of the body
    double PivotX, PivotY;
    double EyeR;
};

const Look& LookOf(int kind) {
    static const Look looks[] = {
        {0xE8413C, 0xB3262E, 0xFFD9CF,
         "M64 36 C90 36 104 54 104 78 C104 104 88 116 64 116 C40 116 24 104 24 78 C24 54 38 36 "
         "64 36 Z",
         36, 30, 74, 10.5},
        {0x2F86E0, 0x1E5DB0, 0xCFE7FF,
         "M64 32 C88 32 98 58 98 80 C98 104 84 116 64 116 C44 116 30 104 30 80 C30 58 40 32 64 "
         "32 Z",
         32, 31, 74, 10.5},
        {0xFFD12E, 0xE0A414, 0xFFF3B8,
         "M44 42 L84 42 C100 42 105 60 105 80 C105 104 88 116 64 116 C40 116 23 104 23 80 C23 60 "
         "28 42 44 42 Z",
         42, 27, 76, 14.5},
        {0x43C15A, 0x25893F, 0xD6F5C8,
         "M64 38 C82 38 90 54 94 70 C104 94 96 116 64 116 C32 116 24 94 34 70 C38 54 46 38 64 38 "
         "Z",
         38, 31, 78, 10.5},
        {0x8E55D6, 0x643AA6, 0xE6D5FF,
         "M64 46 C96 46 108 62 108 84 C108 106 90 116 64 116 C38 116 20 106 20 84 C20 62 32 46 "
         "64 46 Z",
         46, 25, 80, 10.5},
        {0xFF78B4, 0xD94F8E, 0xFFE1EE,
         "M64 32 C86 32 95 52 95 76 C95 102 84 116 64 116 C44 116 33 102 33 76 C33 52 42 32 64 "
         "32 Z",
         32, 33, 74, 10.5},
        {0x2C2A3A, 0x1A1826, 0x4A4860,
         "M62 34 L86 42 L100 66 L98 98 L80 116 L46 116 L28 98 L26 66 L40 42 Z", 34, 28, 72, 0},
    };
    if (kind >= 1 && kind <= 6) return looks[kind - 1];
    return looks[6];
}

bool IsCrow(int kind) {
    return kind < 1 || kind > 6;
}

uint32_t Mix(uint32_t a, uint32_t b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const double ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
        out |= static_cast<uint32_t>(std::lround(ca + (cb - ca) * t)) << shift;
    }
    return out;
}

void Colour(cairo_t* cr, uint32_t rgb, double alpha = 1.0) {
    cairo_set_source_rgba(cr, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0,
                          (rgb & 0xFF) / 255.0, alpha);
}

// Adds an outline written as in SVG (absolute M, L, C and Z only) to the current path;
// `mirror` reflects it about x = 64.
void AddPath(cairo_t* cr, const char* d, bool mirror = false) {
    const char* p = d;
    auto number = [&p]() {
        while (*p == ' ' || *p == ',') ++p;
        char* end = nullptr;
        const double v = std::strtod(p, &end);
        p = end;
        return v;
    };
    auto x = [mirror](double v) { return mirror ? 128.0 - v : v; };
    while (*p) {
        while (*p == ' ' || *p == ',') ++p;
        const char c = *p;
        if (!c) break;
        ++p;
        if (c == 'M') {
            const double a = number(), b = number();
            cairo_move_to(cr, x(a), b);
        } else if (c == 'L') {
            const double a = number(), b = number();
            cairo_line_to(cr, x(a), b);
        } else if (c == 'C') {
            const double a = number(), b = number(), e = number(), f = number(), g = number(),
                         h = number();
            cairo_curve_to(cr, x(a), b, x(e), f, x(g), h);
        } else if (c == 'Z') {
            cairo_close_path(cr);
        }
    }
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

void FillStroke(cairo_t* cr, uint32_t fill, double width, double alpha = 1.0) {
    Colour(cr, fill, alpha);
    cairo_fill_preserve(cr);
    Colour(cr, kInk, alpha);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
}

void Stroke(cairo_t* cr, uint32_t colour, double width, double alpha = 1.0) {
    Colour(cr, colour, alpha);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
}

double Frac(double v) {
    return v - std::floor(v);
}

// ------------------------------------------------------------------ parts

struct BirdColours {
    uint32_t Base, Shade, Belly;
};

BirdColours ColoursOf(const Look& look, double soot) {
    return {Mix(look.Base, 0x4A4048, 0.5 * soot), Mix(look.Shade, 0x2A2028, 0.5 * soot),
            Mix(look.Belly, 0x9A8F8C, 0.55 * soot)};
}

// Crest, ears and tail: the parts that stick out of the round body.
enum class Extras { Head, Tail };

void DrawExtras(cairo_t* cr, const BirdPose& pose, const BirdColours& c, Extras which) {
    const bool tailOnly = which == Extras::Tail;
    const bool headOnly = which == Extras::Head;
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    const bool m = pose.MirrorExtras;
    switch (pose.Kind) {
    case 1:
        if (tailOnly) break;
        AddPath(cr, "M60 40 C50 30 46 20 52 10 C58 18 64 28 66 38 Z", m);
        FillStroke(cr, c.Base, 4);
        AddPath(cr, "M64 40 C64 26 70 14 80 8 C82 20 76 32 70 40 Z", m);
        FillStroke(cr, c.Base, 4);
        AddPath(cr, "M68 42 C76 32 86 28 96 28 C92 38 82 44 72 46 Z", m);
        FillStroke(cr, c.Base, 4);
        break;
    case 2:
        if (headOnly) break;
        AddPath(cr,
                "M82 94 C98 98 114 104 124 114 C114 114 106 112 98 110 C108 116 112 120 116 126 "
                "C100 127 86 120 76 110 Z",
                m);
        FillStroke(cr, c.Shade, 4);
        break;
    case 3:
        if (headOnly) break;
        AddPath(cr, "M90 98 L113 101 L108 115 L86 112 Z", m);
        FillStroke(cr, c.Shade, 4);
        break;
    case 5:
        if (tailOnly) break;
        AddPath(cr, "M34 64 L22 24 L56 50 Z", m);
        FillStroke(cr, c.Base, 4);
        AddPath(cr, "M94 64 L106 24 L72 50 Z", m);
        FillStroke(cr, c.Base, 4);
        AddPath(cr, "M34 52 L28 34 L44 48 Z", m);
        Colour(cr, c.Shade);
        cairo_fill(cr);
        AddPath(cr, "M94 52 L100 34 L84 48 Z", m);
        Colour(cr, c.Shade);
        cairo_fill(cr);
        break;
    case 4:
        break;
    case 6:
        if (headOnly) break;
        AddPath(cr, "M84 98 C96 88 102 70 104 46 C110 52 116 54 122 52 C118 74 108 94 92 108 Z", m);
        FillStroke(cr, c.Shade, 4);
        break;
    default:
        if (!headOnly) {
            AddPath(cr, "M84 98 L116 116 L104 100 L122 102 L92 88 Z", m);
            FillStroke(cr, c.Shade, 4);
        }
        if (tailOnly) break;
        AddPath(cr, "M48 40 L42 18 L56 30 L62 12 L68 30 L78 20 L72 40 Z", m);
        FillStroke(cr, c.Base, 4);
        break;
    }
}

// Singed feathers standing up from the head.
void DrawFrazzle(cairo_t* cr, const Look& look, const BirdColours& c, double soot) {
    if (soot <= 0) return;
    const double top = look.Top + 6;
    const double h = 12 * soot;
    cairo_move_to(cr, 42, top + 6);
    const double xs[] = {42, 47, 52, 57, 62, 67, 72, 77, 82, 86};
    for (int i = 1; i < 10; ++i) {
        const double y = (i % 2) ? top - h * (0.7 + 0.3 * ((i * 7) % 3) / 2.0) : top;
        cairo_line_to(cr, xs[i] + ((i % 2) ? (i % 4 == 1 ? -2 : 2) : 0), y);
    }
    cairo_line_to(cr, 86, top + 6);
    cairo_close_path(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    FillStroke(cr, c.Shade, 3);
}

void FootAt(cairo_t* cr, double x, double y, double size, uint32_t colour, bool curled) {
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    for (int pass = 0; pass < 2; ++pass) {
        if (curled) {
            cairo_move_to(cr, x, y);
            cairo_line_to(cr, x - 6 * size, y + 7 * size);
            cairo_line_to(cr, x - 3 * size, y + 11 * size);
            cairo_move_to(cr, x, y);
            cairo_line_to(cr, x, y + 11 * size);
            cairo_move_to(cr, x, y);
            cairo_line_to(cr, x + 6 * size, y + 7 * size);
            cairo_line_to(cr, x + 3 * size, y + 11 * size);
        } else {
            cairo_move_to(cr, x, y);
            cairo_line_to(cr, x - 6 * size, y + 10 * size);
            cairo_move_to(cr, x, y);
            cairo_line_to(cr, x, y + 11 * size);
            cairo_move_to(cr, x, y);
            cairo_line_to(cr, x + 6 * size, y + 10 * size);
        }
        if (pass == 0) {
            Stroke(cr, kInk, 8);
        } else {
            Stroke(cr, colour, 3.5);
        }
    }
}

void Leg(cairo_t* cr, double x0, double y0, double x1, double y1, uint32_t colour) {
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
    Stroke(cr, kInk, 8);
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
    Stroke(cr, colour, 3.5);
}

void DrawFeet(cairo_t* cr, const BirdPose& pose) {
    const uint32_t colour = IsCrow(pose.Kind) ? kCrowGrey : kBeak;
    switch (pose.Feet) {
    case BirdFeet::Standing:
        FootAt(cr, 52, 112, 1, colour, false);
        FootAt(cr, 76, 112, 1, colour, false);
        break;
    case BirdFeet::Tucked:
        FootAt(cr, 54, 110, 0.75, colour, true);
        FootAt(cr, 74, 110, 0.75, colour, true);
        break;
    case BirdFeet::Dangling:
        Leg(cr, 54, 108, 53 + pose.FeetSwing, 126, colour);
        Leg(cr, 74, 108, 75 + pose.FeetSwing * 0.7, 124, colour);
        FootAt(cr, 53 + pose.FeetSwing, 126, 0.9, colour, false);
        FootAt(cr, 75 + pose.FeetSwing * 0.7, 124, 0.9, colour, false);
        break;
    case BirdFeet::Gripping:
        Leg(cr, 54, 108, 52 + pose.FeetSwing, 124, colour);
        Leg(cr, 74, 108, 76 + pose.FeetSwing, 124, colour);
        FootAt(cr, 52 + pose.FeetSwing, 124, 0.9, colour, true);
        FootAt(cr, 76 + pose.FeetSwing, 124, 0.9, colour, true);
        break;
    }
}

// One wing hanging from the shoulder at the origin, pointing down when the angle is 0.
void WingPath(cairo_t* cr, bool crow, bool flight) {
    if (crow) {
        if (flight) {
            AddPath(cr, "M0 -4 L-12 14 L-22 42 L-12 34 L-8 44 L-2 32 L4 38 L8 18 Z");
        } else {
            AddPath(cr, "M0 0 L-14 24 L8 20 Z");
        }
    } else if (flight) {
        AddPath(cr, "M0 -4 C-14 4 -20 22 -16 42 C-12 38 -10 38 -8 46 C-4 40 -2 40 0 44 "
                    "C2 38 4 36 6 36 C10 22 8 6 0 -4 Z");
    } else {
        AddPath(cr, "M0 0 C-12 8 -12 22 -2 28 C4 22 6 12 0 0 Z");
    }
}

// A wing at its shoulder (x, y); `mirror` makes it the bird's other wing (sweeping to the
// right).
void DrawWing(cairo_t* cr, const BirdPose& pose, const BirdColours& c, double x, double y,
              bool mirror, double angle) {
    const bool crow = IsCrow(pose.Kind);
    const bool flight = pose.Spread > 0.5;
    cairo_save(cr);
    cairo_translate(cr, x, y);
    if (mirror) cairo_scale(cr, -1, 1);
    cairo_rotate(cr, angle * kPi / 180.0);
    const double size = flight ? 0.7 + 0.2 * std::clamp(pose.Spread, 0.5, 1.0) : 1.0;
    cairo_scale(cr, size, size);
    WingPath(cr, crow, flight);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    Colour(cr, c.Shade);
    cairo_fill_preserve(cr);
    if (flight) {
        // A lit band along the leading edge.
        cairo_save(cr);
        cairo_clip_preserve(cr);
        cairo_new_path(cr);
        if (crow) {
            AddPath(cr, "M0 -4 L-12 14 L-18 30 L-6 12 Z");
        } else {
            AddPath(cr, "M0 -4 C-14 4 -20 22 -16 40 C-12 24 -6 10 2 2 Z");
        }
        Colour(cr, c.Base);
        cairo_fill(cr);
        cairo_restore(cr);
        WingPath(cr, crow, flight);
    }
    Colour(cr, kInk);
    cairo_set_line_width(cr, 3 / size);
    cairo_stroke(cr);
    if (crow) {
        // The soot-black wings catch a blue sheen along their front edge.
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        if (flight) {
            cairo_move_to(cr, -2, 0);
            cairo_line_to(cr, -12, 16);
            cairo_line_to(cr, -18, 32);
        } else {
            cairo_move_to(cr, -2, 5);
            cairo_line_to(cr, -10, 19);
        }
        Stroke(cr, kCrowSheen, 2.5 / size);
    }
    cairo_restore(cr);
}

void DrawBody(cairo_t* cr, const BirdPose& pose, const Look& look, const BirdColours& c) {
    const bool crow = IsCrow(pose.Kind);
    const double faceDx = pose.Turn * 8;
    AddPath(cr, look.Body);
    Colour(cr, c.Shade);
    cairo_fill_preserve(cr);
    cairo_save(cr);
    cairo_clip(cr);
    cairo_save(cr);
    cairo_translate(cr, -7, -6);
    AddPath(cr, look.Body);
    Colour(cr, c.Base);
    cairo_fill(cr);
    cairo_restore(cr);
    if (crow) {
        AddPath(cr, "M30 66 L46 50 L60 48 L40 70 Z");
        Colour(cr, kCrowSheen, 0.8);
        cairo_fill(cr);
        if (!pose.Back) {
            // A cut-stone breast in the crow's lighter grey.
            cairo_save(cr);
            cairo_translate(cr, faceDx * 0.8, 0);
            AddPath(cr, "M48 84 L80 84 L90 100 L80 118 L48 118 L38 100 Z");
            Colour(cr, c.Belly);
            cairo_fill(cr);
            cairo_restore(cr);
        }
    } else if (!pose.Back) {
        Ellipse(cr, 64 + faceDx * 0.8, 98, 27, 22);
        Colour(cr, c.Belly);
        cairo_fill(cr);
    }
    Ellipse(cr, 46, 56, 14, 9, -30 * kPi / 180);
    Colour(cr, kWhite, crow ? 0.12 : 0.35);
    cairo_fill(cr);
    // Markings.
    if (pose.Kind == 3) {
        for (int i = 0; i < 3; ++i) {
            const double x = 48 + 12 * i + faceDx * 0.5;
            cairo_move_to(cr, x, 38);
            cairo_line_to(cr, x + 8, 38);
            cairo_line_to(cr, x + 6, 52);
            cairo_line_to(cr, x + 2, 52);
            cairo_close_path(cr);
        }
        Colour(cr, kInk);
        cairo_fill(cr);
    } else if (pose.Kind == 4) {
        static const double light[][3] = {{46, 46, 4.5}, {64, 43, 4}, {82, 48, 4.5},
                                          {37, 62, 4},   {91, 64, 4}, {56, 54, 3}};
        for (const auto& s : light) {
            cairo_new_sub_path(cr);
            cairo_arc(cr, s[0] + faceDx * 0.4, s[1], s[2], 0, 2 * kPi);
        }
        Colour(cr, Mix(c.Belly, c.Base, 0.1));
        cairo_fill(cr);
        if (!pose.Back) {
            static const double dark[][3] = {
                {54, 92, 4.5}, {74, 90, 5}, {63, 104, 4.5}, {45, 106, 3.5}, {84, 104, 3.5}};
            for (const auto& s : dark) {
                cairo_new_sub_path(cr);
                cairo_arc(cr, s[0] + faceDx * 0.8, s[1], s[2], 0, 2 * kPi);
            }
            Colour(cr, c.Shade);
            cairo_fill(cr);
        } else {
            static const double more[][3] = {{50, 80, 4}, {76, 84, 4.5}, {62, 98, 4}};
            for (const auto& s : more) {
                cairo_new_sub_path(cr);
                cairo_arc(cr, s[0], s[1], s[2], 0, 2 * kPi);
            }
            Colour(cr, Mix(c.Belly, c.Base, 0.1));
            cairo_fill(cr);
        }
    } else if (pose.Kind == 6) {
        // The mask band runs round the head, so it shows from behind too.
        cairo_save(cr);
        cairo_translate(cr, faceDx, 0);
        AddPath(cr, "M20 52 C44 44 84 44 108 52 L108 74 C84 69 44 69 20 74 Z");
        Colour(cr, kInk);
        cairo_fill(cr);
        cairo_restore(cr);
    }
    if (pose.Soot > 0) {
        // Soot settles low and on the lee side; a few smudges on the front.
        cairo_pattern_t* dark = cairo_pattern_create_linear(0, 50, 0, 116);
        cairo_pattern_add_color_stop_rgba(dark, 0, 0.16, 0.12, 0.14, 0.0);
        cairo_pattern_add_color_stop_rgba(dark, 1, 0.16, 0.12, 0.14, 0.45 * pose.Soot);
        cairo_set_source(cr, dark);
        cairo_paint(cr);
        cairo_pattern_destroy(dark);
        static const double blots[][4] = {
            {44, 96, 7, 4}, {80, 88, 6, 3.5}, {70, 108, 8, 3.5}, {88, 54, 5, 3}};
        for (const auto& b : blots) Ellipse(cr, b[0], b[1], b[2], b[3], 0.3);
        Colour(cr, 0x2A1E24, 0.5 * pose.Soot);
        cairo_fill(cr);
    }
    cairo_restore(cr);
    AddPath(cr, look.Body);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    Stroke(cr, kInk, 4);
}

void DrawEye(cairo_t* cr, const BirdPose& pose, const Look& look, const BirdColours& c, double ex,
             double ey, double squeezeX, bool left) {
    const double r = look.EyeR;
    const double ring = pose.Kind == 3 ? 4 : 3;
    cairo_save(cr);
    cairo_translate(cr, ex, ey);
    cairo_scale(cr, squeezeX, 1);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    const double side = left ? 1 : -1; // towards the middle of the face
    // Sunny's eye rings are a marking: they stay when its eyes shut or squeeze.
    if (pose.Kind == 3 && (pose.Face == BirdFace::Happy || pose.Face == BirdFace::Effort)) {
        cairo_arc(cr, 0, 0, r, 0, 2 * kPi);
        FillStroke(cr, c.Base, ring);
    }
    switch (pose.Face) {
    case BirdFace::Happy:
        cairo_arc(cr, 0, 3, r * 0.7, kPi * 1.15, kPi * 1.85);
        Stroke(cr, kInk, 3.5);
        break;
    case BirdFace::Effort:
        cairo_move_to(cr, -6 * side, -6);
        cairo_line_to(cr, 5 * side, 0);
        cairo_line_to(cr, -6 * side, 6);
        Stroke(cr, kInk, 3.5);
        break;
    case BirdFace::Dazed: {
        cairo_arc(cr, 0, 0, r, 0, 2 * kPi);
        FillStroke(cr, kWhite, ring);
        const double turns = 2.2;
        for (int i = 0; i <= 40; ++i) {
            const double t = i / 40.0;
            const double a = t * turns * 2 * kPi * side;
            const double rr = 1 + t * (r - 3.5);
            if (i == 0) {
                cairo_move_to(cr, rr * std::cos(a), rr * std::sin(a));
            } else {
                cairo_line_to(cr, rr * std::cos(a), rr * std::sin(a));
            }
        }
        Stroke(cr, kInk, 2);
        break;
    }
    default: {
        // Blossom's eyes sit on its ink mask, so its lids are ink with a light edge.
        const bool masked = pose.Kind == 6;
        if (pose.Blink >= 0.95) {
            if (pose.Kind == 3) {
                cairo_arc(cr, 0, 0, r, 0, 2 * kPi);
                FillStroke(cr, c.Base, ring);
            }
            cairo_arc_negative(cr, 0, -2, r * 0.75, kPi * 0.85, kPi * 0.15);
            Stroke(cr, masked ? c.Belly : kInk, 3);
            break;
        }
        cairo_arc(cr, 0, 0, r, 0, 2 * kPi);
        Colour(cr, kWhite);
        cairo_fill(cr);
        const double pr = pose.Face == BirdFace::Worried ? r * 0.45 : r * 0.57;
        const double px = std::clamp(pose.LookX, -(r - pr - 1), r - pr - 1);
        const double py = std::clamp(pose.LookY, -(r - pr - 1), r - pr - 1);
        cairo_arc(cr, px, py, pr, 0, 2 * kPi);
        Colour(cr, kInk);
        cairo_fill(cr);
        cairo_arc(cr, px + pr * 0.35, py - pr * 0.5, std::max(1.6, pr * 0.37), 0, 2 * kPi);
        Colour(cr, kWhite);
        cairo_fill(cr);
        if (pose.Blink > 0) {
            // The lid comes down in the body colour.
            cairo_save(cr);
            cairo_arc(cr, 0, 0, r, 0, 2 * kPi);
            cairo_clip(cr);
            const double edge = -r + 2 * r * pose.Blink;
            cairo_rectangle(cr, -r - 2, -r - 2, 2 * r + 4, edge + r + 2);
            Colour(cr, masked ? kInk : c.Base);
            cairo_fill(cr);
            cairo_move_to(cr, -r, edge);
            cairo_line_to(cr, r, edge);
            Stroke(cr, masked ? c.Belly : kInk, 2.5);
            cairo_restore(cr);
        }
        cairo_arc(cr, 0, 0, r, 0, 2 * kPi);
        Stroke(cr, kInk, ring);
        break;
    }
    }
    cairo_restore(cr);
    // Brows; Sunny's big eye rings leave no room for them, Blossom's sit above its mask.
    if ((pose.Face == BirdFace::Worried || pose.Face == BirdFace::Effort) && pose.Kind != 3) {
        const double by = ey - r - (pose.Kind == 6 ? 9 : 5);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        const double in = pose.Face == BirdFace::Worried ? -4 : 3;
        cairo_move_to(cr, ex - 7 * side * squeezeX, by + 2);
        cairo_line_to(cr, ex + 7 * side * squeezeX, by + in);
        Stroke(cr, kInk, 3);
    }
}

void DrawCrowFace(cairo_t* cr, const BirdPose& pose, double faceDx) {
    cairo_save(cr);
    cairo_translate(cr, faceDx, 0);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    const double open = std::clamp(1 - pose.Blink, 0.1, 1.0);
    const char* eyes[] = {"M41 58 L60 56 L57 68 L43 66 Z", "M67 56 L86 58 L85 66 L71 68 Z"};
    const double cx[] = {51, 77};
    for (int i = 0; i < 2; ++i) {
        cairo_save(cr);
        cairo_translate(cr, 0, 62);
        cairo_scale(cr, 1, open);
        cairo_translate(cr, 0, -62);
        if (pose.Face == BirdFace::Dazed) {
            cairo_arc(cr, cx[i], 62, 7, 0, 2 * kPi);
            FillStroke(cr, kSun, 3);
            cairo_move_to(cr, cx[i] - 4, 58);
            cairo_line_to(cr, cx[i] + 4, 66);
            cairo_move_to(cr, cx[i] + 4, 58);
            cairo_line_to(cr, cx[i] - 4, 66);
            Stroke(cr, kInk, 2.5);
        } else {
            AddPath(cr, eyes[i]);
            FillStroke(cr, kSun, 3);
            cairo_arc(cr, cx[i] + std::clamp(pose.LookX, -3.0, 3.0),
                      62 + std::clamp(pose.LookY, -1.5, 1.5), 3.5, 0, 2 * kPi);
            Colour(cr, kInk);
            cairo_fill(cr);
        }
        cairo_restore(cr);
    }
    // The frown: brows pointing down to the beak; a startled crow lifts them.
    if (pose.Face == BirdFace::Worried || pose.Face == BirdFace::Dazed) {
        cairo_move_to(cr, 34, 50);
        cairo_line_to(cr, 58, 48);
        cairo_move_to(cr, 94, 50);
        cairo_line_to(cr, 70, 48);
    } else {
        cairo_move_to(cr, 32, 50);
        cairo_line_to(cr, 60, 58);
        cairo_move_to(cr, 96, 50);
        cairo_line_to(cr, 68, 58);
    }
    Stroke(cr, kInk, 5);
    const double tip = pose.Turn * 8;
    if (pose.BeakOpen > 0) {
        cairo_move_to(cr, 56, 70);
        cairo_line_to(cr, 72, 70);
        cairo_line_to(cr, 64 + tip, 84);
        cairo_close_path(cr);
        FillStroke(cr, kCrowGrey, 3);
        cairo_move_to(cr, 58, 74 + 6 * pose.BeakOpen);
        cairo_line_to(cr, 70, 74 + 6 * pose.BeakOpen);
        cairo_line_to(cr, 64 + tip, 92);
        cairo_close_path(cr);
        FillStroke(cr, Mix(kCrowGrey, kInk, 0.3), 3);
    } else {
        cairo_move_to(cr, 56, 70);
        cairo_line_to(cr, 72, 70);
        cairo_line_to(cr, 64 + tip, 92);
        cairo_close_path(cr);
        FillStroke(cr, kCrowGrey, 3);
    }
    cairo_restore(cr);
}

void DrawFace(cairo_t* cr, const BirdPose& pose, const Look& look, const BirdColours& c) {
    const double faceDx = pose.Turn * 8;
    if (IsCrow(pose.Kind)) {
        DrawCrowFace(cr, pose, faceDx);
        return;
    }
    const double t = std::fabs(pose.Turn);
    // Cheeks; the far one turns away.
    const double cheekAlpha[] = {pose.Turn > 0 ? 1 - t : 1.0, pose.Turn < 0 ? 1 - t : 1.0};
    const double cheekX[] = {42, 86};
    for (int i = 0; i < 2; ++i) {
        if (cheekAlpha[i] <= 0.01) continue;
        Ellipse(cr, cheekX[i] + faceDx * 1.1, 78 + (pose.Kind == 3 ? 4 : 0), 7, 4.5);
        Colour(cr, kBlush, 0.75 * cheekAlpha[i] * (1 - 0.6 * pose.Soot));
        cairo_fill(cr);
    }
    const double eyeY = 62;
    const double squeezeLeft = pose.Turn > 0 ? 1 - 0.3 * t : 1.0;
    const double squeezeRight = pose.Turn < 0 ? 1 - 0.3 * t : 1.0;
    DrawEye(cr, pose, look, c, 51 + faceDx - (pose.Kind == 3 ? 1 : 0), eyeY, squeezeLeft, true);
    DrawEye(cr, pose, look, c, 77 + faceDx + (pose.Kind == 3 ? 1 : 0), eyeY, squeezeRight, false);

    // Beak: the upper half, and the lower half when it is open.
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    const bool longBeak = pose.Kind == 6;
    const double bx = 64 + faceDx * 1.2;
    const double tipX = bx + pose.Turn * 7;
    const double by = longBeak ? 72 : 73;
    const double tipY = longBeak ? 90 : 84;
    if (pose.BeakOpen > 0) {
        const double o = 5 * pose.BeakOpen;
        cairo_move_to(cr, bx - 7, by + 3 + o);
        cairo_line_to(cr, bx + 7, by + 3 + o);
        cairo_line_to(cr, tipX, tipY + o + 1);
        cairo_close_path(cr);
        FillStroke(cr, kBeakShade, 3);
        cairo_move_to(cr, bx - 8, by);
        cairo_curve_to(cr, bx - 4, by - 3, bx + 4, by - 3, bx + 8, by);
        cairo_line_to(cr, tipX, by + 7 + (tipY - by - 11) * 0.6);
        cairo_close_path(cr);
        FillStroke(cr, kBeak, 3);
    } else {
        if (longBeak) {
            cairo_move_to(cr, bx - 8, by);
            cairo_line_to(cr, bx + 8, by);
        } else {
            cairo_move_to(cr, bx - 8, by);
            cairo_curve_to(cr, bx - 4, by - 3, bx + 4, by - 3, bx + 8, by);
        }
        cairo_line_to(cr, tipX, tipY);
        cairo_close_path(cr);
        FillStroke(cr, kBeak, 3);
        cairo_move_to(cr, bx - 6, by + 2.5);
        cairo_line_to(cr, bx + 6, by + 2.5);
        Stroke(cr, kBeakShade, 1.5);
    }
}

void DrawRope(cairo_t* cr) {
    const double bands[] = {90, 104};
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (const double y : bands) {
        for (int pass = 0; pass < 2; ++pass) {
            cairo_move_to(cr, 16, y - 6);
            cairo_curve_to(cr, 36, y + 6, 92, y + 6, 112, y - 6);
            if (pass == 0) {
                Stroke(cr, kInk, 10);
            } else {
                Stroke(cr, kRope, 6);
            }
        }
        // The twist of the strands.
        for (int i = 0; i < 13; ++i) {
            const double t = (i + 0.5) / 13.0;
            const double u = 1 - t;
            const double x =
                u * u * u * 16 + 3 * u * u * t * 36 + 3 * u * t * t * 92 + t * t * t * 112;
            const double yy = u * u * u * (y - 6) + 3 * u * u * t * (y + 6) +
                              3 * u * t * t * (y + 6) + t * t * t * (y - 6);
            cairo_move_to(cr, x - 1.5, yy - 2.5);
            cairo_line_to(cr, x + 1.5, yy + 2.5);
        }
        Stroke(cr, kRopeShade, 1.5);
    }
    // The knot in front, with its two loose ends.
    for (int pass = 0; pass < 2; ++pass) {
        cairo_move_to(cr, 76, 102);
        cairo_curve_to(cr, 74, 110, 70, 114, 66, 120);
        cairo_move_to(cr, 80, 102);
        cairo_curve_to(cr, 84, 110, 88, 114, 90, 120);
        if (pass == 0) {
            Stroke(cr, kInk, 9);
        } else {
            Stroke(cr, kRope, 5);
        }
    }
    Ellipse(cr, 78, 100, 7, 6);
    FillStroke(cr, kRope, 3);
    cairo_move_to(cr, 74, 98);
    cairo_line_to(cr, 82, 102);
    Stroke(cr, kRopeShade, 1.5);
}

void DrawSmoke(cairo_t* cr, const Look& look, double phase) {
    for (int i = 0; i < 3; ++i) {
        const double p = Frac(phase + i / 3.0);
        const double x = 52 + 14 * i + 6 * std::sin(p * 2 * kPi + i * 2.0);
        const double y = look.Top - 2 - p * 28;
        const double r = 6 + p * 9;
        const double alpha = (1 - p * p) * std::min(1.0, p * 5 + 0.3);
        cairo_push_group(cr);
        cairo_new_sub_path(cr);
        cairo_arc(cr, x, y, r, 0, 2 * kPi);
        Colour(cr, 0x3A3440);
        cairo_fill(cr);
        cairo_new_sub_path(cr);
        cairo_arc(cr, x - r * 0.15, y - r * 0.15, r - 2, 0, 2 * kPi);
        Colour(cr, 0x6E6A78);
        cairo_fill(cr);
        cairo_new_sub_path(cr);
        cairo_arc(cr, x - r * 0.35, y - r * 0.35, r * 0.45, 0, 2 * kPi);
        Colour(cr, 0xA8A4B0);
        cairo_fill(cr);
        cairo_pop_group_to_source(cr);
        cairo_paint_with_alpha(cr, 0.85 * alpha);
    }
}

} // namespace

void DrawBirdPose(cairo_t* cr, const BirdPose& pose, double cx, double cy, double scale) {
    const Look& look = LookOf(pose.Kind);
    const BirdColours c = ColoursOf(look, pose.Soot);
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, scale, scale);
    cairo_translate(cr, -64, -76);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);

    // Standing feet stay where they are whatever the body does.
    if (pose.Feet == BirdFeet::Standing) DrawFeet(cr, pose);

    cairo_save(cr);
    cairo_translate(cr, pose.BodyDx, pose.BodyDy);
    cairo_translate(cr, 64, 80);
    cairo_rotate(cr, pose.Lean * kPi / 180.0);
    cairo_translate(cr, -64, -80);
    // The tail rests low behind the bird and does not breathe with the body, so a standing
    // bird's lowest rows keep still.
    if (!pose.Back) DrawExtras(cr, pose, c, Extras::Tail);
    cairo_save(cr);
    cairo_translate(cr, 64, 116);
    cairo_scale(cr, 1 + 0.6 * pose.Squash, 1 - pose.Squash);
    cairo_translate(cr, -64, -116);

    if (pose.Feet != BirdFeet::Standing) DrawFeet(cr, pose);
    DrawFrazzle(cr, look, c, pose.Soot);
    DrawExtras(cr, pose, c, Extras::Head);
    // Seen from the side, both wings sweep back from the shoulders on top of the body: the
    // far one behind the body and a little higher, the near one in front of it.
    const bool side = std::fabs(pose.Turn) > 0.3;
    const bool toRight = pose.Turn > 0;
    const double sideAngle = toRight ? pose.WingLeft : pose.WingRight;
    auto sideX = [toRight](double x) { return toRight ? x : 128 - x; };
    if (side) {
        DrawWing(cr, pose, c, sideX(look.PivotX + 10), look.PivotY - 6, !toRight, sideAngle + 14);
    }
    DrawBody(cr, pose, look, c);
    if (side) {
        DrawWing(cr, pose, c, sideX(50), look.PivotY + 2, !toRight, sideAngle);
    } else {
        DrawWing(cr, pose, c, look.PivotX, look.PivotY, false, pose.WingLeft);
        DrawWing(cr, pose, c, 128 - look.PivotX, look.PivotY, true, pose.WingRight);
    }
    if (!pose.Back) DrawFace(cr, pose, look, c);
    if (pose.Rope) DrawRope(cr);
    if (pose.Smoke >= 0) DrawSmoke(cr, look, pose.Smoke);
    cairo_restore(cr);
    // From behind, the tail is nearest.
    if (pose.Back) DrawExtras(cr, pose, c, Extras::Tail);
    cairo_restore(cr);
    cairo_restore(cr);
}

void DrawBirdEgg(cairo_t* cr, int kind, int stage, double cx, double cy, double scale) {
    const bool crow = IsCrow(kind);
    const Look& look = LookOf(kind);
    const uint32_t shell = crow ? 0xE6E0D6 : kCream;
    const uint32_t shellShade = crow ? 0xB8B0A6 : 0xEBD5A4;
    const char* egg = "M64 44 C84 44 96 74 96 92 C96 110 82 122 64 122 C46 122 32 110 32 92 "
                      "C32 74 44 44 64 44 Z";
    // The crack runs round the egg at about a third of its height.
    static const double crack[][2] = {{28, 80}, {38, 73}, {46, 82}, {55, 72}, {63, 81},
                                      {71, 71}, {79, 80}, {88, 72}, {100, 79}};
    const double h = stage >= 2 ? std::clamp((stage - 2) / 13.0, 0.0, 1.0) : 0.0;
    const double ease = h * h * (3 - 2 * h);

    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, scale, scale);
    cairo_translate(cr, -64, -76);
    // A little larger than drawn, about the middle of its bottom, so the egg is as big as
    // the bird's body.
    cairo_translate(cr, 64, 122);
    cairo_scale(cr, 1.12, 1.12);
    cairo_translate(cr, -64, -122);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);

    auto shellPart = [&](bool top) {
        cairo_save(cr);
        // Clip to the part above or below the crack.
        if (top) {
            cairo_move_to(cr, 0, 0);
            cairo_line_to(cr, 128, 0);
        } else {
            cairo_move_to(cr, 0, 140);
            cairo_line_to(cr, 128, 140);
        }
        cairo_line_to(cr, 128, crack[8][1]);
        for (int i = 8; i >= 0; --i) cairo_line_to(cr, crack[i][0], crack[i][1]);
        cairo_line_to(cr, 0, crack[0][1]);
        cairo_close_path(cr);
        if (stage >= 2) cairo_clip(cr);
        cairo_new_path(cr);
        AddPath(cr, egg);
        Colour(cr, shellShade);
        cairo_fill_preserve(cr);
        cairo_save(cr);
        cairo_clip(cr);
        cairo_save(cr);
        cairo_translate(cr, -6, -6);
        AddPath(cr, egg);
        Colour(cr, shell);
        cairo_fill(cr);
        cairo_restore(cr);
        static const double dots[][3] = {{50, 62, 5},  {72, 56, 4},  {82, 76, 5.5},  {44, 92, 6},
                                         {66, 84, 4},  {84, 100, 5}, {58, 108, 4.5}, {62, 48, 3},
                                         {40, 110, 3}, {74, 116, 3}};
        for (const auto& d : dots) {
            cairo_new_sub_path(cr);
            cairo_arc(cr, d[0], d[1], d[2], 0, 2 * kPi);
        }
        Colour(cr, look.Base);
        cairo_fill(cr);
        Ellipse(cr, 50, 62, 9, 14, 0.35);
        Colour(cr, kWhite, 0.45);
        cairo_fill(cr);
        cairo_restore(cr);
        AddPath(cr, egg);
        Stroke(cr, kInk, 4);
        cairo_restore(cr);
        if (stage >= 2) {
            // The broken edge.
            for (int i = 0; i < 9; ++i) {
                const double x = std::clamp(crack[i][0], 33.0, 95.0);
                if (i == 0) {
                    cairo_move_to(cr, x, crack[i][1]);
                } else {
                    cairo_line_to(cr, x, crack[i][1]);
                }
            }
            Stroke(cr, kInk, 3);
        }
    };

    if (stage >= 2) {
        // The chick rises inside the shell.
        cairo_save(cr);
        AddPath(cr, egg);
        cairo_rectangle(cr, -40, -60, 208, 60 + 80);
        cairo_clip(cr);
        BirdPose chick;
        chick.Kind = kind;
        chick.Feet = BirdFeet::Tucked;
        chick.LookX = 0;
        chick.LookY = -1;
        chick.Face = stage >= 13 ? BirdFace::Normal : BirdFace::Happy;
        chick.WingLeft = chick.WingRight = 20 * ease;
        DrawBirdPose(cr, chick, 64, 112 - 38 * ease, 0.8);
        cairo_restore(cr);
    }
    shellPart(false);
    if (stage < 2) {
        shellPart(true);
        if (stage == 1) {
            cairo_move_to(cr, crack[2][0], crack[2][1]);
            for (int i = 3; i <= 6; ++i) cairo_line_to(cr, crack[i][0], crack[i][1]);
            cairo_move_to(cr, crack[4][0], crack[4][1]);
            cairo_line_to(cr, 60, 88);
            Stroke(cr, kInk, 2.5);
        }
    } else {
        cairo_save(cr);
        cairo_translate(cr, 30 - 10 * ease, 78 - 15 * ease);
        cairo_rotate(cr, -0.75 * ease);
        cairo_translate(cr, -30, -78);
        shellPart(true);
        cairo_restore(cr);
    }
    // Little sparkles while it opens.
    if (stage >= 3 && stage <= 12) {
        const double s = std::sin((stage - 3) / 9.0 * kPi);
        const double pts[][2] = {{22, 58}, {106, 64}, {100, 36}};
        for (const auto& p : pts) {
            const double r = 6 * s;
            cairo_move_to(cr, p[0], p[1] - r);
            cairo_line_to(cr, p[0] + r * 0.3, p[1] - r * 0.3);
            cairo_line_to(cr, p[0] + r, p[1]);
            cairo_line_to(cr, p[0] + r * 0.3, p[1] + r * 0.3);
            cairo_line_to(cr, p[0], p[1] + r);
            cairo_line_to(cr, p[0] - r * 0.3, p[1] + r * 0.3);
            cairo_line_to(cr, p[0] - r, p[1]);
            cairo_line_to(cr, p[0] - r * 0.3, p[1] - r * 0.3);
            cairo_close_path(cr);
            Colour(cr, kSun);
            cairo_fill(cr);
        }
    }
    cairo_restore(cr);
}

void DrawBirdBurst(cairo_t* cr, int step, int frames, double cx, double cy, double scale) {
    const double t = frames > 1 ? std::clamp(step / double(frames - 1), 0.0, 1.0) : 0.0;
    const double out = 1 - (1 - t) * (1 - t);
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, scale, scale);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);

    // One cloud of puffs spreading from the middle and rising a little: all outlines first,
    // then all fills, so the puffs merge into one outlined cloud.
    const double fade = t < 0.55 ? 1.0 : std::max(0.0, 1 - (t - 0.55) / 0.45);
    struct Puff {
        double X, Y, R;
    };
    std::vector<Puff> puffs;
    for (int i = 0; i < 8; ++i) {
        const double a = i * 2 * kPi / 8 + 0.35;
        const double d = 6 + 26 * out;
        const double r = (11 + 5 * (i % 3)) * (0.55 + 0.6 * out) * (1 - 0.3 * t * t);
        puffs.push_back({d * std::cos(a), d * std::sin(a) * 0.8 - 12 * t, r});
    }
    puffs.push_back({0, -10 * t, 20 + 6 * out});
    if (fade > 0) {
        cairo_push_group(cr);
        for (const Puff& p : puffs) {
            cairo_new_sub_path(cr);
            cairo_arc(cr, p.X, p.Y, p.R + 1.5, 0, 2 * kPi);
        }
        Colour(cr, kInk);
        cairo_fill(cr);
        for (const Puff& p : puffs) {
            cairo_new_sub_path(cr);
            cairo_arc(cr, p.X, p.Y, p.R - 1.5, 0, 2 * kPi);
        }
        Colour(cr, 0xCFC6BC);
        cairo_fill(cr);
        for (const Puff& p : puffs) {
            cairo_new_sub_path(cr);
            cairo_arc(cr, p.X - p.R * 0.22, p.Y - p.R * 0.25, p.R * 0.72, 0, 2 * kPi);
        }
        Colour(cr, 0xF4EFE6);
        cairo_fill(cr);
        cairo_pop_group_to_source(cr);
        cairo_paint_with_alpha(cr, fade);
    }
    // The flash, over the cloud while it is young.
    if (t < 0.3) {
        const double f = t / 0.3;
        const double r = 34 + 30 * f;
        const double alpha = 1 - f * f;
        for (int pass = 0; pass < 2; ++pass) {
            const double rr = pass ? r * 0.55 : r;
            for (int i = 0; i < 16; ++i) {
                const double a = i * kPi / 8 + 0.2;
                const double d = (i % 2) ? rr * 0.42 : rr;
                if (i == 0) {
                    cairo_move_to(cr, d * std::cos(a), d * std::sin(a));
                } else {
                    cairo_line_to(cr, d * std::cos(a), d * std::sin(a));
                }
            }
            cairo_close_path(cr);
            if (pass) {
                Colour(cr, kWhite, alpha);
                cairo_fill(cr);
            } else {
                Colour(cr, kSun, alpha);
                cairo_fill_preserve(cr);
                Colour(cr, kGold, alpha);
                cairo_set_line_width(cr, 3);
                cairo_stroke(cr);
            }
        }
    }
    // Feathers flying out and tumbling down.
    if (t > 0.05) {
        for (int i = 0; i < 7; ++i) {
            const double a = i * 2 * kPi / 7 - 1.2;
            const double d = 16 + 54 * out;
            const double x = d * std::cos(a);
            const double y = d * std::sin(a) * 0.8 + 22 * t * t;
            const double alpha = t < 0.7 ? 1.0 : std::max(0.0, 1 - (t - 0.7) / 0.3);
            cairo_save(cr);
            cairo_translate(cr, x, y);
            cairo_rotate(cr, a + 5 * t + i);
            cairo_move_to(cr, -9, 0);
            cairo_curve_to(cr, -4, -5, 4, -5, 9, 0);
            cairo_curve_to(cr, 4, 5, -4, 5, -9, 0);
            cairo_close_path(cr);
            Colour(cr, i % 2 ? kWhite : kCream, alpha);
            cairo_fill_preserve(cr);
            Colour(cr, kInk, alpha);
            cairo_set_line_width(cr, 2.5);
            cairo_stroke(cr);
            cairo_move_to(cr, -8, 0);
            cairo_line_to(cr, 5, 0);
            cairo_set_line_width(cr, 1.5);
            cairo_stroke(cr);
            cairo_restore(cr);
        }
    }
    cairo_restore(cr);
}

} // namespace bw::pack
