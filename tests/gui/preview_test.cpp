// The Preview window on a real display (Xvfb) with Mesa's OpenGL: what it
// shows against what POV-Ray renders, the mouse on the camera boxes, and
// models that cannot be shown.

#include "core/common/numbers.h"
#include "core/l3p/render_options.h"
#include "core/preview/preview_math.h"
#include "desktop_session.h"
#include "gui/preview_view.h"
#include "gui/preview_window.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QtTest>

using namespace bp;
using bp::gui::PreviewView;
using bp::gui::PreviewWindow;

namespace {

const QString kLibrary = QStringLiteral(BRICKPOV_LIBRARY);

void writeFile(const QString& path, const QByteArray& text) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
}

// The program with the committed LDraw library, started on `model`, and its
// Preview window.
class Session : public bp::test::DesktopSession {
  public:
    Session(const QString& model, const QString& library = kLibrary)
        : DesktopSession({}, model.toStdString(), library.toStdString(), "/usr/bin/povray"),
          m_preview(std::make_unique<PreviewWindow>(app())) {
        m_preview->view()->setLightMarkers(false);
        m_preview->show();
    }
    ~Session() { m_preview.reset(); }
    PreviewWindow& preview() { return *m_preview; }
    PreviewView& view() { return *m_preview->view(); }

    // Follows the window's options and waits for the model.
    bool settle() {
        m_preview->refresh();
        return QTest::qWaitFor([this] { return !m_preview->loading(); }, 60000);
    }

  private:
    std::unique_ptr<PreviewWindow> m_preview;
};

// The box of the pixels that are not the magenta background, as shares of
// the picture: left, top, right, bottom.
std::optional<std::array<double, 4>> modelBox(const QImage& image) {
    int left = image.width(), top = image.height(), right = -1, bottom = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - 255) + c.green() + std::abs(c.blue() - 255) <= 90)
                continue;
            left = std::min(left, x), right = std::max(right, x + 1);
            top = std::min(top, y), bottom = std::max(bottom, y + 1);
        }
    if (right < 0)
        return std::nullopt;
    const double w = image.width(), h = image.height();
    return std::array<double, 4>{left / w, top / h, right / w, bottom / h};
}

void setTexts(const ControlArray& boxes, const preview::Vec3& v) {
    boxes[0].setText(numberText(std::round(v.x * 10) / 10));
    boxes[1].setText(numberText(std::round(v.y * 10) / 10));
    boxes[2].setText(numberText(std::round(v.z * 10) / 10));
}

void drag(QWidget* w, QPoint from, QPoint to, Qt::KeyboardModifiers modifiers) {
    QMouseEvent press(QEvent::MouseButtonPress, from, w->mapToGlobal(from), Qt::LeftButton,
                      Qt::LeftButton, modifiers);
    QApplication::sendEvent(w, &press);
    QMouseEvent move(QEvent::MouseMove, to, w->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     modifiers);
    QApplication::sendEvent(w, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, to, w->mapToGlobal(to), Qt::LeftButton,
                        Qt::NoButton, modifiers);
    QApplication::sendEvent(w, &release);
}

} // namespace

class PreviewTest : public QObject {
    Q_OBJECT

  private slots:
    void previewFramesWhatPovRayRenders_data();
    void previewFramesWhatPovRayRenders();
    void mouseMovesTheCameraThroughTheBoxes();
    void modelsThatCannotBeShown();
};

void PreviewTest::previewFramesWhatPovRayRenders_data() {
    QTest::addColumn<QString>("model");
    QTest::newRow("car") << kLibrary + "/models/car.ldr";
    QTest::newRow("minifig head") << kLibrary + "/parts/3626b.dat";
    QTest::newRow("round tile 1x1") << kLibrary + "/parts/98138.dat";
}

// For each camera and picture shape, the box of the model's pixels in the
// preview and in the draft POV-Ray renders of the same switches at the same
// size agree within 2 % of the frame.
void PreviewTest::previewFramesWhatPovRayRenders() {
    QFETCH(QString, model);
    Session s(model);
    BrickpovMain& m = s.main();
    QVERIFY(s.settle());
    QVERIFY2(s.preview().plan(), qPrintable(s.preview().status()->text()));
    m.Chk_B.setValue(1);
    m.Txt_BColor[0].setText("255");
    m.Txt_BColor[1].setText("0");
    m.Txt_BColor[2].setText("255");
    m.Chk_F.setValue(0);
    auto& render = s.app().form<BrickpovRenderOptions>();

    const std::pair<int, int> sizes[] = {{320, 240}, {320, 180}};
    for (const auto& [width, height] : sizes) {
        render.Txt_Width.setText(std::to_string(width));
        render.Txt_Height.setText(std::to_string(height));
        for (const char* camera : {"globe, radius 0", "globe with a radius", "-cc with -cla"}) {
            // The camera values are taken from the fitted camera, so that
            // every model is seen whole.
            m.Chk_CG.setValue(1);
            m.Chk_CLA.setValue(0);
            m.Txt_CameraValue[0].setText("30");
            m.Txt_CameraValue[1].setText("-60");
            m.Txt_CameraValue[2].setText("0");
            QVERIFY(s.settle());
            const preview::ViewPlan fit = *s.preview().plan();
            const preview::Vec3 centre = fit.bounds.centre();
            if (std::string(camera) == "globe with a radius") {
                m.Txt_CameraValue[0].setText("20");
                m.Txt_CameraValue[1].setText("135");
                m.Txt_CameraValue[2].setText(numberText(std::round(fit.fittedDistance * 1.3)));
            } else if (std::string(camera) == "-cc with -cla") {
                m.Chk_CC.setValue(1);
                setTexts(m.Txt_CameraValue,
                         centre + preview::Vec3{0.7, -0.8, -1.0} * (fit.fittedDistance * 0.9));
                setTexts(m.Txt_CameraLookAt,
                         centre + preview::Vec3{fit.bounds.size().x * 0.1, 0, 0});
                m.Chk_CLA.setValue(1);
            }
            QVERIFY(s.settle());
            s.view().setFixedSize(width, height);
            QTest::qWait(50);
            QCOMPARE(s.view().frame(), QRect(0, 0, width, height));
            const auto shown = modelBox(s.view().grabFramebuffer());

            s.preview().draftButton()->click();
            QVERIFY2(QTest::qWaitFor([&] { return !s.preview().draftRunning(); }, 90000),
                     qPrintable(s.preview().status()->text()));
            const QImage picture = s.view().overlay();
            QVERIFY2(!picture.isNull(), qPrintable(s.preview().status()->text()));
            QCOMPARE(picture.size(), QSize(width, height));
            const auto rendered = modelBox(picture);

            const QString where = QString("%1 at %2x%3").arg(camera).arg(width).arg(height);
            QVERIFY2(shown && rendered, qPrintable(where));
            for (std::size_t edge = 0; edge < 4; ++edge) {
                const double a = (*shown)[edge], b = (*rendered)[edge];
                const QString message = QString("%1: edge %2 is %3 in the preview, %4 rendered");
                QVERIFY2(std::abs(a - b) <= 0.02,
                         qPrintable(message.arg(where).arg(edge).arg(a).arg(b)));
            }
        }
    }
}

// A drag of known length, the wheel and Shift+drag set the camera boxes by
// the interaction's rules, and the command line follows; a double-click goes
// back to the fitted camera.
void PreviewTest::mouseMovesTheCameraThroughTheBoxes() {
    Session s(kLibrary + "/models/car.ldr");
    BrickpovMain& m = s.main();
    QVERIFY(s.settle());
    s.view().setFixedSize(400, 300);
    QTest::qWait(50);
    QVERIFY(s.preview().plan());
    QCOMPARE(m.Txt_CameraValue[0].text(), std::string("45"));
    QCOMPARE(m.Txt_CameraValue[1].text(), std::string("45"));

    drag(&s.view(), {100, 100}, {160, 130}, Qt::NoModifier);
    const preview::GlobeAngles turned = preview::orbitByDrag({45, 45}, 60, 30, 300);
    QCOMPARE(turned, (preview::GlobeAngles{63, 9}));
    QCOMPARE(m.Txt_CameraValue[0].text(), numberText(turned.latitude));
    QCOMPARE(m.Txt_CameraValue[1].text(), numberText(turned.longitude));
    QVERIFY(m.Txt_CommandLine.text().find("-cg63,9,0") != std::string::npos);

    QVERIFY(s.settle());
    const double fitted = s.preview().plan()->fittedDistance;
    QWheelEvent wheel({200, 150}, s.view().mapToGlobal(QPointF(200, 150)), {}, {0, 120},
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&s.view(), &wheel);
    const std::string radius = numberText(preview::radiusAfterWheel(0, fitted, 1));
    QCOMPARE(m.Txt_CameraValue[2].text(), radius);
    QVERIFY(m.Txt_CommandLine.text().find("-cg63,9," + radius) != std::string::npos);

    QVERIFY(s.settle());
    const preview::ViewPlan before = *s.preview().plan();
    drag(&s.view(), {200, 150}, {220, 140}, Qt::ShiftModifier);
    const double tanV = std::tan(before.angle * M_PI / 360) / before.cameraAspect;
    const preview::Vec3 lookAt =
        preview::panLookAt(before.location, before.lookAt, 20, -10, 300, tanV);
    QCOMPARE(m.Chk_CLA.value(), 1);
    QCOMPARE(m.Txt_CameraLookAt[0].text(), numberText(lookAt.x));
    QCOMPARE(m.Txt_CameraLookAt[1].text(), numberText(lookAt.y));
    QCOMPARE(m.Txt_CameraLookAt[2].text(), numberText(lookAt.z));
    QVERIFY(m.Txt_CommandLine.text().find(" -cla" + numberText(lookAt.x) + ",") !=
            std::string::npos);

    QVERIFY(s.settle());
    QTest::mouseDClick(&s.view(), Qt::LeftButton, Qt::NoModifier, {200, 150});
    QCOMPARE(m.Txt_CameraValue[2].text(), std::string("0"));
    QCOMPARE(m.Chk_CLA.value(), 0);
    QVERIFY(m.Txt_CommandLine.text().find("-cg63,9,0") != std::string::npos);
    QVERIFY(m.Txt_CommandLine.text().find("-cla") == std::string::npos);
}

// Whatever the model, the preview says what it could not show and shows
// what it could; a newer choice wins over a model still loading.
void PreviewTest::modelsThatCannotBeShown() {
    QTemporaryDir folder, emptyLibrary;
    QDir(emptyLibrary.path()).mkdir("parts");
    QDir(emptyLibrary.path()).mkdir("p");
    const QString dir = folder.path() + "/";
    writeFile(dir + "gone.ldr", "1 4 0 0 0 1 0 0 0 1 0 0 0 1 3024.dat\r\n");
    writeFile(dir + "missing.ldr", "1 4 0 0 0 1 0 0 0 1 0 0 0 1 3024.dat\r\n"
                                   "1 1 0 -8 0 1 0 0 0 1 0 0 0 1 nosuchpart.dat\r\n");
    QByteArray many;
    for (int i = 0; i < 2000; ++i)
        many += "1 " + QByteArray::number(i % 16) + " " + QByteArray::number(i % 50 * 30) + " 0 " +
                QByteArray::number(i / 50 * 30) + " 1 0 0 0 1 0 0 0 1 3626b.dat\r\n";
    writeFile(dir + "many.ldr", many);
    writeFile(dir + "small.ldr", "1 14 0 0 0 1 0 0 0 1 0 0 0 1 3024.dat\r\n");

    struct Row {
        const char* name;
        QString library;
        std::vector<const char*> chosen; // chosen one after the other, without waiting
        bool usable;
        const char* says;
        std::uint64_t parts;
    } rows[] = {
        {"a file gone before it is read", kLibrary, {"gone.ldr"}, false, "cannot", 0},
        {"a missing part", kLibrary, {"missing.ldr"}, true, "missing", 1},
        {"a library without the parts", emptyLibrary.path(), {"small.ldr"}, true, "missing", 0},
        {"replaced while loading", kLibrary, {"many.ldr", "small.ldr"}, true, "1 part,", 1},
    };
    for (const Row& row : rows) {
        Session s(dir + "small.ldr", row.library);
        BrickpovMain& m = s.main();
        QVERIFY(s.settle());
        if (std::string(row.name) == "a file gone before it is read")
            QFile::remove(dir + "gone.ldr");
        for (const char* name : row.chosen) {
            int index = -1;
            for (int i = 0; i < m.Cbo_ModelFile.listCount(); ++i)
                if (m.Cbo_ModelFile.list(i) == name)
                    index = i;
            QVERIFY2(index >= 0, name);
            m.Cbo_ModelFile.setListIndex(index);
            s.preview().refresh();
        }
        QVERIFY2(s.settle(), row.name);
        const auto model = s.preview().model();
        QVERIFY2(model, row.name);
        QCOMPARE(model->path, (dir + row.chosen.back()).toStdString());
        QCOMPARE(model->usable(), row.usable);
        QCOMPARE(model->built.meshes.empty() ? 0 : model->built.meshes.back().partCount, row.parts);
        QVERIFY2(s.preview().status()->text().contains(row.says, Qt::CaseInsensitive),
                 qPrintable(QString(row.name) + ": " + s.preview().status()->text()));
        QVERIFY(s.preview().plan().has_value() == row.usable);
        if (std::string(row.name) == "a file gone before it is read")
            writeFile(dir + "gone.ldr", "");
    }
}

QTEST_MAIN(PreviewTest)
#include "preview_test.moc"
