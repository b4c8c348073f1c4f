// What a run refuses before L3P starts: a ticked switch whose value is empty.

#include "core/l3p/run_l3p.h"
#include "core/options/options.h"

#include <gtest/gtest.h>

#include <functional>

namespace bp {
namespace {

using enum switches::Id;

TEST(RunChecks, TickedSwitchNeedsItsValue) {
    struct Row {
        const char* what;
        std::function<void(Options&)> change;
        bool missing;
    };
    const Row rows[] = {
        {"everything filled", [](Options&) {}, false},
        {"no model", [](Options& o) { o.modelFile.clear(); }, true},
        {"globe without latitude", [](Options& o) { o.cameraValue[0].clear(); }, true},
        {"cartesian without y",
         [](Options& o) {
             o.cameraGlobe = Check::Clear;
             o.cameraCartesian = Check::Ticked;
             o.cameraValue[1].clear();
         },
         true},
        {"camera radius may be empty", [](Options& o) { o.cameraValue[2].clear(); }, false},
        {"camera off, values empty",
         [](Options& o) { o.cameraGlobe = Check::Clear, o.cameraValue = {}; }, false},
        {"light without z", [](Options& o) { o.lightPosition[2].clear(); }, true},
        {"light cartesian without x",
         [](Options& o) {
             o.lightGlobe = Check::Clear;
             o.lightCartesian = Check::Ticked;
             o.lightPosition[0].clear();
         },
         true},
        {"background without blue", [](Options& o) { o.backgroundColour[2].clear(); }, true},
        {"seam width empty", [](Options& o) { o.values[SeamWidth].clear(); }, true},
        {"colour empty", [](Options& o) { o.values[Colour].clear(); }, true},
        {"switches off, values empty",
         [](Options& o) {
             o.lightGlobe = o.background = o.ticks[SeamWidth] = o.ticks[Colour] = Check::Clear;
             o.lightPosition = {};
             o.backgroundColour = {};
             o.values[SeamWidth].clear();
             o.values[Colour].clear();
         },
         false},
    };
    for (const Row& r : rows) {
        Options o;
        o.modelFile = "car.dat";
        o.cameraGlobe = o.lightGlobe = o.background = o.ticks[SeamWidth] = o.ticks[Colour] =
            Check::Ticked;
        o.cameraValue = {"30", "45", "0"};
        o.lightPosition = {"45", "0", "0"};
        o.backgroundColour = {"0", "0", "255"};
        o.values[SeamWidth] = "0.5";
        o.values[Colour] = "4";
        r.change(o);
        EXPECT_EQ(requiredFieldMissing(o), r.missing) << r.what;
    }
}

} // namespace
} // namespace bp
