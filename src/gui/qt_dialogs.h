#pragma once

#include "core/platform/platform.h"

#include <QStringList>

namespace bp::gui {

class QtWindowSystem;

// Message boxes and the common dialogs as Qt's own dialogs, each over the
// window that is active when the core asks.
class QtDialogs : public bp::Dialogs {
  public:
    explicit QtDialogs(QtWindowSystem& windows) : m_windows(windows) {}

    bp::MsgAnswer messageBox(const bp::MessageBoxRequest& request) override;
    std::optional<std::string> fileDialog(const bp::FileDialogRequest& request) override;
    std::optional<bp::Rgb> colorDialog(bp::Rgb initial) override;

  private:
    QtWindowSystem& m_windows;
};

// "Models, (*.dat)|*.dat;*.mpd|All|*.*" as Qt's name filters:
// "Models (*.dat *.mpd)", "All (*.*)".
QStringList toNameFilters(const std::string& filter);

} // namespace bp::gui
