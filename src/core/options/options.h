#pragma once

#include "switches/switches.h"

#include <array>
#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace bp {

// A check box's state; a scene stores it as its number.
enum class Check { Clear = 0, Ticked = 1, Greyed = 2 };

constexpr bool ticked(Check c) {
    return c == Check::Ticked;
}
// A check box's Value counts as ticked only when it is 1.
constexpr bool ticked(int value) {
    return value == 1;
}

// A check box's Value as a state: anything but 1 and 2 is clear.
constexpr Check checkOf(int value) {
    return value == 1 ? Check::Ticked : value == 2 ? Check::Greyed : Check::Clear;
}

constexpr int valueOf(Check c) {
    return static_cast<int>(c);
}

// The light table's size: lights 1 to kLights, each of kLightValues values
// in the order scenes and presets keep them (position, colour, placement).
inline constexpr int kLights = 20;
inline constexpr int kLightValues = 7;
// Lighting presets kept at once, built-in and the user's.
inline constexpr int kLightPresets = 20;

// One light: its position (latitude, longitude, radius, or X, Y, Z), its
// colour as fractions (1 is full intensity), and its placement: 0 by globe
// position, any other number by coordinates (the program writes 1).
struct Light {
  private:
    template <typename Self> static auto* valueIn(Self& l, int v) {
        if (v < 1 || v > kLightValues)
            throw std::out_of_range("light value " + std::to_string(v));
        return v <= 3   ? &l.position[static_cast<std::size_t>(v - 1)]
               : v <= 6 ? &l.colour[static_cast<std::size_t>(v - 4)]
                        : &l.placement;
    }

  public:
    std::array<float, 3> position{};
    std::array<float, 3> colour{};
    float placement = 0;

    bool byCoordinates() const { return placement != 0; }
    // A light is in use when any of its position values is not zero.
    bool inUse() const { return position[0] != 0 || position[1] != 0 || position[2] != 0; }
    // Value 1 to kLightValues in the stored order, for the code that reads
    // and writes a light as a row of numbers.
    float& value(int v) { return *valueIn(*this, v); }
    float value(int v) const { return *valueIn(*this, v); }
    bool operator==(const Light&) const = default;
};

struct LightTable {
    std::array<Light, kLights> lights{};

    // Light 1 to kLights, as the program numbers them.
    Light& light(int number) { return lights.at(static_cast<std::size_t>(number - 1)); }
    const Light& light(int number) const { return lights.at(static_cast<std::size_t>(number - 1)); }
    bool operator==(const LightTable&) const = default;
};

// POV-Ray's render settings, as typed into the render settings window; the
// defaults are that window's before anyone changes it.
struct RenderSettings {
    std::string outputFile;
    int fileType = 3;                             // the item of the file type list; -1 none
    std::string fileTypeText = "S - Windows BMP"; // the list's text as shown
    std::string width = "640";
    std::string height = "480";
    Check antiAlias = Check::Clear;
    // An alpha channel (+UA): where the scene has no background colour of
    // its own, the picture's background is transparent.
    Check transparentBackground = Check::Clear;
    std::string initialFrame = "1";
    std::string finalFrame;
    std::string initialClock = "1";
    std::string finalClock;
    std::string additional;
    // POV-Ray's own window showing the render; off adds -D. Kept in the
    // settings store, not in scenes.
    bool povrayWindow = true;
    bool operator==(const RenderSettings&) const = default;
};

// What is kept for each switch of the converter's table, by switch: the
// ticks of the switches a check box ticks, the values of those whose value is
// one field. The camera, lights, background and floor keep theirs in Options.
template <typename T> class BySwitch {
  public:
    T& operator[](switches::Id id) { return m_items[switches::indexOf(id)]; }
    const T& operator[](switches::Id id) const { return m_items[switches::indexOf(id)]; }
    bool operator==(const BySwitch&) const = default;

  private:
    std::array<T, switches::kSwitchCount> m_items{};
};

// Everything that decides what L3P and POV-Ray are asked to do, with the
// texts as typed: one value, free of any window, that the main window maps its
// controls to and from.
struct Options {
    // Model and output. Folders end in the path separator.
    std::string modelFile;
    std::string outputFile;
    std::string modelPath;
    std::string povPath;
    std::string ldrawPath;
    std::string l3pPath;
    std::string lgeoPath; // empty when LGEO is not installed

    // Camera: globe (-cg) or Cartesian (-cc) position, look-at.
    Check cameraGlobe = Check::Clear;
    Check cameraCartesian = Check::Clear;
    std::array<std::string, 3> cameraValue;
    Check lookAt = Check::Clear;
    bool lookAtEnabled = false; // the look-at box can be ticked at all
    std::array<std::string, 3> lookAtValue;

    // Lights.
    Check lightGlobe = Check::Clear;     // -lg
    Check lightCartesian = Check::Clear; // -lc
    LightTable lights;
    // The shown light's position boxes as typed; L3P's arguments take the
    // table, a run checks that none of the three is empty.
    std::array<std::string, 3> lightPosition;

    // The switches of the table's boxes, ticked or not, and the values of
    // those with a value field (-ca, -sw, -q, -c).
    BySwitch<Check> ticks;
    BySwitch<std::string> values;

    // Background and floor.
    Check background = Check::Clear;
    std::array<std::string, 3> backgroundColour;
    Check floor = Check::Clear;
    std::string floorType;
    std::string floorY;
    std::optional<int> colourNumber; // the chosen colour list entry's number
    Check render = Check::Clear;
    bool renderEnabled = false; // POV-Ray is there to render with

    RenderSettings renderSettings;

    bool operator==(const Options&) const = default;
};

// L3P's arguments for the options: the model first (always, even when
// empty), the output file when it must be named, then the switches.
std::vector<std::string> l3pArguments(const Options& o);

// POV-Ray's arguments for rendering the options' output file (POVPath and
// output name) with their render settings, to be started in POVPath.
std::vector<std::string> povrayArguments(const Options& o);

// A file option for POV-Ray: "+I" and the name where its option parser takes
// the name so; else the keyword form ("Input_File_Name='...'"), which takes
// any name in the quotes it does not hold.
std::string povrayFileOption(const std::string& plus, const std::string& keyword,
                             const std::string& name);
// Whether POV-Ray can be given the name at all: not when it holds both kinds
// of quotes.
bool povrayCanName(const std::string& name);

// What our converter would refuse in the switches of the options' argument
// list ("malformed value in \"-fgabc\""); empty when it takes them all.
std::string switchProblem(const Options& o);

// L3P's arguments as it is started with them: a model or output file whose name
// would pass for a switch ("-o.dat") is named "./-o.dat".
std::vector<std::string> l3pRunArguments(const Options& o);

// The arguments joined by blanks as the command line shows them: a file name
// holding a blank is put in quotes, a switch ("-", "+") is shown as it is.
std::string commandLineText(const std::vector<std::string>& arguments);

} // namespace bp
