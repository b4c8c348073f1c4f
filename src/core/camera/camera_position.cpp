#include "core/camera/camera_position.h"

#include "core/common/core_routines.h"
#include "core/common/numbers.h"
#include "core/window/brickpov_main.h"
#include "core/window/command_line.h"

namespace bp {

namespace {

bool allThreeGiven(const BrickpovMain& m) {
    for (Control* c : m.Txt_CameraValue)
        if (c->text().empty())
            return false;
    return true;
}

bool radiusAboveZero(const BrickpovMain& m) {
    return leadingNumber(m.Txt_CameraValue[2].text()) > 0;
}

void setCaptions(BrickpovMain& m, const char* a, const char* b, const char* c) {
    m.Lbl_CameraValue[0].setCaption(a);
    m.Lbl_CameraValue[1].setCaption(b);
    m.Lbl_CameraValue[2].setCaption(c);
}

void setValuesEnabled(BrickpovMain& m, bool enabled) {
    for (int i = 0; i < 3; ++i) {
        m.Lbl_CameraValue[i].setEnabled(enabled);
        setValueField(m.Txt_CameraValue[i], enabled);
    }
}

void focusFirstValue(BrickpovMain& m) {
    if (m.visible())
        m.setFocus(m.Txt_CameraValue[0]);
}

} // namespace

// Each mode unticks the other first; that runs the other's unticked branch,
// whose effects the later steps here repair, so the order matters.
void Chk_CG_Click(BrickpovMain& m) {
    if (ticked(m.Chk_CG.value())) {
        m.Chk_CC.setValue(0);
        setCaptions(m, "Latt", "Long", "Radius");
        if (allThreeGiven(m)) {
            m.Btn_CameraPresetSave.setEnabled(true);
            if (radiusAboveZero(m))
                m.Chk_CLA.setEnabled(true);
        }
        setValuesEnabled(m, true);
        focusFirstValue(m);
    } else {
        m.Btn_CameraPresetSave.setEnabled(false);
        setValuesEnabled(m, false);
        m.Chk_CLA.setEnabled(ticked(m.Chk_CC.value()));
    }
    BuildCommandLine(m);
}

void Chk_CC_Click(BrickpovMain& m) {
    if (ticked(m.Chk_CC.value())) {
        m.Chk_CG.setValue(0);
        setCaptions(m, "X", "Y", "Z");
        if (allThreeGiven(m)) {
            m.Btn_CameraPresetSave.setEnabled(true);
            m.Chk_CLA.setEnabled(true);
        }
        setValuesEnabled(m, true);
        focusFirstValue(m);
        m.Chk_CLA.setEnabled(ticked(m.Chk_CC.value()));
    } else {
        m.Btn_CameraPresetSave.setEnabled(false);
        setValuesEnabled(m, false);
        m.Chk_CLA.setValue(0);
        m.Chk_CLA.setEnabled(ticked(m.Chk_CC.value()));
    }
    BuildCommandLine(m);
}

void Txt_CameraValue_Change(BrickpovMain& m, int) {
    const auto& v = m.Txt_CameraValue;
    if (ticked(m.Chk_CG.value()) && !v[0].text().empty() && !v[1].text().empty()) {
        m.Btn_CameraPresetSave.setEnabled(true);
    } else {
        const bool on = ticked(m.Chk_CC.value()) && allThreeGiven(m);
        m.Btn_CameraPresetSave.setEnabled(on);
        m.Chk_CLA.setEnabled(on);
    }
    if (ticked(m.Chk_CG.value()))
        m.Chk_CLA.setEnabled(radiusAboveZero(m));
    BuildCommandLine(m);
}

void Chk_CLA_Click(BrickpovMain& m) {
    const bool on = ticked(m.Chk_CLA.value());
    for (int i = 0; i < 3; ++i) {
        m.Lbl_CameraLookAt[i].setEnabled(on);
        setValueField(m.Txt_CameraLookAt[i], on);
    }
    BuildCommandLine(m);
}

void wireCameraPosition(BrickpovMain& m) {
    auto rebuild = [&m] { BuildCommandLine(m); };
    m.Chk_CG.onClick = [&m] { Chk_CG_Click(m); };
    m.Chk_CC.onClick = [&m] { Chk_CC_Click(m); };
    m.Chk_CLA.onClick = [&m] { Chk_CLA_Click(m); };
    for (int i = 0; i < 3; ++i) {
        Control& value = m.Txt_CameraValue[i];
        value.onChange = [&m, i] { Txt_CameraValue_Change(m, i); };
        value.onGotFocus = [&value] { selectAll(value); };
        Control& lookAt = m.Txt_CameraLookAt[i];
        lookAt.onChange = rebuild;
        lookAt.onGotFocus = [&lookAt] { selectAll(lookAt); };
    }
}

} // namespace bp
