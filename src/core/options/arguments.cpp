#include "core/common/file_routines.h"
#include "core/common/numbers.h"
#include "core/common/string_routines.h"
#include "core/options/options.h"
#include "switches/switches.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string_view>

namespace bp {

namespace {

using switches::argument;
using switches::Id;

// Text up to and including the first ".", or empty when there is none.
std::string_view throughFirstDot(std::string_view text) {
    const auto dot = text.find('.');
    return dot == std::string_view::npos ? std::string_view() : text.substr(0, dot + 1);
}

bool allGiven(const std::array<std::string, 3>& texts) {
    return !texts[0].empty() && !texts[1].empty() && !texts[2].empty();
}

// L3P finds models in the LDraw library folders and in its own folder by
// itself, so those are named without their folder.
std::string modelFolderPrefix(const Options& o) {
    const std::string& library = o.ldrawPath;
    for (const std::string& known :
         {library + "Parts" + kPathSeparator, library + "P" + kPathSeparator,
          library + "Models" + kPathSeparator, o.l3pPath}) {
        if (equalsNoCase(o.modelPath, known))
            return "";
    }
    return AddBackslash(o.modelPath);
}

// Adds the model and, when it must be named, the output file; the count added.
std::size_t addModelAndOutput(const Options& o, std::vector<std::string>& a) {
    a.push_back(modelFolderPrefix(o) + o.modelFile);
    const bool sameFolder = equalsNoCase(o.povPath, o.modelPath);
    std::string output = sameFolder ? std::string() : AddBackslash(o.povPath);
    const bool named = throughFirstDot(o.modelFile) != throughFirstDot(o.outputFile) ||
                       !sameFolder || isFileSystemRoot(o.povPath);
    if (named)
        output += o.outputFile;
    if (output.empty())
        return 1;
    a.push_back(std::move(output));
    return 2;
}

// A light in use as written after -lg or -lc: its position, and its colour
// when it is not white.
std::string lightValue(const Light& light) {
    const auto& p = light.position;
    std::string s = numberText(p[0]) + "," + numberText(p[1]) + "," + numberText(p[2]);
    const auto [r, g, b] = light.colour;
    if (!(r == 1 && g == 1 && b == 1))
        s += "," + numberText(r) + "," + numberText(g) + "," + numberText(b);
    return s;
}

// A background text is read by the leading-number rule, so that a text that
// is not a number counts as 0 instead of failing the whole argument list. A
// number too large for any type ("1e999") is the brightest value, as on the
// swatch.
std::string backgroundFraction(const std::string& text) {
    const double value = leadingNumber(text);
    if (std::isinf(value))
        return value > 0 ? "1.000" : "0.000";
    return fixedText(value / 255.0, 3);
}

using Values = std::vector<std::string>;

// The values a switch with a value is written with, one argument each; none
// when the options leave it out.
Values switchValues(const Options& o, Id id) {
    const auto& v = o.cameraValue;
    const bool globe = ticked(o.cameraGlobe) && !v[0].empty() && !v[1].empty();
    switch (id) {
    case Id::CameraGlobe:
        if (globe)
            return {v[0] + "," + v[1] + "," + (v[2].empty() ? "0" : v[2])};
        return {};
    case Id::CameraCartesian:
        if (!globe && ticked(o.cameraCartesian) && allGiven(v))
            return {v[0] + "," + v[1] + "," + v[2]};
        return {};
    case Id::LookAt: {
        const auto& la = o.lookAtValue;
        if (o.lookAtEnabled && ticked(o.lookAt) && allGiven(la))
            return {la[0] + "," + la[1] + "," + la[2]};
        return {};
    }
    case Id::LightGlobe:
    case Id::LightCartesian: {
        const Id sw = ticked(o.lightGlobe) ? Id::LightGlobe : Id::LightCartesian;
        if (sw != id || (!ticked(o.lightGlobe) && !ticked(o.lightCartesian)))
            return {};
        Values lights;
        for (const Light& light : o.lights.lights)
            if (light.inUse())
                lights.push_back(lightValue(light));
        return lights;
    }
    case Id::Background: {
        const auto& t = o.backgroundColour;
        if (!ticked(o.background) || !allGiven(t) || (t[0] == "0" && t[1] == "0" && t[2] == "0"))
            return {};
        return {backgroundFraction(t[0]) + "," + backgroundFraction(t[1]) + "," +
                backgroundFraction(t[2])};
    }
    case Id::Floor:
        if (ticked(o.floor))
            return {o.floorType + o.floorY};
        return {};
    case Id::Colour:
        // The list's entries are written by number, a typed colour as typed.
        if (ticked(o.ticks[id]))
            return {o.colourNumber ? std::to_string(*o.colourNumber) : o.values[id]};
        return {};
    default: {
        const switches::Switch& s = switches::switchFor(id);
        const std::string& value = o.values[id];
        if (ticked(o.ticks[id]) && !value.empty() && value != s.implied)
            return {value};
        return {};
    }
    }
}

// The switches in the order the table gives them.
void addSwitches(const Options& o, std::vector<std::string>& a) {
    for (const switches::Switch& s : switches::kSwitches) {
        if (s.shape == switches::Shape::None) {
            if (ticked(o.ticks[s.id]))
                a.push_back(argument(s.id));
            continue;
        }
        for (const std::string& value : switchValues(o, s.id))
            a.push_back(argument(s.id, value));
    }
}

} // namespace

std::vector<std::string> l3pArguments(const Options& o) {
    std::vector<std::string> a;
    a.reserve(16);
    addModelAndOutput(o, a);
    addSwitches(o, a);
    return a;
}

std::string povrayFileOption(const std::string& plus, const std::string& keyword,
                             const std::string& name) {
    const bool plain = std::all_of(name.begin(), name.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) ||
               static_cast<unsigned char>(c) >= 0x80 ||
               std::string_view(" _-./,+%$~:@\\").find(c) != std::string_view::npos;
    });
    if (plain)
        return plus + QuoteIfSpaced(name);
    const char quote = name.find('"') == std::string::npos ? '"' : '\'';
    return keyword + "=" + quote + name + quote;
}

bool povrayCanName(const std::string& name) {
    return name.find('"') == std::string::npos || name.find('\'') == std::string::npos;
}

std::vector<std::string> povrayArguments(const Options& o) {
    const RenderSettings& r = o.renderSettings;
    // POV-Ray reads a name with a blank in it only in quotes, even as an
    // argument of its own.
    std::vector<std::string> p{
        povrayFileOption("+I", "Input_File_Name", AddBackslash(o.povPath) + o.outputFile)};
    if (!r.outputFile.empty()) {
        p.push_back(povrayFileOption("+O", "Output_File_Name", r.outputFile));
        // POV-Ray here has no "system" format; its BMP writer is what the
        // designed default means.
        std::string letter = r.fileTypeText.substr(0, 1);
        if (letter == "S")
            letter = "B";
        p.push_back("+F" + letter);
    }
    if (!r.width.empty() && !r.height.empty()) {
        p.push_back("+W" + r.width);
        p.push_back("+H" + r.height);
    }
    if (ticked(r.antiAlias))
        p.emplace_back("+A");
    if (ticked(r.transparentBackground))
        p.emplace_back("+UA");
    if (ticked(o.ticks[Id::StepClock]) && !r.initialFrame.empty() && !r.finalFrame.empty() &&
        !r.initialClock.empty() && !r.finalClock.empty())
        p.insert(p.end(), {"+KFI" + r.initialFrame, "+KFF" + r.finalFrame, "+KI" + r.initialClock,
                           "+KF" + r.finalClock});
    // LGEO's parts are included by name from the converted scene.
    if (ticked(o.ticks[Id::Lgeo]) && !o.lgeoPath.empty())
        p.push_back(povrayFileOption("+L", "Library_Path", StripBackslash(o.lgeoPath)));
    if (!r.povrayWindow)
        p.emplace_back("-D");
    // The additional switches are typed as on a command line.
    for (std::string& a : splitArguments(r.additional))
        p.push_back(std::move(a));
    return p;
}

std::string switchProblem(const Options& o) {
    std::vector<std::string> a;
    addSwitches(o, a);
    for (const std::string& s : a)
        if (std::string problem = switches::argumentProblem(s); !problem.empty())
            return problem;
    return {};
}

std::vector<std::string> l3pRunArguments(const Options& o) {
    std::vector<std::string> a;
    const std::size_t files = addModelAndOutput(o, a);
    // A bare name is relative to the model folder L3P starts in.
    for (std::size_t i = 0; i < files; ++i)
        if (a[i].starts_with('-'))
            a[i] = "./" + a[i];
    addSwitches(o, a);
    return a;
}

std::string commandLineText(const std::vector<std::string>& arguments) {
    std::size_t size = arguments.size();
    for (const std::string& a : arguments)
        size += a.size() + 2;
    std::string text;
    text.reserve(size);
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (i > 0)
            text += ' ';
        const std::string& a = arguments[i];
        text += a.starts_with('-') || a.starts_with('+') ? a : QuoteIfSpaced(a);
    }
    return text;
}

} // namespace bp
