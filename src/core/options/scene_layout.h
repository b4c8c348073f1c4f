#pragma once

#include "core/options/color_list.h"
#include "core/options/options.h"

#include <span>
#include <string>
#include <variant>

namespace bp {

// The parts of a scene file: the required part, then sections older files
// stop short of: A the default colour, B four switches and the look-at point,
// C the render settings, D a transparent background (written only when
// ticked). C and D are shown on the render settings window.
enum class SceneSection { Required, Colour, Switches, Render, Transparent };

// How a field is written and read: a check box's state as its number; a
// number box's text (read by the number rule, shown as its shortest text); a
// text as typed; a text in quotes; the light table (kLights lights of
// kLightValues numbers); the file type's index in kFileTypes.
enum class FieldKind { CheckState, NumberBox, PlainText, QuotedText, LightNumbers, FileType };

// What setting a field implies for the other options: the rule of
// `option_rules` that the control's handler follows, or nothing but the field.
enum class FieldRule {
    Assign,
    CameraGlobe,
    CameraCartesian,
    CameraValue,
    LightGlobe,
    LightCartesian,
    ColourText
};

enum class FieldEnd { Comma, Line };

// Where `Options` keeps a field: a check state or a text, by its kind.
using FieldRef = std::variant<Check*, std::string*>;

struct SceneField {
    SceneSection section;
    FieldKind kind;
    FieldRef (*access)(Options&, int element); // none for the light numbers, the file type
    const char* control = nullptr; // the control that shows it; none for the light numbers
    int element = -1;              // its box in a control array
    FieldEnd end = FieldEnd::Comma;
    FieldRule rule = FieldRule::Assign;
    std::span<const char* const> items = {}; // a drop-down list's: the text must be one
    // What the field becomes when the file stops short of its section (a
    // check state as its number); none: it keeps its value. The render
    // settings' section has a default of its own, the settings window's.
    const char* leftOut = nullptr;

    bool onRenderSettings() const { return section >= SceneSection::Render; }
    Check& check(Options& o) const { return *std::get<Check*>(access(o, element)); }
    std::string& text(Options& o) const { return *std::get<std::string*>(access(o, element)); }
    // The accessors only pick a member, so reading through them is safe.
    Check check(const Options& o) const { return check(const_cast<Options&>(o)); }
    const std::string& text(const Options& o) const { return text(const_cast<Options&>(o)); }
};

// The scene file's fields in file order, from which the reader, the writer,
// `withScene` and the window's `applyScene` and `options()` work.
namespace scene_layout {

using enum SceneSection;
using enum FieldKind;
using enum FieldEnd;
using enum FieldRule;
using switches::Id;

template <auto Member> FieldRef in(Options& o, int) {
    return &(o.*Member);
}
template <auto Member> FieldRef at(Options& o, int element) {
    return &(o.*Member)[static_cast<std::size_t>(element)];
}
template <switches::Id Switch> FieldRef tick(Options& o, int) {
    return &o.ticks[Switch];
}
template <switches::Id Switch> FieldRef value(Options& o, int) {
    return &o.values[Switch];
}
template <auto Member> FieldRef render(Options& o, int) {
    return &(o.renderSettings.*Member);
}

constexpr SceneField leftOutAs(SceneField f, const char* value) {
    f.leftOut = value;
    return f;
}

// The floor type and quality lists' items, which the window's lists show.
inline constexpr const char* kFloorTypes[] = {"g", "c"};
inline constexpr const char* kQualities[] = {"0", "1", "2", "3"};

inline constexpr SceneField kSceneLayout[] = {
    {Required, CheckState, in<&Options::cameraGlobe>, "Chk_CG", -1, Comma, CameraGlobe},
    {Required, CheckState, in<&Options::cameraCartesian>, "Chk_CC", -1, Comma, CameraCartesian},
    {Required, NumberBox, at<&Options::cameraValue>, "Txt_CameraValue", 0, Comma, CameraValue},
    {Required, NumberBox, at<&Options::cameraValue>, "Txt_CameraValue", 1, Comma, CameraValue},
    {Required, NumberBox, at<&Options::cameraValue>, "Txt_CameraValue", 2, Comma, CameraValue},
    {Required, CheckState, tick<Id::CameraAngle>, "Chk_CA"},
    {Required, NumberBox, value<Id::CameraAngle>, "Txt_CA", -1, Line},
    {Required, CheckState, tick<Id::DefaultLights>, "Chk_LD"},
    {Required, CheckState, tick<Id::ModelLights>, "Chk_L"},
    {Required, CheckState, in<&Options::lightGlobe>, "Chk_LG", -1, Comma, LightGlobe},
    {Required, CheckState, in<&Options::lightCartesian>, "Chk_LC", -1, Line, LightCartesian},
    {Required, LightNumbers, nullptr},
    {Required, CheckState, in<&Options::background>, "Chk_B"},
    {Required, NumberBox, at<&Options::backgroundColour>, "Txt_BColor", 0},
    {Required, NumberBox, at<&Options::backgroundColour>, "Txt_BColor", 1},
    {Required, NumberBox, at<&Options::backgroundColour>, "Txt_BColor", 2, Line},
    {Required, CheckState, in<&Options::floor>, "Chk_F"},
    {Required, PlainText, in<&Options::floorType>, "Cbo_FType", -1, Comma, Assign, kFloorTypes},
    {Required, PlainText, in<&Options::floorY>, "Txt_FY", -1, Line},
    {Required, CheckState, tick<Id::Bumps>, "Chk_BU"},
    {Required, CheckState, tick<Id::SeamWidth>, "Chk_SW"},
    {Required, NumberBox, value<Id::SeamWidth>, "Txt_SW"},
    {Required, CheckState, tick<Id::Quality>, "Chk_Q"},
    {Required, NumberBox, value<Id::Quality>, "Cbo_Q", -1, Comma, Assign, kQualities},
    {Required, CheckState, tick<Id::Overwrite>, "Chk_O"},
    {Required, CheckState, tick<Id::Primitives>, "Chk_P"},
    leftOutAs({Colour, CheckState, tick<Id::Colour>, "Chk_C"}, "0"),
    leftOutAs({Colour, QuotedText, value<Id::Colour>, "Cbo_C", -1, Line, ColourText},
              kColorList[0].name),
    leftOutAs({Switches, CheckState, tick<Id::StepClock>, "Chk_SC"}, "0"),
    leftOutAs({Switches, CheckState, tick<Id::ExcludeNonPov>, "Chk_ENP"}, "0"),
    leftOutAs({Switches, CheckState, tick<Id::Lgeo>, "Chk_LGEO"}, "0"),
    leftOutAs({Switches, CheckState, in<&Options::render>, "Chk_Render", -1, Line}, "0"),
    {Switches, CheckState, in<&Options::lookAt>, "Chk_CLA"},
    {Switches, NumberBox, at<&Options::lookAtValue>, "Txt_CameraLookAt", 0},
    {Switches, NumberBox, at<&Options::lookAtValue>, "Txt_CameraLookAt", 1},
    {Switches, NumberBox, at<&Options::lookAtValue>, "Txt_CameraLookAt", 2, Line},
    {Render, QuotedText, render<&RenderSettings::outputFile>, "Txt_OutputFile", -1, Line},
    {Render, FileType, nullptr, "Cbo_FileType"},
    {Render, NumberBox, render<&RenderSettings::width>, "Txt_Width"},
    {Render, NumberBox, render<&RenderSettings::height>, "Txt_Height"},
    {Render, CheckState, render<&RenderSettings::antiAlias>, "Chk_AntiAlias"},
    {Render, NumberBox, render<&RenderSettings::initialFrame>, "Txt_InitialFrame"},
    {Render, NumberBox, render<&RenderSettings::finalFrame>, "Txt_FinalFrame"},
    {Render, NumberBox, render<&RenderSettings::initialClock>, "Txt_InitialClock"},
    {Render, NumberBox, render<&RenderSettings::finalClock>, "Txt_FinalClock"},
    {Render, QuotedText, render<&RenderSettings::additional>, "Txt_Additional", -1, Line},
    {Transparent, CheckState, render<&RenderSettings::transparentBackground>,
     "Chk_TransparentBackground", -1, Line},
};

} // namespace scene_layout

using scene_layout::kSceneLayout;

} // namespace bp
