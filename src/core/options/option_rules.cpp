#include "core/options/option_rules.h"

#include "core/common/numbers.h"
#include "core/options/built_in_presets.h"
#include "core/options/color_list.h"

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
    if (o.colourText == text)
        return;
    o.colourText = text;
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
    o.colourText = kColorList[0].name;
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
    o.qualityValue = "3";
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

class Fields : public SceneFieldCount {
  public:
    using SceneFieldCount::SceneFieldCount;
    Check check(Check c) {
        take();
        return c;
    }
    const std::string& text(const std::string& t) {
        take();
        return t;
    }
};

// A drop-down list shows only one of its items.
void listText(Fields& f, std::string& into, const std::string& t,
              std::initializer_list<const char*> items) {
    f.take();
    for (const char* item : items)
        if (t == item) {
            into = t;
            return;
        }
    throw Refused{};
}

void applyFields(Options& o, LightBoxes& b, const Scene& scene) {
    const Options& s = scene.options;
    Fields f(scene.fields);
    rules::cameraGlobe(o, f.check(s.cameraGlobe));
    rules::cameraCartesian(o, f.check(s.cameraCartesian));
    for (int i = 0; i < 3; ++i)
        rules::cameraValue(o, i, f.text(s.cameraValue[static_cast<std::size_t>(i)]));
    o.cameraAngle = f.check(s.cameraAngle);
    o.cameraAngleValue = f.text(s.cameraAngleValue);
    o.plain[Id::DefaultLights] = f.check(s.plain[Id::DefaultLights]);
    o.plain[Id::ModelLights] = f.check(s.plain[Id::ModelLights]);
    rules::lightGlobe(o, b, f.check(s.lightGlobe));
    rules::lightCartesian(o, b, f.check(s.lightCartesian));
    for (int l = 1; l <= kLights; ++l)
        for (int v = 1; v <= kLightValues; ++v) {
            f.take();
            o.lights.light(l).value(v) = s.lights.light(l).value(v);
        }
    if (ticked(o.lightGlobe) || ticked(o.lightCartesian))
        rules::showLight(o, b);
    o.background = f.check(s.background);
    for (std::size_t i = 0; i < 3; ++i)
        o.backgroundColour[i] = f.text(s.backgroundColour[i]);
    o.floor = f.check(s.floor);
    listText(f, o.floorType, s.floorType, {"g", "c"});
    o.floorY = f.text(s.floorY);
    o.plain[Id::Bumps] = f.check(s.plain[Id::Bumps]);
    o.seamWidth = f.check(s.seamWidth);
    o.seamWidthValue = f.text(s.seamWidthValue);
    o.quality = f.check(s.quality);
    listText(f, o.qualityValue, s.qualityValue, {"0", "1", "2", "3"});
    o.plain[Id::Overwrite] = f.check(s.plain[Id::Overwrite]);
    o.plain[Id::Primitives] = f.check(s.plain[Id::Primitives]);
    if (scene.colourDefault) {
        o.colour = Check::Clear;
        o.colourText = kColorList[0].name;
        o.colourNumber = kColorList[0].number;
    } else {
        o.colour = f.check(s.colour);
        rules::colourText(o, f.text(s.colourText));
    }
    if (scene.switchesDefault) {
        for (Check* c :
             {&o.plain[Id::StepClock], &o.plain[Id::ExcludeNonPov], &o.plain[Id::Lgeo], &o.render})
            *c = Check::Clear;
    } else {
        o.plain[Id::StepClock] = f.check(s.plain[Id::StepClock]);
        o.plain[Id::ExcludeNonPov] = f.check(s.plain[Id::ExcludeNonPov]);
        o.plain[Id::Lgeo] = f.check(s.plain[Id::Lgeo]);
        o.render = f.check(s.render);
        o.lookAt = f.check(s.lookAt);
        for (std::size_t i = 0; i < 3; ++i)
            o.lookAtValue[i] = f.text(s.lookAtValue[i]);
    }
    // Left-out render settings are set to their defaults the same way.
    Fields defaults(kSceneFields);
    Fields& c = scene.renderDefault ? defaults : f;
    const RenderSettings& sr = s.renderSettings;
    RenderSettings& r = o.renderSettings;
    r.outputFile = c.text(sr.outputFile);
    c.take();
    r.fileType = sr.fileType;
    r.fileTypeText = sr.fileType < 0 ? "" : kFileTypes.at(static_cast<std::size_t>(sr.fileType));
    r.width = c.text(sr.width);
    r.height = c.text(sr.height);
    r.antiAlias = c.check(sr.antiAlias);
    r.initialFrame = c.text(sr.initialFrame);
    r.finalFrame = c.text(sr.finalFrame);
    r.initialClock = c.text(sr.initialClock);
    r.finalClock = c.text(sr.finalClock);
    r.additional = c.text(sr.additional);
    r.transparentBackground = sr.transparentBackground;
}

} // namespace

SceneApplied withScene(Options o, LightBoxes b, const Scene& scene) {
    SceneApplied applied;
    try {
        applyFields(o, b, scene);
    } catch (const SceneFieldsUsed&) {
    } catch (const Refused&) {
        applied.refused = true;
    }
    applied.options = std::move(o);
    applied.boxes = std::move(b);
    return applied;
}

} // namespace bp
