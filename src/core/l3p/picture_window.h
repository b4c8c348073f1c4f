#pragma once

#include "core/ui/form.h"

#include <string>
#include <vector>

namespace bp {

class App;

// The picture a render made, fitted to the window or at its own size, with
// its path and ways to take it further; the frames of an animation under a
// slider that can also play them.
class BrickpovPicture : public Form {
  public:
    explicit BrickpovPicture(App& app);

    Control& Lbl_Warning;
    Control& Img_Picture;
    Control& Lbl_Path;
    Control& Sld_Frame;
    Control& Btn_Play;
    Control& Lbl_Frame;
    Control& Btn_Fit;
    Control& Btn_Actual;
    Control& Btn_OpenFolder;
    Control& Btn_OpenWith;
    Control& Btn_Copy;
    Control& Tmr_Play;

    // Shows the pictures, the first one at once; they need not be readable.
    // missingParts: the model asked for files the library lacks.
    void setPictures(const std::vector<std::string>& paths, bool missingParts = false);
    const std::string& current() const { return Img_Picture.path(); }

  protected:
    void Form_Unload() override;

  private:
    void showFrame();
    void play(bool on);
    void openFolder();
    void openWith();
    void openOnDesktop(const char* title, const char* what, const std::string& path);
    void copy();

    App& m_app;
    bool m_missingParts = false;
};

// Opens the picture window on the pictures of a render, or brings it back.
void showPictures(App& app, const std::vector<std::string>& paths, bool missingParts = false);

} // namespace bp
