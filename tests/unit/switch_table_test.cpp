// The switch table against both of its readers: every argument list the window
// can build is taken by our converter or refused before a run, with a reason.

#include "converter/options.h"
#include "core/l3p/run_l3p.h"
#include "core/options/options.h"
#include "core/window/app.h"
#include "core/window/brickpov_main.h"
#include "null_platform.h"
#include "switches/switches.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sstream>
#include <vector>

namespace bp {
namespace {

using enum switches::Id;

// A sound value for a switch whose value is one field.
std::string sampleValue(switches::Shape shape) {
    switch (shape) {
    case switches::Shape::Width:
        return "0.5";
    case switches::Shape::Quality:
        return "3";
    case switches::Shape::Colour:
        return "4";
    default:
        return "40";
    }
}

// Every switch ticked with a sound value.
Options allTicked() {
    Options o;
    o.modelFile = "car.dat";
    o.outputFile = "car.pov";
    o.modelPath = o.povPath = "/m/";
    o.cameraGlobe = o.lookAt = Check::Ticked;
    o.lookAtEnabled = true;
    o.cameraValue = {"30", "45", "0"};
    o.lookAtValue = {"0", "-24", "0"};
    o.lightGlobe = Check::Ticked;
    o.lights.light(1).position = {45, 0, 0};
    o.lights.light(1).colour = {1, 1, 1};
    o.lightPosition = {"45", "0", "0"};
    o.background = o.floor = Check::Ticked;
    o.backgroundColour = {"255", "128", "0"};
    o.floorType = "g";
    o.floorY = "-24";
    for (const switches::Switch& s : switches::kSwitches) {
        if (!s.control.empty())
            o.ticks[s.id] = Check::Ticked;
        if (!s.field.empty())
            o.values[s.id] = sampleValue(s.shape);
    }
    return o;
}

// Texts a person can type into any box.
const char* const kTexts[] = {"0",   "12.5", "-3", "+4",   "1e7", "1e999", "abc", "1 5",
                              "1,5", "",     "2x", "0x1F", "#ff", ".5",    "-",   " 7"};

struct Field {
    std::string name;
    std::function<void(Options&, const std::string&)> set;
};

// The boxes of the switches whose value is more than one field; the table's
// value fields join them.
const Field kCompoundFields[] = {
    {"camera latitude", [](Options& o, const std::string& t) { o.cameraValue[0] = t; }},
    {"camera radius", [](Options& o, const std::string& t) { o.cameraValue[2] = t; }},
    {"cartesian z",
     [](Options& o, const std::string& t) {
         o.cameraGlobe = Check::Clear;
         o.cameraCartesian = Check::Ticked;
         o.cameraValue[2] = t;
     }},
    {"look-at y", [](Options& o, const std::string& t) { o.lookAtValue[1] = t; }},
    {"background red", [](Options& o, const std::string& t) { o.backgroundColour[0] = t; }},
    {"floor type", [](Options& o, const std::string& t) { o.floorType = t; }},
    {"floor height", [](Options& o, const std::string& t) { o.floorY = t; }},
    {"floor both", [](Options& o, const std::string& t) { o.floorType = o.floorY = t; }},
};

std::vector<Field> everyField() {
    std::vector<Field> fields(std::begin(kCompoundFields), std::end(kCompoundFields));
    for (const switches::Switch& s : switches::kSwitches)
        if (!s.field.empty())
            fields.push_back({std::string(s.field),
                              [id = s.id](Options& o, const std::string& t) { o.values[id] = t; }});
    return fields;
}

TEST(SwitchTable, EveryBuiltListIsTakenOrCaughtBeforeARun) {
    EXPECT_EQ(switchProblem(allTicked()), "");
    EXPECT_EQ(conv::parseArguments(l3pArguments(allTicked())).error, "");
    int caught = 0;
    for (const Field& f : everyField())
        for (const char* text : kTexts) {
            Options o = allTicked();
            f.set(o, text);
            const auto arguments = l3pArguments(o);
            const std::string converter = conv::parseArguments(arguments).error;
            const std::string problem = switchProblem(o);
            const bool refusedBeforeRun = requiredFieldMissing(o) || !problem.empty();
            EXPECT_TRUE(converter.empty() || refusedBeforeRun)
                << f.name << " \"" << text << "\": " << converter << " in "
                << commandLineText(arguments);
            // What is refused before a run is refused by the converter too.
            if (!problem.empty()) {
                EXPECT_NE(converter, "") << f.name << " \"" << text << "\": " << problem;
            }
            caught += !problem.empty();
        }
    EXPECT_GT(caught, 20);
}

TEST(SwitchTable, TheExamplesNamed) {
    Options o = allTicked();
    o.floorType = "g";
    o.floorY = "abc";
    EXPECT_EQ(switchProblem(o), "malformed value in \"-fgabc\"");
    o = allTicked();
    o.cameraValue[2] = "1 5";
    EXPECT_EQ(switchProblem(o), "malformed value in \"-cg30,45,1 5\"");
}

TEST(SwitchTable, FindsTheLongestNameAndExplainsEverySwitch) {
    const std::string help = switches::helpText();
    for (const switches::Switch& s : switches::kSwitches) {
        const std::string plain = switches::argument(s.id);
        EXPECT_NE(help.find("  " + plain), std::string::npos) << plain;
        EXPECT_EQ(&switches::switchFor(s.id), &s);
        if (s.shape == switches::Shape::None) {
            EXPECT_EQ(switches::findSwitch(plain), &s) << plain;
            EXPECT_EQ(switches::argumentProblem(plain), "") << plain;
        }
    }
    struct Row {
        const char* argument;
        const char* name; // nullptr: unknown
    };
    const Row rows[] = {{"-lgeo", "lgeo"}, {"-lgeox", "lg"}, {"-bu", "bu"},    {"-b", "b"},
                        {"-cla1", "cla"},  {"-ca", "c"},     {"-sw", nullptr}, {"-ldd", nullptr},
                        {"x", nullptr},    {"-", nullptr}};
    for (const Row& r : rows) {
        const switches::Switch* s = switches::findSwitch(r.argument);
        EXPECT_EQ(s ? std::string(s->name) : "", r.name ? r.name : "") << r.argument;
    }
}

// The window's check boxes against the table: a box captioned with a switch
// ("-bu (Bumps)") is its row's control unless the switch's value takes boxes
// of its own, and ticking it (with a sound value in its field) puts the
// switch into the command line at once.
TEST(SwitchTable, TheWindowsBoxesAreTheRowsAndTickTheirSwitches) {
    null::NullPlatform p;
    Platform platform = p.platform();
    App app(platform);
    BrickpovMain& m = app.main();
    m.load();
    int boxes = 0;
    for (Control* c : m.controls()) {
        if (c->kind() != ControlKind::CheckBox || !c->caption().starts_with('-'))
            continue;
        const std::string name = c->caption().substr(1, c->caption().find(' ') - 1);
        const auto* s = std::find_if(std::begin(switches::kSwitches), std::end(switches::kSwitches),
                                     [&](const switches::Switch& row) { return row.name == name; });
        ASSERT_NE(s, std::end(switches::kSwitches)) << c->name();
        if (s->shape == switches::Shape::None || !s->field.empty()) {
            EXPECT_EQ(s->control, c->name()) << name;
            ++boxes;
        }
    }
    EXPECT_GE(boxes, 12);
    for (const switches::Switch& s : switches::kSwitches) {
        if (s.control.empty())
            continue;
        Control& box = m.switchBox(s);
        const std::string value = s.field.empty() ? "" : sampleValue(s.shape);
        if (!s.field.empty())
            m.switchField(s).setText(value);
        if (box.value() == 1)
            box.userClick();
        box.userClick();
        std::istringstream words(m.Txt_CommandLine.text());
        std::vector<std::string> arguments;
        for (std::string w; words >> w;)
            arguments.push_back(w);
        EXPECT_NE(std::find(arguments.begin(), arguments.end(), switches::argument(s.id, value)),
                  arguments.end())
            << s.control << " in " << m.Txt_CommandLine.text();
    }
}

} // namespace
} // namespace bp
