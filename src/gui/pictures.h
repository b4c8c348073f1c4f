#pragma once

#include <QPixmap>

#include <string>

namespace bp::gui {

// The pictures that controls name (Control::picture), drawn here so that no
// image files need to ship. scale is logical pixels per designed pixel (the
// screen's DPI over 96); an unknown name gives a null pixmap.
QPixmap drawPicture(const std::string& name, double scale, double devicePixelRatio);

} // namespace bp::gui
