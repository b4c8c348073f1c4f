#pragma once

#include "core/ui/form.h"

#include <set>

namespace bp::driver {

class Output;

// Prints "! event Control_Event" for every handler raised while tracing is
// on. It watches each form the driver has seen, unloaded ones too, since
// their handlers may still run; it must outlive the forms.
class EventTracer : public FormObserver {
  public:
    explicit EventTracer(Output& out) : m_out(out) {}

    void setEnabled(bool on) { m_enabled = on; }
    bool enabled() const { return m_enabled; }
    void watch(Form& form);

    void propertyChanged(Control&, Property) override {}
    void formChanged(Form&) override {}
    void focusChanged(Form&, Control*) override {}
    void eventRaised(Control& control, Event event) override;

  private:
    Output& m_out;
    bool m_enabled = false;
    std::set<Form*> m_watched;
};

} // namespace bp::driver
