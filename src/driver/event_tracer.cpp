#include "driver/event_tracer.h"

#include "driver/output.h"

namespace bp::driver {

void EventTracer::watch(Form& form) {
    if (m_watched.insert(&form).second)
        form.addObserver(this);
}

void EventTracer::eventRaised(Control& control, Event event) {
    if (!m_enabled)
        return;
    std::string line = "! event " + control.name() + "_" + eventName(event);
    if (control.index() >= 0)
        line += "(" + std::to_string(control.index()) + ")";
    m_out.line(line);
}

} // namespace bp::driver
