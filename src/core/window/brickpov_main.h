#pragma once

#include "core/options/options.h"
#include "core/ui/form.h"

#include <array>
#include <string>

namespace bp {

class App;
struct Platform;
struct Scene;

// Thirty camera set-ups of nine values (rows 0 to 29, values 0 to 8).
using ViewPresetTable = std::array<std::array<float, 9>, 30>;

// The main window. Its controls show the option state; options() is that
// state as a value, read from them in one place.
inline constexpr int kRecentModelsShown = 10;

class BrickpovMain : public Form {
  public:
    BrickpovMain(App& app);

    App& app() const { return m_app; }
    Platform& platform() const;

    // The options the controls, the fields and the render settings window
    // show. readOptions fills a value in place, reusing its storage, with all
    // but the render settings and the light boxes' texts: L3P's arguments,
    // rebuilt after every keystroke, need only those.
    Options options() const;
    void readOptions(Options& o) const;
    // The check box that ticks a switch and the field that holds its value,
    // found by the names its row in the switch table gives.
    Control& switchBox(const switches::Switch& s) const;
    Control& switchField(const switches::Switch& s) const;

    // The options as a scene holds them: the render settings window is made
    // (hidden) first, as a scene saved before it was ever shown has made it.
    Options sceneOptions();

    // Sets the controls from a scene in file order, each through its handler
    // as a person's change would be, up to where the reading stopped or a
    // list does not hold the text read. True when every field read was set.
    bool applyScene(const Scene& scene);

    // File strip
    Control& Lbl_ModelList;
    Control& Cbo_ModelFile;
    Control& Btn_BrowseModelFile;
    Control& Lbl_OutputFile;
    Control& Cbo_OutputFile;
    Control& Btn_BrowseOutputPath;

    Control& Lbl_Switches;
    ControlArray Shp_Frame;

    // Camera
    Control& Bnt_GetCamFromModel;
    Control& Chk_CG;
    Control& Chk_CC;
    ControlArray Lbl_CameraValue;
    ControlArray Txt_CameraValue;
    Control& Chk_CA;
    Control& Txt_CA;
    Control& Lbl_CameraPreset;
    Control& Cbo_CameraPreset;
    Control& Btn_CameraPresetSave;
    Control& Btn_CameraPresetDelete;
    Control& Chk_CLA;
    ControlArray Lbl_CameraLookAt;
    ControlArray Txt_CameraLookAt;

    // Lights
    Control& Chk_LD;
    Control& Chk_L;
    Control& Chk_LG;
    Control& Chk_LC;
    Control& Cbo_Light;
    Control& Btn_LightClear;
    ControlArray Lbl_LightValue;
    ControlArray Txt_LightValue;
    Control& Lbl_LightColorSample;
    Control& Lbl_LightPreset;
    Control& Cbo_LightPreset;
    Control& Btn_LightPresetSave;
    Control& Btn_LightPresetDelete;
    Control& Chk_Render;
    Control& Btn_RenderOptions;

    // Background, floor and other switches
    Control& Chk_B;
    ControlArray Lbl_BColor;
    ControlArray Txt_BColor;
    Control& Lbl_BColorSample;
    Control& Chk_F;
    Control& Lbl_FType;
    Control& Cbo_FType;
    Control& Lbl_FY;
    Control& Txt_FY;
    Control& Chk_BU;
    Control& Chk_SW;
    Control& Txt_SW;
    Control& Chk_Q;
    Control& Cbo_Q;
    Control& Chk_LGEO;
    Control& Chk_C;
    Control& Cbo_C;
    Control& Chk_P;
    Control& Chk_ENP;
    Control& Chk_O;
    Control& Chk_SC;

    // Command line and buttons
    Control& Lbl_CommandLine;
    Control& Txt_CommandLine;
    Control& Pic_BrickpovLogo;
    Control& Img_PayPalDonate;
    Control& Btn_Exit;
    Control& Btn_RunL3P;

    // Other controls
    Control& MenuLine;
    Control& Dir_Hidden;
    Control& File_Hidden;
    Control& Dlg_Main;
    Control& Tmr_Main;

    // Menus
    Control& Mnu_File;
    Control& Mnu_FileOpen;
    Control& Mnu_FileSave;
    Control& Mnu_FileRenderFolder;
    Control& Mnu_RecentModels;
    ControlArray Mnu_RecentModel;
    Control& Mnu_Separator1;
    ControlArray Mnu_RecentScene;
    Control& Mnu_Separator2;
    Control& Mnu_FileExit;
    Control& Mnu_Tools;
    Control& Mnu_LocateLGEO;
    Control& Mnu_ChooseL3P;
    Control& Mnu_UseOurConverter;
    Control& Mnu_ChooseLDraw;
    Control& Mnu_ChoosePovRay;
    Control& Mnu_View;
    Control& Mnu_Preview;
    Control& Mnu_Help;
    Control& Mnu_About;
    Control& Mnu_Separator3;
    Control& Mnu_CheckL3P;

    // Fields that are not controls. Folders end in the path separator.
    std::string L3PPath;
    std::string EXEName = "L3P.exe";
    std::string ModelPath;
    std::string POVPath;
    std::string LDrawPath;
    std::string LGEOPath;
    std::string PovRayProgram;
    bool DefaultSceneLoaded = false;
    // Start-up took the sample library shipped with Brickpov; activation
    // says so once.
    bool tellSampleLibrary = false;
    // The person cancelled the Locate dialog for L3P or the LDraw library:
    // not asked again in this session (the Tools menu still chooses them).
    bool l3pDeclined = false;
    bool ldrawDeclined = false;

    LightTable lights;
    // The options the command line was last built from.
    Options commandLineOptions;
    ViewPresetTable viewPresets{};
    std::array<LightTable, kLightPresets> lightPresets{};

  protected:
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Unload() override;

  private:
    void wireHandlers();

    App& m_app;
};

} // namespace bp
