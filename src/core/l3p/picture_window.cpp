#include "core/l3p/picture_window.h"

#include "core/common/core_routines.h"
#include "core/common/file_routines.h"
#include "core/window/app.h"
#include "core/window/brickpov_main.h"
#include "core/window/settings.h"

namespace bp {

namespace {
constexpr int kFrameMs = 500;
} // namespace

BrickpovPicture::BrickpovPicture(App& app)
    : Form(app, "BrickpovPicture"), Lbl_Warning(add(ControlKind::Label, "Lbl_Warning")),
      Img_Picture(add(ControlKind::ImageView, "Img_Picture")),
      Lbl_Path(add(ControlKind::Label, "Lbl_Path")),
      Sld_Frame(add(ControlKind::Slider, "Sld_Frame")),
      Btn_Play(add(ControlKind::Button, "Btn_Play")),
      Lbl_Frame(add(ControlKind::Label, "Lbl_Frame")), Btn_Fit(add(ControlKind::Button, "Btn_Fit")),
      Btn_Actual(add(ControlKind::Button, "Btn_Actual")),
      Btn_OpenFolder(add(ControlKind::Button, "Btn_OpenFolder")),
      Btn_OpenWith(add(ControlKind::Button, "Btn_OpenWith")),
      Btn_Copy(add(ControlKind::Button, "Btn_Copy")), Tmr_Play(add(ControlKind::Timer, "Tmr_Play")),
      m_app(app) {
    setCaption("Picture");
    clientWidth = 9840;
    clientHeight = 8760;
    setRect({0, 0, 9930, 9165});
    Lbl_Warning.setRect({120, 120, 9600, 255});
    Lbl_Warning.bold = true;
    Lbl_Warning.setCaption(
        "This picture has missing parts: the LDraw library lacks files the model "
        "asks for (the run window lists them).");
    Lbl_Warning.setVisible(false);
    Img_Picture.setRect({120, 120, 9600, 7200});
    Img_Picture.setBackColor(Color::systemButtonFace());
    Lbl_Path.setRect({120, 7440, 9600, 255});
    Lbl_Path.literalCaption = true;
    Sld_Frame.setRect({120, 7800, 6600, 375});
    Sld_Frame.tabIndex = 6;
    Btn_Play.setRect({6840, 7800, 1035, 375});
    Btn_Play.setCaption("Play");
    Btn_Play.tabIndex = 5;
    Lbl_Frame.setRect({7995, 7860, 1725, 255});
    Lbl_Frame.alignment = Alignment::Right;
    const std::pair<Control*, const char*> row[] = {{&Btn_Fit, "Fit"},
                                                    {&Btn_Actual, "100 %"},
                                                    {&Btn_OpenFolder, "Open Folder"},
                                                    {&Btn_OpenWith, "Open With"},
                                                    {&Btn_Copy, "Copy"}};
    int left = 120;
    int tab = 0;
    for (const auto& [button, caption] : row) {
        button->setRect({left, 8280, 1815, 375});
        button->setCaption(caption);
        button->tabIndex = tab++;
        left += 1935;
    }
    for (Control* c : {&Lbl_Warning, &Lbl_Path, &Lbl_Frame, &Btn_Play, &Btn_Fit, &Btn_Actual,
                       &Btn_OpenFolder, &Btn_OpenWith, &Btn_Copy})
        c->setBackColor(Color::systemButtonFace());
    Tmr_Play.setInterval(kFrameMs);
    Tmr_Play.setEnabled(false);
    fixedBorder = false;
    for (Control* c : {&Lbl_Warning, &Img_Picture, &Lbl_Path, &Sld_Frame})
        c->growWidth = true;
    Img_Picture.growHeight = true;
    Btn_Play.keepRight = Lbl_Frame.keepRight = true;
    for (Control* c : {&Lbl_Path, &Sld_Frame, &Btn_Play, &Lbl_Frame, &Btn_Fit, &Btn_Actual,
                       &Btn_OpenFolder, &Btn_OpenWith, &Btn_Copy})
        c->keepBottom = true;

    Sld_Frame.onClick = [this] { showFrame(); };
    Btn_Play.onClick = [this] { play(!Tmr_Play.enabled()); };
    Tmr_Play.onTimer = [this] {
        const int next = Sld_Frame.listIndex() + 1;
        Sld_Frame.setListIndex(next < Sld_Frame.listCount() ? next : 0);
    };
    Btn_Fit.onClick = [this] { Img_Picture.setValue(0); };
    Btn_Actual.onClick = [this] { Img_Picture.setValue(100); };
    Btn_OpenFolder.onClick = [this] { openFolder(); };
    Btn_OpenWith.onClick = [this] { openWith(); };
    Btn_Copy.onClick = [this] { copy(); };
}

void BrickpovPicture::setPictures(const std::vector<std::string>& paths, bool missingParts) {
    play(false);
    m_missingParts = missingParts;
    Lbl_Warning.setVisible(missingParts);
    const Rect picture = Img_Picture.rect();
    const int top = missingParts ? 480 : 120;
    Img_Picture.setRect({picture.left, top, picture.width, picture.top + picture.height - top});
    Sld_Frame.clearList();
    for (const std::string& path : paths)
        Sld_Frame.addItem(path);
    const bool animation = paths.size() > 1;
    for (Control* c : {&Sld_Frame, &Btn_Play, &Lbl_Frame})
        c->setVisible(animation);
    if (Sld_Frame.listCount() > 0)
        Sld_Frame.setListIndex(0);
}

void BrickpovPicture::showFrame() {
    const int i = Sld_Frame.listIndex();
    if (i < 0)
        return;
    const std::string& path = Sld_Frame.list(i);
    Img_Picture.setPath(path);
    Lbl_Path.setCaption(path);
    Lbl_Frame.setCaption("Frame " + std::to_string(i + 1) + " of " +
                         std::to_string(Sld_Frame.listCount()));
    const auto size = m_app.platform().windows.imageSize(path);
    std::string caption = fileNamePart(path);
    if (size)
        caption += " (" + std::to_string(size->first) + " x " + std::to_string(size->second) + ")";
    else
        caption += " (cannot be read)";
    if (m_missingParts)
        caption += " - missing parts";
    setCaption(caption);
}

void BrickpovPicture::play(bool on) {
    Tmr_Play.setEnabled(on && Sld_Frame.listCount() > 1);
    Btn_Play.setCaption(Tmr_Play.enabled() ? "Pause" : "Play");
}

void BrickpovPicture::openFolder() {
    if (!current().empty())
        openOnDesktop("Open Folder", "the folder", folderPart(current()));
}

void BrickpovPicture::openWith() {
    if (!current().empty())
        openOnDesktop("Open With", "the picture", current());
}

void BrickpovPicture::openOnDesktop(const char* title, const char* what, const std::string& path) {
    if (m_app.platform().programs.openDocument(path))
        return;
    showMessage(m_app.platform(), title,
                std::string("Nothing on this desktop could open ") + what +
                    ". It is here, to copy:\r\n" + path,
                MsgIcon::Exclamation);
}

void BrickpovPicture::copy() {
    if (current().empty() || m_app.platform().windows.copyImage(current()))
        return;
    showMessage(m_app.platform(), "Copy", "The picture " + current() + " could not be copied.",
                MsgIcon::Exclamation);
}

void BrickpovPicture::Form_Unload() {
    saveSetting(m_app.platform().settings, setting::windowPlace(name()), placeText(*this));
    Tmr_Play.setEnabled(false);
}

void showPictures(App& app, const std::vector<std::string>& paths, bool missingParts) {
    auto& window = app.form<BrickpovPicture>();
    const bool first = !window.visible();
    window.Img_Picture.setValue(0);
    window.setPictures(paths, missingParts);
    if (first &&
        !restorePlace(window,
                      readSetting(app.platform().settings, setting::windowPlace(window.name())),
                      app.platform().windows))
        CenterOverWindow(window, app.main());
    window.show(false);
}

} // namespace bp
