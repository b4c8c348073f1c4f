#pragma once

#include "core/platform/platform.h"

#include <string>

namespace bp {

class BrickpovMain;
struct Options;

inline constexpr const char* kAppName = "Brickpov";
inline constexpr const char* kNotInstalled = "Not Installed";

// A value the program keeps in the settings store under kAppName: where it
// is kept and what it reads as while the store has none. Every value is
// stored as text; a yes/no as "1" or "0".
template <typename T> struct Setting {
    std::string section;
    std::string key;
    T fallback;
};

// Every key of the settings store, declared once; numbered entries
// ("UserCamera 0", "UserCamera 1"...) are written without leading zeros.
namespace setting {
// The folders read as empty while unset; start-up then takes the program's own.
inline const Setting<std::string> kL3PPath{"Paths", "L3PPath", ""};
inline const Setting<std::string> kEXEName{"Paths", "EXEName", "L3P.exe"};
inline const Setting<std::string> kModelPath{"Paths", "ModelPath", ""};
inline const Setting<std::string> kPOVPath{"Paths", "POVPath", ""};
inline const Setting<std::string> kLDrawPath{"Paths", "LDrawPath", ""};
inline const Setting<std::string> kLGEOPath{"Paths", "LGEOPath", kNotInstalled};
inline const Setting<std::string> kPovRayProgram{"Paths", "PovRayProgram", ""};
inline const Setting<std::string> kSceneFolder{"Paths", "SceneFolder", ""};
inline const Setting<bool> kPovRayWindow{"Render", "POVRayWindow", true};
inline const Setting<std::string> kPreviewPlace{"Preview", "Window", ""};

inline Setting<std::string> userView(int n) {
    return {"Cameras", "UserCamera " + std::to_string(n), ""};
}
inline Setting<std::string> userLighting(int n) {
    return {"Lights", "UserLight " + std::to_string(n), ""};
}
// Entry n of the recent files of an extension, 0 the most recent.
inline Setting<std::string> recentFile(const std::string& extension, int n) {
    return {"Recent " + extension, "File " + std::to_string(n), ""};
}
// A sizeable window's place and size ("left,top,width,height").
inline Setting<std::string> windowPlace(const std::string& formName) {
    return {"Windows", formName, ""};
}
} // namespace setting

inline std::string readSetting(SettingsStore& store, const Setting<std::string>& s) {
    return store.get(kAppName, s.section, s.key, s.fallback);
}

// Anything but "1" or "0" reads as the fallback.
inline bool readSetting(SettingsStore& store, const Setting<bool>& s) {
    const std::string text = store.get(kAppName, s.section, s.key, "");
    return text == "1" || (text != "0" && s.fallback);
}

// Whether the store holds no text for the setting (absent or empty).
inline bool settingEmpty(SettingsStore& store, const Setting<std::string>& s) {
    return store.get(kAppName, s.section, s.key, "").empty();
}

inline void saveSetting(SettingsStore& store, const Setting<std::string>& s,
                        const std::string& value) {
    store.save(kAppName, s.section, s.key, value);
}

inline void saveSetting(SettingsStore& store, const Setting<bool>& s, bool value) {
    store.save(kAppName, s.section, s.key, value ? "1" : "0");
}

template <typename T> void removeSetting(SettingsStore& store, const Setting<T>& s) {
    store.remove(kAppName, s.section, s.key);
}
inline constexpr const char* kLDrawIniRead = "LDraw.ini";
inline constexpr const char* kLDrawIniWrite = "LDraw.INI";

// Puts the model that is run at the head of File > Recent Models.
void noteRunModel(BrickpovMain& m, const Options& o);

// Writes the library folders to LDraw.ini, where the converter finds them;
// a failed write is told.
void writeLibraryFolders(BrickpovMain& m);
void writeLibraryFolders(Platform& p, const std::string& ldraw, const std::string& lgeo);

// The settings store as the program uses it: the first time the store cannot
// keep the settings, the user is told why; the program goes on with them in
// memory.
class ReportingSettingsStore : public SettingsStore {
  public:
    ReportingSettingsStore(SettingsStore& store, Dialogs& dialogs)
        : m_store(store), m_dialogs(dialogs) {}
    std::string get(const std::string& app, const std::string& section, const std::string& key,
                    const std::string& fallback) override {
        return m_store.get(app, section, key, fallback);
    }
    void save(const std::string& app, const std::string& section, const std::string& key,
              const std::string& value) override;
    void remove(const std::string& app, const std::string& section,
                const std::string& key) override;
    std::string takeProblem() override { return m_store.takeProblem(); }

  private:
    void tell();

    SettingsStore& m_store;
    Dialogs& m_dialogs;
};

} // namespace bp
