#include "core/window/app.h"

#include "core/window/brickpov_main.h"

namespace bp {

App::App(Platform& platform)
    : m_settings(platform.settings, platform.dialogs),
      m_platform{platform.dialogs,  m_settings,     platform.profile,
                 platform.programs, platform.files, platform.windows},
      m_main(std::make_unique<BrickpovMain>(*this)) {}

App::~App() {
    for (auto& [control, id] : m_timers)
        m_platform.windows.stopTimer(id);
}

void App::start(const std::string& argument) {
    m_argument = argument;
    m_main->load();
    if (!m_ended)
        m_main->show(false);
}

std::vector<Form*> App::forms() const {
    std::vector<Form*> all{m_main.get()};
    for (const auto& d : m_dialogs)
        all.push_back(d.get());
    return all;
}

Form* App::findForm(const std::string& name) const {
    Form* latest = nullptr;
    for (Form* f : forms()) {
        if (f->name() != name)
            continue;
        if (f->loaded())
            return f;
        latest = f;
    }
    return latest;
}

void App::end() {
    if (m_ended)
        return;
    m_ended = true;
    m_platform.windows.quit();
}

void App::showForm(Form& form, bool modal) {
    m_platform.windows.showForm(form, modal);
}

void App::hideForm(Form& form) {
    m_platform.windows.hideForm(form);
}

void App::formUnloaded(Form& form) {
    m_platform.windows.formUnloaded(form);
}

void App::handlerFailed(const std::string& where, const std::string& what) {
    m_platform.windows.handlerFailed(where, what);
}

void App::timerChanged(Control& timer) {
    auto it = m_timers.find(&timer);
    if (it != m_timers.end()) {
        m_platform.windows.stopTimer(it->second);
        m_timers.erase(it);
    }
    if (timer.enabled() && timer.interval() > 0) {
        m_timers[&timer] = m_platform.windows.startTimer(timer.interval(),
                                                         [&timer] { timer.raise(Event::Timer); });
    }
}

void UnloadAllWindows(App& app) {
    for (Form* f : app.forms())
        f->unload();
}

} // namespace bp
