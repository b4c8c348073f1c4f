#include "driver/driver_window_system.h"

#include "core/ui/form.h"
#include "driver/event_tracer.h"
#include "driver/image_header.h"
#include "driver/output.h"

#include <algorithm>
#include <thread>

namespace bp::driver {

namespace {
// A 1920 x 1080 screen at 15 twips a pixel.
constexpr int kScreenWidth = 1920 * 15;
constexpr int kScreenHeight = 1080 * 15;
} // namespace

DriverWindowSystem::DriverWindowSystem(Output& out, EventTracer& tracer, double timerScale)
    : m_out(out), m_tracer(tracer), m_timerScale(timerScale) {}

void DriverWindowSystem::showForm(Form& form, bool modal) {
    m_tracer.watch(form);
    m_out.line("! show " + form.name() + (modal ? " modal" : " modeless"));
    form.setVisibleState(true);
    m_active = &form;
    m_pendingActivation = &form;
    if (!modal || isModal(form) || !m_modalLoop)
        return;
    m_modal.push_back(&form);
    m_modalLoop(form);
    m_modal.erase(std::remove(m_modal.begin(), m_modal.end(), &form), m_modal.end());
}

void DriverWindowSystem::hideForm(Form& form) {
    if (!form.visible())
        return;
    m_out.line("! hide " + form.name());
    form.setVisibleState(false);
    if (m_active == &form || m_pendingActivation == &form) {
        // The window below becomes active; its activation comes from the
        // event loop, after the handler that closed this one has finished.
        Form* next = owner(form);
        m_active = next;
        m_pendingActivation = next;
    }
}

Form* DriverWindowSystem::owner(const Form& closing) const {
    for (auto it = m_modal.rbegin(); it != m_modal.rend(); ++it)
        if (*it != &closing && (*it)->visible())
            return *it;
    if (m_main && m_main != &closing && m_main->visible())
        return m_main;
    return nullptr;
}

void DriverWindowSystem::formUnloaded(Form& form) {
    if (m_pendingActivation == &form)
        m_pendingActivation = nullptr;
    if (m_active == &form)
        m_active = nullptr;
}

Form* DriverWindowSystem::modalForm() const {
    for (auto it = m_modal.rbegin(); it != m_modal.rend(); ++it)
        if ((*it)->visible())
            return *it;
    return nullptr;
}

bool DriverWindowSystem::isModal(const Form& form) const {
    return std::find(m_modal.begin(), m_modal.end(), &form) != m_modal.end();
}

void DriverWindowSystem::reportEnd() {
    if (!m_ended || m_endReported)
        return;
    m_endReported = true;
    setBusy(false);
    m_out.line("! end");
}

void DriverWindowSystem::raisePendingActivation() {
    // An activation can itself close a dialog and leave another pending; an
    // event loop delivers that one too before it takes the next input.
    for (int rounds = 0; rounds < 64; ++rounds) {
        reportEnd();
        Form* form = m_pendingActivation;
        m_pendingActivation = nullptr;
        if (!form || m_ended || !form->visible())
            break;
        activate(*form);
    }
    reportEnd();
}

void DriverWindowSystem::activate(Form& form) {
    m_pendingActivation = nullptr;
    m_active = &form;
    if (m_tracer.enabled())
        m_out.line("! activate " + form.name());
    form.activate();
}

void DriverWindowSystem::dispatch() {
    reportEnd();
    if (m_ended)
        return;
    raisePendingActivation();
    fireDueTimers();
}

void DriverWindowSystem::fireDueTimers() {
    std::vector<int> due;
    const auto now = Clock::now();
    for (const auto& [id, timer] : m_timers)
        if (timer.due <= now)
            due.push_back(id);
    for (int id : due) {
        // A tick may stop this timer or others, or start new ones.
        auto it = m_timers.find(id);
        if (it == m_timers.end() || m_ended)
            continue;
        it->second.due = Clock::now() + it->second.interval;
        auto tick = it->second.tick;
        tick();
    }
}

void DriverWindowSystem::processEvents() {
    dispatch();
    if (m_insideHandler && !m_ended)
        m_insideHandler();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void DriverWindowSystem::pump() {
    dispatch();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void DriverWindowSystem::reset() {
    m_timers.clear();
    m_modal.clear();
    m_active = nullptr;
    m_pendingActivation = nullptr;
    m_ended = false;
    m_endReported = false;
}

void DriverWindowSystem::wait(double ms) {
    const auto deadline =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(
                           std::chrono::duration<double, std::milli>(ms * m_timerScale));
    while (Clock::now() < deadline)
        pump();
    // A sleep that overshot the deadline must not swallow a timer due by then.
    dispatch();
}

int DriverWindowSystem::startTimer(int ms, std::function<void()> tick) {
    const auto interval = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double, std::milli>(std::max(0, ms) * m_timerScale));
    const int id = m_nextTimer++;
    m_timers[id] = Timer{interval, Clock::now() + interval, std::move(tick)};
    return id;
}

void DriverWindowSystem::stopTimer(int id) {
    m_timers.erase(id);
}

int DriverWindowSystem::screenWidth() {
    return kScreenWidth;
}

int DriverWindowSystem::screenHeight() {
    return kScreenHeight;
}

void DriverWindowSystem::setBusy(bool busy) {
    if (busy == m_busy)
        return;
    m_busy = busy;
    m_out.line(busy ? "! busy on" : "! busy off");
}

void DriverWindowSystem::formCreated(Form& form) {
    m_tracer.watch(form);
}

void DriverWindowSystem::quit() {
    if (m_ended)
        return;
    m_ended = true;
    m_pendingActivation = nullptr;
}

void DriverWindowSystem::handlerFailed(const std::string& where, const std::string& what) {
    m_out.line("! error " + where + ": " + what);
}

std::optional<std::pair<int, int>> DriverWindowSystem::imageSize(const std::string& path) {
    const auto header = readImageHeader(path);
    if (!header)
        return std::nullopt;
    return std::pair{header->width, header->height};
}

bool DriverWindowSystem::copyImage(const std::string& path) {
    const bool readable = readImageHeader(path).has_value();
    m_out.line("! copy image " + quoted(path) + (readable ? "" : " failed"));
    return readable;
}

} // namespace bp::driver
