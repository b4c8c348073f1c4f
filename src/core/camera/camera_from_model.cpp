#include "core/camera/camera_from_model.h"

#include "core/common/core_routines.h"
#include "core/common/file_routines.h"
#include "core/common/string_routines.h"
#include "core/platform/platform.h"
#include "core/window/brickpov_main.h"

#include <cstring>

namespace bp {

namespace {

struct References {
    bool camera = false;
    bool lookAt = false;
};

bool endsWithNoCase(std::string_view text, std::size_t end, std::string_view word) {
    return end >= word.size() && equalsNoCase(text.substr(end - word.size(), word.size()), word);
}

// Whether the line holds "camera.dat" or "look_at.dat" in any case. Each
// holds the only "." of its name, so only the dots of the line are tried:
// the whole test costs a memchr on the many lines that have neither.
References referencesIn(std::string_view line) {
    References found;
    const char* const begin = line.data();
    const char* const end = begin + line.size();
    for (const char* dot = begin; (dot = static_cast<const char*>(
                                       std::memchr(dot, '.', static_cast<std::size_t>(end - dot))));
         ++dot) {
        const auto at = static_cast<std::size_t>(dot - begin);
        if (!equalsNoCase(line.substr(at, 4), ".dat"))
            continue;
        found.camera = found.camera || endsWithNoCase(line, at, "camera");
        found.lookAt = found.lookAt || endsWithNoCase(line, at, "look_at");
    }
    return found;
}

} // namespace

void Bnt_GetCamFromModel_Click(BrickpovMain& m) {
    const std::string path = AddBackslash(m.ModelPath) + m.Cbo_ModelFile.text();
    // Anything that is not a readable file ends here without a word, as a
    // missing file does.
    if (!m.platform().files.fileExists(path))
        return;
    bool found = false;
    const bool opened = forEachLine(path, [&](std::string_view line) {
        const References refs = referencesIn(line);
        if (refs.camera) {
            const auto words = ThirdToFifthWords(line);
            m.Chk_CC.setValue(1);
            if (words)
                for (int i = 0; i < 3; ++i)
                    m.Txt_CameraValue[i].setText((*words)[static_cast<std::size_t>(i)]);
            found = true;
        }
        if (refs.lookAt) {
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
    showMessage(
        m.platform(), "Objects Not Found",
        "No camera (camera.dat) or look at (look_at.dat) objects were found in the selected "
        "model file.\r\nCheck the file to ensure that the objects have been included and "
        "are in the proper format.",
        MsgIcon::Exclamation);
}

} // namespace bp
