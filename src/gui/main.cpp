#include "core/app/app.h"
#include "core/app/brickpov_main.h"
#include "gui/qt_dialogs.h"
#include "gui/qt_window_system.h"
#include "platform/desktop/desktop_platform.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication qapp(argc, argv); // takes Qt's own options out of argv
    QApplication::setApplicationName(QStringLiteral("Brickpov"));
    // The program ends when the main form says so, not when a window closes.
    QApplication::setQuitOnLastWindowClosed(false);

    const auto locations = bp::desktop::Locations::fromEnvironment();
    bp::desktop::FileSettingsStore settings(locations.settingsFile());
    bp::desktop::IniProfileFile profile(locations.configHome);
    bp::desktop::PosixPrograms programs;
    bp::desktop::PosixFileSystem files(locations.programDir);
    bp::gui::QtWindowSystem windows;
    bp::gui::QtDialogs dialogs(windows);
    bp::Platform platform{dialogs, settings, profile, programs, files, windows};

    int result = 0;
    {
        bp::App app(platform);
        windows.setMainForm(app.main());
        app.start(argc > 1 ? argv[1] : "");
        if (!app.ended())
            result = QApplication::exec();
        windows.releaseViews();
    }
    return result;
}
