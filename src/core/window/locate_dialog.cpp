#include "core/window/locate_dialog.h"

#include "core/common/core_routines.h"
#include "core/common/file_routines.h"
#include "core/platform/platform.h"
#include "core/window/app.h"
#include "core/window/brickpov_main.h"
#include "core/window/settings.h"
#include "core/window/tool_choice.h"

#include <optional>

namespace bp {

namespace {

bool beginsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

// A folder as a folder list shows it: no trailing separator but at a root.
std::string shownForm(const std::string& folder) {
    return isFileSystemRoot(folder) ? folder : StripBackslash(folder);
}

// The name of an ordinary file in the folder that matches without regard to
// case, as it is spelt there.
std::optional<std::string> findFileNoCase(FileSystem& files, const std::string& folder,
                                          const std::string& fileName) {
    const auto found = files.findNoCase(AddBackslash(folder), fileName);
    if (found && files.fileExists(AddBackslash(folder) + *found))
        return found;
    return std::nullopt;
}

constexpr const char* kChooseFolder =
    "Choose the folder that holds the file in the list below, or type or paste its path, "
    "then press OK.";
constexpr const char* kChooseLibrary =
    "A folder is an LDraw library when it holds the folders parts and p (the LDraw parts "
    "library's \"complete\" archive unpacks into such a folder, named ldraw). Choose it in the "
    "list below, or type or paste its path, then press OK.";

} // namespace

BrickpovLocate::BrickpovLocate(App& app)
    : Form(app, "BrickpovLocate"), Lbl_Locate(addArray(ControlKind::Label, "Lbl_Locate", 3)),
      Drv_Locate(add(ControlKind::DriveList, "Drv_Locate")),
      Dir_Locate(add(ControlKind::DirList, "Dir_Locate")),
      Txt_Path(add(ControlKind::TextBox, "Txt_Path")), Btn_OK(add(ControlKind::Button, "Btn_OK")),
      Btn_Cancel(add(ControlKind::Button, "Btn_Cancel")), m_app(app) {
    setCaption("Locate *.EXE");
    // Wide enough for a long folder and the explanation on a line or two;
    // the folder can also be typed or pasted.
    clientWidth = 7200;
    clientHeight = 5220;
    setRect({0, 0, 7290, 5625});
    const Rect labelRects[] = {{120, 120, 6960, 255}, {120, 420, 6960, 255}, {120, 780, 6960, 615}};
    const int labelTabs[] = {2, 5, 1};
    for (int i = 0; i < 3; ++i) {
        Lbl_Locate[i].setRect(labelRects[i]);
        Lbl_Locate[i].tabIndex = labelTabs[i];
        Lbl_Locate[i].setBackColor(Color::systemButtonFace());
    }
    Lbl_Locate[1].literalCaption = true;
    Lbl_Locate[2].setCaption(kChooseFolder);
    Txt_Path.setRect({120, 1500, 6960, 315});
    Txt_Path.tabIndex = 7;
    Drv_Locate.setRect({120, 1920, 6960, 315});
    Drv_Locate.tabIndex = 6;
    Drv_Locate.setPath(std::string(1, kPathSeparator));
    Dir_Locate.setRect({120, 2340, 6960, 2280});
    Dir_Locate.tabIndex = 0;
    Btn_OK.setRect({5925, 4740, 1155, 375});
    Btn_OK.setCaption("OK");
    Btn_OK.setEnabled(false);
    Btn_OK.tabIndex = 3;
    Btn_Cancel.setRect({4680, 4740, 1155, 375});
    Btn_Cancel.setCaption("Cancel");
    Btn_Cancel.tabIndex = 4;
    Btn_Cancel.defaultButton = true;
    Btn_Cancel.cancelButton = true;
    for (Control* c : {&Btn_OK, &Btn_Cancel})
        c->setBackColor(Color::systemButtonFace());

    Drv_Locate.onChange = [this] { Drv_Locate_Change(); };
    Dir_Locate.onChange = [this] { Dir_Locate_Change(); };
    Txt_Path.onChange = [this] { Txt_Path_Change(); };
    Txt_Path.onEnterKey = [this] { Txt_Path_EnterKey(); };
    Btn_OK.onClick = [this] { Btn_OK_Click(); };
    Btn_Cancel.onClick = [this] { Btn_Cancel_Click(); };
}

void BrickpovLocate::Form_Load() {
    CenterOverWindow(*this, m_app.main());
}

void BrickpovLocate::Form_Activate() {
    const std::string& first = Lbl_Locate[0].caption();
    const auto blank = first.find(' ');
    target = blank == std::string::npos ? first : first.substr(0, blank + 1);
    Btn_OK.setEnabled(false);
}

void BrickpovLocate::Drv_Locate_Change() {
    // A drive's current folder is the drive itself here.
    Dir_Locate.setPath(Drv_Locate.path());
}

void BrickpovLocate::Txt_Path_Change() {
    // A typed folder is shown as soon as it exists; the list then says
    // whether it is the one sought.
    std::string typed = Txt_Path.text();
    if (typed.starts_with("~/"))
        typed = m_app.platform().files.homeFolder() + typed.substr(2);
    if (typed.empty() || !m_app.platform().files.folderExists(typed))
        return;
    const std::string shown = shownForm(AddBackslash(typed));
    if (shown != Dir_Locate.path())
        Dir_Locate.setPath(shown);
}

// Enter after a typed folder takes it when it is the one sought. Otherwise
// the key does nothing: the default button would cancel, and a typo would
// then cost the person the whole dialog.
void BrickpovLocate::Txt_Path_EnterKey() {
    if (Btn_OK.enabled())
        Btn_OK_Click();
}

bool BrickpovLocate::holds(const std::string& fileName) const {
    return findFileNoCase(m_app.platform().files, Dir_Locate.path(), fileName).has_value();
}

void BrickpovLocate::Dir_Locate_Change() {
    const std::string& sought = Lbl_Locate[0].caption();
    SettingsStore& store = m_app.platform().settings;
    bool found = false;
    if (beginsWith(sought, "L3P")) {
        // A native build is named without an extension.
        for (const char* name : {"L3P.exe", "L3P16.exe", "l3p", kOurConverter}) {
            if (holds(name)) {
                saveSetting(store, setting::kEXEName, name);
                found = true;
                break;
            }
        }
    } else if (beginsWith(sought, "LEdit")) {
        found = holds("LEdit.exe") || isLDrawLibrary(m_app.platform().files, Dir_Locate.path());
    } else if (beginsWith(sought, "lg_")) {
        found = holds("lg_defs.inc");
    }
    Btn_OK.setEnabled(found);
    // The field follows the list, unless it is what moved the list.
    if (StripBackslash(Txt_Path.text()) != StripBackslash(Dir_Locate.path()) &&
        !Txt_Path.text().starts_with("~/"))
        Txt_Path.setText(Dir_Locate.path());
}

void BrickpovLocate::Btn_OK_Click() {
    const std::string& sought = Lbl_Locate[0].caption();
    const std::string folder = AddBackslash(Dir_Locate.path());
    SettingsStore& store = m_app.platform().settings;
    if (beginsWith(sought, "L3P"))
        saveSetting(store, setting::kL3PPath, folder);
    else if (beginsWith(sought, "LEdit"))
        saveSetting(store, setting::kLDrawPath, folder);
    else if (beginsWith(sought, "lg_"))
        saveSetting(store, setting::kLGEOPath, folder);
    // The hand-over must also run when the folder is the one handed over
    // before (L3P and LEdit in one folder), where setting it raises nothing.
    Control& hidden = m_app.main().Dir_Hidden;
    if (hidden.path() == Dir_Locate.path())
        hidden.raise(Event::Change);
    else
        hidden.setPath(Dir_Locate.path());
    unload();
}

void BrickpovLocate::Btn_Cancel_Click() {
    MessageBoxRequest box;
    box.icon = MsgIcon::Critical;
    box.buttons = MsgButtons::OK;
    if (beginsWith(Lbl_Locate[0].caption(), "lg_")) {
        box.title = "LGEO Libraries Not Found";
        box.text = "In order to use LGEO substitution, you must have LGEO installed.\r\n"
                   "If it cannot be found then you must supply its location.\r\n"
                   "LGEO Substitution will now be disabled";
        m_app.platform().dialogs.messageBox(box);
        m_app.main().Chk_LGEO.setEnabled(false);
        saveSetting(m_app.platform().settings, setting::kLGEOPath, kNotInstalled);
        unload();
        return;
    }
    // Brickpov goes on without the tool: the Tools menu chooses it later,
    // and the run says what is missing.
    const bool l3p = beginsWith(Lbl_Locate[0].caption(), "L3P");
    if (l3p)
        m_app.main().l3pDeclined = true;
    else
        m_app.main().ldrawDeclined = true;
    BrickpovMain& m = m_app.main();
    FileSystem& files = m_app.platform().files;
    // Cancel from the Tools menu keeps the tool in use, which needs no word.
    const bool keptOne =
        l3p ? FileExistsIn(files, m.L3PPath, m.EXEName) || ourConverterFolder(files).has_value()
            : isLDrawLibrary(files, m.LDrawPath) || FileExistsIn(files, m.LDrawPath, "LEdit.exe");
    if (!keptOne) {
        box.icon = MsgIcon::Exclamation;
        box.title = l3p ? "No L3P Chosen" : "No LDraw Library Chosen";
        box.text = l3p ? "Brickpov goes on without L3P: Run L3P cannot convert a model until "
                         "Tools > Choose L3P picks one."
                       : "Brickpov goes on without an LDraw library: a converted model will "
                         "miss every part until Tools > Choose LDraw Library picks one.";
        m_app.platform().dialogs.messageBox(box);
    }
    unload();
}

void LocateTool(BrickpovMain& m, const std::string& title, const std::string& expectedFolder,
                const std::string& fileName) {
    if (m.app().ended())
        return;
    auto& dialog = m.app().form<BrickpovLocate>();
    dialog.setCaption(title);
    dialog.Lbl_Locate[0].setCaption(fileName + " was not found in the default location:");
    dialog.Lbl_Locate[1].setCaption(expectedFolder);
    dialog.Lbl_Locate[2].setCaption(fileName == kLDrawLibrarySought ? kChooseLibrary
                                                                    : kChooseFolder);
    std::string start = m.L3PPath;
    if (m.platform().files.folderExists(AddBackslash(start)))
        dialog.Dir_Locate.setPath(shownForm(AddBackslash(start)));
    // One file system, one root: the drive of any folder is "/".
    dialog.Drv_Locate.setPath(std::string(1, kPathSeparator));
    if (!dialog.visible())
        dialog.show(true);
}

void Dir_Hidden_Change(BrickpovMain& m) {
    Form* form = m.app().findForm("BrickpovLocate");
    auto* dialog = dynamic_cast<BrickpovLocate*>(form);
    if (!dialog)
        return;
    const std::string& sought = dialog->Lbl_Locate[0].caption();
    const std::string folder = AddBackslash(m.Dir_Hidden.path());
    if (beginsWith(sought, "L3P")) {
        m.L3PPath = folder;
        m.EXEName = readSetting(m.platform().settings, setting::kEXEName);
    } else if (beginsWith(sought, "LEdit")) {
        m.LDrawPath = folder;
        // The converter finds the library through LDraw.ini: written now, a
        // run before the program ends already has the chosen library.
        writeLibraryFolders(m);
    } else if (beginsWith(sought, "lg_")) {
        m.LGEOPath = folder;
        writeLibraryFolders(m);
    }
}

void Mnu_LocateLGEO_Click(BrickpovMain& m) {
    // Found as the activation finds it: without regard to case.
    if (m.LGEOPath != kNotInstalled &&
        findFileNoCase(m.platform().files, m.LGEOPath, "lg_defs.inc")) {
        showMessage(m.platform(), "LGEO Library Located", "LGEO was found in: " + m.LGEOPath,
                    MsgIcon::None);
        return;
    }
    LocateTool(m, "Locate LGEO Libraries", m.LGEOPath, "lg_defs.inc");
}

} // namespace bp
