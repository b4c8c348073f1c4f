#pragma once

#include "converter/colours.h"

#include <ostream>
#include <string>

namespace bp::conv {

// The finishes that every colour's material is made of, written into the
// scene's header as settings the user may change.
void writeFinishes(std::ostream& out);

// "#declare BPTex<code> = texture {...}" (the surface alone, for layering a
// print over it) and "#declare BPColor<code> = material {...}".
void writeMaterial(std::ostream& out, int code, const Colour& colour);

// A colour as the scene writes it: LDraw's values are sRGB, and the scene
// works in linear light (assumed_gamma 1).
std::string srgbText(const Vec3& rgb);

// The linear light of an sRGB colour, as "srgb" does it.
Vec3 linearRgb(const Vec3& rgb);

} // namespace bp::conv
