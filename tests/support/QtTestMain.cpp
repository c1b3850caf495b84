// Test entry point for programs that need widgets: one QApplication for all the tests.
#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // ctest sets the platform; test discovery and hand runs do not, and no display may exist.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
