#pragma once

#include <cstddef>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

// The converter's switches, described once: the converter parses and
// explains them from this table, the core writes its argument lists and
// checks them before a run with it.
namespace bp::switches {

// How a switch's value is written right after its name.
enum class Shape {
    None,       // a plain switch: -ld
    Globe,      // latitude,longitude[,radius >= 0]
    Point,      // x,y,z
    Angle,      // degrees, more than 0 and less than 180
    Light,      // x,y,z[,r,g,b | ,colour number]
    Background, // nothing, r,g,b fractions or a colour number
    Floor,      // [g|c][y]
    Width,      // a number >= 0
    Quality,    // one digit, 0 to 3
    Colour,     // a colour number
};

enum class Id {
    CameraGlobe,
    CameraCartesian,
    CameraAngle,
    LookAt,
    DefaultLights,
    ModelLights,
    LightGlobe,
    LightCartesian,
    Background,
    Floor,
    Bumps,
    SeamWidth,
    Quality,
    Lgeo,
    Colour,
    Primitives,
    ExcludeNonPov,
    Overwrite,
    StepClock,
    Update,
};

struct Switch {
    Id id;
    std::string_view name; // after the "-"
    Shape shape;
    std::string_view section; // the help's heading, on the first of a section
    std::string_view form;    // the value as the help writes it
    std::string_view help;    // lines after the first are indented
    // The window's check box that ticks the switch; empty where no single
    // box does (the camera, lights, background and floor have their own).
    std::string_view control = {};
    // For a switch whose whole value is typed or chosen in one field: that
    // field, enabled while the box is ticked.
    std::string_view field = {};
    // A run does not start while the box is ticked and the field is empty.
    bool valueRequired = false;
    // What the converter takes when the switch is not given; the switch is
    // left out when its value is this.
    std::string_view implied = {};
};

// In the order an argument list carries them and the help lists them.
inline constexpr Switch kSwitches[] = {
    {Id::CameraGlobe, "cg", Shape::Globe, "Camera", "<lat>,<long>[,<r>]",
     "on a globe round the model (r 0: as close as the frame\nallows); default -cg30,45,0"},
    {Id::CameraCartesian, "cc", Shape::Point, "", "<x>,<y>,<z>", "at a point"},
    {Id::CameraAngle, "ca", Shape::Angle, "", "<angle>",
     "horizontal view angle in degrees (default 67.38)", "Chk_CA", "Txt_CA"},
    {Id::LookAt, "cla", Shape::Point, "", "<x>,<y>,<z>", "looking at a point"},
    {Id::DefaultLights, "ld", Shape::None, "Lights", "", "the three default lights as well",
     "Chk_LD"},
    {Id::ModelLights, "l", Shape::None, "", "", "lights where the model has light.dat", "Chk_L"},
    {Id::LightGlobe, "lg", Shape::Light, "", "<lat>,<long>,<r>[,<r>,<g>,<b>|,<colour>]",
     "a light on the globe (r 0: at the camera's distance)"},
    {Id::LightCartesian, "lc", Shape::Light, "", "<x>,<y>,<z>[,...]", "a light at a point"},
    {Id::Background, "b", Shape::Background, "Scene", "[<r>,<g>,<b>|<colour>]",
     "background (fractions 0..1, or an LDraw colour)"},
    {Id::Floor, "f", Shape::Floor, "", "[g|c][<y>]",
     "floor, grey or checkered, at height y (default: just\nbelow the model)"},
    {Id::Bumps, "bu", Shape::None, "", "", "bumps", "Chk_BU"},
    {Id::SeamWidth, "sw", Shape::Width, "", "<w>", "seam width in LDU (default 0.5)", "Chk_SW",
     "Txt_SW", true},
    {Id::Quality, "q", Shape::Quality, "", "<n>",
     "quality: 0 boxes, 1 no refraction, 2 normal, 3 stud logos", "Chk_Q", "Cbo_Q", false, "2"},
    {Id::Lgeo, "lgeo", Shape::None, "", "",
     "parts from LGEO where it has them (LGEODIR, or the LGEO\nfolder of LDraw.ini or "
     "Brickpov); render with +L<folder>",
     "Chk_LGEO"},
    {Id::Colour, "c", Shape::Colour, "", "<colour>", "what colour 16 is in the model (default 7)",
     "Chk_C", "Cbo_C", true},
    {Id::Primitives, "p", Shape::None, "", "", "keep primitives as meshes instead of exact solids",
     "Chk_P"},
    {Id::ExcludeNonPov, "enp", Shape::None, "", "",
     "leave out the LDraw lines of L3P IFNOTPOV/ELSEPOV blocks", "Chk_ENP"},
    {Id::Overwrite, "o", Shape::None, "", "", "overwrite an existing output file", "Chk_O"},
    {Id::StepClock, "sc", Shape::None, "", "", "show step n only when POV-Ray's clock > n",
     "Chk_SC"},
    {Id::Update, "upd", Shape::None, "", "", "(updates come with Brickpov)"},
};

// As many as there are Ids: the table holds each Id once.
inline constexpr std::size_t kSwitchCount = std::size(kSwitches);

// An Id as an index, 0 to kSwitchCount - 1, for what is kept by switch.
constexpr std::size_t indexOf(Id id) {
    return static_cast<std::size_t>(id);
}

const Switch& switchFor(Id id);

// The argument of a switch with its value: "-cg" and "30,45,0".
std::string argument(Id id, std::string_view value = {});

// The switch an argument ("-cg30,45") names: the longest name it starts with
// whose shape allows the rest; nullptr when none does.
const Switch* findSwitch(std::string_view argument);

// Whether the value (the argument after the switch's name) has the form and
// the ranges the switch takes.
bool valueFits(const Switch& s, std::string_view value);

// What is wrong with a switch argument ("unknown switch", "malformed value"),
// empty when the converter takes it.
std::string argumentProblem(std::string_view argument);

// The switches' part of the help: a heading per section, a line per switch.
std::string helpText();

// The largest magnitude a number may have: 400 m in LDraw units, and far
// from where squares and products overflow.
inline constexpr double kLargestNumber = 1e6;

enum class NumberRead { Ok, NotANumber, NotFinite, OutOfRange };

// Reads a whole word as a number: finite and at most kLargestNumber either way.
NumberRead readNumber(std::string_view word, double& value);

// An LDraw colour number as written on a command line or a type 1 line:
// decimal, or hexadecimal with "0x" / "#" for direct colours.
std::optional<int> parseColourCode(std::string_view text);

} // namespace bp::switches
