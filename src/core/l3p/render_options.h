#pragma once

#include "core/options/options.h"
#include "core/platform/platform.h"
#include "core/ui/form.h"

#include <optional>
#include <string>

namespace bp {

class App;
class BrickpovMain;

// POV-Ray's render settings. Created hidden on first use and hidden, not
// destroyed, by OK, so its values last for the run and travel in scenes.
class BrickpovRenderOptions : public Form {
  public:
    explicit BrickpovRenderOptions(App& app);

    ControlArray Lbl_RenderOptions;
    Control& Txt_OutputFile;
    Control& Cbo_FileType;
    Control& Txt_Width;
    Control& Txt_Height;
    Control& Cbo_Size;
    Control& Chk_AntiAlias;
    Control& Chk_TransparentBackground;
    Control& Txt_Additional;
    Control& Fra_Stepclock;
    ControlArray Lbl_Stepclock;
    Control& Txt_InitialFrame;
    Control& Txt_FinalFrame;
    Control& Txt_InitialClock;
    Control& Txt_FinalClock;
    Control& Chk_PovWindow;
    Control& Btn_OK;

  protected:
    void Form_Load() override;
    void Form_Activate() override;

  private:
    App& m_app;
};

void Btn_RenderOptions_Click(BrickpovMain& m);

// Whether POV-Ray's own window is shown, as the person last chose.
bool povrayWindowChosen(SettingsStore& store);

} // namespace bp
