#include "gui/qt_convert.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace bp::gui {

Twips Twips::forScreen(const QScreen* screen) {
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return Twips(screen ? screen->logicalDotsPerInch() : 96.0);
}

int Twips::toPixels(int twips) const {
    return static_cast<int>(std::lround(twips * m_dpi / 1440.0));
}

int Twips::toTwips(int pixels) const {
    return static_cast<int>(std::lround(pixels * 1440.0 / m_dpi));
}

QRect Twips::toPixels(const bp::Rect& r) const {
    return QRect(toPixels(r.left), toPixels(r.top), toPixels(r.width), toPixels(r.height));
}

QString toQt(const std::string& text) {
    return QString::fromStdString(text);
}

std::string fromQt(const QString& text) {
    return text.toStdString();
}

QString withNewlines(const std::string& text) {
    QString s = toQt(text);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

std::string withCrLf(const QString& text) {
    QString s = text;
    s.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return fromQt(s);
}

QString withoutMnemonics(const QString& caption) {
    QString out;
    out.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size())
            ++i;
        out += caption[i];
    }
    return out;
}

QColor toQColor(const bp::Color& color, const QPalette& palette) {
    if (color.buttonFace)
        return palette.color(QPalette::Button);
    return QColor(color.r, color.g, color.b);
}

int utf16Offset(const std::string& text, int bytes) {
    const auto n = static_cast<std::size_t>(std::clamp(bytes, 0, static_cast<int>(text.size())));
    return static_cast<int>(QString::fromUtf8(text.data(), static_cast<qsizetype>(n)).size());
}

} // namespace bp::gui
