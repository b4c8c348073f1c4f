#pragma once

#include "core/ui/form.h"

namespace bp {

class App;

// Asks for the name of a new view or lighting preset. Its caption says which
// list the name goes to.
class BrickpovNewPreset : public Form {
  public:
    explicit BrickpovNewPreset(App& app);

    Control& Lbl_NewPreset;
    Control& Txt_NewPreset;
    Control& Btn_OK;
    Control& Btn_Cancel;

  protected:
    void Form_Load() override;

  private:
    void Btn_OK_Click();

    App& m_app;
};

inline constexpr const char* kSaveViewCaption = "Save View Preset";
inline constexpr const char* kSaveLightingCaption = "Save Lighting Preset";

} // namespace bp
