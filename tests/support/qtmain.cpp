// main() for test programs that need widgets: a QApplication on the offscreen platform
// unless a display is chosen explicitly.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFont>
#include <cstdlib>

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    QFont::insertSubstitution("MS Sans Serif", "Liberation Sans");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
