#include "gui/pictures.h"

#include "core/common/targa.h"

#include <QFile>
#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <functional>
#include <map>

namespace bp::gui {

namespace {

QFont pictureFont(int pixelSize, bool bold) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

// One brick seen from the front: body, studs on top, light and shade.
void drawBrick(QPainter& p, double x, double y, int studs, const QColor& color) {
    const double width = studs * 10.0;
    const QColor edge = color.darker(150);
    p.setPen(QPen(edge, 0.8));
    for (int i = 0; i < studs; ++i) {
        p.setBrush(color.lighter(115));
        p.drawRoundedRect(QRectF(x + 2.5 + i * 10.0, y - 3.0, 5.0, 3.5), 1.0, 1.0);
    }
    QLinearGradient body(x, y, x, y + 9.0);
    body.setColorAt(0.0, color.lighter(125));
    body.setColorAt(1.0, color.darker(115));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(x, y, width, 9.0), 1.2, 1.2);
}

// Six bricks in three rows, 62 x 29 from the top left of the first stud.
void drawBrickPyramid(QPainter& p) {
    const QColor red(201, 26, 9), yellow(242, 205, 55), blue(0, 85, 191), green(35, 120, 65),
        orange(254, 138, 24), white(244, 244, 244);
    drawBrick(p, 26, 5, 2, orange);
    drawBrick(p, 16, 14, 2, blue);
    drawBrick(p, 36, 14, 2, yellow);
    drawBrick(p, 6, 23, 2, red);
    drawBrick(p, 26, 23, 2, white);
    drawBrick(p, 46, 23, 2, green);
}

void drawName(QPainter& p, const QRectF& box, int pixelSize, bool dark) {
    p.setFont(pictureFont(pixelSize, true));
    p.setPen(dark ? QColor(0, 0, 0, 120) : QColor(0, 0, 0, 40));
    p.drawText(box.translated(1, 1), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Brickpov"));
    p.setPen(dark ? QColor(222, 230, 238) : QColor(43, 58, 74));
    p.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Brickpov"));
}

// The program's logo, 600 x 32: a little pyramid of bricks and the name.
// Only its left part shows; the donation image and the buttons cover the rest.
void drawLogo(QPainter& p, bool dark) {
    drawBrickPyramid(p);
    drawName(p, QRectF(74, 0, 140, 32), 21, dark);
}

// The About box's picture, 345 x 78: the logo, larger, with what it is for.
void drawAbout(QPainter& p, bool dark) {
    p.save();
    p.translate(4, 6);
    p.scale(2.0, 2.0);
    drawBrickPyramid(p);
    p.restore();
    drawName(p, QRectF(146, 8, 200, 42), 36, dark);
    p.setFont(pictureFont(12, false));
    p.setPen(dark ? QColor(170, 180, 192) : QColor(90, 100, 112));
    p.drawText(QRectF(148, 50, 200, 18), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("L3P and POV-Ray, one window"));
}

void drawDonateButton(QPainter& p);

// The About box's donation picture, 345 x 63: a word of thanks and the button.
void drawAboutDonate(QPainter& p) {
    p.setPen(QPen(QColor(226, 205, 150), 1.0));
    p.setBrush(QColor(255, 249, 232));
    p.drawRoundedRect(QRectF(0.5, 0.5, 344.0, 62.0), 8.0, 8.0);
    p.setFont(pictureFont(11, false));
    p.setPen(QColor(70, 62, 44));
    p.drawText(QRectF(12, 6, 320, 18), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Brickpov is free. If it saves you time,"));
    p.drawText(QRectF(12, 22, 160, 34), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap,
               QStringLiteral("a small gift keeps it going."));
    p.save();
    p.translate(166, 28);
    drawDonateButton(p);
    p.restore();
}

// The maker's emblem, 142 x 141: a kiln with its fire.
void drawMaker(QPainter& p) {
    const QColor clay(176, 84, 52), clayDark(122, 54, 34);
    QPainterPath dome;
    dome.moveTo(20, 122);
    dome.lineTo(20, 70);
    dome.cubicTo(20, 22, 122, 22, 122, 70);
    dome.lineTo(122, 122);
    dome.closeSubpath();
    QLinearGradient body(0, 24, 0, 122);
    body.setColorAt(0.0, clay.lighter(125));
    body.setColorAt(1.0, clay);
    p.setPen(QPen(clayDark, 2.0));
    p.setBrush(body);
    p.drawPath(dome);

    // The opening and the flame inside it.
    QPainterPath mouth;
    mouth.moveTo(46, 122);
    mouth.lineTo(46, 92);
    mouth.cubicTo(46, 66, 96, 66, 96, 92);
    mouth.lineTo(96, 122);
    mouth.closeSubpath();
    p.setBrush(QColor(48, 28, 22));
    p.drawPath(mouth);
    QPainterPath flame;
    flame.moveTo(71, 120);
    flame.cubicTo(52, 116, 56, 96, 66, 84);
    flame.cubicTo(66, 94, 72, 96, 74, 90);
    flame.cubicTo(76, 82, 72, 78, 76, 72);
    flame.cubicTo(90, 86, 92, 116, 71, 120);
    QLinearGradient fire(0, 72, 0, 120);
    fire.setColorAt(0.0, QColor(255, 214, 90));
    fire.setColorAt(1.0, QColor(240, 96, 32));
    p.setPen(Qt::NoPen);
    p.setBrush(fire);
    p.drawPath(flame);

    // Bricks of the dome, and the base it stands on.
    p.setPen(QPen(clayDark.lighter(115), 1.2));
    p.setBrush(Qt::NoBrush);
    for (int y : {58, 82, 106})
        p.drawLine(QPointF(22, y), QPointF(120, y));
    p.setPen(QPen(clayDark, 2.0));
    p.setBrush(QColor(92, 92, 98));
    p.drawRoundedRect(QRectF(10, 122, 122, 12), 3, 3);
}

// The donation image, 170 x 26: a small rounded button with a heart.
void drawDonate(QPainter& p) {
    drawDonateButton(p);
}

void drawDonateButton(QPainter& p) {
    const QRectF pill(0.5, 0.5, 169.0, 25.0);
    QLinearGradient fill(0, 0, 0, 26);
    fill.setColorAt(0.0, QColor(255, 221, 120));
    fill.setColorAt(1.0, QColor(255, 184, 46));
    p.setPen(QPen(QColor(214, 152, 26), 1.0));
    p.setBrush(fill);
    p.drawRoundedRect(pill, 12.5, 12.5);

    const QFont font = pictureFont(13, true);
    const QString label = QStringLiteral("Donate");
    const double textWidth = QFontMetricsF(font).horizontalAdvance(label);
    const double heartWidth = 11.0, gap = 6.0;
    const double left = (170.0 - (heartWidth + gap + textWidth)) / 2.0;

    // Two lobes and a point, drawn as one path.
    QPainterPath heart;
    const double hx = left, hy = 8.0;
    heart.moveTo(hx + 5.5, hy + 10.0);
    heart.cubicTo(hx - 1.5, hy + 5.0, hx + 0.5, hy - 1.5, hx + 5.5, hy + 2.5);
    heart.cubicTo(hx + 10.5, hy - 1.5, hx + 12.5, hy + 5.0, hx + 5.5, hy + 10.0);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(214, 40, 57));
    p.drawPath(heart);

    p.setFont(font);
    p.setPen(QColor(31, 58, 104));
    p.drawText(QRectF(left + heartWidth + gap, 0, textWidth + 2, 26),
               Qt::AlignLeft | Qt::AlignVCenter, label);
}

struct Picture {
    int width, height;
    std::function<void(QPainter&, bool dark)> draw;
};

// Pictures with a background of their own look the same on any palette.
template <void (*Draw)(QPainter&)> void anyPalette(QPainter& p, bool) {
    Draw(p);
}

const std::map<std::string, Picture>& pictures() {
    static const std::map<std::string, Picture> all{
        {"logo", {600, 32, drawLogo}},
        {"donate", {170, 26, anyPalette<drawDonate>}},
        {"about", {345, 78, drawAbout}},
        {"about-donate", {345, 63, anyPalette<drawAboutDonate>}},
        {"maker", {142, 141, anyPalette<drawMaker>}},
    };
    return all;
}

} // namespace

QPixmap drawPicture(const std::string& name, double scale, double devicePixelRatio, bool dark) {
    const auto it = pictures().find(name);
    if (it == pictures().end())
        return {};
    const Picture& picture = it->second;
    const double ratio = scale * devicePixelRatio;
    QPixmap pixmap(static_cast<int>(std::ceil(picture.width * ratio)),
                   static_cast<int>(std::ceil(picture.height * ratio)));
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(scale, scale);
    picture.draw(painter, dark);
    return pixmap;
}

QImage readPicture(const QString& path) {
    QImage image(path);
    if (!image.isNull())
        return image;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    const auto targa = decodeTarga(std::string_view(bytes.constData(), bytes.size()));
    if (!targa)
        return {};
    return QImage(targa->rgba.data(), targa->width, targa->height, targa->width * 4,
                  QImage::Format_RGBA8888)
        .copy();
}

} // namespace bp::gui
