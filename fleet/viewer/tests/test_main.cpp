// The window tests need an application object and the English string table.
#include <gtest/gtest.h>

#include <QApplication>

#include "platform/string_table.h"

int main(int argc, char** argv) {
    // Drawn offscreen, also when CTest lists the tests at build time.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    korvex::installTranslations(korvex::Language::English);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
