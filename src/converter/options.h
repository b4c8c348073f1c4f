#pragma once

#include "converter/geometry.h"
#include "switches/switches.h"

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

    bool defaultLights = false; // -ld
    bool modelLights = false;   // -l
    std::vector<LightSwitch> lights;

    std::optional<LightColour> background;
    FloorType floor = FloorType::None;
    std::optional<double> floorY;

    bool bumps = false;
    double seamWidth = 0.5;
    int quality = 2;
    bool lgeo = false;
    std::optional<int> defaultColour;
    bool noPrimitives = false; // -p
    bool excludeNonPov = false;
    bool overwrite = false;
    bool stepClock = false;

    bool update = false;
    bool help = false;
    bool version = false;
};

struct ParseResult {
    Options options;
    std::string error; // empty when the arguments were understood
};

ParseResult parseArguments(const std::vector<std::string>& args);

using switches::parseColourCode;

} // namespace bp::conv
