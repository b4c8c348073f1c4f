#include "core/window/brickpov_main.h"

#include "core/about/about_box.h"
#include "core/app/startup.h"
#include "core/batch/render_folder.h"
#include "core/camera/camera_from_model.h"
#include "core/camera/camera_position.h"
#include "core/camera/view_presets.h"
#include "core/l3p/general_options.h"
#include "core/l3p/render_options.h"
#include "core/l3p/run_l3p.h"
#include "core/l3p/run_window.h"
#include "core/lights/colours.h"
#include "core/lights/light_table.h"
#include "core/lights/lighting_presets.h"
#include "core/options/option_rules.h"
#include "core/options/scene_format.h"
#include "core/preview/preview_camera.h"
#include "core/scene/file_lists.h"
#include "core/scene/recent_scenes.h"
#include "core/scene/scene_file.h"
#include "core/window/app.h"
#include "core/window/locate_dialog.h"
#include "core/window/settings.h"
#include "core/window/tool_choice.h"

#include <stdexcept>

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

Control& BrickpovMain::plainSwitchBox(const switches::Switch& s) const {
    Control* box = find(std::string(s.control));
    if (!box)
        throw std::logic_error("no check box " + std::string(s.control));
    return *box;
}

Options BrickpovMain::options() const {
    Options o;
    readOptions(o);
    readTexts(Txt_LightValue, o.lightPosition);
    // The render settings dialog is made on first use; until then its
    // designed values hold.
    if (const auto* r =
            dynamic_cast<const BrickpovRenderOptions*>(m_app.findForm("BrickpovRenderOptions")))
        o.renderSettings = renderSettingsOf(*r);
    else
        o.renderSettings.povrayWindow = povrayWindowChosen(m_app.platform().settings);
    return o;
}

void BrickpovMain::readOptions(Options& o) const {
    o.modelFile = Cbo_ModelFile.text();
    o.outputFile = Cbo_OutputFile.text();
    o.modelPath = ModelPath;
    o.povPath = POVPath;
    o.ldrawPath = LDrawPath;
    o.l3pPath = L3PPath;
    // Assigned in place: the value is refilled after every keystroke.
    if (LGEOPath == kNotInstalled)
        o.lgeoPath.clear();
    else
        o.lgeoPath = LGEOPath;

    o.cameraGlobe = checkOf(Chk_CG.value());
    o.cameraCartesian = checkOf(Chk_CC.value());
    readTexts(Txt_CameraValue, o.cameraValue);
    o.cameraAngle = checkOf(Chk_CA.value());
    o.cameraAngleValue = Txt_CA.text();
    o.lookAt = checkOf(Chk_CLA.value());
    o.lookAtEnabled = Chk_CLA.enabled();
    readTexts(Txt_CameraLookAt, o.lookAtValue);

    o.lightGlobe = checkOf(Chk_LG.value());
    o.lightCartesian = checkOf(Chk_LC.value());
    o.lights = lights;

    o.background = checkOf(Chk_B.value());
    readTexts(Txt_BColor, o.backgroundColour);
    o.floor = checkOf(Chk_F.value());
    o.floorType = Cbo_FType.text();
    o.floorY = Txt_FY.text();
    o.seamWidth = checkOf(Chk_SW.value());
    o.seamWidthValue = Txt_SW.text();
    o.quality = checkOf(Chk_Q.value());
    o.qualityValue = Cbo_Q.text();
    o.colour = checkOf(Chk_C.value());
    o.colourText = Cbo_C.text();
    const int colour = Cbo_C.listIndex();
    o.colourNumber = colour < 0 ? std::nullopt : std::optional<int>(Cbo_C.itemData(colour));
    for (const switches::Switch& s : switches::kSwitches)
        if (!s.control.empty())
            o.plain[s.id] = checkOf(plainSwitchBox(s).value());
    o.render = checkOf(Chk_Render.value());
    o.renderEnabled = Chk_Render.enabled();
}

Options BrickpovMain::sceneOptions() {
    m_app.form<BrickpovRenderOptions>();
    return options();
}

namespace {

struct SceneRefused {}; // a list does not hold the text read

// Sets controls from a scene's fields in file order, as many as were read.
class SceneFields : public SceneFieldCount {
  public:
    using SceneFieldCount::SceneFieldCount;
    void check(Control& c, Check v) {
        take();
        c.setValue(valueOf(v));
    }
    void text(Control& c, const std::string& t) {
        take();
        c.setText(t);
    }
    void texts(const ControlArray& boxes, const std::array<std::string, 3>& t) {
        for (int i = 0; i < 3; ++i)
            text(boxes[i], t[static_cast<std::size_t>(i)]);
    }
    // A drop-down list can only show one of its items.
    void listText(Control& list, const std::string& t) {
        text(list, t);
        if (list.text() != t)
            throw SceneRefused{};
    }
};

} // namespace

bool BrickpovMain::applyScene(const Scene& scene) {
    using switches::Id;
    const Options& o = scene.options;
    SceneFields f(scene.fields);
    try {
        f.check(Chk_CG, o.cameraGlobe);
        f.check(Chk_CC, o.cameraCartesian);
        f.texts(Txt_CameraValue, o.cameraValue);
        f.check(Chk_CA, o.cameraAngle);
        f.text(Txt_CA, o.cameraAngleValue);
        f.check(Chk_LD, o.plain[Id::DefaultLights]);
        f.check(Chk_L, o.plain[Id::ModelLights]);
        f.check(Chk_LG, o.lightGlobe);
        f.check(Chk_LC, o.lightCartesian);
        // The light numbers go into the table without a handler.
        for (int l = 1; l <= kLights; ++l)
            for (int v = 1; v <= kLightValues; ++v) {
                f.take();
                lights.light(l).value(v) = o.lights.light(l).value(v);
            }
        if (Chk_LG.value() == 1 || Chk_LC.value() == 1)
            showCurrentLight(*this);
        f.check(Chk_B, o.background);
        f.texts(Txt_BColor, o.backgroundColour);
        f.check(Chk_F, o.floor);
        f.listText(Cbo_FType, o.floorType);
        f.text(Txt_FY, o.floorY);
        f.check(Chk_BU, o.plain[Id::Bumps]);
        f.check(Chk_SW, o.seamWidth);
        f.text(Txt_SW, o.seamWidthValue);
        f.check(Chk_Q, o.quality);
        f.listText(Cbo_Q, o.qualityValue);
        f.check(Chk_O, o.plain[Id::Overwrite]);
        f.check(Chk_P, o.plain[Id::Primitives]);

        auto& r = m_app.form<BrickpovRenderOptions>();
        if (scene.colourDefault) {
            Chk_C.setValue(0);
            Cbo_C.setListIndex(0);
        } else {
            f.check(Chk_C, o.colour);
            f.text(Cbo_C, o.colourText);
        }
        if (scene.switchesDefault) {
            for (Control* c : {&Chk_SC, &Chk_ENP, &Chk_LGEO, &Chk_Render})
                c->setValue(0);
        } else {
            f.check(Chk_SC, o.plain[Id::StepClock]);
            f.check(Chk_ENP, o.plain[Id::ExcludeNonPov]);
            f.check(Chk_LGEO, o.plain[Id::Lgeo]);
            f.check(Chk_Render, o.render);
            f.check(Chk_CLA, o.lookAt);
            f.texts(Txt_CameraLookAt, o.lookAtValue);
        }
        // Left-out render settings are set to their defaults the same way.
        SceneFields defaults(kSceneFields);
        SceneFields& c = scene.renderDefault ? defaults : f;
        const RenderSettings& s = o.renderSettings;
        c.text(r.Txt_OutputFile, s.outputFile);
        c.take();
        r.Cbo_FileType.setListIndex(s.fileType);
        c.text(r.Txt_Width, s.width);
        c.text(r.Txt_Height, s.height);
        c.check(r.Chk_AntiAlias, s.antiAlias);
        c.text(r.Txt_InitialFrame, s.initialFrame);
        c.text(r.Txt_FinalFrame, s.finalFrame);
        c.text(r.Txt_InitialClock, s.initialClock);
        c.text(r.Txt_FinalClock, s.finalClock);
        c.text(r.Txt_Additional, s.additional);
        r.Chk_TransparentBackground.setValue(valueOf(s.transparentBackground));
    } catch (const SceneFieldsUsed&) {
    } catch (const SceneRefused&) {
        return false;
    }
    return true;
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
    wirePreview(*this);
    Bnt_GetCamFromModel.onClick = [this] { Bnt_GetCamFromModel_Click(*this); };
    Btn_Exit.onClick = [this] { unload(); };
    Mnu_FileExit.onClick = [this] { unload(); };
    Dir_Hidden.onChange = [this] { Dir_Hidden_Change(*this); };
    Mnu_LocateLGEO.onClick = [this] { Mnu_LocateLGEO_Click(*this); };
    wireToolChoices(*this);
}

RunMonitor& runMonitor(App& app) {
    return app.form<BrickpovRun>();
}

bool runBusy(App& app) {
    const auto* run = dynamic_cast<const BrickpovRun*>(app.findForm("BrickpovRun"));
    return run && run->loaded() && run->busy();
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
