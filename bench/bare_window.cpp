// The reference for bench/startup.sh: a Qt program that shows an empty
// window and ends as soon as the window is first on the screen, which is
// when BRICKPOV_QUIT_WHEN_SHOWN=1 ends Brickpov.

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace {

class QuitOnExpose : public QObject {
  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed())
            QCoreApplication::exit(0);
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(546, 544); // about the size of the main window
    window.setWindowTitle(QStringLiteral("Bare window"));
    window.winId(); // makes the window handle that receives the expose
    QuitOnExpose quitter;
    window.windowHandle()->installEventFilter(&quitter);
    window.show();
    return QApplication::exec();
}
