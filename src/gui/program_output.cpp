#include "gui/program_output.h"

#include "gui/qt_convert.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QSocketNotifier>
#include <QStyle>
#include <QTextCursor>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace bp::gui {

namespace {
// Enough for any L3P or POV-Ray run; a program that writes without end
// loses its oldest lines rather than the memory.
constexpr int kKeptLines = 20000;
// Catches what no descriptor announces, such as an end on a kernel
// without process descriptors.
constexpr int kFallbackMs = 500;
} // namespace

ProgramOutputWindow::ProgramOutputWindow(const QString& title)
    : QWidget(nullptr, Qt::Window), m_text(new QPlainTextEdit(this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    // The person goes on working in the main window while the program runs.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_text);
    m_text->setReadOnly(true);
    m_text->setMaximumBlockCount(kKeptLines);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    // A console's 80 columns by 25 lines, as far as the screen allows.
    const QFontMetricsF metrics(m_text->font());
    const int margins = 2 * m_text->frameWidth() +
                        2 * static_cast<int>(std::ceil(m_text->document()->documentMargin()));
    const int scrollBar = m_text->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_text);
    QSize size(static_cast<int>(std::ceil(80 * metrics.horizontalAdvance(QLatin1Char('M')))) +
                   margins + scrollBar + 2,
               static_cast<int>(std::ceil(25 * metrics.lineSpacing())) + margins);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
    resize(size);

    // The view follows the end of the output unless the person scrolls away.
    QScrollBar* bar = m_text->verticalScrollBar();
    connect(bar, &QScrollBar::valueChanged, this,
            [this, bar](int value) { m_following = value == bar->maximum(); });
    connect(bar, &QScrollBar::rangeChanged, this, [this, bar](int, int maximum) {
        if (m_following)
            bar->setValue(maximum);
    });
}

void ProgramOutputWindow::replaceLastLine(const QString& text) {
    // A cursor of its own, so that the person's selection stays.
    QTextCursor cursor(m_text->document());
    cursor.movePosition(QTextCursor::End);
    cursor.movePosition(QTextCursor::StartOfBlock, QTextCursor::KeepAnchor);
    cursor.insertText(text);
}

QString exitStatusLine(int exitStatus) {
    if (exitStatus < 0)
        return QStringLiteral("[ended; exit status unknown]");
    return QStringLiteral("[exited with status %1]").arg(exitStatus);
}

ProgramOutputWindows::ProgramOutputWindows(bp::desktop::PosixPrograms& programs)
    : m_programs(programs) {
    m_fallback.setInterval(kFallbackMs);
    QObject::connect(&m_fallback, &QTimer::timeout, &m_fallback, [this] { poll(); });
    m_programs.setOutputListener(this);
}

ProgramOutputWindows::~ProgramOutputWindows() {
    m_programs.setOutputListener(nullptr);
    for (auto& [fd, notifier] : m_notifiers)
        delete notifier;
    for (auto& notifier : m_retired)
        delete notifier.data();
    for (auto& window : m_windows)
        delete window.data();
}

std::vector<ProgramOutputWindow*> ProgramOutputWindows::windows() const {
    std::vector<ProgramOutputWindow*> open;
    for (const auto& window : m_windows)
        if (window)
            open.push_back(window);
    return open;
}

void ProgramOutputWindows::programStarted(int id, const std::string& title) {
    auto* window = new ProgramOutputWindow(toQt(title));
    std::erase_if(m_windows, [](const auto& w) { return !w; });
    m_windows.emplace_back(window);
    m_running[id].window = window;
    window->show();
    watchDescriptors();
}

void ProgramOutputWindows::programOutput(int id, std::string_view text) {
    auto it = m_running.find(id);
    if (it == m_running.end())
        return;
    const ConsoleText::Update update = it->second.text.append(text);
    if (it->second.window)
        it->second.window->replaceLastLine(update.replacement());
}

void ProgramOutputWindows::programFinished(int id, int exitStatus) {
    auto it = m_running.find(id);
    if (it == m_running.end())
        return;
    // The window stays until the person closes it.
    const ConsoleText::Update update = it->second.text.finish(exitStatusLine(exitStatus));
    if (it->second.window)
        it->second.window->replaceLastLine(update.replacement());
    m_running.erase(it);
}

void ProgramOutputWindows::poll() {
    m_programs.poll();
    watchDescriptors();
}

void ProgramOutputWindows::watchDescriptors() {
    const std::vector<int> fds = m_programs.outputFds();
    std::erase_if(m_retired, [](const auto& n) { return !n; });
    for (auto it = m_notifiers.begin(); it != m_notifiers.end();) {
        if (std::find(fds.begin(), fds.end(), it->first) != fds.end()) {
            ++it;
            continue;
        }
        // It may be the one whose signal is being handled.
        it->second->setEnabled(false);
        it->second->deleteLater();
        m_retired.emplace_back(it->second);
        it = m_notifiers.erase(it);
    }
    for (int fd : fds) {
        if (m_notifiers.count(fd))
            continue;
        auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read);
        QObject::connect(notifier, &QSocketNotifier::activated, notifier, [this] { poll(); });
        m_notifiers[fd] = notifier;
    }
    if (fds.empty())
        m_fallback.stop();
    else if (!m_fallback.isActive())
        m_fallback.start();
}

} // namespace bp::gui
