#include "core/window/new_preset_dialog.h"

#include "core/common/core_routines.h"
#include "core/platform/platform.h"
#include "core/window/app.h"
#include "core/window/brickpov_main.h"

namespace bp {

BrickpovNewPreset::BrickpovNewPreset(App& app)
    : Form(app, "BrickpovNewPreset"), Lbl_NewPreset(add(ControlKind::Label, "Lbl_NewPreset")),
      Txt_NewPreset(add(ControlKind::TextBox, "Txt_NewPreset")),
      Btn_OK(add(ControlKind::Button, "Btn_OK")),
      Btn_Cancel(add(ControlKind::Button, "Btn_Cancel")), m_app(app) {
    setCaption("Save New Preset");
    clientWidth = 3315;
    clientHeight = 1155;
    setRect({0, 0, 3405, 1560});
    Lbl_NewPreset.setCaption("Please enter the new preset name:");
    Lbl_NewPreset.setRect({60, 60, 3195, 255});
    Lbl_NewPreset.setBackColor(Color::systemButtonFace());
    Txt_NewPreset.setText("NewPreset");
    Txt_NewPreset.setRect({60, 300, 3195, 315});
    Txt_NewPreset.tabIndex = 0;
    Btn_OK.setCaption("OK");
    Btn_OK.setRect({2160, 720, 1095, 375});
    Btn_OK.defaultButton = true;
    Btn_OK.tabIndex = 1;
    Btn_Cancel.setCaption("Cancel");
    Btn_Cancel.setRect({960, 720, 1095, 375});
    Btn_Cancel.cancelButton = true;
    Btn_Cancel.tabIndex = 2;
    for (Control* c : {&Btn_OK, &Btn_Cancel})
        c->setBackColor(Color::systemButtonFace());

    Txt_NewPreset.onGotFocus = [this] {
        Txt_NewPreset.setSelection(0, static_cast<int>(Txt_NewPreset.text().size()));
    };
    Btn_OK.onClick = [this] { Btn_OK_Click(); };
    Btn_Cancel.onClick = [this] { unload(); };
}

void BrickpovNewPreset::Form_Load() {
    CenterOverWindow(*this, m_app.main());
}

void BrickpovNewPreset::Btn_OK_Click() {
    const std::string name = Txt_NewPreset.text();
    // The stored record separates its fields with commas, so a name holding
    // one would come back cut short with its values misread.
    if (name.find(',') != std::string::npos) {
        showMessage(m_app.platform(), "Invalid Preset Name",
                    "A preset name cannot contain a comma. Please enter another name.",
                    MsgIcon::Exclamation);
        return;
    }
    BrickpovMain& m = m_app.main();
    Control& list = caption() == kSaveViewCaption ? m.Cbo_CameraPreset : m.Cbo_LightPreset;
    list.addItem(name);
    list.setListIndex(list.listCount() - 1);
    unload();
}

} // namespace bp
