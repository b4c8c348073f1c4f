#pragma once

#include "converter/geometry.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace bp::conv {

inline constexpr int kMainColour = 16;
inline constexpr int kEdgeColour = 24;

// The surface LDConfig gives a colour; transparency and glow come on top.
enum class Material { Solid, Chrome, Pearlescent, Metal, MatteMetallic, Rubber };

// Flakes of a second colour in the surface ("MATERIAL GLITTER" / "SPECKLE").
enum class Flakes { None, Glitter, Speckle };

struct Colour {
    std::string name;
    Vec3 rgb;     // sRGB, 0..1, as LDConfig writes it
    int edge = 0; // an LDraw colour number or a direct colour
    Vec3 edgeRgb; // used when the edge is given as "#RRGGBB"
    bool edgeIsRgb = false;
    int alpha = 255;
    int luminance = 0;
    Material material = Material::Solid;
    Flakes flakes = Flakes::None;
    Vec3 flakeRgb;
    double flakeFraction = 0; // of the surface
    double flakeSize = 1;     // LDU across
    bool transparent() const { return alpha < 255; }
    bool luminous() const { return luminance > 0; }
    // The edge as a colour number: a "#RRGGBB" edge becomes a direct colour.
    int edgeCode() const;
};

// The colours of one conversion: LDConfig.ldr's, those defined in the model,
// and direct colours (0x2RRGGBB) made up on the fly.
class ColourTable {
  public:
    // Reads one "0 !COLOUR" line (without its leading "0"); false when it is
    // not one.
    bool define(std::string_view line);
    std::optional<Colour> find(int code) const;
    static bool isDirect(int code) { return code >= 0x2000000 && code <= 0x2FFFFFF; }
    static int directCode(const Vec3& rgb);
    std::size_t size() const { return m_colours.size(); }

  private:
    std::map<int, Colour> m_colours;
};

} // namespace bp::conv
