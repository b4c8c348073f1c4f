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
#include "core/options/scene_layout.h"
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

Control& sceneControl(const Form& window, const SceneField& f) {
    Control* c = window.find(f.control, f.element);
    if (!c)
        throw std::logic_error(std::string("no control ") + f.control);
    return *c;
}

void readSceneField(const Form& window, const SceneField& f, Options& o) {
    const Control& c = sceneControl(window, f);
    if (f.kind == FieldKind::CheckState) {
        f.check(o) = checkOf(c.value());
    } else if (f.kind == FieldKind::FileType) {
        o.renderSettings.fileType = c.listIndex();
        o.renderSettings.fileTypeText = c.text();
    } else {
        f.text(o) = c.text();
    }
}

} // namespace

namespace {
Control& named(const Form& window, std::string_view name) {
    Control* c = window.find(std::string(name));
    if (!c)
        throw std::logic_error("no control " + std::string(name));
    return *c;
}
} // namespace

Control& BrickpovMain::switchBox(const switches::Switch& s) const {
    return named(*this, s.control);
}

Control& BrickpovMain::switchField(const switches::Switch& s) const {
    return named(*this, s.field);
}

Options BrickpovMain::options() const {
    Options o;
    readOptions(o);
    for (int i = 0; i < 3; ++i)
        o.lightPosition[static_cast<std::size_t>(i)] = Txt_LightValue[i].text();
    // The render settings dialog is made on first use; until then its
    // designed values hold.
    if (const auto* r =
            dynamic_cast<const BrickpovRenderOptions*>(m_app.findForm("BrickpovRenderOptions"))) {
        for (const SceneField& f : kSceneLayout)
            if (f.onRenderSettings())
                readSceneField(*r, f, o);
        o.renderSettings.povrayWindow = r->Chk_PovWindow.value() == 1;
    } else {
        o.renderSettings.povrayWindow = povrayWindowChosen(m_app.platform().settings);
    }
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
    for (const SceneField& f : kSceneLayout)
        if (f.control && !f.onRenderSettings())
            readSceneField(*this, f, o);
    for (const switches::Switch& s : switches::kSwitches) {
        if (!s.control.empty())
            o.ticks[s.id] = checkOf(switchBox(s).value());
        if (!s.field.empty())
            o.values[s.id] = switchField(s).text();
    }
    o.lookAtEnabled = Chk_CLA.enabled();
    o.lights = lights;
    const int colour = Cbo_C.listIndex();
    o.colourNumber = colour < 0 ? std::nullopt : std::optional<int>(Cbo_C.itemData(colour));
    o.renderEnabled = Chk_Render.enabled();
}

Options BrickpovMain::sceneOptions() {
    m_app.form<BrickpovRenderOptions>();
    return options();
}

namespace {

struct SceneRefused {}; // a list does not hold the text read

// Sets a field's control through its handler.
void setSceneField(BrickpovMain& m, const Form& window, const SceneField& f, const Options& o) {
    if (f.kind == FieldKind::LightNumbers) {
        if (m.Chk_LG.value() == 1 || m.Chk_LC.value() == 1)
            showCurrentLight(m);
        return;
    }
    Control& c = sceneControl(window, f);
    if (f.kind == FieldKind::FileType) {
        c.setListIndex(o.renderSettings.fileType);
    } else if (f.kind == FieldKind::CheckState) {
        c.setValue(valueOf(f.check(o)));
    } else {
        c.setText(f.text(o));
        // A drop-down list can only show one of its items.
        if (!f.items.empty() && c.text() != f.text(o))
            throw SceneRefused{};
    }
}

} // namespace

bool BrickpovMain::applyScene(const Scene& scene) {
    const Form* settings = nullptr;
    // The render settings window is made where the required part ends.
    auto opens = [&](SceneSection) {
        if (!settings)
            settings = &m_app.form<BrickpovRenderOptions>();
    };
    try {
        walkScene(scene, lights, opens, [&](const SceneField& f) {
            setSceneField(*this, f.onRenderSettings() ? *settings : *this, f, scene.options);
        });
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
