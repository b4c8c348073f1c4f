#pragma once

#include "core/options/options.h"
#include "core/preview/preview_model.h"
#include "core/ui/form.h"

#include <QPointer>
#include <QTemporaryDir>
#include <QWidget>

#include <atomic>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

class QLabel;
class QProcess;
class QPushButton;
class QSlider;
class QTimer;

namespace bp {
class App;
class BrickpovMain;
} // namespace bp

namespace bp::gui {

class PreviewView;

// Whether this display can give the preview an OpenGL context at all.
bool openGLAvailable();

// The Preview window: the model in 3D, framed as the picture will be, beside
// the main window. It follows the main window's options; models are read on
// a thread of their own, a newer choice cancelling an older one.
class PreviewWindow : public QWidget, public bp::FormObserver {
    Q_OBJECT
  public:
    explicit PreviewWindow(bp::App& app);
    ~PreviewWindow() override;

    // At start-up: opened beside the main window the first time, later as
    // it was left.
    void showAtStart(QWidget* mainWindow);
    void showAndRaise();

    PreviewView* view() const { return m_view; }
    QLabel* status() const { return m_status; }
    QSlider* steps() const { return m_steps; }
    QPushButton* draftButton() const { return m_draft; }
    // Reads the main window's options now and follows them.
    void refresh();
    bool loading() const { return m_loading; }
    const std::optional<preview::ViewPlan>& plan() const { return m_plan; }
    std::shared_ptr<const preview::LoadedModel> model() const { return m_model; }
    bool draftRunning() const { return m_draftRunning; }

    void propertyChanged(bp::Control& control, bp::Property property) override;
    void formChanged(bp::Form&) override {}
    void focusChanged(bp::Form&, bp::Control*) override {}

  signals:
    void modelShown();
    void draftShown();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    struct Job {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> cancelled;
        std::shared_ptr<std::atomic<bool>> done;
    };
    void startLoading(const std::string& path, const std::string& library, bool excludeNonPov);
    void modelLoaded(int generation, std::shared_ptr<preview::LoadedModel> model);
    void replan();
    void showPlan();
    void showStatus(const QString& text);
    void startDraft();
    void cancelDraft();
    void povrayFinished(int generation, const QString& picture);
    void savePlacement(bool open);
    void reapJobs(bool all);
    int pictureWidth() const;
    int pictureHeight() const;
    int shownStep() const;

    bp::App& m_app;
    bp::BrickpovMain& m_main;
    PreviewView* m_view;
    QLabel* m_status;
    QSlider* m_steps;
    QLabel* m_stepText;
    QPushButton* m_draft;
    QTimer* m_poll;
    QTimer* m_placementTimer;

    bp::Options m_options;
    std::optional<bp::Options> m_plannedOptions;
    std::string m_requestedPath, m_requestedLibrary;
    bool m_requestedExclude = false;
    int m_generation = 0;
    bool m_loading = false;
    bool m_refreshQueued = false;
    QString m_modelSummary;
    std::shared_ptr<const preview::LoadedModel> m_model;
    std::optional<preview::ViewPlan> m_plan;
    std::vector<Job> m_jobs;

    int m_draftGeneration = 0;
    bool m_draftRunning = false;
    QPointer<QProcess> m_povray;
    QTemporaryDir m_draftFolder;
    bool m_ending = false;
};

} // namespace bp::gui
