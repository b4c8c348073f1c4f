#pragma once

#include "core/options/options.h"
#include "core/options/scene_format.h"

#include <array>
#include <string>

namespace bp {

// The light the window shows in its six boxes, and their texts: positions
// as typed, colours on the 0 to 255 scale. A box's text goes back into the
// table only when it changes, so the rules need what the boxes show.
struct LightBoxes {
    int light = 1;
    std::array<std::string, 6> texts;
    bool operator==(const LightBoxes&) const = default;
};

// The text a light box shows for a value of the shown light (box 0 to 5:
// position, then colour): a colour on the 0 to 255 scale, as the whole number
// it was typed as where it was one.
std::string lightBoxText(int index, float value);
// What a light box's text stores: a position as read, a colour from the 0 to
// 255 scale to a fraction with three decimals.
float lightBoxValue(int index, const std::string& text);

// What a tick, a text or a choice implies for the other options, as the
// window's handlers do it. Each takes the new state of one control and
// changes nothing when it is the state already there (a control raises its
// handler only on a real change).
namespace rules {

// The two camera modes exclude each other; whether the look-at box may be
// ticked follows the mode, the three values and the radius.
void cameraGlobe(Options& o, Check c);
void cameraCartesian(Options& o, Check c);
void cameraValue(Options& o, int index, const std::string& text);

// The two light placements exclude each other; the shown light remembers
// which one it was placed by.
void lightGlobe(Options& o, LightBoxes& b, Check c);
void lightCartesian(Options& o, LightBoxes& b, Check c);
// A box's text stored into the shown light: a position as read, a colour
// from the 0 to 255 scale to a fraction with three decimals.
void lightText(Options& o, LightBoxes& b, int index, const std::string& text);
// The shown light's values written into its boxes, each through lightText.
void showLight(Options& o, LightBoxes& b);

// The default-colour list's text: a name on the list selects its first
// entry of that name, whose number L3P receives; any other text none.
void colourText(Options& o, const std::string& text);

} // namespace rules

// The options of a window just started, before any scene: the first view
// (globe 45, 45, 0) and the first lighting scheme applied, the first entry of
// the colour list, floor "g", quality "3". Folders and tools are the caller's.
Options startingOptions();
LightBoxes startingLightBoxes();

struct SceneApplied {
    Options options;
    LightBoxes boxes;
    // A floor type or quality no list holds: the fields after it are not set.
    bool refused = false;
};

// A scene read from a file, set field by field in file order through the
// rules, as many fields as were read; the sections the file leaves out take
// their defaults (the look-at fields stay as they are). The render settings'
// file type text follows its index.
SceneApplied withScene(Options o, LightBoxes b, const Scene& scene);

} // namespace bp
