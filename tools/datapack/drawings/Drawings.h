// The drawing programs of the data build (see pack/PackDrawings.h for the contract).
#pragma once

#include "pack/PackDrawings.h"

namespace bw::pack {

// "bird": the board bird of one kind in one animation sheet. Parameters: "kind" (1..6,
// "crow", or "strip": kinds 1..6 one after another, 16 frames each), "sheet" (idle, bounded,
// egg, drag, move, fly, burn, explosion, matchcat_left, matchcat_right). See DrawBird.h.
bool DrawBird(cairo_t* cr, const DrawContext& context, std::string& error);

// "cat": the board cat of one kind in one animation sheet. Parameters: "kind" (1..5), "sheet"
// (idle, drop, match, fly; move_right, move_left, move_down, move_up for kind 4); "sheet"
// shadow (the warning shadow of a falling cat) and bubble (a caught cat's thought bubble,
// "symbol" 1..3) need no kind, nor do the boss cat's sheets (boss_idle, boss_eat,
// boss_fallasleep, boss_sleep, boss_hamburger, boss_panel, boss_fill). See DrawCat.cpp.
bool DrawCat(cairo_t* cr, const DrawContext& context, std::string& error);

// "grain": film-grain noise that tiles seamlessly. Parameters: "amount" (0..1, default 0.5:
// how bright the grains get), "softness" (0..1, default 0.35: how much each grain spreads).
bool DrawGrain(cairo_t* cr, const DrawContext& context, std::string& error);

// "solid": the whole cell in one colour. Parameter: "color" (#RRGGBB or #AARRGGBB, default
// opaque black).
bool DrawSolid(cairo_t* cr, const DrawContext& context, std::string& error);

} // namespace bw::pack
