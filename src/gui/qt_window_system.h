#pragma once

#include "core/platform/platform.h"

#include <QPointer>

#include <functional>
#include <map>
#include <vector>

class QEventLoop;
class QTimer;
class QWidget;

namespace bp::gui {

class FormView;

// The window system on Qt: a FormView per shown form, modal forms in an
// event loop of their own, timers as repeating QTimers.
class QtWindowSystem : public bp::WindowSystem {
  public:
    QtWindowSystem();
    ~QtWindowSystem() override;
    QtWindowSystem(const QtWindowSystem&) = delete;
    QtWindowSystem& operator=(const QtWindowSystem&) = delete;

    // The main window owns every other window. Without this call the first
    // form shown is taken as the main window.
    void setMainForm(bp::Form& form) { m_main = &form; }

    // The view of a form that has been shown and not unloaded, else null.
    FormView* viewOf(const bp::Form& form) const;
    // The window a message box or common dialog belongs to.
    QWidget* dialogParent() const;
    // Deletes every view while their forms still exist: call it before the
    // forms go away.
    void releaseViews();

    void showForm(bp::Form& form, bool modal) override;
    void hideForm(bp::Form& form) override;
    void formUnloaded(bp::Form& form) override;
    int startTimer(int ms, std::function<void()> tick) override;
    void stopTimer(int id) override;
    int screenWidth() override;
    int screenHeight() override;
    void setBusy(bool busy) override;
    void quit() override;
    void handlerFailed(const std::string& where, const std::string& what) override;
    std::optional<std::pair<int, int>> imageSize(const std::string& path) override;
    bool copyImage(const std::string& path) override;
    void showPreview() override;
    // What the View menu's Preview entry opens.
    void setPreviewOpener(std::function<void()> open) { m_openPreview = std::move(open); }

  private:
    FormView* viewFor(bp::Form& form);
    void endModalLoops(const bp::Form& form);
    void hideView(FormView* view);

    std::map<const bp::Form*, QPointer<FormView>> m_views;
    std::map<const bp::Form*, std::vector<QEventLoop*>> m_modalLoops;
    std::map<int, QTimer*> m_timers;
    std::vector<QTimer*> m_firing; // timers whose tick is running
    int m_nextTimer = 1;
    bool m_busy = false;
    bp::Form* m_main = nullptr;
    QPointer<FormView> m_lastActive;
    std::function<void()> m_openPreview;
};

} // namespace bp::gui
