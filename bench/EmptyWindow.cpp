// The bare baseline of the start bench: an empty Qt program that shows a window with one line
// of text, prints the monotonic clock after its first paint as the program's own stamp does,
// and ends.
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QLabel>
#include <QTimer>

#include <chrono>
#include <cstdio>

namespace {

class PaintWatch : public QObject {
protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && !seen) {
            seen = true;
            QTimer::singleShot(0, [] {
                const auto now = std::chrono::steady_clock::now().time_since_epoch();
                std::printf("first paint %lld\n",
                            static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
                std::fflush(stdout);
                QApplication::quit();
            });
        }
        return false;
    }

private:
    bool seen = false;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QDialog window;
    QLabel line(QStringLiteral(" count: 0 "), &window);
    PaintWatch watch;
    window.installEventFilter(&watch);
    window.show();
    return app.exec();
}
