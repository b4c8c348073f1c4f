#include "core/window/app.h"
#include "core/window/brickpov_main.h"
#include "gui/form_view.h"
#include "gui/preview_window.h"
#include "gui/qt_dialogs.h"
#include "gui/qt_programs.h"
#include "gui/qt_window_system.h"
#include "platform/desktop/desktop_platform.h"

#include <QApplication>
#include <QThread>
#include <QWindow>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

// --version and --help (-h) are answered before Qt looks for a display, so that
// they work in a terminal without one. The exit status when answered.
std::optional<int> answerInformationRequest(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::fputs("brickpov " BRICKPOV_VERSION "\n", stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            const auto locations = bp::desktop::Locations::fromEnvironment();
            std::printf(
                "Usage: brickpov [MODEL-FILE]\n"
                "       brickpov render [OPTION]... MODEL...\n"
                "Desktop front-end for L3P and POV-Ray; starts with MODEL-FILE (.ldr, "
                ".mpd, .dat) chosen, when one is given.\n"
                "'brickpov render --help' tells how to render models with no window.\n"
                "\n"
                "  -h, --help     show this help\n"
                "      --version  show the version\n"
                "\n"
                "Files:\n"
                "  %s\n"
                "      the settings: tool folders, lighting schemes, view presets, recent scenes\n"
                "  %sLDraw.ini\n"
                "      the LDraw library folder, as BaseDirectory in section [LDraw]\n"
                "Environment:\n"
                "  LDRAWDIR         the LDraw library folder when LDraw.ini names none\n"
                "  XDG_CONFIG_HOME  the folder of both files (default: ~/.config)\n",
                locations.settingsFile().c_str(), locations.configHome.c_str());
            return 0;
        }
    }
    return std::nullopt;
}

// BRICKPOV_QUIT_WHEN_SHOWN=1 ends the program as soon as the main window is
// first on the screen: start-up timing, and a smoke test of the real binary.
class QuitWhenShown : public QObject {
  public:
    QuitWhenShown(bp::gui::QtWindowSystem& windows, bp::Form& main)
        : m_windows(windows), m_main(main) {}
    bool shown() const { return m_shown; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!m_shown && event->type() == QEvent::Expose) {
            const bp::gui::FormView* view = m_windows.viewOf(m_main);
            if (view && watched == view->windowHandle() && view->windowHandle()->isExposed()) {
                m_shown = true;
                // Before the event loop runs, main() sees shown() instead.
                if (QThread::currentThread()->loopLevel() > 0)
                    QCoreApplication::exit(0);
            }
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    bp::gui::QtWindowSystem& m_windows;
    bp::Form& m_main;
    bool m_shown = false;
};

} // namespace

int main(int argc, char* argv[]) {
    // A batch needs no display: it is answered before Qt is started.
    if (argc > 1 && std::strcmp(argv[1], "render") == 0)
        return bp::desktop::runRenderCommand(std::vector<std::string>(argv + 2, argv + argc));
    if (const auto answered = answerInformationRequest(argc, argv))
        return *answered;

    QApplication qapp(argc, argv); // takes Qt's own options out of argv
    QApplication::setApplicationName(QStringLiteral("Brickpov"));
    QApplication::setApplicationVersion(QStringLiteral(BRICKPOV_VERSION));
    // The program ends when the main form says so, not when a window closes.
    QApplication::setQuitOnLastWindowClosed(false);

    const auto locations = bp::desktop::Locations::fromEnvironment();
    bp::desktop::FileSettingsStore settings(locations.settingsFile());
    bp::desktop::IniProfileFile profile(locations.configHome);
    bp::gui::QtPrograms programs;
    bp::desktop::PosixFileSystem files(locations.programDir);
    bp::gui::QtWindowSystem windows;
    bp::gui::QtDialogs dialogs(windows);
    bp::Platform platform{dialogs, settings, profile, programs, files, windows};

    int result = 0;
    {
        bp::App app(platform);
        windows.setMainForm(app.main());
        const char* quitWhenShown = std::getenv("BRICKPOV_QUIT_WHEN_SHOWN");
        std::optional<QuitWhenShown> quitter;
        if (quitWhenShown && std::strcmp(quitWhenShown, "1") == 0) {
            quitter.emplace(windows, app.main());
            qapp.installEventFilter(&*quitter);
        }
        app.start(argc > 1 ? argv[1] : "");
        std::unique_ptr<bp::gui::PreviewWindow> preview;
        if (!app.ended() && bp::gui::openGLAvailable()) {
            preview = std::make_unique<bp::gui::PreviewWindow>(app);
            windows.setPreviewOpener([&preview] { preview->showAndRaise(); });
            preview->showAtStart(windows.viewOf(app.main()));
        } else if (!app.ended()) {
            windows.setPreviewOpener([&platform] {
                bp::MessageBoxRequest box;
                box.title = "Preview";
                box.text = "The preview draws with OpenGL, which this display does not offer.";
                box.icon = bp::MsgIcon::Exclamation;
                platform.dialogs.messageBox(box);
            });
        }
        if (!app.ended() && !(quitter && quitter->shown()))
            result = QApplication::exec();
        windows.setPreviewOpener({});
        preview.reset();
        windows.releaseViews();
    }
    return result;
}
