#include "core/app/brickpov_main.h"

#include "core/about/about_box.h"
#include "core/app/app.h"
#include "core/app/locate_dialog.h"
#include "core/app/settings.h"
#include "core/app/startup.h"
#include "core/app/tool_choice.h"
#include "core/batch/render_folder.h"
#include "core/camera/camera_from_model.h"
#include "core/camera/camera_position.h"
#include "core/camera/view_presets.h"
#include "core/l3p/general_options.h"
#include "core/l3p/render_options.h"
#include "core/l3p/run_l3p.h"
#include "core/lights/colours.h"
#include "core/lights/light_table.h"
#include "core/lights/lighting_presets.h"
#include "core/scene/file_lists.h"
#include "core/scene/recent_scenes.h"
#include "core/scene/scene_file.h"

namespace bp {

Platform& BrickpovMain::platform() const {
    return m_app.platform();
}

namespace {
void readTexts(const ControlArray& boxes, std::array<std::string, 3>& into) {
    for (int i = 0; i < 3; ++i)
        into[static_cast<std::size_t>(i)] = boxes[i].text();
}
} // namespace

Options BrickpovMain::options() const {
    Options o;
    readOptions(o);
    // The render settings dialog is made on first use; until then its
    // designed values hold.
    if (const auto* r =
            dynamic_cast<const BrickpovRenderOptions*>(m_app.findForm("BrickpovRenderOptions")))
        o.renderSettings = renderSettingsOf(*r);
    return o;
}

void BrickpovMain::readOptions(Options& o) const {
    o.modelFile = Cbo_ModelFile.text();
    o.outputFile = Cbo_OutputFile.text();
    o.modelPath = ModelPath;
    o.povPath = POVPath;
    o.ldrawPath = LDrawPath;
    o.l3pPath = L3PPath;
    o.lgeoPath = LGEOPath == kNotInstalled ? std::string() : LGEOPath;

    o.cameraGlobe = Chk_CG.value();
    o.cameraCartesian = Chk_CC.value();
    readTexts(Txt_CameraValue, o.cameraValue);
    o.cameraAngle = Chk_CA.value();
    o.cameraAngleValue = Txt_CA.text();
    o.lookAt = Chk_CLA.value();
    o.lookAtEnabled = Chk_CLA.enabled();
    readTexts(Txt_CameraLookAt, o.lookAtValue);

    o.lightDefault = Chk_LD.value();
    o.lightsFromModel = Chk_L.value();
    o.lightGlobe = Chk_LG.value();
    o.lightCartesian = Chk_LC.value();
    o.lights = lights;

    o.background = Chk_B.value();
    readTexts(Txt_BColor, o.backgroundColour);
    o.floor = Chk_F.value();
    o.floorType = Cbo_FType.text();
    o.floorY = Txt_FY.text();
    o.bumps = Chk_BU.value();
    o.seamWidth = Chk_SW.value();
    o.seamWidthValue = Txt_SW.text();
    o.quality = Chk_Q.value();
    o.qualityValue = Cbo_Q.text();
    o.lgeo = Chk_LGEO.value();
    o.colour = Chk_C.value();
    o.colourText = Cbo_C.text();
    const int colour = Cbo_C.listIndex();
    o.colourNumber = colour < 0 ? std::nullopt : std::optional<int>(Cbo_C.itemData(colour));
    o.primitives = Chk_P.value();
    o.enableProgress = Chk_ENP.value();
    o.overwrite = Chk_O.value();
    o.stepClock = Chk_SC.value();
    o.render = Chk_Render.value();
    o.renderEnabled = Chk_Render.enabled();
}

void BrickpovMain::wireHandlers() {
    wireGeneralOptions(*this);
    wireFileLists(*this);
    wireRunL3P(*this);
    wireCameraPosition(*this);
    wireViewPresets(*this);
    wireColours(*this);
    wireLightTable(*this);
    wireLightingPresets(*this);
    wireSceneFile(*this);
    wireRenderFolder(*this);
    wireRecentScenes(*this);
    wireAbout(*this);
    Bnt_GetCamFromModel.onClick = [this] { Bnt_GetCamFromModel_Click(*this); };
    Btn_Exit.onClick = [this] { unload(); };
    Mnu_FileExit.onClick = [this] { unload(); };
    Dir_Hidden.onChange = [this] { Dir_Hidden_Change(*this); };
    Mnu_LocateLGEO.onClick = [this] { Mnu_LocateLGEO_Click(*this); };
    wireToolChoices(*this);
}

void BrickpovMain::Form_Load() {
    loadMainWindow(*this);
}

void BrickpovMain::Form_Activate() {
    activateMainWindow(*this);
}

void BrickpovMain::Form_Unload() {
    unloadMainWindow(*this);
}

} // namespace bp
