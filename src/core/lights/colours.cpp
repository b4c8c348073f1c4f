#include "core/lights/colours.h"

#include "core/common/core_routines.h"
#include "core/common/numbers.h"
#include "core/platform/platform.h"
#include "core/window/brickpov_main.h"
#include "core/window/command_line.h"

#include <algorithm>

namespace bp {

namespace {
int component(const std::string& text) {
    const double v = roundHalfEven(leadingNumber(text));
    if (!(v > 0))
        return 0;
    return v >= 255 ? 255 : static_cast<int>(v);
}
} // namespace

Color swatchColour(const std::string& red, const std::string& green, const std::string& blue) {
    return Color::rgb(component(red), component(green), component(blue));
}

void pickColour(BrickpovMain& m, Control& swatch, Control& red, Control& green, Control& blue) {
    const Color initial = swatchColour(red.text(), green.text(), blue.text());
    const auto chosen = m.platform().dialogs.colorDialog({initial.r, initial.g, initial.b});
    if (!chosen)
        return;
    swatch.setBackColor(Color::rgb(chosen->r, chosen->g, chosen->b));
    blue.setText(std::to_string(std::clamp(chosen->b, 0, 255)));
    green.setText(std::to_string(std::clamp(chosen->g, 0, 255)));
    red.setText(std::to_string(std::clamp(chosen->r, 0, 255)));
}

void Chk_B_Click(BrickpovMain& m) {
    const bool on = m.Chk_B.value() == 1;
    for (int i = 0; i < 3; ++i) {
        m.Lbl_BColor[i].setEnabled(on);
        setValueField(m.Txt_BColor[i], on);
    }
    m.Lbl_BColorSample.setEnabled(on);
    m.Lbl_BColorSample.setBackColor(
        on ? swatchColour(m.Txt_BColor[0].text(), m.Txt_BColor[1].text(), m.Txt_BColor[2].text())
           : Color::systemButtonFace());
    if (on && m.visible())
        m.setFocus(m.Txt_BColor[0]);
    BuildCommandLine(m);
}

void Txt_BColor_Change(BrickpovMain& m) {
    m.Lbl_BColorSample.setBackColor(
        swatchColour(m.Txt_BColor[0].text(), m.Txt_BColor[1].text(), m.Txt_BColor[2].text()));
    BuildCommandLine(m);
}

void wireColours(BrickpovMain& m) {
    m.Chk_B.onClick = [&m] { Chk_B_Click(m); };
    for (Control* box : m.Txt_BColor)
        box->onChange = [&m] { Txt_BColor_Change(m); };
    m.Lbl_BColorSample.onClick = [&m] {
        if (m.Lbl_BColorSample.enabled())
            pickColour(m, m.Lbl_BColorSample, m.Txt_BColor[0], m.Txt_BColor[1], m.Txt_BColor[2]);
    };
}

} // namespace bp
