#pragma once

#include "converter/geometry.h"
#include "switches/switches.h"

#include <array>
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

    std::vector<LightSwitch> lights;

    std::optional<LightColour> background;
    FloorType floor = FloorType::None;
    std::optional<double> floorY;

    // The switches that were given, each with its value as written after
    // its name (the last one given counts); the switches whose value is
    // more than one number are read into the fields above as well.
    std::bitset<switches::kSwitchCount> given;
    std::array<std::string, switches::kSwitchCount> values;
    bool has(switches::Id id) const { return given.test(switches::indexOf(id)); }
    void set(switches::Id id, bool on = true) { given.set(switches::indexOf(id), on); }
    const std::string& value(switches::Id id) const { return values[switches::indexOf(id)]; }
    // A value that is one number, or the fallback when the switch was not given.
    double number(switches::Id id, double fallback) const;

    double cameraAngle() const { return number(switches::Id::CameraAngle, 67.38); }
    double seamWidth() const { return number(switches::Id::SeamWidth, 0.5); }
    int quality() const;
    std::optional<int> defaultColour() const;

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
