#include "core/l3p/render_options.h"

#include "core/common/core_routines.h"
#include "core/common/file_routines.h"
#include "core/options/options.h"
#include "core/options/scene_format.h"
#include "core/platform/platform.h"
#include "core/window/app.h"
#include "core/window/brickpov_main.h"
#include "core/window/settings.h"

#include <cstdio>
#include <utility>

namespace bp {

namespace {

constexpr const char* kCommonSizes[] = {
    "640 x 480 (4:3)",   "800 x 600 (4:3)",    "1024 x 768 (4:3)",   "1600 x 1200 (4:3)",
    "1280 x 720 (16:9)", "1920 x 1080 (16:9)", "2560 x 1440 (16:9)", "3840 x 2160 (16:9)",
    "512 x 512 (1:1)",   "1080 x 1080 (1:1)",  "2048 x 2048 (1:1)"};

// "1920 x 1080 (16:9)" as its width and height.
std::optional<std::pair<int, int>> commonSize(const std::string& item) {
    int width = 0, height = 0;
    if (std::sscanf(item.c_str(), "%d x %d", &width, &height) != 2 || width <= 0 || height <= 0)
        return std::nullopt;
    return std::pair{width, height};
}

} // namespace

BrickpovRenderOptions::BrickpovRenderOptions(App& app)
    : Form(app, "BrickpovRenderOptions"),
      Lbl_RenderOptions(addArray(ControlKind::Label, "Lbl_RenderOptions", 6)),
      Txt_OutputFile(add(ControlKind::TextBox, "Txt_OutputFile")),
      Cbo_FileType(add(ControlKind::ComboEdit, "Cbo_FileType")),
      Txt_Width(add(ControlKind::TextBox, "Txt_Width")),
      Txt_Height(add(ControlKind::TextBox, "Txt_Height")),
      Cbo_Size(add(ControlKind::ComboList, "Cbo_Size")),
      Chk_AntiAlias(add(ControlKind::CheckBox, "Chk_AntiAlias")),
      Chk_TransparentBackground(add(ControlKind::CheckBox, "Chk_TransparentBackground")),
      Txt_Additional(add(ControlKind::TextBox, "Txt_Additional")),
      Fra_Stepclock(add(ControlKind::Frame, "Fra_Stepclock")),
      Lbl_Stepclock(addArray(ControlKind::Label, "Lbl_Stepclock", 4)),
      Txt_InitialFrame(add(ControlKind::TextBox, "Txt_InitialFrame")),
      Txt_FinalFrame(add(ControlKind::TextBox, "Txt_FinalFrame")),
      Txt_InitialClock(add(ControlKind::TextBox, "Txt_InitialClock")),
      Txt_FinalClock(add(ControlKind::TextBox, "Txt_FinalClock")),
      Chk_PovWindow(add(ControlKind::CheckBox, "Chk_PovWindow")),
      Btn_OK(add(ControlKind::Button, "Btn_OK")), m_app(app) {
    setCaption("POV-Ray Render Settings");
    clientWidth = 4995;
    clientHeight = 3945;
    setRect({0, 0, 5085, 4350});

    struct LabelDesign {
        const char* caption;
        Rect rect;
        bool bold;
        Alignment align;
    };
    const LabelDesign labels[] = {
        {"Output File Type", {60, 780, 1875, 195}, true, Alignment::Left},
        {"Output Filename", {60, 120, 1875, 195}, true, Alignment::Left},
        {"Output Image Size", {60, 1440, 1875, 195}, true, Alignment::Left},
        {"H", {1080, 1740, 195, 195}, false, Alignment::Right},
        {"W", {60, 1740, 195, 195}, false, Alignment::Right},
        {"Additional Switches", {60, 2820, 1875, 195}, true, Alignment::Left}};
    for (int i = 0; i < 6; ++i) {
        Control& l = Lbl_RenderOptions[i];
        l.setCaption(labels[i].caption);
        l.setRect(labels[i].rect);
        l.bold = labels[i].bold;
        l.alignment = labels[i].align;
        l.setBackColor(Color::systemButtonFace());
    }

    Txt_OutputFile.setRect({60, 360, 2475, 315});
    for (const char* type : kFileTypes)
        Cbo_FileType.addItem(type);
    Cbo_FileType.setRect({60, 1020, 2475, 315});
    Cbo_FileType.setText("S - Windows BMP");
    Txt_Width.setRect({300, 1680, 615, 315});
    Txt_Width.setText("640");
    Txt_Height.setRect({1320, 1680, 615, 315});
    Txt_Height.setText("480");
    Chk_AntiAlias.setCaption("Anti-Alias");
    Chk_AntiAlias.setRect({60, 2460, 1455, 255});
    Chk_AntiAlias.setBackColor(Color::systemButtonFace());
    Txt_Additional.setRect({60, 3060, 4815, 315});
    // Common sizes beside the free boxes; choosing one fills them.
    Cbo_Size.setRect({60, 2040, 2475, 315});
    for (const char* size : kCommonSizes)
        Cbo_Size.addItem(size);
    Chk_PovWindow.setCaption("Show POV-Ray's own window while it renders");
    Chk_PovWindow.setRect({60, 3525, 3480, 255});
    Chk_PovWindow.setBackColor(Color::systemButtonFace());
    Chk_PovWindow.setValue(povrayWindowChosen(app.platform().settings) ? 1 : 0);
    Chk_TransparentBackground.setCaption("Transparent Background");
    Chk_TransparentBackground.setRect({1560, 2460, 2415, 255});
    Chk_TransparentBackground.setBackColor(Color::systemButtonFace());

    Fra_Stepclock.setCaption("Stepclock Options");
    Fra_Stepclock.setRect({2640, 300, 2235, 1695});
    Fra_Stepclock.setBackColor(Color::systemButtonFace());
    const char* stepCaptions[] = {"Initial Frame", "Final Frame", "Initial Clock", "Final Clock"};
    const Rect stepRects[] = {
        {180, 300, 855, 195}, {1200, 300, 855, 195}, {180, 1020, 855, 195}, {1200, 1020, 855, 195}};
    for (int i = 0; i < 4; ++i) {
        Control& l = Lbl_Stepclock[i];
        l.setCaption(stepCaptions[i]);
        l.setRect(stepRects[i]);
        l.alignment = Alignment::Center;
        l.container = "Fra_Stepclock";
        l.setBackColor(Color::systemButtonFace());
    }
    struct Field {
        Control* box;
        Rect rect;
        const char* text;
    };
    for (const Field& f : {Field{&Txt_InitialFrame, {300, 540, 555, 315}, "1"},
                           Field{&Txt_FinalFrame, {1320, 540, 555, 315}, ""},
                           Field{&Txt_InitialClock, {300, 1260, 555, 315}, "1"},
                           Field{&Txt_FinalClock, {1320, 1260, 555, 315}, ""}}) {
        f.box->setRect(f.rect);
        f.box->setText(f.text);
        f.box->container = "Fra_Stepclock";
    }
    Btn_OK.setCaption("OK");
    Btn_OK.setRect({3660, 3480, 1215, 375});
    Btn_OK.setBackColor(Color::systemButtonFace());

    int tab = 0;
    for (Control* c : {&Txt_OutputFile, &Txt_Height, &Txt_Width, &Txt_Additional, &Txt_InitialFrame,
                       &Txt_FinalFrame, &Txt_InitialClock, &Txt_FinalClock, &Btn_OK, &Cbo_FileType,
                       &Chk_AntiAlias, &Cbo_Size, &Chk_PovWindow, &Chk_TransparentBackground})
        c->tabIndex = tab++;

    Btn_OK.onClick = [this] { hide(); };
    Cbo_Size.onClick = [this] {
        const auto size = commonSize(Cbo_Size.text());
        if (!size)
            return;
        Txt_Width.setText(std::to_string(size->first));
        Txt_Height.setText(std::to_string(size->second));
    };
    Chk_PovWindow.onClick = [this] {
        saveSetting(m_app.platform().settings, setting::kPovRayWindow, Chk_PovWindow.value() == 1);
    };
}

void BrickpovRenderOptions::Form_Load() {
    CenterOverWindow(*this, m_app.main());
}

void BrickpovRenderOptions::Form_Activate() {
    CenterOverWindow(*this, m_app.main());
    const bool stepClock = m_app.main().Chk_SC.value() == 1;
    Fra_Stepclock.setEnabled(stepClock);
    for (Control* c : Lbl_Stepclock)
        c->setEnabled(stepClock);
    for (Control* c : {&Txt_InitialFrame, &Txt_FinalFrame, &Txt_InitialClock, &Txt_FinalClock})
        c->setEnabled(stepClock);
}

void Btn_RenderOptions_Click(BrickpovMain& m) {
    auto& dialog = m.app().form<BrickpovRenderOptions>();
    if (m.Chk_SC.value() == 1) {
        // A model that cannot be read leaves the frame and clock fields alone.
        const std::string model = AddBackslash(m.ModelPath) + m.Cbo_ModelFile.text();
        if (m.platform().files.fileExists(model)) {
            if (auto steps = countStepLines(model)) {
                dialog.Txt_FinalFrame.setText(std::to_string(*steps));
                dialog.Txt_FinalClock.setText(std::to_string(*steps));
            }
        }
    }
    dialog.show(true);
}

bool povrayWindowChosen(SettingsStore& store) {
    return readSetting(store, setting::kPovRayWindow);
}

} // namespace bp
