// Rebuilding the command line is what every handler ends with, so it sets the
// cost of the longest cascades.

#include "core/window/app.h"
#include "core/window/brickpov_main.h"
#include "core/window/command_line.h"
#include "null_platform.h"

#include <benchmark/benchmark.h>

namespace {

void everySwitchTicked(bp::BrickpovMain& m) {
    m.ModelPath = "/home/user/my models/";
    m.POVPath = "/home/user/renders/";
    m.Cbo_ModelFile.addItem("big castle.ldr");
    m.Cbo_ModelFile.setListIndex(0);
    m.Cbo_OutputFile.setText("big castle.pov");
    m.Txt_CameraValue[0].setText("30");
    m.Txt_CameraValue[1].setText("45");
    m.Txt_CameraValue[2].setText("1200");
    m.Txt_CA.setText("67.38");
    for (int i = 0; i < 3; ++i)
        m.Txt_CameraLookAt[i].setText("0");
    m.Txt_BColor[0].setText("128");
    m.Txt_FY.setText("-24");
    m.Txt_SW.setText("0.5");
    for (bp::Control* c : {&m.Chk_CG, &m.Chk_CA, &m.Chk_CLA, &m.Chk_LD, &m.Chk_L, &m.Chk_LG,
                           &m.Chk_B, &m.Chk_F, &m.Chk_BU, &m.Chk_SW, &m.Chk_Q, &m.Chk_LGEO,
                           &m.Chk_C, &m.Chk_P, &m.Chk_ENP, &m.Chk_O, &m.Chk_SC})
        c->setValue(1);
    m.Chk_CLA.setEnabled(true);
    m.Cbo_Q.setListIndex(3);
    m.Cbo_C.setListIndex(17);
    for (int l = 1; l <= bp::kLights; ++l)
        m.lights.light(l) = {
            {45.5f + static_cast<float>(l), -120.25f, 1000}, {0.502f, 0.25f, 1}, 0};
}

void BM_BuildCommandLine_AllSwitchesTwentyLights(benchmark::State& state) {
    bp::null::NullPlatform p;
    bp::Platform platform = p.platform();
    bp::App app(platform);
    everySwitchTicked(app.main());
    for (auto _ : state) {
        bp::BuildCommandLine(app.main());
        benchmark::DoNotOptimize(app.main().Txt_CommandLine.text().data());
    }
    state.counters["chars"] = static_cast<double>(app.main().Txt_CommandLine.text().size());
}
BENCHMARK(BM_BuildCommandLine_AllSwitchesTwentyLights);

} // namespace

BENCHMARK_MAIN();
