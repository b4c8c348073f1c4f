#include "gui/qt_programs.h"

#include "gui/qt_convert.h"

#include <QDesktopServices>
#include <QUrl>

namespace bp::gui {

bool QtPrograms::openDocument(const std::string& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(toQt(path)));
}

} // namespace bp::gui
