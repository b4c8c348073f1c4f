#pragma once

#include "gui/console_text.h"
#include "platform/desktop/desktop_platform.h"

#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>

#include <map>
#include <string>
#include <string_view>
#include <vector>

class QPlainTextEdit;

namespace bp::gui {

// The console of one started program: its output in a monospace font, read
// only, under the program's path as the title.
class ProgramOutputWindow : public QWidget {
  public:
    explicit ProgramOutputWindow(const QString& title);

    QPlainTextEdit* textView() const { return m_text; }
    // Replaces the last line with the text, which may hold "\n".
    void replaceLastLine(const QString& text);

  private:
    QPlainTextEdit* m_text;
    bool m_following = true;
};

// Opens an output window for every program the platform starts with its
// output captured, and keeps it up to date. The platform is polled whenever
// one of its descriptors is readable, and on a slow timer as well.
class ProgramOutputWindows : public bp::desktop::ProgramOutputListener {
  public:
    explicit ProgramOutputWindows(bp::desktop::PosixPrograms& programs);
    ~ProgramOutputWindows() override;
    ProgramOutputWindows(const ProgramOutputWindows&) = delete;
    ProgramOutputWindows& operator=(const ProgramOutputWindows&) = delete;

    // The windows the person has not closed yet, oldest first.
    std::vector<ProgramOutputWindow*> windows() const;

    void programStarted(int id, const std::string& title) override;
    void programOutput(int id, std::string_view text) override;
    void programFinished(int id, int exitStatus) override;

  private:
    struct Running {
        QPointer<ProgramOutputWindow> window;
        ConsoleText text;
    };

    void poll();
    // Watches the platform's descriptors as they now are.
    void watchDescriptors();

    bp::desktop::PosixPrograms& m_programs;
    std::map<int, Running> m_running; // by the platform's id of the start
    std::vector<QPointer<ProgramOutputWindow>> m_windows;
    std::map<int, QSocketNotifier*> m_notifiers;      // by descriptor
    std::vector<QPointer<QSocketNotifier>> m_retired; // to be deleted by the event loop
    QTimer m_fallback;
};

// The line that closes a program's output.
QString exitStatusLine(int exitStatus);

} // namespace bp::gui
