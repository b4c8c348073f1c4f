#pragma once

#include "core/ui/form.h"

namespace bp {

class App;
class BrickpovMain;

// Where the donation page lives; the one place that names the host.
inline constexpr const char* kDonationPage = "https://brickpov.example.org/Brickpov_donate.htm";

// The program's version as shown in the About box.
inline constexpr const char* kVersion = BRICKPOV_VERSION;

class BrickpovAbout : public Form {
  public:
    explicit BrickpovAbout(App& app);

    Control& Img_About;
    Control& Img_Donate;
    Control& Img_KilnLogo;
    Control& Lbl_About3;
    Control& Lbl_About4;
    Control& Lbl_Version;

  protected:
    void Form_Load() override;

  private:
    App& m_app;
};

void Mnu_About_Click(BrickpovMain& m);
void Img_PayPalDonate_Click(BrickpovMain& m);
void Mnu_CheckL3P_Click(BrickpovMain& m);

void wireAbout(BrickpovMain& m);

} // namespace bp
