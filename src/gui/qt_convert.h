#pragma once

// Conversions between the core's units and types and Qt's.

#include "core/ui/control.h"

#include <QColor>
#include <QPalette>
#include <QRect>
#include <QString>

#include <string>

class QScreen;

namespace bp::gui {

// Designed positions are in twips (1/1440 inch); widgets are placed in the
// screen's device-independent pixels, so the logical DPI links the two.
class Twips {
  public:
    explicit Twips(double logicalDpi = 96.0) : m_dpi(logicalDpi) {}
    // The primary screen when screen is null; 96 dpi without any screen.
    static Twips forScreen(const QScreen* screen = nullptr);

    double dpi() const { return m_dpi; }
    int toPixels(int twips) const;
    int toTwips(int pixels) const;
    QRect toPixels(const bp::Rect& rect) const;

  private:
    double m_dpi;
};

QString toQt(const std::string& text);
std::string fromQt(const QString& text);

// The core writes line breaks as "\r\n" or a lone "\r".
QString withNewlines(const std::string& text);
// Multi-line boxes hand text back with "\r\n" breaks, as the core keeps them.
std::string withCrLf(const QString& text);

// A label shows "&x" as an underlined x and "&&" as "&"; QLabel only does so
// with a buddy, so the marks are taken out here.
QString withoutMnemonics(const QString& caption);

// The system button face resolves to the palette's button colour.
QColor toQColor(const bp::Color& color, const QPalette& palette);

// Length of the first `bytes` bytes of UTF-8 text, in QString code units.
int utf16Offset(const std::string& text, int bytes);

} // namespace bp::gui
