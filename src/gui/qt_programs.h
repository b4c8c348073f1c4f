#pragma once

#include "platform/desktop/desktop_platform.h"

namespace bp::gui {

// The desktop's programs, with documents and folders opened through Qt's
// desktop services, which know the desktop's own way of opening them.
class QtPrograms : public desktop::PosixPrograms {
  public:
    bool openDocument(const std::string& path) override;
};

} // namespace bp::gui
