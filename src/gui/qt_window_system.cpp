#include "gui/qt_window_system.h"

#include "gui/form_view.h"
#include "gui/pictures.h"
#include "gui/qt_convert.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QThread>
#include <QTimer>

#include <algorithm>

namespace bp::gui {

QtWindowSystem::QtWindowSystem() = default;

QtWindowSystem::~QtWindowSystem() {
    // The forms are gone by now (the App, which holds them, needs the window
    // system to outlive it), so the views must not touch them.
    for (auto& [form, view] : m_views) {
        if (view) {
            view->forgetForm();
            delete view.data();
        }
    }
    for (auto& [id, timer] : m_timers)
        delete timer;
    if (m_busy)
        QApplication::restoreOverrideCursor();
}

FormView* QtWindowSystem::viewOf(const bp::Form& form) const {
    auto it = m_views.find(&form);
    return it == m_views.end() ? nullptr : it->second.data();
}

QWidget* QtWindowSystem::dialogParent() const {
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    if (QWidget* active = QApplication::activeWindow())
        return active;
    return m_main ? viewOf(*m_main) : nullptr;
}

void QtWindowSystem::releaseViews() {
    std::vector<QPointer<FormView>> views;
    for (auto& [form, view] : m_views)
        views.push_back(view);
    m_views.clear();
    for (auto& view : views) {
        if (view) {
            view->detach();
            delete view.data();
        }
    }
}

FormView* QtWindowSystem::viewFor(bp::Form& form) {
    if (FormView* view = viewOf(form))
        return view;
    if (!m_main)
        m_main = &form;
    QWidget* owner = &form == m_main ? nullptr : viewOf(*m_main);
    auto* view = new FormView(form, owner, m_lastActive);
    m_views[&form] = view;
    return view;
}

void QtWindowSystem::showForm(bp::Form& form, bool modal) {
    FormView* view = viewFor(form);
    const Qt::WindowModality modality = modal ? Qt::ApplicationModal : Qt::NonModal;
    if (view->windowModality() != modality) {
        // Qt takes a new modality only while the window is hidden.
        view->hide();
        view->setWindowModality(modality);
    }
    view->placeAtFormPosition();
    view->show();
    view->raise();
    view->activateWindow();
    form.setVisibleState(true);
    if (!modal || !view->isVisible())
        return;
    QEventLoop loop;
    auto& loops = m_modalLoops[&form];
    loops.push_back(&loop);
    loop.exec(QEventLoop::DialogExec);
    auto& after = m_modalLoops[&form];
    after.erase(std::remove(after.begin(), after.end(), &loop), after.end());
}

void QtWindowSystem::endModalLoops(const bp::Form& form) {
    auto it = m_modalLoops.find(&form);
    if (it == m_modalLoops.end())
        return;
    for (QEventLoop* loop : it->second)
        loop->exit(0);
}

void QtWindowSystem::hideForm(bp::Form& form) {
    if (FormView* view = viewOf(form))
        hideView(view);
    form.setVisibleState(false);
    endModalLoops(form);
}

// A window that goes away hands the activation back to its owner; not every
// window manager does it, and without one nothing would.
void QtWindowSystem::hideView(FormView* view) {
    const bool wasActive = view->isActiveWindow();
    view->hide();
    if (wasActive && view->parentWidget())
        view->parentWidget()->window()->activateWindow();
}

void QtWindowSystem::formUnloaded(bp::Form& form) {
    endModalLoops(form);
    auto it = m_views.find(&form);
    if (it == m_views.end())
        return;
    QPointer<FormView> view = it->second;
    m_views.erase(it);
    if (!view)
        return;
    view->detach();
    hideView(view);
    // The unload may come from one of the view's own widgets.
    view->deleteLater();
}

int QtWindowSystem::startTimer(int ms, std::function<void()> tick) {
    auto* timer = new QTimer;
    timer->setInterval(ms);
    const int id = m_nextTimer++;
    QObject::connect(timer, &QTimer::timeout, timer, [this, timer, tick = std::move(tick)] {
        m_firing.push_back(timer);
        tick();
        if (auto f = std::find(m_firing.begin(), m_firing.end(), timer); f != m_firing.end())
            m_firing.erase(f);
    });
    m_timers[id] = timer;
    timer->start();
    return id;
}

void QtWindowSystem::stopTimer(int id) {
    auto it = m_timers.find(id);
    if (it == m_timers.end())
        return;
    QTimer* timer = it->second;
    m_timers.erase(it);
    timer->stop();
    // A timer that stops itself from its own tick goes once the tick is over.
    if (std::find(m_firing.begin(), m_firing.end(), timer) != m_firing.end())
        timer->deleteLater();
    else
        delete timer;
}

int QtWindowSystem::screenWidth() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? Twips::forScreen(screen).toTwips(screen->geometry().width()) : 0;
}

int QtWindowSystem::screenHeight() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? Twips::forScreen(screen).toTwips(screen->geometry().height()) : 0;
}

void QtWindowSystem::setBusy(bool busy) {
    if (busy == m_busy)
        return;
    m_busy = busy;
    if (busy)
        QApplication::setOverrideCursor(QCursor(Qt::BusyCursor));
    else
        QApplication::restoreOverrideCursor();
}

void QtWindowSystem::handlerFailed(const std::string& where, const std::string& what) {
    qWarning("%s failed: %s", where.c_str(), what.c_str());
}

void QtWindowSystem::quit() {
    // exit() rather than quit(): Qt 6's quit() first asks every window to
    // close, and the windows leave closing to the forms. Without a running
    // loop there is nothing to leave, and exit() would make every later loop
    // return at once; the caller of App::start() sees App::ended() instead.
    if (QThread::currentThread()->loopLevel() > 0)
        QCoreApplication::exit(0);
}

std::optional<std::pair<int, int>> QtWindowSystem::imageSize(const std::string& path) {
    const QImage image = readPicture(toQt(path));
    if (image.isNull())
        return std::nullopt;
    return std::pair{image.width(), image.height()};
}

bool QtWindowSystem::copyImage(const std::string& path) {
    const QImage image = readPicture(toQt(path));
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (image.isNull() || !clipboard)
        return false;
    clipboard->setImage(image);
    return true;
}

void QtWindowSystem::showPreview() {
    if (m_openPreview)
        m_openPreview();
}

} // namespace bp::gui
