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

// A value field changes the argument as it is typed in or chosen; a text box
// selects its text when it takes the focus, to be typed over.
void wireValueField(BrickpovMain& m, Control& field) {
    auto rebuild = [&m] { BuildCommandLine(m); };
    if (field.kind() == ControlKind::TextBox) {
        field.onGotFocus = [&field] { selectAll(field); };
        field.onChange = rebuild;
    } else {
        field.onClick = rebuild;
        if (field.kind() == ControlKind::ComboEdit)
            field.onChange = rebuild;
    }
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

void valueBoxClick(BrickpovMain& m, const switches::Switch& s) {
    Control& field = m.switchField(s);
    const bool on = ticked(m.switchBox(s).value());
    setValueField(field, on);
    if (on)
        focusIfShown(m, field);
    BuildCommandLine(m);
}

void Chk_Render_Click(BrickpovMain& m) {
    m.Btn_RenderOptions.setEnabled(m.Chk_Render.value() == 1);
}

void Tmr_Main_Timer(BrickpovMain& m) {
    m.Tmr_Main.setEnabled(false);
}

void wireGeneralOptions(BrickpovMain& m) {
    m.Chk_F.onClick = [&m] { Chk_F_Click(m); };
    m.Chk_Render.onClick = [&m] { Chk_Render_Click(m); };
    m.Tmr_Main.onTimer = [&m] { Tmr_Main_Timer(m); };

    // These only change what L3P receives.
    auto rebuild = [&m] { BuildCommandLine(m); };
    for (const switches::Switch& s : switches::kSwitches) {
        if (s.control.empty())
            continue;
        if (s.field.empty()) {
            m.switchBox(s).onClick = rebuild;
            continue;
        }
        m.switchBox(s).onClick = [&m, &s] { valueBoxClick(m, s); };
        wireValueField(m, m.switchField(s));
    }
    for (Control* c : {&m.Cbo_FType, &m.Cbo_OutputFile})
        c->onClick = rebuild;
    for (Control* c : {&m.Txt_FY, &m.Cbo_OutputFile})
        c->onChange = rebuild;
}

} // namespace bp
