#pragma once

#include "core/platform/platform.h"
#include "core/ui/form.h"
#include "core/window/settings.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace bp {

class BrickpovMain;

// The running program: the platform it was given, its forms, and the timers
// behind their timer controls.
class App : public FormHost {
  public:
    explicit App(Platform& platform);
    ~App() override;

    Platform& platform() const { return m_platform; }
    BrickpovMain& main() const { return *m_main; }

    // Loads and shows the main window; the window system raises its
    // activation when it becomes the active window.
    void start(const std::string& argument);
    const std::string& argument() const { return m_argument; }

    // Every form that exists, main window first.
    std::vector<Form*> forms() const;
    // The loaded form of that name, else the latest one that was.
    Form* findForm(const std::string& name) const;

    // A dialog, loaded on first use. An unloaded dialog is replaced by a new
    // one in its designed state; the old object lives on, since a handler of
    // it may still be running.
    template <class T> T& form() {
        for (auto& f : m_dialogs)
            if (auto* t = dynamic_cast<T*>(f.get()); t && t->loaded())
                return *t;
        auto created = std::make_unique<T>(*this);
        T& ref = *created;
        m_dialogs.push_back(std::move(created));
        m_platform.windows.formCreated(ref);
        ref.load();
        return ref;
    }

    void end();
    bool ended() const { return m_ended; }

    void showForm(Form& form, bool modal) override;
    void hideForm(Form& form) override;
    void timerChanged(Control& timer) override;
    void formUnloaded(Form& form) override;
    void handlerFailed(const std::string& where, const std::string& what) override;

  private:
    ReportingSettingsStore m_settings;
    mutable Platform m_platform; // the one given, with m_settings for its store
    std::unique_ptr<BrickpovMain> m_main;
    std::vector<std::unique_ptr<Form>> m_dialogs;
    std::map<Control*, int> m_timers;
    std::string m_argument;
    bool m_ended = false;
};

void UnloadAllWindows(App& app);

} // namespace bp
