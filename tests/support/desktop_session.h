#pragma once

// The real program on the desktop platform and the Qt window system, with a
// settings folder and a program folder of its own: L3P, LEdit and a POV-Ray
// are where it looks and LGEO is known to be absent, so that start-up asks
// nothing while the window is driven.

#include "core/window/app.h"
#include "core/window/brickpov_main.h"
#include "gui/form_view.h"
#include "gui/qt_window_system.h"
#include "platform/desktop/desktop_platform.h"

#include <QFile>
#include <QTemporaryDir>

#include <functional>
#include <memory>

namespace bp::test {

// Message boxes are kept, so that a test can name them, and answered with OK.
class RecordingDialogs : public Dialogs {
  public:
    std::vector<MessageBoxRequest> boxes;
    MsgAnswer messageBox(const MessageBoxRequest& request) override {
        boxes.push_back(request);
        return MsgAnswer::OK;
    }
    std::optional<std::string> fileDialog(const FileDialogRequest&) override {
        return std::nullopt;
    }
    std::optional<Rgb> colorDialog(Rgb) override { return std::nullopt; }
};

// Also the stand-in for a model or a tool that need only be there.
inline void writeScript(const QString& path, const QByteArray& body = {}) {
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write("#!/bin/sh\n" + body);
    file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
}

class DesktopSession {
  public:
    // prepare runs on the program's folder before the program starts with
    // model; library is the LDraw folder (empty: the program's folder) and
    // povray the program's POV-Ray (empty: the stand-in in its folder).
    explicit DesktopSession(const std::function<void(const QString& programDir)>& prepare = {},
                            const std::string& model = "", const std::string& library = "",
                            const std::string& povray = "")
        : m_configHome(m_config.path().toStdString()),
          m_programDir(m_program.path().toStdString() + "/"),
          m_settings(m_configHome + "/Brickpov/settings.ini"), m_profile(m_configHome),
          m_programs(povray.empty() ? m_programDir + "povray" : povray),
          m_files(m_programDir), m_platform{m_dialogs,  m_settings, m_profile,
                                            m_programs, m_files,    m_windows} {
        for (const char* name : {"L3P.exe", "LEdit.exe", "povray"})
            writeScript(m_program.filePath(QString::fromLatin1(name)));
        m_settings.save("Brickpov", "Paths", "LDrawPath",
                        library.empty() ? m_programDir : library + "/");
        m_settings.save("Brickpov", "Paths", "LGEOPath", "Not Installed");
        if (prepare)
            prepare(m_program.path());
        m_app = std::make_unique<App>(m_platform);
        m_windows.setMainForm(m_app->main());
        m_app->start(model);
    }
    ~DesktopSession() {
        m_windows.releaseViews();
        m_app.reset();
    }

    App& app() { return *m_app; }
    BrickpovMain& main() { return m_app->main(); }
    gui::QtWindowSystem& windows() { return m_windows; }
    RecordingDialogs& dialogs() { return m_dialogs; }
    gui::FormView* view() { return m_windows.viewOf(main()); }
    QString programDir() const { return m_program.path(); }

  private:
    QTemporaryDir m_config, m_program;
    std::string m_configHome, m_programDir;
    desktop::FileSettingsStore m_settings;
    desktop::IniProfileFile m_profile;
    desktop::PosixPrograms m_programs;
    desktop::PosixFileSystem m_files;
    gui::QtWindowSystem m_windows;
    RecordingDialogs m_dialogs;
    Platform m_platform;
    std::unique_ptr<App> m_app;
};

} // namespace bp::test
