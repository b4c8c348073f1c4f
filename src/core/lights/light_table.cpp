#include "core/lights/light_table.h"

#include "core/common/core_routines.h"
#include "core/common/numbers.h"
#include "core/lights/colours.h"
#include "core/options/option_rules.h"
#include "core/window/brickpov_main.h"
#include "core/window/command_line.h"

namespace bp {

namespace {

void setGroupEnabled(BrickpovMain& m, bool on) {
    for (int i = 0; i < 6; ++i) {
        m.Lbl_LightValue[i].setEnabled(on);
        setValueField(m.Txt_LightValue[i], on);
    }
    setValueField(m.Cbo_Light, on);
    m.Btn_LightClear.setEnabled(on);
    m.Lbl_LightColorSample.setEnabled(on);
}

void updateSwatch(BrickpovMain& m) {
    m.Lbl_LightColorSample.setBackColor(swatchColour(
        m.Txt_LightValue[3].text(), m.Txt_LightValue[4].text(), m.Txt_LightValue[5].text()));
}

// The two placement boxes are twins: one placement, its flag and captions.
void placementClick(BrickpovMain& m, Control& self, Control& other, float flag, const char* a,
                    const char* b, const char* c) {
    if (ticked(self.value())) {
        other.setValue(0);
        m.lights.light(currentLight(m)).placement = flag;
        if (m.Cbo_Light.text().empty())
            m.Cbo_Light.setListIndex(0);
        m.Lbl_LightValue[0].setCaption(a);
        m.Lbl_LightValue[1].setCaption(b);
        m.Lbl_LightValue[2].setCaption(c);
        setGroupEnabled(m, true);
        updateSwatch(m);
        const auto& t = m.Txt_LightValue;
        if (!t[2].text().empty() && !t[3].text().empty() && !t[4].text().empty() &&
            !t[5].text().empty() && t[0].text() != "0" && t[1].text() != "0")
            m.Btn_LightPresetSave.setEnabled(true);
        if (m.visible())
            m.setFocus(m.Cbo_Light);
    } else {
        m.lights.light(currentLight(m)).placement = flag == 0 ? 1.0f : 0.0f;
        setGroupEnabled(m, false);
        m.Lbl_LightColorSample.setBackColor(Color::systemButtonFace());
        m.Btn_LightPresetSave.setEnabled(false);
    }
    BuildCommandLine(m);
}

} // namespace

int currentLight(const BrickpovMain& m) {
    const int i = m.Cbo_Light.listIndex();
    return i < 0 ? 1 : i + 1;
}

void Chk_LC_Click(BrickpovMain& m) {
    placementClick(m, m.Chk_LC, m.Chk_LG, 1, "X", "Y", "Z");
}

void Chk_LG_Click(BrickpovMain& m) {
    placementClick(m, m.Chk_LG, m.Chk_LC, 0, "Latt", "Long", "Radius");
}

void showCurrentLight(BrickpovMain& m) {
    const Light& light = m.lights.light(currentLight(m));
    for (int i = 0; i < 6; ++i) {
        m.Txt_LightValue[i].setText(lightBoxText(i, light.value(i + 1)));
    }
}

void Cbo_Light_Click(BrickpovMain& m) {
    if (!m.lights.light(currentLight(m)).byCoordinates())
        m.Chk_LG.setValue(1);
    else
        m.Chk_LC.setValue(1);
    showCurrentLight(m);
}

void Txt_LightValue_Change(BrickpovMain& m, int index) {
    const auto& t = m.Txt_LightValue;
    if (ticked(m.Chk_LG.value()) && !t[0].text().empty() && !t[1].text().empty())
        m.Btn_LightPresetSave.setEnabled(true);
    else if (ticked(m.Chk_LC.value()) && !t[0].text().empty() && !t[1].text().empty() &&
             !t[2].text().empty())
        m.Btn_LightPresetSave.setEnabled(true);
    else
        m.Btn_LightPresetSave.setEnabled(false);

    m.lights.light(currentLight(m)).value(index + 1) = lightBoxValue(index, t[index].text());
    updateSwatch(m);
    BuildCommandLine(m);
}

void Btn_LightClear_Click(BrickpovMain& m) {
    Light& light = m.lights.light(currentLight(m));
    for (int i = 0; i < 3; ++i) {
        light.position[static_cast<std::size_t>(i)] = 0;
        m.Txt_LightValue[i].setText("0");
    }
    for (int i = 0; i < 3; ++i) {
        light.colour[static_cast<std::size_t>(i)] = 1;
        m.Txt_LightValue[i + 3].setText("255");
    }
}

void wireLightTable(BrickpovMain& m) {
    m.Chk_LC.onClick = [&m] { Chk_LC_Click(m); };
    m.Chk_LG.onClick = [&m] { Chk_LG_Click(m); };
    m.Cbo_Light.onClick = [&m] { Cbo_Light_Click(m); };
    m.Btn_LightClear.onClick = [&m] { Btn_LightClear_Click(m); };
    for (int i = 0; i < 6; ++i) {
        Control& box = m.Txt_LightValue[i];
        box.onChange = [&m, i] { Txt_LightValue_Change(m, i); };
        box.onGotFocus = [&box] { box.setSelection(0, static_cast<int>(box.text().size())); };
    }
    m.Lbl_LightColorSample.onClick = [&m] {
        if (m.Lbl_LightColorSample.enabled())
            pickColour(m, m.Lbl_LightColorSample, m.Txt_LightValue[3], m.Txt_LightValue[4],
                       m.Txt_LightValue[5]);
    };
}

} // namespace bp
