#pragma once

#include "converter/geometry.h"
#include "switches/switches.h"

#include <bitset>
#include <optional>
#include <string>
#include <vector>

namespace bp::conv {

// A light colour: either an LDraw colour number or red, green, blue
// fractions.
struct LightColour {
    std::optional<int> code;
    Vec3 rgb{1, 1, 1};
};

struct LightSwitch {
    bool globe = true; // -lg: latitude, longitude, radius; -lc: x, y, z
    Vec3 position;
    LightColour colour;
};

enum class FloorType { None, Grey, Checkered };

struct Options {
    std::string model;
    std::string output;

    std::optional<Vec3> cameraGlobe; // latitude, longitude, radius (0 = fit)
    std::optional<Vec3> cameraAt;
    std::optional<Vec3> lookAt;
    double cameraAngle = 67.38;

    std::vector<LightSwitch> lights;

    std::optional<LightColour> background;
    FloorType floor = FloorType::None;
    std::optional<double> floorY;

    double seamWidth = 0.5;
    int quality = 2;
    std::optional<int> defaultColour;

    // The switches without a value that were given (-ld, -bu, -o, ...).
    std::bitset<switches::kSwitchCount> plain;
    bool has(switches::Id id) const { return plain.test(switches::indexOf(id)); }
    void set(switches::Id id, bool on = true) { plain.set(switches::indexOf(id), on); }

    bool help = false;
    bool version = false;
};

struct ParseResult {
    Options options;
    std::string error; // empty when the arguments were understood
};

ParseResult parseArguments(const std::vector<std::string>& args);

using switches::Id;
using switches::parseColourCode;

} // namespace bp::conv
