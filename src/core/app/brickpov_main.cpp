#include "core/app/brickpov_main.h"

#include "core/app/app.h"
#include "core/app/locate_dialog.h"
#include "core/app/startup.h"
#include "core/l3p/command_line.h"
#include "core/common/core_routines.h"
#include "core/common/file_routines.h"
#include "core/l3p/general_options.h"
#include "core/l3p/run_l3p.h"
#include "core/scene/file_lists.h"

namespace bp {

Platform& BrickpovMain::platform() const { return m_app.platform(); }

void BrickpovMain::wireHandlers() {
    wireGeneralOptions(*this);
    wireFileLists(*this);
    wireRunL3P(*this);
    Btn_Exit.onClick = [this] { unload(); };
    Mnu_FileExit.onClick = [this] { unload(); };
    Dir_Hidden.onChange = [this] { Dir_Hidden_Change(*this); };
    Mnu_LocateLGEO.onClick = [this] { Mnu_LocateLGEO_Click(*this); };
    // L3P checks for a newer version of itself when given this switch.
    Mnu_CheckL3P.onClick = [this] {
        AppExecute(platform(), AddBackslash(L3PPath) + EXEName, " -upd");
    };
}

void BrickpovMain::Form_Load() {
    setRect({rect().left, rect().top, 8280, 8610});
    CenterOnScreen(*this, platform().windows);
}

void BrickpovMain::Form_Activate() { BuildCommandLine(*this); }

void BrickpovMain::Form_Unload() {
    UnloadAllWindows(m_app);
    m_app.end();
}

} // namespace bp
