// A plain int written by a worker thread and by a slot on Qt's event loop, nothing ordering
// the two: ThreadSanitizer must report it (exit 66) with tests/tsan.supp in force.
#include <thread>

#include <QCoreApplication>
#include <QTimer>

namespace {
int shared = 0;
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::thread worker([] { shared = 1; });
    QTimer::singleShot(0, &app, [&] {
        shared = 2;
        worker.join();
        app.quit();
    });
    return app.exec();
}
