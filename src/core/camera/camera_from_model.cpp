#include "core/camera/camera_from_model.h"

#include "core/app/brickpov_main.h"
#include "core/common/file_routines.h"
#include "core/common/string_routines.h"
#include "core/platform/platform.h"

#include <cstdio>
#include <memory>

namespace bp {

bool forEachLine(const std::string& path, const std::function<void(std::string_view)>& onLine) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file)
        return false;
    std::string line;
    char buffer[1 << 16];
    bool afterCR = false;
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
        std::size_t start = 0;
        for (std::size_t i = 0; i < n; ++i) {
            const char c = buffer[i];
            if (c != '\n' && c != '\r')
                continue;
            if (c == '\n' && afterCR) {
                // The LF of a CR LF pair: the line has already ended.
                afterCR = false;
                start = i + 1;
                continue;
            }
            line.append(buffer + start, i - start);
            onLine(line);
            line.clear();
            afterCR = c == '\r';
            start = i + 1;
        }
        if (start < n) {
            line.append(buffer + start, n - start);
            afterCR = false;
        }
    }
    if (!line.empty())
        onLine(line);
    return true;
}

void Bnt_GetCamFromModel_Click(BrickpovMain& m) {
    const std::string path = AddBackslash(m.ModelPath) + m.Cbo_ModelFile.text();
    // Anything that is not a readable file ends here without a word, as a
    // missing file does.
    if (!m.platform().files.fileExists(path))
        return;
    bool found = false;
    const bool opened = forEachLine(path, [&](std::string_view line) {
        // Most lines are neither; test cheaply before the case-blind search.
        if (line.size() < 10)
            return;
        if (containsNoCase(line, "camera.dat")) {
            const auto words = ThirdToFifthWords(line);
            m.Chk_CC.setValue(1);
            if (words)
                for (int i = 0; i < 3; ++i)
                    m.Txt_CameraValue[i].setText((*words)[static_cast<std::size_t>(i)]);
            found = true;
        }
        if (containsNoCase(line, "look_at.dat")) {
            const auto words = ThirdToFifthWords(line);
            m.Chk_CC.setValue(1);
            m.Chk_CLA.setValue(1);
            if (words)
                for (int i = 0; i < 3; ++i)
                    m.Txt_CameraLookAt[i].setText((*words)[static_cast<std::size_t>(i)]);
            found = true;
        }
    });
    if (!opened || found)
        return;
    MessageBoxRequest box;
    box.title = "Objects Not Found";
    box.text = "No camera (camera.dat) or look at (look_at.dat) objects were found in the selected "
               "model file.\r\nCheck the file to ensure that the objects have been included and "
               "are in the proper format.";
    box.icon = MsgIcon::Exclamation;
    m.platform().dialogs.messageBox(box);
}

} // namespace bp
