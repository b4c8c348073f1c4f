#include "core/common/core_routines.h"

#include "core/platform/platform.h"
#include "core/ui/form.h"

#include <algorithm>
#include <charconv>

namespace bp {

void CenterOnScreen(Form& form, WindowSystem& windows) {
    const Rect& r = form.rect();
    // A window larger than the screen keeps its top left corner (and the
    // menu bar) on it.
    form.move(std::max(0, (windows.screenWidth() - r.width) / 2),
              std::max(0, (windows.screenHeight() - r.height) / 2));
}

void CenterOverWindow(Form& form, const Form& owner) {
    const Rect& r = form.rect();
    const Rect& o = owner.rect();
    form.move(std::max(0, o.left + (o.width - r.width) / 2),
              std::max(0, o.top + (o.height - r.height) / 2));
}

std::string placeText(const Form& form) {
    const Rect& r = form.rect();
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," +
           std::to_string(form.currentClientWidth()) + "," +
           std::to_string(form.currentClientHeight());
}

bool restorePlace(Form& form, const std::string& place, WindowSystem& windows) {
    int values[4] = {};
    const char* p = place.data();
    const char* end = place.data() + place.size();
    for (int i = 0; i < 4; ++i) {
        const auto [next, ec] = std::from_chars(p, end, values[i]);
        if (ec != std::errc() || (i < 3 ? next == end || *next != ',' : next != end))
            return false;
        p = next + 1;
    }
    // A screen smaller than the one the place was kept on still shows the
    // whole window where it can.
    form.resizeClient(std::min(values[2], windows.screenWidth()),
                      std::min(values[3], windows.screenHeight()));
    const Rect& r = form.rect();
    form.move(std::clamp(values[0], 0, std::max(0, windows.screenWidth() - r.width)),
              std::clamp(values[1], 0, std::max(0, windows.screenHeight() - r.height)));
    return true;
}

void setValueField(Control& field, bool enabled) {
    field.setEnabled(enabled);
    field.setBackColor(enabled ? Color::white() : Color::systemButtonFace());
}

void selectAll(Control& c) {
    c.setSelection(0, static_cast<int>(c.text().size()));
}

const char* appExecuteReason(StartResult result) {
    switch (result) {
    case StartResult::Started:
        break;
    case StartResult::FileNotFound:
        return "File not found";
    case StartResult::PathNotFound:
        return "Path not found";
    case StartResult::AccessDenied:
        return "Access denied";
    case StartResult::OutOfMemory:
        return "Out of memory";
    case StartResult::BadProgram:
        return "Invalid EXE file or error in EXE image";
    case StartResult::SharingViolation:
        return "A sharing violation occurred";
    case StartResult::NoAssociation:
        return "No association for file extension";
    case StartResult::Unknown:
        break;
    }
    return "Unknown error";
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
    const StartResult result = workingDir.empty()
                                   ? platform.programs.execute(file, arguments)
                                   : platform.programs.executeIn(file, arguments, workingDir);
    if (result == StartResult::Started)
        return;
    reportStartFailure(platform, file, result);
}

namespace {
bool isWebAddress(const std::string& file) {
    return file.rfind("http://", 0) == 0 || file.rfind("https://", 0) == 0;
}
} // namespace

void reportStartFailure(Platform& platform, const std::string& file, StartResult result) {
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
