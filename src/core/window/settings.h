#pragma once

#include "core/platform/platform.h"

#include <string>

namespace bp {

class BrickpovMain;

inline constexpr const char* kAppName = "Brickpov";
inline constexpr const char* kNotInstalled = "Not Installed";
inline constexpr const char* kLDrawIniRead = "LDraw.ini";
inline constexpr const char* kLDrawIniWrite = "LDraw.INI";

// Puts the model that is run at the head of File > Recent Models.
void noteRunModel(BrickpovMain& m);

// Writes the library folders to LDraw.ini, where the converter finds them;
// a failed write is told.
void writeLibraryFolders(BrickpovMain& m);

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
