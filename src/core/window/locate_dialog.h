#pragma once

#include "core/ui/form.h"

#include <string>

namespace bp {

class App;
class BrickpovMain;

// What the LDraw folder's Locate dialog asks for: a folder holding LEdit.exe
// or a real library.
inline constexpr const char* kLDrawLibrarySought = "LEdit.exe or an LDraw library (parts and p)";

// Asks the user for the folder of a tool that was not found where expected.
class BrickpovLocate : public Form {
  public:
    explicit BrickpovLocate(App& app);

    ControlArray Lbl_Locate;
    Control& Drv_Locate;
    Control& Dir_Locate;
    Control& Txt_Path;
    Control& Btn_OK;
    Control& Btn_Cancel;

    // The sought file's name with the blank after it ("L3P.exe ").
    std::string target;

  protected:
    void Form_Load() override;
    void Form_Activate() override;

  private:
    void Drv_Locate_Change();
    void Dir_Locate_Change();
    void Txt_Path_Change();
    void Txt_Path_EnterKey();
    void Btn_OK_Click();
    void Btn_Cancel_Click();
    bool holds(const std::string& fileName) const;

    App& m_app;
};

// Shows the Locate dialog modally and returns when it has closed.
void LocateTool(BrickpovMain& m, const std::string& title, const std::string& expectedFolder,
                const std::string& fileName);

void Dir_Hidden_Change(BrickpovMain& m);
void Mnu_LocateLGEO_Click(BrickpovMain& m);

} // namespace bp
