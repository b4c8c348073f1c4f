#include "core/options/option_rules.h"

#include "core/common/numbers.h"
#include "core/options/built_in_presets.h"
#include "core/options/color_list.h"
#include "core/options/scene_layout.h"

#include <algorithm>

namespace bp {

namespace {

using switches::Id;

bool allGiven(const std::array<std::string, 3>& texts) {
    return !texts[0].empty() && !texts[1].empty() && !texts[2].empty();
}

// A control raises its handler only when its state really changes.
bool changes(Check& state, Check c) {
    if (state == c)
        return false;
    state = c;
    return true;
}

} // namespace

std::string lightBoxText(int index, float value) {
    // One beyond the float's range shows its largest, not "inf".
    return numberText(index < 3 ? value : toSingle(colourScale(value)));
}

float lightBoxValue(int index, const std::string& text) {
    const double number = leadingNumber(text);
    return index < 3 ? toSingle(number) : toSingle(roundHalfEven(number / 255.0, 3));
}

namespace rules {

// Each mode unticks the other first; that runs the other's unticked branch,
// whose effect on the look-at box the later steps here repair.
void cameraGlobe(Options& o, Check c) {
    if (!changes(o.cameraGlobe, c))
        return;
    if (ticked(c)) {
        cameraCartesian(o, Check::Clear);
        if (allGiven(o.cameraValue) && leadingNumber(o.cameraValue[2]) > 0)
            o.lookAtEnabled = true;
    } else {
        o.lookAtEnabled = ticked(o.cameraCartesian);
    }
}

// Coordinates offer the look-at point at once, even while one is empty.
void cameraCartesian(Options& o, Check c) {
    if (!changes(o.cameraCartesian, c))
        return;
    if (ticked(c)) {
        cameraGlobe(o, Check::Clear);
        o.lookAtEnabled = true;
    } else {
        o.lookAt = Check::Clear;
        o.lookAtEnabled = false;
    }
}

// After an edit: globe mode offers the look-at point when the radius is above
// 0, coordinates when all three are given, no mode never.
void cameraValue(Options& o, int index, const std::string& text) {
    std::string& value = o.cameraValue.at(static_cast<std::size_t>(index));
    if (value == text)
        return;
    value = text;
    const auto& v = o.cameraValue;
    if (!(ticked(o.cameraGlobe) && !v[0].empty() && !v[1].empty()))
        o.lookAtEnabled = ticked(o.cameraCartesian) && allGiven(v);
    if (ticked(o.cameraGlobe))
        o.lookAtEnabled = leadingNumber(v[2]) > 0;
}

// The placements are twins: ticking one unticks the other, and the shown
// light keeps the placement that is left.
void lightGlobe(Options& o, LightBoxes& b, Check c) {
    if (!changes(o.lightGlobe, c))
        return;
    if (ticked(c))
        lightCartesian(o, b, Check::Clear);
    o.lights.light(b.light).placement = ticked(c) ? 0.0f : 1.0f;
}

void lightCartesian(Options& o, LightBoxes& b, Check c) {
    if (!changes(o.lightCartesian, c))
        return;
    if (ticked(c))
        lightGlobe(o, b, Check::Clear);
    o.lights.light(b.light).placement = ticked(c) ? 1.0f : 0.0f;
}

void lightText(Options& o, LightBoxes& b, int index, const std::string& text) {
    const auto i = static_cast<std::size_t>(index);
    if (b.texts.at(i) == text)
        return;
    b.texts[i] = text;
    if (i < 3)
        o.lightPosition[i] = text;
    o.lights.light(b.light).value(index + 1) = lightBoxValue(index, text);
}

void showLight(Options& o, LightBoxes& b) {
    for (int i = 0; i < 6; ++i)
        lightText(o, b, i, lightBoxText(i, o.lights.light(b.light).value(i + 1)));
}

void colourText(Options& o, const std::string& text) {
    std::string& colour = o.values[Id::Colour];
    if (colour == text)
        return;
    colour = text;
    o.colourNumber.reset();
    for (const ColorEntry& entry : kColorList) {
        if (text == entry.name) {
            o.colourNumber = entry.number;
            break;
        }
    }
}

} // namespace rules

Options startingOptions() {
    Options o;
    o.backgroundColour = {"0", "0", "0"};
    o.values[Id::Colour] = kColorList[0].name;
    o.colourNumber = kColorList[0].number;
    rules::cameraGlobe(o, Check::Ticked);
    const BuiltInView& view = kBuiltInViewAngles[0];
    for (int i = 0; i < 3; ++i)
        rules::cameraValue(o, i,
                           numberText(i == 0   ? view.latitude
                                      : i == 1 ? view.longitude
                                               : 0.0f));
    o.lookAtValue = {"0", "0", "0"};
    for (int l = 0; l < kLights; ++l) {
        Light& light = o.lights.light(l + 1);
        light.colour = {1, 1, 1};
        if (l < 3)
            for (std::size_t v = 0; v < 3; ++v)
                light.position[v] = kBuiltInSchemePositions[0][l][v];
    }
    o.lightGlobe = Check::Ticked;
    const Light& first = o.lights.light(1);
    for (std::size_t v = 0; v < 3; ++v)
        o.lightPosition[v] = numberText(first.position[v]);
    o.floorType = "g";
    o.values[Id::Quality] = "3";
    return o;
}

LightBoxes startingLightBoxes() {
    const Options o = startingOptions();
    LightBoxes b;
    for (std::size_t i = 0; i < 3; ++i)
        b.texts[i] = o.lightPosition[i];
    for (std::size_t i = 3; i < 6; ++i)
        b.texts[i] = "255";
    return b;
}

namespace {

struct Refused {}; // a list does not hold the text read

void setField(Options& o, LightBoxes& b, const SceneField& f, const Options& s) {
    RenderSettings& r = o.renderSettings;
    if (f.kind == FieldKind::LightNumbers) {
        if (ticked(o.lightGlobe) || ticked(o.lightCartesian))
            rules::showLight(o, b);
    } else if (f.kind == FieldKind::FileType) {
        r.fileType = s.renderSettings.fileType;
        r.fileTypeText = r.fileType < 0 ? "" : kFileTypes.at(static_cast<std::size_t>(r.fileType));
    } else if (f.kind == FieldKind::CheckState) {
        const Check c = f.check(s);
        if (f.rule == FieldRule::CameraGlobe)
            rules::cameraGlobe(o, c);
        else if (f.rule == FieldRule::CameraCartesian)
            rules::cameraCartesian(o, c);
        else if (f.rule == FieldRule::LightGlobe)
            rules::lightGlobe(o, b, c);
        else if (f.rule == FieldRule::LightCartesian)
            rules::lightCartesian(o, b, c);
        else
            f.check(o) = c;
    } else {
        const std::string& t = f.text(s);
        // A drop-down list shows only one of its items.
        if (!f.items.empty() && std::find(f.items.begin(), f.items.end(), t) == f.items.end())
            throw Refused{};
        if (f.rule == FieldRule::CameraValue)
            rules::cameraValue(o, f.element, t);
        else if (f.rule == FieldRule::ColourText)
            rules::colourText(o, t);
        else
            f.text(o) = t;
    }
}

void applyFields(Options& o, LightBoxes& b, const Scene& scene) {
    walkScene(
        scene, o.lights, [](SceneSection) {},
        [&](const SceneField& f) { setField(o, b, f, scene.options); });
}

} // namespace

SceneApplied withScene(Options o, LightBoxes b, const Scene& scene) {
    SceneApplied applied;
    try {
        applyFields(o, b, scene);
    } catch (const Refused&) {
        applied.refused = true;
    }
    applied.options = std::move(o);
    applied.boxes = std::move(b);
    return applied;
}

} // namespace bp
