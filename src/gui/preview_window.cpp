#include "gui/preview_window.h"

#include "converter/convert.h"
#include "core/common/numbers.h"
#include "core/preview/draft.h"
#include "core/preview/preview_camera.h"
#include "core/window/app.h"
#include "core/window/brickpov_main.h"
#include "core/window/settings.h"
#include "gui/preview_view.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QOpenGLContext>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

#include <sstream>

namespace bp::gui {

namespace {

std::string withSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder;
}

} // namespace

bool openGLAvailable() {
    QOpenGLContext probe;
    return probe.create();
}

PreviewWindow::PreviewWindow(bp::App& app)
    : QWidget(nullptr, Qt::Window), m_app(app), m_main(app.main()), m_view(new PreviewView(this)),
      m_status(new QLabel(this)), m_steps(new QSlider(Qt::Horizontal, this)),
      m_stepText(new QLabel(this)), m_draft(new QPushButton(tr("Draft Render"), this)),
      m_poll(new QTimer(this)), m_placementTimer(new QTimer(this)) {
    setWindowTitle(tr("Preview"));
    setObjectName("BrickpovPreview");
    m_status->setWordWrap(true);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_draft->setToolTip(tr("Render a small picture of the current switches at this size"));
    m_steps->setToolTip(tr("Show the model up to this step, as -sc builds it"));
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_stepText);
    bottom->addWidget(m_steps, 1);
    bottom->addWidget(m_draft);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_view, 1);
    layout->addLayout(bottom);
    layout->addWidget(m_status);
    m_steps->setEnabled(false);

    connect(m_view, &PreviewView::orbitDragged, this, [this](double dx, double dy, double h) {
        if (m_plan)
            previewOrbit(m_main, *m_plan, dx, dy, h);
    });
    connect(m_view, &PreviewView::panDragged, this, [this](double dx, double dy, double h) {
        if (m_plan)
            previewPan(m_main, *m_plan, dx, dy, h);
    });
    connect(m_view, &PreviewView::wheelTurned, this, [this](double notches) {
        if (m_plan)
            previewZoom(m_main, *m_plan, notches);
    });
    connect(m_view, &PreviewView::fitAsked, this, [this] {
        if (m_plan)
            previewFit(m_main, *m_plan);
    });
    connect(m_steps, &QSlider::valueChanged, this, [this] {
        cancelDraft();
        showPlan();
    });
    connect(m_draft, &QPushButton::clicked, this, &PreviewWindow::startDraft);
    // The render size and the folders change without a new command line.
    connect(m_poll, &QTimer::timeout, this, &PreviewWindow::refresh);
    m_poll->start(300);
    m_placementTimer->setSingleShot(true);
    connect(m_placementTimer, &QTimer::timeout, this, [this] { savePlacement(isVisible()); });
    m_main.addObserver(this);
}

PreviewWindow::~PreviewWindow() {
    m_ending = true;
    m_main.removeObserver(this);
    cancelDraft();
    reapJobs(true);
}

void PreviewWindow::propertyChanged(bp::Control& control, bp::Property property) {
    // A new command line means new switches; the work waits for the event
    // loop, so that a keystroke costs nothing more.
    if (property != bp::Property::Text || &control != &m_main.Txt_CommandLine || m_refreshQueued)
        return;
    m_refreshQueued = true;
    QTimer::singleShot(0, this, [this] {
        m_refreshQueued = false;
        refresh();
    });
}

void PreviewWindow::showAtStart(QWidget* mainWindow) {
    const auto stored =
        parsePreviewPlacement(readSetting(m_app.platform().settings, setting::kPreviewPlace));
    if (stored) {
        resize(stored->width, stored->height);
        move(stored->left, stored->top);
        if (stored->open)
            show();
        refresh();
        return;
    }
    // The first start: beside the main window, where the screen has room.
    QRect place(0, 0, 640, 560);
    const QScreen* screen = mainWindow ? mainWindow->screen() : QGuiApplication::primaryScreen();
    const QRect room = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 1024);
    if (mainWindow)
        place.moveTopLeft(
            {mainWindow->frameGeometry().right() + 8, mainWindow->frameGeometry().top()});
    if (place.right() > room.right()) {
        place.setWidth(std::max(320, room.right() - place.left()));
        if (place.right() > room.right())
            place.moveRight(room.right());
    }
    resize(place.size());
    move(place.topLeft());
    show();
    refresh();
    savePlacement(true);
}

void PreviewWindow::showAndRaise() {
    show();
    raise();
    activateWindow();
    refresh();
    savePlacement(true);
}

void PreviewWindow::refresh() {
    if (m_ending)
        return;
    m_options = m_main.options();
    const std::string path = m_options.modelFile.empty()
                                 ? std::string()
                                 : withSlash(m_options.modelPath) + m_options.modelFile;
    const std::string library = withSlash(m_options.ldrawPath);
    const bool exclude = ticked(m_options.ticks[bp::switches::Id::ExcludeNonPov]);
    if (path != m_requestedPath || library != m_requestedLibrary || exclude != m_requestedExclude)
        startLoading(path, library, exclude);
    if (m_plannedOptions && *m_plannedOptions == m_options)
        return;
    m_plannedOptions = m_options;
    cancelDraft();
    m_view->setOverlay({});
    replan();
}

void PreviewWindow::startLoading(const std::string& path, const std::string& library,
                                 bool excludeNonPov) {
    for (Job& j : m_jobs)
        j.cancelled->store(true);
    reapJobs(false);
    m_requestedPath = path;
    m_requestedLibrary = library;
    m_requestedExclude = excludeNonPov;
    const int generation = ++m_generation;
    m_model.reset();
    m_plan.reset();
    m_view->setModel(nullptr);
    m_view->clearPlan();
    m_steps->setEnabled(false);
    if (path.empty()) {
        m_loading = false;
        showStatus(tr("No model is chosen."));
        return;
    }
    m_loading = true;
    showStatus(tr("Loading %1…").arg(QString::fromStdString(path)));
    Job job{
        {}, std::make_shared<std::atomic<bool>>(false), std::make_shared<std::atomic<bool>>(false)};
    const preview::LoadRequest request{path, library, excludeNonPov};
    job.thread =
        std::thread([this, request, generation, cancelled = job.cancelled, done = job.done] {
            const auto progress = [this, generation](const std::string& text) {
                QMetaObject::invokeMethod(
                    this,
                    [this, generation, text] {
                        if (generation == m_generation)
                            showStatus(QString::fromStdString(text));
                    },
                    Qt::QueuedConnection);
            };
            auto model = preview::loadModel(request, *cancelled, progress);
            if (!*cancelled)
                QMetaObject::invokeMethod(
                    this, [this, generation, model] { modelLoaded(generation, model); },
                    Qt::QueuedConnection);
            done->store(true);
        });
    m_jobs.push_back(std::move(job));
}

void PreviewWindow::modelLoaded(int generation, std::shared_ptr<preview::LoadedModel> model) {
    reapJobs(false);
    if (generation != m_generation || !model)
        return;
    m_loading = false;
    m_model = model;
    m_view->setModel(m_model);
    m_steps->blockSignals(true);
    m_steps->setRange(0, model->lastStep);
    m_steps->setValue(model->lastStep);
    m_steps->setEnabled(model->lastStep > 0);
    m_steps->blockSignals(false);
    if (!model->usable()) {
        m_modelSummary = QString::fromStdString(model->problem);
    } else {
        const auto parts = model->built.meshes.empty() ? 0 : model->built.meshes.back().partCount;
        m_modelSummary = (parts == 1 ? tr("1 part") : tr("%1 parts").arg(parts)) +
                         tr(", %1 meshes.").arg(model->meshes.size());
        for (const std::string& w : model->warnings)
            m_modelSummary += " " + QString::fromStdString(w);
    }
    m_plannedOptions.reset();
    replan();
    emit modelShown();
}

void PreviewWindow::replan() {
    if (!m_model) {
        m_plan.reset();
        m_view->clearPlan();
        return;
    }
    if (!m_model->usable()) {
        m_plan.reset();
        m_view->clearPlan();
        showStatus(m_modelSummary);
        return;
    }
    std::string error;
    const conv::Options options = preview::converterOptions(m_options, error);
    if (!error.empty()) {
        showStatus(
            tr("The converter would refuse these switches: %1").arg(QString::fromStdString(error)));
        return;
    }
    m_plan =
        preview::planView(*m_model, options, static_cast<double>(pictureWidth()) / pictureHeight());
    showStatus(m_modelSummary);
    showPlan();
}

void PreviewWindow::showPlan() {
    const int step = shownStep();
    if (m_model && m_model->lastStep > 0)
        m_stepText->setText(step >= m_model->lastStep
                                ? tr("All steps")
                                : tr("Step %1 of %2").arg(step).arg(m_model->lastStep));
    else
        m_stepText->clear();
    if (m_plan)
        m_view->setPlan(*m_plan, pictureWidth(), pictureHeight(), step);
}

int PreviewWindow::shownStep() const {
    return m_steps->isEnabled() ? m_steps->value() : (m_model ? m_model->lastStep : 0);
}

int PreviewWindow::pictureWidth() const {
    const double w = leadingNumber(m_options.renderSettings.width);
    return w >= 1 ? static_cast<int>(w) : 640;
}

int PreviewWindow::pictureHeight() const {
    const double h = leadingNumber(m_options.renderSettings.height);
    return h >= 1 ? static_cast<int>(h) : 480;
}

void PreviewWindow::showStatus(const QString& text) {
    m_status->setText(text);
}

void PreviewWindow::startDraft() {
    if (!m_model || !m_model->usable() || !m_draftFolder.isValid())
        return;
    cancelDraft();
    const int generation = ++m_draftGeneration;
    m_draftRunning = true;
    const QRect frame = m_view->frame();
    const int width = std::max(frame.width(), 16), height = std::max(frame.height(), 12);
    const std::string pov = m_draftFolder.filePath("draft.pov").toStdString();
    const QString picture = m_draftFolder.filePath(QString("draft%1.png").arg(generation));
    const std::vector<std::string> converterArgs =
        draftConverterArguments(m_options, m_requestedPath, pov);
    const std::vector<std::string> povrayArgs =
        draftPovrayArguments(m_options, pov, picture.toStdString(), width, height, shownStep());
    conv::Environment env;
    env.vars["LDRAWDIR"] = m_requestedLibrary;
    env.currentFolder = withSlash(m_options.modelPath);
    std::string program = m_main.PovRayProgram.empty() ? "povray" : m_main.PovRayProgram;
    showStatus(tr("Draft: converting…"));
    Job job{
        {}, std::make_shared<std::atomic<bool>>(false), std::make_shared<std::atomic<bool>>(false)};
    job.thread = std::thread([this, generation, converterArgs, env, povrayArgs, program, picture,
                              done = job.done] {
        std::ostringstream out, err;
        const int status = conv::runConverter(converterArgs, env, out, err);
        const std::string message = err.str();
        QMetaObject::invokeMethod(
            this,
            [this, generation, status, message, povrayArgs, program, picture] {
                if (generation != m_draftGeneration)
                    return;
                if (status != conv::kConverted && status != conv::kWithWarnings) {
                    m_draftRunning = false;
                    showStatus(tr("Draft: the converter failed: %1")
                                   .arg(QString::fromStdString(message).trimmed()));
                    return;
                }
                showStatus(tr("Draft: rendering…"));
                auto* process = new QProcess(this);
                m_povray = process;
                process->setWorkingDirectory(m_draftFolder.path());
                QStringList args;
                for (const std::string& a : povrayArgs)
                    args << QString::fromStdString(a);
                connect(process, &QProcess::finished, this,
                        [this, process, generation, picture](int code, QProcess::ExitStatus how) {
                            process->deleteLater();
                            if (generation != m_draftGeneration)
                                return;
                            if (how != QProcess::NormalExit || code != 0) {
                                m_draftRunning = false;
                                showStatus(
                                    tr("Draft: POV-Ray failed: %1")
                                        .arg(QString::fromLocal8Bit(process->readAllStandardError())
                                                 .trimmed()
                                                 .right(300)));
                                return;
                            }
                            povrayFinished(generation, picture);
                        });
                connect(process, &QProcess::errorOccurred, this,
                        [this, process, generation](QProcess::ProcessError e) {
                            if (e != QProcess::FailedToStart || generation != m_draftGeneration)
                                return;
                            m_draftRunning = false;
                            showStatus(tr("Draft: POV-Ray could not be started: %1")
                                           .arg(process->errorString()));
                            process->deleteLater();
                        });
                process->start(QString::fromStdString(program), args);
            },
            Qt::QueuedConnection);
        done->store(true);
    });
    m_jobs.push_back(std::move(job));
}

void PreviewWindow::povrayFinished(int generation, const QString& picture) {
    m_draftRunning = false;
    const QImage image(picture);
    if (generation != m_draftGeneration)
        return;
    if (image.isNull()) {
        showStatus(tr("Draft: the picture could not be read."));
        return;
    }
    m_view->setOverlay(image);
    showStatus(tr("Draft render shown until the next change."));
    emit draftShown();
}

void PreviewWindow::cancelDraft() {
    ++m_draftGeneration;
    m_draftRunning = false;
    if (m_povray) {
        m_povray->disconnect(this);
        m_povray->kill();
        m_povray->waitForFinished(2000);
        m_povray->deleteLater();
        m_povray.clear();
    }
}

void PreviewWindow::reapJobs(bool all) {
    for (auto it = m_jobs.begin(); it != m_jobs.end();) {
        if (all || it->done->load()) {
            if (all)
                it->cancelled->store(true);
            if (it->thread.joinable())
                it->thread.join();
            it = m_jobs.erase(it);
        } else {
            ++it;
        }
    }
}

void PreviewWindow::savePlacement(bool open) {
    if (m_ending)
        return;
    const QRect g = geometry();
    saveSetting(m_app.platform().settings, setting::kPreviewPlace,
                previewPlacementText({g.x(), g.y(), g.width(), g.height(), open}));
}

void PreviewWindow::closeEvent(QCloseEvent* event) {
    cancelDraft();
    savePlacement(false);
    event->accept();
}

void PreviewWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (isVisible())
        m_placementTimer->start(500);
}

void PreviewWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (isVisible())
        m_placementTimer->start(500);
    showPlan();
}

} // namespace bp::gui
