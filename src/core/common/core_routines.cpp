#include "core/common/core_routines.h"

#include "core/platform/platform.h"
#include "core/ui/form.h"

namespace bp {

void CenterOnScreen(Form& form, WindowSystem& windows) {
    const Rect& r = form.rect();
    form.move((windows.screenWidth() - r.width) / 2, (windows.screenHeight() - r.height) / 2);
}

void CenterOverWindow(Form& form, const Form& owner) {
    const Rect& r = form.rect();
    const Rect& o = owner.rect();
    form.move(o.left + (o.width - r.width) / 2, o.top + (o.height - r.height) / 2);
}

void setValueField(Control& field, bool enabled) {
    field.setEnabled(enabled);
    field.setBackColor(enabled ? Color::white() : Color::systemButtonFace());
}

const char* appExecuteReason(int result) {
    switch (result) {
    case 2:
        return "File not found";
    case 3:
        return "Path not found";
    case 5:
        return "Access denied";
    case 8:
        return "Out of memory";
    case 11:
        return "Invalid EXE file or error in EXE image";
    case 26:
        return "A sharing violation occurred";
    case 27:
        return "Incomplete or invalid file association";
    case 28:
        return "DDE Time out";
    case 29:
        return "DDE transaction failed";
    case 30:
        return "DDE busy";
    case 31:
        return "No association for file extension";
    case 32:
        return "DLL not found";
    default:
        return "Unknown error";
    }
}

void showMessage(Platform& platform, const std::string& title, const std::string& text,
                 MsgIcon icon) {
    MessageBoxRequest box;
    box.title = title;
    box.text = text;
    box.icon = icon;
    platform.dialogs.messageBox(box);
}

bool askYesNo(Platform& platform, const std::string& title, const std::string& text, MsgIcon icon) {
    MessageBoxRequest box;
    box.title = title;
    box.text = text;
    box.icon = icon;
    box.buttons = MsgButtons::YesNo;
    box.defaultButton = MsgAnswer::No;
    return platform.dialogs.messageBox(box) == MsgAnswer::Yes;
}

void AppExecute(Platform& platform, const std::string& file, const Arguments& arguments,
                const std::string& workingDir) {
    const int result = workingDir.empty()
                           ? platform.programs.execute(file, arguments)
                           : platform.programs.executeIn(file, arguments, workingDir);
    if (result > 32)
        return;
    reportStartFailure(platform, file, result);
}

namespace {
bool isWebAddress(const std::string& file) {
    return file.rfind("http://", 0) == 0 || file.rfind("https://", 0) == 0;
}
} // namespace

void reportStartFailure(Platform& platform, const std::string& file, int result) {
    if (isWebAddress(file)) {
        showMessage(platform, "Brickpov",
                    "No web browser could be started for this address; please open it in "
                    "yours:\r\n" +
                        file,
                    MsgIcon::Exclamation);
        return;
    }
    MessageBoxRequest box;
    box.title = "Brickpov";
    box.text = "AppExecute: Cannot start the application\r" + file +
               "\rError: " + appExecuteReason(result);
    box.icon = MsgIcon::Critical;
    box.buttons = MsgButtons::OK;
    platform.dialogs.messageBox(box);
}

} // namespace bp
