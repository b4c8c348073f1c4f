// The main window as designed: names, kinds, captions, tooltips, list items,
// initial states, positions (twips) and the keyboard order.

#include "core/options/color_list.h"
#include "core/options/scene_layout.h"
#include "core/window/app.h"
#include "core/window/brickpov_main.h"

#include <initializer_list>
#include <span>

namespace bp {

namespace {

using K = ControlKind;

Control& make(Form& f, K kind, const char* name, Rect r, int index = -1) {
    Control& c = f.add(kind, name, index);
    c.setRect(r);
    // Only value fields are white; everything else takes the system colour.
    if (kind != K::TextBox && kind != K::ComboList && kind != K::ComboEdit)
        c.setBackColor(Color::systemButtonFace());
    return c;
}

// A value field starts disabled and grey, or enabled and white.
void setFieldEnabled(Control& c, bool enabled) {
    c.setEnabled(enabled);
    c.setBackColor(enabled ? Color::white() : Color::systemButtonFace());
}

Control& label(Form& f, const char* name, const char* caption, Rect r, bool enabled = true,
               bool bold = false) {
    Control& c = make(f, K::Label, name, r);
    c.setCaption(caption);
    c.setEnabled(enabled);
    c.bold = bold;
    return c;
}

Control& check(Form& f, const char* name, const char* caption, const char* tip, Rect r,
               bool enabled = true) {
    Control& c = make(f, K::CheckBox, name, r);
    c.setCaption(caption);
    c.setToolTipText(tip);
    c.setEnabled(enabled);
    return c;
}

Control& button(Form& f, const char* name, const char* caption, Rect r, bool enabled = true,
                const char* tip = "") {
    Control& c = make(f, K::Button, name, r);
    c.setCaption(caption);
    c.setToolTipText(tip);
    c.setEnabled(enabled);
    return c;
}

Control& textBox(Form& f, const char* name, Rect r, bool enabled, const char* tip = "",
                 const char* initial = "") {
    Control& c = make(f, K::TextBox, name, r);
    c.setText(initial);
    c.setToolTipText(tip);
    setFieldEnabled(c, enabled);
    return c;
}

Control& combo(Form& f, K kind, const char* name, Rect r, bool enabled, const char* tip,
               std::span<const char* const> items) {
    Control& c = make(f, kind, name, r);
    for (const char* item : items)
        c.addItem(item);
    c.setToolTipText(tip);
    setFieldEnabled(c, enabled);
    return c;
}

Control& combo(Form& f, K kind, const char* name, Rect r, bool enabled, const char* tip,
               std::initializer_list<const char*> items) {
    return combo(f, kind, name, r, enabled, tip, std::span(items.begin(), items.size()));
}

ControlArray labels(Form& f, const char* name, std::initializer_list<const char*> captions,
                    std::initializer_list<int> lefts, int top, int width, int height,
                    bool enabled) {
    ControlArray a = f.addArray(K::Label, name, static_cast<int>(captions.size()));
    int i = 0;
    auto left = lefts.begin();
    for (const char* caption : captions) {
        Control& c = a[i++];
        c.setRect({*left++, top, width, height});
        c.setCaption(caption);
        c.setEnabled(enabled);
        c.setBackColor(Color::systemButtonFace());
    }
    return a;
}

ControlArray textBoxes(Form& f, const char* name, std::initializer_list<int> lefts, int top,
                       int width, int height, const char* initial) {
    ControlArray a = f.addArray(K::TextBox, name, static_cast<int>(lefts.size()));
    int i = 0;
    for (int left : lefts) {
        Control& c = a[i++];
        c.setRect({left, top, width, height});
        c.setText(initial);
        setFieldEnabled(c, false);
    }
    return a;
}

Control& menu(Form& f, const char* name, const char* caption, const char* container,
              bool visible = true, int index = -1) {
    Control& c = f.add(K::Menu, name, index);
    c.setCaption(caption);
    c.container = container;
    c.setVisible(visible);
    return c;
}

ControlArray recentSceneMenus(Form& f) {
    std::vector<Control*> items;
    for (int i = 0; i < 5; ++i) {
        items.push_back(&menu(f, "Mnu_RecentScene", "Recent Scene", "Mnu_File", false, i));
        // They show file paths, which may hold an "&".
        items.back()->literalCaption = true;
    }
    return ControlArray(std::move(items));
}

ControlArray recentModelMenus(Form& f) {
    std::vector<Control*> items;
    for (int i = 0; i < kRecentModelsShown; ++i) {
        items.push_back(&menu(f, "Mnu_RecentModel", "Recent Model", "Mnu_RecentModels", false, i));
        items.back()->literalCaption = true;
    }
    return ControlArray(std::move(items));
}

ControlArray frames(Form& f) {
    const Rect rects[] = {{60, 840, 8055, 4935},   {180, 1800, 2535, 2475},
                          {180, 4500, 2535, 855},  {2820, 1080, 2535, 3675},
                          {2820, 4980, 2535, 675}, {5460, 1080, 2535, 855},
                          {5460, 2160, 2535, 795}};
    ControlArray a = f.addArray(K::Shape, "Shp_Frame", 7);
    for (int i = 0; i < 7; ++i) {
        a[i].setRect(rects[i]);
        a[i].setBackColor(Color::systemButtonFace());
    }
    return a;
}

Control& lightColorLabelsAndBoxes(Form& f, ControlArray& labelsOut, ControlArray& boxesOut) {
    // Items 3 to 5 of the labels stand over the box of their own colour, so
    // the label indices run opposite to the box indices.
    std::vector<Control*> lbls;
    const char* posCaptions[] = {"Latitude", "Longitude", "Radius"};
    const int posLefts[] = {2880, 3720, 4560};
    for (int i = 0; i < 3; ++i) {
        Control& c = make(f, K::Label, "Lbl_LightValue", {posLefts[i], 2460, 735, 255}, i);
        c.setCaption(posCaptions[i]);
        c.setEnabled(false);
        lbls.push_back(&c);
    }
    const char* colorCaptions[] = {"B", "G", "R"};
    const int colorLefts[] = {4080, 3480, 2880};
    for (int i = 0; i < 3; ++i) {
        Control& c = make(f, K::Label, "Lbl_LightValue", {colorLefts[i], 3120, 555, 255}, 3 + i);
        c.setCaption(colorCaptions[i]);
        c.setEnabled(false);
        lbls.push_back(&c);
    }
    labelsOut = ControlArray(std::move(lbls));

    std::vector<Control*> boxes;
    const int boxLefts[] = {2880, 3720, 4560, 2880, 3480, 4080};
    for (int i = 0; i < 6; ++i) {
        const bool color = i >= 3;
        Control& c = f.add(K::TextBox, "Txt_LightValue", i);
        c.setRect({boxLefts[i], color ? 3360 : 2700, color ? 555 : 735, 315});
        c.setText(color ? "255" : "");
        setFieldEnabled(c, false);
        boxes.push_back(&c);
    }
    boxesOut = ControlArray(std::move(boxes));

    Control& swatch = make(f, K::Label, "Lbl_LightColorSample", {4680, 3120, 615, 555});
    swatch.border = true;
    swatch.setEnabled(false);
    return swatch;
}

Control& colorCombo(Form& f) {
    Control& c = make(f, K::ComboEdit, "Cbo_C", {6480, 4200, 1455, 315});
    for (const auto& entry : kColorList)
        c.addItem(entry.name, entry.number);
    c.setToolTipText("Select a standard Lego color or type in your own value");
    setFieldEnabled(c, false);
    return c;
}

Control& lightList(Form& f) {
    Control& c = make(f, K::ComboList, "Cbo_Light", {2880, 2040, 1575, 315});
    for (int i = 1; i <= kLights; ++i)
        c.addItem("Light " + std::to_string(i));
    setFieldEnabled(c, false);
    return c;
}

} // namespace

BrickpovMain::BrickpovMain(App& app)
    : Form(app, "BrickpovMain"),
      Lbl_ModelList(label(*this, "Lbl_ModelList", "Model File", {60, 60, 2295, 255}, true, true)),
      Cbo_ModelFile(combo(*this, K::ComboList, "Cbo_ModelFile", {60, 300, 3555, 315}, true,
                          "Select the .DAT, .MPD or .LDR file to convert", {})),
      Btn_BrowseModelFile(button(*this, "Btn_BrowseModelFile", "...", {3660, 300, 315, 315}, true,
                                 "Browse for a .DAT, .MPD or .LDR model file")),
      Lbl_OutputFile(
          label(*this, "Lbl_OutputFile", "POV-Ray Output File", {4200, 60, 2295, 255}, true, true)),
      Cbo_OutputFile(combo(*this, K::ComboEdit, "Cbo_OutputFile", {4200, 300, 3555, 315}, true,
                           "Select or enter the name of the .POV file to output", {})),
      Btn_BrowseOutputPath(button(*this, "Btn_BrowseOutputPath", "...", {7800, 300, 315, 315}, true,
                                  "Browse for the .POV output file")),
      Lbl_Switches(label(*this, "Lbl_Switches", "Switches", {60, 600, 2295, 255}, true, true)),
      Shp_Frame(frames(*this)),
      Bnt_GetCamFromModel(button(
          *this, "Bnt_GetCamFromModel", "Get Camera and Look At settings from Model File",
          {180, 1020, 2535, 555}, true,
          "If \"camera.dat\" and/or \"look_at.dat\" objects exist in the model file they can be "
          "used for camera settings")),
      Chk_CG(check(*this, "Chk_CG", "-cg (Camera Globe Position)",
                   "Use globe position to set camera location", {240, 1680, 2355, 315})),
      Chk_CC(check(*this, "Chk_CC", "-cc (Camera Coordinates)",
                   "Use coordinates to set camera location", {240, 1920, 2355, 315})),
      Lbl_CameraValue(labels(*this, "Lbl_CameraValue", {"Latitude", "Longitude", "Radius"},
                             {240, 1080, 1920}, 2220, 735, 255, false)),
      Txt_CameraValue(textBoxes(*this, "Txt_CameraValue", {240, 1080, 1920}, 2460, 735, 315, "")),
      Chk_CA(check(*this, "Chk_CA", "-ca (Camera Angle)", "Set the Camera Angle",
                   {240, 2880, 1695, 315})),
      Txt_CA(textBox(*this, "Txt_CA", {1920, 2880, 735, 315}, false)),
      Lbl_CameraPreset(label(*this, "Lbl_CameraPreset", "View Presets", {240, 3300, 2175, 255})),
      Cbo_CameraPreset(
          combo(*this, K::ComboList, "Cbo_CameraPreset", {240, 3540, 2415, 315}, true, "",
                {"3/4 Front Left", "3/4 Front Right", "3/4 Rear Left", "3/4 Rear Right", "Front",
                 "Back", "Left", "Right", "Above", "Below"})),
      Btn_CameraPresetSave(
          button(*this, "Btn_CameraPresetSave", "Save As", {240, 3900, 1155, 255}, false)),
      Btn_CameraPresetDelete(
          button(*this, "Btn_CameraPresetDelete", "Delete", {1470, 3900, 1155, 255}, false)),
      Chk_CLA(check(*this, "Chk_CLA", "-cla (Camera Look At)",
                    "Use globe position to set camera location", {240, 4380, 1935, 315}, false)),
      Lbl_CameraLookAt(labels(*this, "Lbl_CameraLookAt", {"X", "Y", "Z"}, {240, 1080, 1920}, 4680,
                              735, 255, false)),
      Txt_CameraLookAt(textBoxes(*this, "Txt_CameraLookAt", {240, 1080, 1920}, 4920, 735, 315, "")),
      Chk_LD(check(*this, "Chk_LD", "-ld (Include Default Lights)", "Include default 3-light setup",
                   {2880, 960, 2235, 315})),
      Chk_L(check(*this, "Chk_L", "-l (Light Sources from Model)",
                  "Use any Light.Dat sources present in the .DAT file", {2880, 1200, 2355, 315})),
      Chk_LG(check(*this, "Chk_LG", "-lg (Light Globe Position)",
                   "Use globe position to set light locations", {2880, 1440, 2355, 315})),
      Chk_LC(check(*this, "Chk_LC", "-lc (Light Coordinates)",
                   "Use coordinates to set light locations", {2880, 1680, 2355, 315})),
      Cbo_Light(lightList(*this)),
      Btn_LightClear(button(*this, "Btn_LightClear", "Clear", {4500, 2040, 795, 315}, false)),
      Lbl_LightColorSample(lightColorLabelsAndBoxes(*this, Lbl_LightValue, Txt_LightValue)),
      Lbl_LightPreset(label(*this, "Lbl_LightPreset", "Lighting Presets", {2880, 3780, 2175, 255})),
      Cbo_LightPreset(combo(*this, K::ComboList, "Cbo_LightPreset", {2880, 4020, 2415, 315}, true,
                            "", {"3 Lights", "2 Lights", "1 Light"})),
      Btn_LightPresetSave(
          button(*this, "Btn_LightPresetSave", "Save As", {2880, 4380, 1155, 255}, false)),
      Btn_LightPresetDelete(
          button(*this, "Btn_LightPresetDelete", "Delete", {4110, 4380, 1155, 255}, false)),
      Chk_Render(check(*this, "Chk_Render", "Render upon completion",
                       "Launch POV-Ray and render the .POV file", {2940, 4860, 2115, 315})),
      Btn_RenderOptions(
          button(*this, "Btn_RenderOptions", "Render Options", {2940, 5220, 2295, 315}, false)),
      Chk_B(check(*this, "Chk_B", "-b (Background Color)", "Set the Background Color of the render",
                  {5520, 960, 1935, 315})),
      Lbl_BColor(
          labels(*this, "Lbl_BColor", {"R", "G", "B"}, {5520, 6120, 6720}, 1320, 555, 255, false)),
      Txt_BColor(textBoxes(*this, "Txt_BColor", {5520, 6120, 6720}, 1560, 555, 315, "0")),
      Lbl_BColorSample(label(*this, "Lbl_BColorSample", "", {7320, 1320, 615, 555}, false)),
      Chk_F(check(*this, "Chk_F", "-f (Floor)", "Create a \"floor\" in POV and set its values",
                  {5520, 2040, 975, 315})),
      Lbl_FType(label(*this, "Lbl_FType", "Type", {5520, 2340, 1155, 255}, false)),
      Cbo_FType(combo(*this, K::ComboList, "Cbo_FType", {5520, 2580, 1395, 315}, false,
                      "g - Simple gray floor. c - Red/white checkered floor",
                      scene_layout::kFloorTypes)),
      Lbl_FY(label(*this, "Lbl_FY", "Y", {7200, 2340, 735, 255}, false)),
      Txt_FY(textBox(*this, "Txt_FY", {7200, 2580, 735, 315}, false, "Y position of floor")),
      Chk_BU(check(*this, "Chk_BU", "-bu (Bumps)",
                   "Enable \"bumpy\" surface across coplanar pieces", {5520, 3000, 2415, 315})),
      Chk_SW(check(*this, "Chk_SW", "-sw (Seam Width)", "Set the width of \"seams\" between pieces",
                   {5520, 3300, 1695, 315})),
      Txt_SW(textBox(*this, "Txt_SW", {7200, 3300, 735, 315}, false)),
      Chk_Q(check(*this, "Chk_Q", "-q (Quality Level)", "Set the render quality level",
                  {5520, 3600, 1695, 315})),
      Cbo_Q(combo(*this, K::ComboList, "Cbo_Q", {7200, 3600, 735, 315}, false, "",
                  scene_layout::kQualities)),
      Chk_LGEO(check(*this, "Chk_LGEO", "-lgeo (Use LGEO Library)",
                     "If the LGEO library is installed, substitute its parts where possible",
                     {5520, 3900, 2415, 315})),
      Chk_C(check(*this, "Chk_C", "-c (Color)", "Sets default color for parts using color 16",
                  {5520, 4200, 1035, 315})),
      Cbo_C(colorCombo(*this)),
      Chk_P(check(*this, "Chk_P", "-p (Don't substitute primitives)",
                  "Don't substitute .POV primitives where possible", {5520, 4500, 2415, 315})),
      Chk_ENP(check(*this, "Chk_ENP", "-enp (exclude non-POV code)", "(L3P IFNOTPOV)",
                    {5520, 4800, 2415, 315})),
      Chk_O(check(*this, "Chk_O", "-o (Overwrite existing .POV)",
                  "Automatically overwrite .POV file if it already exists",
                  {5520, 5100, 2415, 315})),
      Chk_SC(check(*this, "Chk_SC", "-sc (Stepclock)",
                   "Add \"#if (clock > n)\" at steps for POV animation rendering",
                   {5520, 5400, 2415, 315})),
      Lbl_CommandLine(label(*this, "Lbl_CommandLine", "Generated Command Line",
                            {60, 5820, 2295, 255}, true, true)),
      Txt_CommandLine(textBox(*this, "Txt_CommandLine", {60, 6060, 8055, 1095}, true,
                              "Command line being passed to L3P")),
      Pic_BrickpovLogo(make(*this, K::PictureBox, "Pic_BrickpovLogo", {60, 7260, 8055, 495})),
      Img_PayPalDonate(make(*this, K::Image, "Img_PayPalDonate", {2865, 45, 2550, 390})),
      Btn_Exit(button(*this, "Btn_Exit", "Exit", {5580, 7320, 1215, 375})),
      Btn_RunL3P(button(*this, "Btn_RunL3P", "Run L3P", {6840, 7320, 1215, 375})),
      MenuLine(make(*this, K::Line, "MenuLine", {0, 0, 8190, 0})),
      Dir_Hidden(make(*this, K::DirList, "Dir_Hidden", {0, 0, 0, 0})),
      File_Hidden(make(*this, K::FileList, "File_Hidden", {0, 0, 0, 0})),
      Dlg_Main(make(*this, K::CommonDialog, "Dlg_Main", {0, 0, 0, 0})),
      Tmr_Main(make(*this, K::Timer, "Tmr_Main", {0, 0, 0, 0})),
      Mnu_File(menu(*this, "Mnu_File", "&File", "")),
      Mnu_FileOpen(menu(*this, "Mnu_FileOpen", "&Open Scene", "Mnu_File")),
      Mnu_FileSave(menu(*this, "Mnu_FileSave", "&Save Scene", "Mnu_File")),
      Mnu_FileRenderFolder(
          menu(*this, "Mnu_FileRenderFolder", "Render All Models in Folder…", "Mnu_File")),
      Mnu_RecentModels(menu(*this, "Mnu_RecentModels", "Recent &Models", "Mnu_File")),
      Mnu_RecentModel(recentModelMenus(*this)),
      Mnu_Separator1(menu(*this, "Mnu_Separator1", "-", "Mnu_File", false)),
      Mnu_RecentScene(recentSceneMenus(*this)),
      Mnu_Separator2(menu(*this, "Mnu_Separator2", "-", "Mnu_File")),
      Mnu_FileExit(menu(*this, "Mnu_FileExit", "&Exit", "Mnu_File")),
      Mnu_Tools(menu(*this, "Mnu_Tools", "&Tools", "")),
      Mnu_LocateLGEO(menu(*this, "Mnu_LocateLGEO", "Locate LGEO Library", "Mnu_Tools")),
      Mnu_ChooseL3P(menu(*this, "Mnu_ChooseL3P", "Choose L3P...", "Mnu_Tools")),
      Mnu_UseOurConverter(
          menu(*this, "Mnu_UseOurConverter", "Use Brickpov's Converter as L3P", "Mnu_Tools")),
      Mnu_ChooseLDraw(menu(*this, "Mnu_ChooseLDraw", "Choose LDraw Library...", "Mnu_Tools")),
      Mnu_ChoosePovRay(menu(*this, "Mnu_ChoosePovRay", "Choose POV-Ray...", "Mnu_Tools")),
      Mnu_View(menu(*this, "Mnu_View", "&View", "")),
      Mnu_Preview(menu(*this, "Mnu_Preview", "&Preview", "Mnu_View")),
      Mnu_Help(menu(*this, "Mnu_Help", "&Help", "")),
      Mnu_About(menu(*this, "Mnu_About", "&About Brickpov", "Mnu_Help")),
      Mnu_Separator3(menu(*this, "Mnu_Separator3", "-", "Mnu_Help")),
      Mnu_CheckL3P(menu(*this, "Mnu_CheckL3P", "Check for latest L3P", "Mnu_Help")), m_app(app) {
    setCaption("Brickpov");
    clientWidth = 8190;
    clientHeight = 7830;
    hasMenu = true;

    Lbl_BColorSample.border = true;
    Lbl_BColorSample.setBackColor(Color::systemButtonFace());
    Lbl_LightColorSample.setBackColor(Color::systemButtonFace());
    Txt_CommandLine.multiLine = true;
    Txt_CommandLine.setLocked(true);
    Pic_BrickpovLogo.picture = "logo";
    Img_PayPalDonate.picture = "donate";
    Img_PayPalDonate.container = "Pic_BrickpovLogo";
    Mnu_About.shortcut = "F1";
    Mnu_FileOpen.shortcut = "Ctrl+O";
    Mnu_FileSave.shortcut = "Ctrl+S";
    Mnu_FileExit.shortcut = "Ctrl+Q";
    Mnu_Preview.shortcut = "Ctrl+P";
    Btn_RunL3P.shortcut = "Ctrl+R";
    Btn_RunL3P.setToolTipText("Run L3P (Ctrl+R)");
    for (Control* c : {&Dir_Hidden, &File_Hidden, &Dlg_Main, &Tmr_Main})
        c->setVisible(false);
    File_Hidden.pattern = "*.dat; *.mpd";

    const char* tabOrder[] = {"Cbo_ModelFile",
                              "Btn_BrowseModelFile",
                              "Cbo_OutputFile",
                              "Btn_BrowseOutputPath",
                              "Chk_CG",
                              "Chk_CC",
                              "Txt_CameraValue(0)",
                              "Txt_CameraValue(1)",
                              "Txt_CameraValue(2)",
                              "Chk_CA",
                              "Txt_CA",
                              "Cbo_CameraPreset",
                              "Btn_CameraPresetSave",
                              "Btn_CameraPresetDelete",
                              "Chk_CLA",
                              "Txt_CameraLookAt(0)",
                              "Txt_CameraLookAt(1)",
                              "Txt_CameraLookAt(2)",
                              "Chk_LD",
                              "Chk_L",
                              "Chk_LG",
                              "Chk_LC",
                              "Cbo_Light",
                              "Btn_LightClear",
                              "Txt_LightValue(0)",
                              "Txt_LightValue(1)",
                              "Txt_LightValue(2)",
                              "Txt_LightValue(3)",
                              "Txt_LightValue(4)",
                              "Txt_LightValue(5)",
                              "Cbo_LightPreset",
                              "Btn_LightPresetSave",
                              "Btn_LightPresetDelete",
                              "Chk_B",
                              "Txt_BColor(0)",
                              "Txt_BColor(1)",
                              "Txt_BColor(2)",
                              "Chk_F",
                              "Cbo_FType",
                              "Txt_FY",
                              "Chk_BU",
                              "Chk_SW",
                              "Txt_SW",
                              "Chk_Q",
                              "Cbo_Q",
                              "Chk_LGEO",
                              "Chk_C",
                              "Cbo_C",
                              "Chk_P",
                              "Chk_ENP",
                              "Chk_O",
                              "Chk_SC",
                              "Chk_Render",
                              "Btn_RenderOptions",
                              "Btn_RunL3P",
                              "Btn_Exit",
                              "Txt_CommandLine",
                              "Bnt_GetCamFromModel"};
    int tab = 0;
    for (const char* name : tabOrder)
        findQualified(name)->tabIndex = tab++;

    // Before any preset or scene, every light is white.
    for (Light& light : lights.lights)
        light.colour = {1, 1, 1};

    wireHandlers();
}

} // namespace bp
