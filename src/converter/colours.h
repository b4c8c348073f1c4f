#pragma once

#include "converter/geometry.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace bp::conv {

inline constexpr int kMainColour = 16;
inline constexpr int kEdgeColour = 24;

enum class Finish { Plain, Chrome, Pearlescent, Metal, Rubber };

struct Colour {
    std::string name;
    Vec3 rgb;     // 0..1
    int edge = 0; // an LDraw colour number or a direct colour
    Vec3 edgeRgb; // used when the edge is given as "#RRGGBB"
    bool edgeIsRgb = false;
    int alpha = 255;
    int luminance = 0;
    Finish finish = Finish::Plain;
    bool transparent() const { return alpha < 255; }
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
    std::size_t size() const { return m_colours.size(); }

  private:
    std::map<int, Colour> m_colours;
};

} // namespace bp::conv
