#include "core/l3p/general_options.h"

#include "core/common/core_routines.h"
#include "core/window/brickpov_main.h"
#include "core/window/command_line.h"

namespace bp {

namespace {
void focusIfShown(BrickpovMain& m, Control& c) {
    if (m.visible())
        m.setFocus(c);
}
} // namespace

void Chk_F_Click(BrickpovMain& m) {
    const bool on = m.Chk_F.value() == 1;
    m.Lbl_FType.setEnabled(on);
    m.Lbl_FY.setEnabled(on);
    setValueField(m.Cbo_FType, on);
    setValueField(m.Txt_FY, on);
    if (on)
        focusIfShown(m, m.Cbo_FType);
    BuildCommandLine(m);
}

void Chk_SW_Click(BrickpovMain& m) {
    const bool on = m.Chk_SW.value() == 1;
    setValueField(m.Txt_SW, on);
    if (on)
        focusIfShown(m, m.Txt_SW);
    BuildCommandLine(m);
}

void Chk_Q_Click(BrickpovMain& m) {
    const bool on = m.Chk_Q.value() == 1;
    setValueField(m.Cbo_Q, on);
    if (on)
        focusIfShown(m, m.Cbo_Q);
    BuildCommandLine(m);
}

void Txt_SW_GotFocus(BrickpovMain& m) {
    m.Txt_SW.setSelection(0, static_cast<int>(m.Txt_SW.text().size()));
}

void Chk_Render_Click(BrickpovMain& m) {
    m.Btn_RenderOptions.setEnabled(m.Chk_Render.value() == 1);
}

void Tmr_Main_Timer(BrickpovMain& m) {
    m.Tmr_Main.setEnabled(false);
}

void wireGeneralOptions(BrickpovMain& m) {
    m.Chk_F.onClick = [&m] { Chk_F_Click(m); };
    m.Chk_SW.onClick = [&m] { Chk_SW_Click(m); };
    m.Chk_Q.onClick = [&m] { Chk_Q_Click(m); };
    m.Txt_SW.onGotFocus = [&m] { Txt_SW_GotFocus(m); };
    m.Chk_Render.onClick = [&m] { Chk_Render_Click(m); };
    m.Tmr_Main.onTimer = [&m] { Tmr_Main_Timer(m); };

    // These only change what L3P receives.
    auto rebuild = [&m] { BuildCommandLine(m); };
    for (const switches::Switch& s : switches::kSwitches)
        if (!s.control.empty())
            m.plainSwitchBox(s).onClick = rebuild;
    for (Control* c : {&m.Cbo_FType, &m.Cbo_Q, &m.Cbo_OutputFile})
        c->onClick = rebuild;
    for (Control* c : {&m.Txt_FY, &m.Txt_SW, &m.Cbo_OutputFile})
        c->onChange = rebuild;
}

} // namespace bp
