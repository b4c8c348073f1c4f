#include "core/window/settings.h"

#include "core/common/core_routines.h"
#include "core/common/file_routines.h"
#include "core/options/options.h"
#include "core/platform/platform.h"
#include "core/window/brickpov_main.h"
#include "core/window/recent_files.h"

namespace bp {

void noteRunModel(BrickpovMain& m, const Options& o) {
    noteRecentModel(m, AddBackslash(o.modelPath) + o.modelFile);
}

void writeLibraryFolders(BrickpovMain& m) {
    writeLibraryFolders(m.platform(), m.LDrawPath, m.LGEOPath);
}

void writeLibraryFolders(Platform& p, const std::string& ldraw, const std::string& lgeo) {
    ProfileFile& ini = p.profile;
    std::string why; // of the first write that failed
    auto write = [&](const char* key, const std::string& value) {
        std::string reason;
        if (!ini.writeString("LDraw", key, value, kLDrawIniWrite, &reason) && why.empty())
            why = reason.empty() ? std::string(kLDrawIniWrite) : reason;
    };
    write("BaseDirectory", StripBackslash(ldraw));
    if (!lgeo.empty() && lgeo != kNotInstalled)
        write("LgeoDirectory", lgeo.substr(0, lgeo.size() - 1));
    if (!why.empty())
        showMessage(p, "Settings Not Kept",
                    "The library folders could not be written to " + why + ".",
                    MsgIcon::Exclamation);
}

void ReportingSettingsStore::save(const std::string& app, const std::string& section,
                                  const std::string& key, const std::string& value) {
    m_store.save(app, section, key, value);
    tell();
}

void ReportingSettingsStore::remove(const std::string& app, const std::string& section,
                                    const std::string& key) {
    m_store.remove(app, section, key);
    tell();
}

void ReportingSettingsStore::tell() {
    const std::string problem = m_store.takeProblem();
    if (problem.empty())
        return;
    MessageBoxRequest box;
    box.title = "Settings Not Kept";
    box.text = problem + ".\r\nBrickpov will go on, but changes to its settings will be lost "
                         "when it ends.";
    box.icon = MsgIcon::Exclamation;
    m_dialogs.messageBox(box);
}

} // namespace bp
