#include "core/about/about_box.h"

#include "core/common/core_routines.h"
#include "core/common/file_routines.h"
#include "core/window/app.h"
#include "core/window/brickpov_main.h"
#include "core/window/tool_choice.h"

namespace bp {

BrickpovAbout::BrickpovAbout(App& app)
    : Form(app, "BrickpovAbout"), Img_About(add(ControlKind::Image, "Img_About")),
      Img_Donate(add(ControlKind::Image, "Img_Donate")),
      Img_KilnLogo(add(ControlKind::Image, "Img_KilnLogo")),
      Lbl_About3(add(ControlKind::Label, "Lbl_About", 3)),
      Lbl_About4(add(ControlKind::Label, "Lbl_About", 4)),
      Lbl_Version(add(ControlKind::Label, "Lbl_Version")), m_app(app) {
    setCaption("About Brickpov");
    clientWidth = 7620;
    clientHeight = 2700;
    setRect({0, 0, 7710, 3105});
    Img_About.setRect({60, 60, 5175, 1170});
    Img_About.picture = "about";
    Img_Donate.setRect({60, 1260, 5175, 945});
    Img_Donate.picture = "about-donate";
    Img_KilnLogo.setRect({5400, 60, 2130, 2115});
    Img_KilnLogo.picture = "maker";
    Lbl_About3.setRect({60, 2220, 4035, 195});
    Lbl_About3.setCaption("Brickpov: a desktop front-end for L3P and POV-Ray");
    Lbl_About4.setRect({60, 2400, 3735, 195});
    Lbl_About4.setCaption("L3P (c) 1999-2002 Lars C. Hassing");
    Lbl_Version.setRect({5760, 2340, 1635, 195});
    Lbl_Version.setCaption("Version");
    Lbl_Version.alignment = Alignment::Right;
    for (Control* c : controls())
        c->setBackColor(Color::systemButtonFace());

    // A click anywhere but on the donation picture closes the box.
    auto close = [this] { unload(); };
    onClick = close;
    for (Control* c : {&Img_About, &Img_KilnLogo, &Lbl_About3, &Lbl_About4, &Lbl_Version})
        c->onClick = close;
    Img_Donate.onClick = [this] { AppExecute(m_app.platform(), kDonationPage, {}); };
}

void BrickpovAbout::Form_Load() {
    CenterOverWindow(*this, m_app.main());
    Lbl_Version.setCaption(kVersion);
}

void Mnu_About_Click(BrickpovMain& m) {
    auto& about = m.app().form<BrickpovAbout>();
    const Rect& r = m.rect();
    const Rect& a = about.rect();
    about.move(r.left + r.width / 2 - a.width / 2, r.top + r.height / 2 - a.height / 2);
    about.show(false);
}

void Img_PayPalDonate_Click(BrickpovMain& m) {
    AppExecute(m.platform(), kDonationPage, {});
}

void Mnu_CheckL3P_Click(BrickpovMain& m) {
    if (usesOurConverter(m)) {
        showMessage(m.platform(), "Check for latest L3P",
                    std::string("Run L3P runs Brickpov's own converter (") + kOurConverter +
                        "). It is part of Brickpov and is updated with Brickpov.",
                    MsgIcon::Information);
        return;
    }
    AppExecute(m.platform(), l3pProgram(m), {"-upd"});
}

void wireAbout(BrickpovMain& m) {
    m.Mnu_About.onClick = [&m] { Mnu_About_Click(m); };
    m.Img_PayPalDonate.onClick = [&m] { Img_PayPalDonate_Click(m); };
    m.Mnu_CheckL3P.onClick = [&m] { Mnu_CheckL3P_Click(m); };
}

} // namespace bp
