// The Preview window on a model: how long the model takes to load, how long
// a frame takes to draw, and how long from a change of a camera value to the
// next frame drawn, against a frame of the empty window in the same run.
// Timed by preview.sh under Xvfb.

#include "core/preview/preview_model.h"
#include "core/window/app.h"
#include "core/window/brickpov_main.h"
#include "gui/preview_view.h"
#include "gui/preview_window.h"
#include "gui/qt_window_system.h"
#include "platform/desktop/desktop_platform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

class QuietDialogs : public bp::Dialogs {
  public:
    bp::MsgAnswer messageBox(const bp::MessageBoxRequest&) override { return bp::MsgAnswer::OK; }
    std::optional<std::string> fileDialog(const bp::FileDialogRequest&) override {
        return std::nullopt;
    }
    std::optional<bp::Rgb> colorDialog(bp::Rgb) override { return std::nullopt; }
};

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Runs the event loop until the view has drawn a frame.
double untilDrawn(bp::gui::PreviewView& view, const std::function<void()>& change) {
    QEventLoop loop;
    const auto c =
        QObject::connect(&view, &bp::gui::PreviewView::frameDrawn, &loop, &QEventLoop::quit);
    QElapsedTimer clock;
    clock.start();
    change();
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    loop.exec();
    QObject::disconnect(c);
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_preview MODEL LIBRARY [FRAMES]\n");
        return 2;
    }
    QApplication qapp(argc, argv);
    const std::string model = QFileInfo(argv[1]).absoluteFilePath().toStdString();
    const std::string library = QFileInfo(argv[2]).absoluteFilePath().toStdString() + "/";
    const int frames = argc > 3 ? std::atoi(argv[3]) : 10;

    // Loading alone, as the window's thread does it.
    std::atomic<bool> cancelled = false;
    QElapsedTimer clock;
    clock.start();
    const auto loaded =
        bp::preview::loadModel({model, library, false}, cancelled, [](const std::string&) {});
    const double loadMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;

    const auto locations = bp::desktop::Locations::fromEnvironment();
    bp::desktop::FileSettingsStore settings(locations.settingsFile());
    bp::desktop::IniProfileFile profile(locations.configHome);
    bp::desktop::PosixPrograms programs;
    bp::desktop::PosixFileSystem files(locations.programDir);
    bp::gui::QtWindowSystem windows;
    QuietDialogs dialogs;
    bp::Platform platform{dialogs, settings, profile, programs, files, windows};
    bp::App app(platform);
    windows.setMainForm(app.main());
    app.start(model);
    int status = 0;
    // The reference: a frame of a view with nothing to draw, same size.
    std::vector<double> empty;
    {
        bp::gui::PreviewView bare;
        bare.resize(792, 584);
        bare.setFinishFrames(true);
        bare.show();
        for (int i = 0; i < frames; ++i) {
            untilDrawn(bare, [&] { bare.update(); });
            empty.push_back(bare.lastFrameMs());
        }
    }
    {
        bp::gui::PreviewWindow preview(app);
        preview.resize(800, 640);
        preview.show();
        bp::gui::PreviewView& view = *preview.view();
        view.setFinishFrames(true);
        clock.restart();
        preview.refresh();
        while (preview.loading())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        const double windowLoadMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        if (!preview.plan()) {
            std::fprintf(stderr, "bench_preview: %s\n",
                         qPrintable(QString::fromStdString(loaded->problem)));
            status = 1;
        } else {
            std::vector<double> frame, change;
            for (int i = 0; i < frames; ++i) {
                untilDrawn(view, [&] { view.update(); });
                frame.push_back(view.lastFrameMs());
                bp::BrickpovMain& m = app.main();
                // A new longitude, typed: handlers, command line, plan, frame.
                change.push_back(untilDrawn(
                    view, [&] { m.Txt_CameraValue[1].setText(std::to_string(45 + (i + 1) * 7)); }));
            }
            std::printf("model=%s pieces=%zu meshes=%zu view=%dx%d\n", argv[1],
                        loaded->instances.size(), loaded->meshes.size(), view.width(),
                        view.height());
            std::printf("load_ms=%.1f window_load_ms=%.1f boxed=%d\n", loadMs, windowLoadMs,
                        view.boxedInstances());
            std::printf("empty_frame_ms=%.1f frame_ms=%.1f change_to_frame_ms=%.1f\n",
                        median(empty), median(frame), median(change));
        }
    }
    windows.releaseViews();
    return status;
}
