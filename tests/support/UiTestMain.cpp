#include <QApplication>
#include <QFontDatabase>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    // Without any font Qt paints empty boxes and pixel checks would pass on nothing.
    if (QFontDatabase::families().isEmpty()) {
        fprintf(stderr, "No fonts available: install fonts-dejavu-core\n");
        return 1;
    }
    return RUN_ALL_TESTS();
}
