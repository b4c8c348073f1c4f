#pragma once

#include <QImage>
#include <QPixmap>
#include <QString>

#include <string>

namespace bp::gui {

// The pictures that controls name (Control::picture), drawn here so that no
// image files need to ship. scale is logical pixels per designed pixel (the
// screen's DPI over 96); an unknown name gives a null pixmap. dark: drawn
// for a dark window background.
QPixmap drawPicture(const std::string& name, double scale, double devicePixelRatio,
                    bool dark = false);

// A picture file in any format Qt reads, or a Targa file of the kinds its
// reader leaves out (run-length encoded, without the version 2 footer);
// null when it cannot be read.
QImage readPicture(const QString& path);

} // namespace bp::gui
