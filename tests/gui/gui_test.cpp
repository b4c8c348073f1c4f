// The Qt front end driven through its real widgets, on the offscreen platform.

#include "core/common/core_routines.h"
#include "core/l3p/picture_window.h"
#include "core/l3p/run_window.h"
#include "core/window/locate_dialog.h"
#include "core/window/run_monitor.h"
#include "desktop_session.h"
#include "gui/qt_dialogs.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QStyleOptionButton>
#include <QTimer>
#include <QtTest>

#include <csignal>

using namespace bp;
using bp::gui::FormView;
using bp::gui::QtDialogs;
using bp::gui::QtWindowSystem;

namespace {

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

using Session = bp::test::DesktopSession;
using bp::test::writeScript;

template <class W> W* widgetOf(FormView* view, const char* name) {
    return view ? qobject_cast<W*>(view->widgetOf(name)) : nullptr;
}

// Where a person clicks a check box: on its box, not in the middle of its caption.
void clickIndicator(QCheckBox* box) {
    QStyleOptionButton option;
    option.initFrom(box);
    const QRect indicator =
        box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, indicator.center());
}

// Opens the drop-down list with the mouse and clicks the item.
bool chooseFromPopup(QComboBox* combo, const QString& text) {
    QTest::mouseClick(combo, Qt::LeftButton);
    QAbstractItemView* list = combo->view();
    if (!QTest::qWaitFor([&] { return list->isVisible(); }))
        return false;
    // The list ignores a release that comes too soon after it opened.
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    const QRect item = list->visualRect(list->model()->index(combo->findText(text), 0));
    const QPoint where(list->viewport()->width() / 2, item.center().y());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, where);
    return QTest::qWaitFor([&] { return !list->isVisible(); });
}

QColor colorInside(QWidget* widget) {
    return widget->grab().toImage().pixelColor(widget->width() / 2, widget->height() / 2);
}

// Runs body on the modal window of type W once it is open; the modal loop
// that the caller then starts is where it runs.
template <class W> void whenModal(std::function<void(W*)> body) {
    auto* poll = new QTimer;
    poll->setInterval(20);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, body] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            auto* modal = dynamic_cast<W*>(window);
            if (modal && modal->isVisible() && modal->isModal()) {
                poll->stop();
                poll->deleteLater();
                body(modal);
                return;
            }
        }
    });
    poll->start();
}

} // namespace

class GuiTest : public QObject {
    Q_OBJECT

  private slots:
    void clicksOnRealWidgetsReachTheCommandLine();
    void mainWindowMatchesItsDesign();
    void recentSceneShowsItsPathLiterally();
    void locateDialogRunsModallyWithItsFolderList();
    void messageBoxShowsTheRequestAndDoesNotReactivateTheForm();
    void fileDialogTakesFiltersAndAnswers();
    void runL3PWithRenderingKeepsTheWindowWorking();
    void runWindowShowsProgressCancelsAndIsReused();
    void pictureWindowFitsZoomsAndShowsFrames();
};

void GuiTest::clicksOnRealWidgetsReachTheCommandLine() {
    Session s;
    FormView* view = s.view();
    QVERIFY(view);
    QVERIFY(QTest::qWaitForWindowActive(view));
    BrickpovMain& m = s.main();

    auto* commandLine = widgetOf<QPlainTextEdit>(view, "Txt_CommandLine");
    auto* quality = widgetOf<QComboBox>(view, "Cbo_Q");
    auto* seamWidth = widgetOf<QLineEdit>(view, "Txt_SW");
    QVERIFY(commandLine && quality && seamWidth);
    QVERIFY(commandLine->isReadOnly());
    const QString lights = QStringLiteral(" -lg45,0,0 -lg30,120,0 -lg60,-120,0");
    QCOMPARE(commandLine->toPlainText(), " -cg45,45,0" + lights);

    // A disabled value field has the button face; ticking its switch makes it white.
    const QColor buttonFace = view->palette().color(QPalette::Button);
    QVERIFY(!seamWidth->isEnabled());
    QCOMPARE(colorInside(seamWidth), buttonFace);
    clickIndicator(widgetOf<QCheckBox>(view, "Chk_SW"));
    QCOMPARE(m.Chk_SW.value(), 1);
    QVERIFY(seamWidth->isEnabled());
    QCOMPARE(colorInside(seamWidth), QColor(Qt::white));

    // Typing in the middle of a field: the echo of the model's text must not
    // move the cursor.
    QTest::keyClicks(seamWidth, QStringLiteral("05"));
    QTest::keyClick(seamWidth, Qt::Key_Left);
    QTest::keyClicks(seamWidth, QStringLiteral("."));
    QCOMPARE(seamWidth->text(), QStringLiteral("0.5"));
    QCOMPARE(m.Txt_SW.text(), std::string("0.5"));
    clickIndicator(widgetOf<QCheckBox>(view, "Chk_SW"));
    QCOMPARE(colorInside(seamWidth), buttonFace);
    // Ticking again gives the field the focus, and its handler selects the text.
    clickIndicator(widgetOf<QCheckBox>(view, "Chk_SW"));
    QVERIFY(seamWidth->hasFocus());
    QCOMPARE(seamWidth->selectedText(), QStringLiteral("0.5"));
    clickIndicator(widgetOf<QCheckBox>(view, "Chk_SW"));

    QVERIFY(!quality->isEnabled());
    clickIndicator(widgetOf<QCheckBox>(view, "Chk_LD"));
    clickIndicator(widgetOf<QCheckBox>(view, "Chk_O"));
    clickIndicator(widgetOf<QCheckBox>(view, "Chk_Q"));
    QVERIFY(quality->isEnabled());
    QCOMPARE(quality->palette().color(QPalette::Button), QColor(Qt::white));
    QVERIFY(chooseFromPopup(quality, QStringLiteral("1")));
    QCOMPARE(m.Cbo_Q.text(), std::string("1"));

    QCOMPARE(commandLine->toPlainText(), " -cg45,45,0 -ld" + lights + " -q1 -o");
    QCOMPARE(s.dialogs().boxes.size(), std::size_t(0)); // start-up asked nothing either
}

void GuiTest::mainWindowMatchesItsDesign() {
    Session s;
    FormView* view = s.view();
    QVERIFY(view);
    QVERIFY(QTest::qWaitForWindowActive(view));
    BrickpovMain& m = s.main();
    const auto& twips = view->twips();
    QCOMPARE(twips.dpi(), 96.0);

    QCOMPARE(view->windowTitle(), QStringLiteral("Brickpov"));
    QCOMPARE(view->minimumSize(), view->maximumSize());
    QVERIFY(!(view->windowFlags() & Qt::WindowMaximizeButtonHint));
    QWidget* client = view->clientArea();
    QCOMPARE(client->size(), QSize(twips.toPixels(m.clientWidth), twips.toPixels(m.clientHeight)));
    QCOMPARE(client->mapTo(view, QPoint()), QPoint(0, view->menuBar()->height()));
    QCOMPARE(view->menuBar()->actions().size(), 4);

    // Tab follows the designed keyboard order.
    QWidget* first = view->widgetOf("Cbo_ModelFile");
    first->setFocus();
    QTRY_VERIFY(first->hasFocus());
    QTest::keyClick(first, Qt::Key_Tab);
    QVERIFY(view->widgetOf("Btn_BrowseModelFile")->hasFocus());
    QTest::keyClick(view->focusWidget(), Qt::Key_Tab);
    QVERIFY(view->widgetOf("Cbo_OutputFile")->hasFocus());
    QCOMPARE(m.focus(), m.findQualified("Cbo_OutputFile"));

    m.Lbl_BColorSample.setBackColor(Color::rgb(255, 128, 0));
    const QImage shot = view->grab().toImage();
    QVERIFY(shot.save(QStringLiteral(BRICKPOV_GUI_TEST_OUTPUT "/brickpov-main.png")));

    for (const char* name : {"Btn_RunL3P", "Chk_CG", "Txt_CommandLine", "Cbo_C", "Lbl_BColorSample",
                             "Txt_BColor(2)"}) {
        QWidget* w = view->widgetOf(name);
        QVERIFY2(w, name);
        const QRect designed =
            twips.toPixels(m.findQualified(name)->rect()).translated(client->pos());
        const QRect actual(w->mapTo(view, QPoint()), w->size());
        const QMargins off(actual.left() - designed.left(), actual.top() - designed.top(),
                           actual.right() - designed.right(), actual.bottom() - designed.bottom());
        QVERIFY2(std::max({std::abs(off.left()), std::abs(off.top()), std::abs(off.right()),
                           std::abs(off.bottom())}) <= 1,
                 name);
    }

    // The swatch is filled with its colour inside its single border.
    QWidget* swatch = view->widgetOf("Lbl_BColorSample");
    const QPoint origin = swatch->mapTo(view, QPoint());
    for (const QPoint inside :
         {swatch->rect().center(), QPoint(2, 2), QPoint(swatch->width() - 3, swatch->height() - 3)})
        QCOMPARE(shot.pixelColor(origin + inside), QColor(255, 128, 0));
    QVERIFY(shot.pixelColor(origin) != QColor(255, 128, 0));
}

// A path holding "&" is a recent scene's caption, not an access key.
void GuiTest::recentSceneShowsItsPathLiterally() {
    Session s;
    FormView* view = s.view();
    QVERIFY(view);
    s.main().Mnu_RecentScene[0].setCaption("/scenes/cars & trucks.bps");
    s.main().Mnu_RecentScene[0].setVisible(true);
    auto* recent = view->findChild<QAction*>(QStringLiteral("Mnu_RecentScene(0)"));
    QVERIFY(recent);
    QCOMPARE(recent->text(), QStringLiteral("/scenes/cars && trucks.bps"));
    auto* open = view->findChild<QAction*>(QStringLiteral("Mnu_FileOpen"));
    QVERIFY(open);
    QCOMPARE(open->text(), QStringLiteral("&Open Scene"));
}

void GuiTest::locateDialogRunsModallyWithItsFolderList() {
    Session s;
    BrickpovMain& m = s.main();
    QVERIFY(QTest::qWaitForWindowActive(s.view()));
    const QString tools = s.programDir() + QStringLiteral("/tools");
    QVERIFY(QDir().mkpath(tools));
    writeScript(tools + QStringLiteral("/L3P.exe"));
    const QString elsewhere = tools + QStringLiteral("/elsewhere");
    QVERIFY(QDir().mkpath(elsewhere));
    m.L3PPath = s.programDir().toStdString() + "/"; // where the folder list starts

    bool sawDialog = false;
    whenModal<FormView>([&](FormView* dialog) {
        // A way out, should a check below fail with the dialog still open.
        QTimer::singleShot(10000, dialog, [dialog] {
            if (dialog->form())
                dialog->form()->unload();
        });
        sawDialog = true;
        // Activation disables OK, so the folder is chosen after it.
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Locate L3p.exe (or L3P16.exe)"));
        QCOMPARE(dialog->parentWidget(), s.view());
        auto* folders = widgetOf<QListWidget>(dialog, "Dir_Locate");
        auto* ok = widgetOf<QPushButton>(dialog, "Btn_OK");
        QVERIFY(folders && ok);
        // Activation comes as an event of its own after the window shows.
        QTRY_VERIFY(!ok->isEnabled());
        // Enter after typing a folder that is not the one sought leaves the
        // dialog open; the default button would have cancelled it.
        auto* path = widgetOf<QLineEdit>(dialog, "Txt_Path");
        QVERIFY(path);
        path->setFocus();
        QTRY_VERIFY(path->hasFocus());
        path->clear();
        QTest::keyClicks(path, elsewhere);
        QTest::keyClick(path, Qt::Key_Return);
        QVERIFY(dialog->isVisible());
        QVERIFY(!ok->isEnabled());
        const auto found = folders->findItems(QStringLiteral("tools"), Qt::MatchExactly);
        QCOMPARE(found.size(), 1);
        // The folder list begins with the path down to the folder shown.
        QCOMPARE(folders->item(0)->text(), QStringLiteral("/"));
        const QRect item = folders->visualItemRect(found.first());
        // Through the window, as the window system delivers a double click.
        QTest::mouseDClick(dialog->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                           folders->viewport()->mapTo(dialog, item.center()));
        QVERIFY(ok->isEnabled());
        QCOMPARE(folders->currentItem()->text(), QStringLiteral("tools"));
        QTest::mouseClick(ok, Qt::LeftButton);
    });
    LocateTool(m, "Locate L3p.exe (or L3P16.exe)", m.L3PPath, "L3P.exe");

    QVERIFY(sawDialog);
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
}

// The box shows the request over the main window. Only another form window
// taking over activates a form: the focus coming back from a message box must
// not run the activation (whose own warnings would then come back for ever).
void GuiTest::messageBoxShowsTheRequestAndDoesNotReactivateTheForm() {
    Session s;
    BrickpovMain& m = s.main();
    QVERIFY(QTest::qWaitForWindowActive(s.view()));
    m.Txt_CommandLine.setText("marker");
    QtDialogs dialogs(s.windows());
    MessageBoxRequest request;
    request.title = "Brickpov Unable to Run";
    request.text = "first\r\nsecond\rthird";
    request.icon = MsgIcon::Question;
    request.buttons = MsgButtons::YesNoCancel;
    request.defaultButton = MsgAnswer::No;

    QStringList seen;
    whenModal<QMessageBox>([&](QMessageBox* box) {
        const bool asAsked = box->parentWidget() == s.view() &&
                             box->icon() == QMessageBox::Question &&
                             box->defaultButton() == box->button(QMessageBox::No);
        seen << box->text() << box->windowTitle() << (asAsked ? "as asked" : "not as asked");
        box->button(QMessageBox::Yes)->click();
    });
    QCOMPARE(dialogs.messageBox(request), MsgAnswer::Yes);
    QCOMPARE(seen, (QStringList{"first\nsecond\nthird", "Brickpov Unable to Run", "as asked"}));
    QVERIFY(QTest::qWaitForWindowActive(s.view()));
    QTest::qWait(50);
    QCOMPARE(m.Txt_CommandLine.text(), std::string("marker"));

    // Closed without a button, a box with Cancel answers Cancel.
    whenModal<QMessageBox>([](QMessageBox* box) { box->close(); });
    QCOMPARE(dialogs.messageBox(request), MsgAnswer::Cancel);
}

void GuiTest::fileDialogTakesFiltersAndAnswers() {
    QtWindowSystem windows;
    QtDialogs dialogs(windows);
    QTemporaryDir folder;
    const QString model = folder.filePath(QStringLiteral("car.dat"));
    writeScript(model);

    FileDialogRequest request;
    request.title = "Open Model";
    request.initialDir = folder.path().toStdString();
    request.filter = "LDraw Files, (*.dat, *.ldr, *.mpd)|*.dat;*.ldr;*.mpd|All Files, (*.*)|*.*";
    request.filterIndex = 2;
    request.fileMustExist = true;

    QStringList seen;
    whenModal<QFileDialog>([&](QFileDialog* dialog) {
        seen = dialog->nameFilters();
        seen << dialog->selectedNameFilter() << dialog->windowTitle();
        seen << QString::number(dialog->fileMode());
        // Typed as a person would; the dialog's folder view fills in later.
        if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
            QTest::keyClicks(name, QStringLiteral("car.dat"));
            QTest::keyClick(name, Qt::Key_Return);
        } else {
            dialog->reject();
        }
    });
    QCOMPARE(dialogs.fileDialog(request), std::optional<std::string>(model.toStdString()));
    QCOMPARE(seen,
             (QStringList{"LDraw Files (*.dat *.ldr *.mpd)", "All Files (*.*)", "All Files (*.*)",
                          "Open Model", QString::number(QFileDialog::ExistingFile)}));

    whenModal<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    QCOMPARE(dialogs.fileDialog(request), std::optional<std::string>());
}

// "Run L3P" with rendering: the click returns at once, and while the run
// waits for L3P and then pauses the window shows a busy pointer.
void GuiTest::runL3PWithRenderingKeepsTheWindowWorking() {
    Session s([](const QString& dir) {
        writeScript(dir + QStringLiteral("/car.dat"));
        writeScript(dir + QStringLiteral("/L3P.exe"), "sleep 1\necho '// scene' > car.pov\n");
    });
    FormView* view = s.view();
    QVERIFY(QTest::qWaitForWindowActive(view));
    BrickpovMain& m = s.main();
    QCOMPARE(m.Cbo_ModelFile.text(), std::string("car.dat"));
    auto* render = widgetOf<QCheckBox>(view, "Chk_Render");
    auto* run = widgetOf<QPushButton>(view, "Btn_RunL3P");
    QVERIFY(render && run);
    QVERIFY(render->isEnabled());
    clickIndicator(render);
    QCOMPARE(m.Chk_Render.value(), 1);

    // The click returns at once; the run goes on on the run window's timer.
    QElapsedTimer clicked;
    clicked.start();
    QTest::mouseClick(run, Qt::LeftButton);
    QVERIFY2(clicked.elapsed() < 500, qPrintable(QString::number(clicked.elapsed())));
    QTest::qWait(300);
    const QCursor* cursor = QApplication::overrideCursor();
    QVERIFY(cursor && cursor->shape() == Qt::BusyCursor);

    // L3P's second of work, then the two-second pause.
    auto& runWindow = s.app().form<BrickpovRun>();
    QTRY_VERIFY_WITH_TIMEOUT(
        runWindow.phase() != RunPhase::Converting && runWindow.phase() != RunPhase::Pausing, 10000);
    QVERIFY2(clicked.elapsed() >= 2900, qPrintable(QString::number(clicked.elapsed())));
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

// Presses "Run L3P" with rendering; returns when POV-Ray has been started.
void runWithRendering(Session& s) {
    if (s.main().Chk_Render.value() == 0)
        clickIndicator(widgetOf<QCheckBox>(s.view(), "Chk_Render"));
    QTest::mouseClick(widgetOf<QPushButton>(s.view(), "Btn_RunL3P"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!runBusy(s.app()), 10000);
}

// The run window: POV-Ray's own progress lines (as recorded from a real
// render) move its bar, Cancel ends POV-Ray and what it started, and the
// next run comes to the same window.
void GuiTest::runWindowShowsProgressCancelsAndIsReused() {
    Session s([](const QString& dir) {
        writeScript(dir + QStringLiteral("/car.dat"));
        writeScript(dir + QStringLiteral("/L3P.exe"), "echo '// scene' > car.pov\n");
        writeScript(dir + QStringLiteral("/povray"),
                    "printf '==== [Rendering...] ====\\n'\n"
                    "printf 'Rendered 1024 of 3072 pixels (33%%)\\rRendered 2048 of 3072 "
                    "pixels (66%%)\\r'\n"
                    "sleep 30 &\necho $! > render.tmp\nmv render.tmp render.pid\nwait\n");
    });
    QVERIFY(QTest::qWaitForWindowActive(s.view()));
    runWithRendering(s);
    auto& run = s.app().form<BrickpovRun>();
    FormView* view = s.windows().viewOf(run);
    QVERIFY(view && view->isVisible() && !view->isModal());
    QCOMPARE(view->windowTitle(), QStringLiteral("car.dat - Run L3P"));
    // Beside the main window, not over it.
    QVERIFY(!view->frameGeometry().intersects(s.view()->frameGeometry()));
    auto* bar = widgetOf<QProgressBar>(view, "Prg_Render");
    auto* output = widgetOf<QPlainTextEdit>(view, "Txt_Output");
    QVERIFY(bar && output);
    QTRY_COMPARE_WITH_TIMEOUT(bar->value(), 66, 5000);
    QVERIFY(output->toPlainText().contains(QStringLiteral("Rendered 2048 of 3072 pixels (66%)")));
    QVERIFY(view->grab().save(QStringLiteral(BRICKPOV_GUI_TEST_OUTPUT "/brickpov-run.png")));

    const QString pidFile = s.programDir() + QStringLiteral("/render.pid");
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(pidFile), 5000);
    const pid_t child = readFile(pidFile).trimmed().toInt();
    QVERIFY(child > 0);
    QTest::mouseClick(widgetOf<QPushButton>(view, "Btn_Cancel"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(run.Lbl_Step.caption(), std::string("Cancelled."), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(::kill(child, 0) != 0, 5000);
    QVERIFY(!widgetOf<QPushButton>(view, "Btn_Cancel")->isEnabled());

    QFile::remove(pidFile);
    s.main().Chk_O.setValue(1); // the scene of the first run is there
    runWithRendering(s);
    QCOMPARE(&s.app().form<BrickpovRun>(), &run);
    QCOMPARE(s.windows().viewOf(run), view);
    int runWindows = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        runWindows += w->isVisible() && w->objectName() == QStringLiteral("BrickpovRun");
    QCOMPARE(runWindows, 1);
    QCOMPARE(run.Lbl_Step.caption(), std::string("Rendering with POV-Ray..."));
    QTRY_COMPARE_WITH_TIMEOUT(bar->value(), 66, 5000);
    QCOMPARE(output->toPlainText().count(QStringLiteral("Rendered 2048")), 1);
    QCOMPARE(s.dialogs().boxes.size(), std::size_t(0));
}

// The picture window: a picture larger than the view is fitted to it and
// shown at 100 % with scroll bars; the frames of an animation come under a
// slider. Compressed Targa pictures are read too.
void GuiTest::pictureWindowFitsZoomsAndShowsFrames() {
    Session s;
    QVERIFY(QTest::qWaitForWindowActive(s.view()));
    const QString dir = s.programDir();
    const QColor colors[] = {Qt::red, Qt::green, Qt::blue};
    std::vector<std::string> frames;
    for (int i = 0; i < 3; ++i) {
        QImage image(1200, 900, QImage::Format_RGB32);
        image.fill(colors[i]);
        const QString path = dir + QStringLiteral("/car%1.png").arg(i + 1);
        QVERIFY(image.save(path));
        frames.push_back(path.toStdString());
    }
    showPictures(s.app(), frames);
    auto& window = s.app().form<BrickpovPicture>();
    FormView* view = s.windows().viewOf(window);
    QVERIFY(view && QTest::qWaitForWindowExposed(view));
    QCOMPARE(view->windowTitle(), QStringLiteral("car1.png (1200 x 900)"));
    auto* area = widgetOf<QScrollArea>(view, "Img_Picture");
    auto* slider = widgetOf<QSlider>(view, "Sld_Frame");
    QVERIFY(area && slider);
    auto* picture = qobject_cast<QLabel*>(area->widget());
    QVERIFY(picture);
    const auto shownColor = [&] { return colorInside(picture); };

    // Fitted: the whole picture in the view, its sides in proportion.
    const QSize room = area->viewport()->size();
    const QSize fitted = picture->pixmap().deviceIndependentSize().toSize();
    QVERIFY(fitted.width() <= room.width() && fitted.height() <= room.height());
    QVERIFY(fitted.width() == room.width() || fitted.height() == room.height());
    QVERIFY(std::abs(fitted.width() * 3 / 4 - fitted.height()) <= 1);
    QCOMPARE(shownColor(), QColor(Qt::red));
    QVERIFY(view->grab().save(QStringLiteral(BRICKPOV_GUI_TEST_OUTPUT "/brickpov-picture.png")));

    QTest::mouseClick(widgetOf<QPushButton>(view, "Btn_Actual"), Qt::LeftButton);
    QCOMPARE(picture->size(), QSize(1200, 900));
    QTRY_VERIFY(area->horizontalScrollBar()->isVisible());
    QTest::mouseClick(widgetOf<QPushButton>(view, "Btn_Fit"), Qt::LeftButton);
    QCOMPARE(picture->pixmap().deviceIndependentSize().toSize(), fitted);

    // Three frames, three stops; moving the slider shows the frame.
    QVERIFY(slider->isVisible());
    QCOMPARE(slider->maximum(), 2);
    slider->setValue(2);
    QCOMPARE(window.current(), frames[2]);
    QCOMPARE(shownColor(), QColor(Qt::blue));
    QCOMPARE(view->windowTitle(), QStringLiteral("car3.png (1200 x 900)"));

    // A run-length encoded Targa picture, as POV-Ray writes "C - Compressed
    // Targa", which Qt's own reader refuses: 4 x 3, all red.
    const QString tga = dir + QStringLiteral("/car.tga");
    QFile file(tga);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("\0\0\x0a\0\0\0\0\0\0\0\0\0\x04\0\x03\0\x18\x20", 18) +
               QByteArray("\x8b\0\0\xff", 4));
    file.close();
    QCOMPARE(s.windows().imageSize(tga.toStdString()),
             (std::optional<std::pair<int, int>>{{4, 3}}));
    showPictures(s.app(), {tga.toStdString()});
    QVERIFY(!slider->isVisible());
    QCOMPARE(view->windowTitle(), QStringLiteral("car.tga (4 x 3)"));
    QCOMPARE(shownColor(), QColor(Qt::red));
}

QTEST_MAIN(GuiTest)
#include "gui_test.moc"
