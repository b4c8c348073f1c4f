#include "core/camera/camera_from_model.h"

#include "core/app/brickpov_main.h"
#include "core/common/core_routines.h"
#include "core/common/file_routines.h"
#include "core/common/string_routines.h"
#include "core/platform/platform.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace bp {

bool forEachLine(const std::string& path, const std::function<void(std::string_view)>& onLine) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                         &std::fclose);
    if (!file)
        return false;
    // Only a line that spans two blocks is copied.
    std::string carried;
    std::vector<char> buffer(std::size_t{1} << 16);
    bool afterCR = false;
    std::size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), file.get())) > 0) {
        const char* const block = buffer.data();
        const char* const blockEnd = block + n;
        // Line ends are found with memchr, one search for each kind, so the
        // scan runs at memory speed rather than a byte at a time.
        auto find = [blockEnd](const char* from, char c) {
            const void* hit = std::memchr(from, c, static_cast<std::size_t>(blockEnd - from));
            return hit ? static_cast<const char*>(hit) : blockEnd;
        };
        const char* nextLF = find(block, '\n');
        const char* nextCR = find(block, '\r');
        std::size_t start = 0;
        while (true) {
            const char* stop = nextLF < nextCR ? nextLF : nextCR;
            if (stop == blockEnd)
                break;
            const std::size_t i = static_cast<std::size_t>(stop - block);
            const char c = *stop;
            if (c == '\n')
                nextLF = find(stop + 1, '\n');
            else
                nextCR = find(stop + 1, '\r');
            if (c == '\n' && afterCR && i == start && carried.empty()) {
                // The LF of a CR LF pair: the line has already ended.
                afterCR = false;
                start = i + 1;
                continue;
            }
            if (carried.empty()) {
                onLine(std::string_view(block + start, i - start));
            } else {
                carried.append(block + start, i - start);
                onLine(carried);
                carried.clear();
            }
            afterCR = c == '\r';
            start = i + 1;
        }
        if (start < n) {
            carried.append(block + start, n - start);
            afterCR = false;
        }
    }
    if (!carried.empty())
        onLine(carried);
    return true;
}

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
