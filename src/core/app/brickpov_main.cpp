#include "core/app/brickpov_main.h"

#include "core/about/about_box.h"
#include "core/app/app.h"
#include "core/app/locate_dialog.h"
#include "core/app/startup.h"
#include "core/camera/camera_from_model.h"
#include "core/camera/camera_position.h"
#include "core/camera/view_presets.h"
#include "core/l3p/general_options.h"
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
    wireRecentScenes(*this);
    wireAbout(*this);
    Bnt_GetCamFromModel.onClick = [this] { Bnt_GetCamFromModel_Click(*this); };
    Btn_Exit.onClick = [this] { unload(); };
    Mnu_FileExit.onClick = [this] { unload(); };
    Dir_Hidden.onChange = [this] { Dir_Hidden_Change(*this); };
    Mnu_LocateLGEO.onClick = [this] { Mnu_LocateLGEO_Click(*this); };
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
