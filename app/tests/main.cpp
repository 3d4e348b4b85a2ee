// The window tests need one QApplication for the whole run, and the program's
// own regional formats as start-up sets them.
#include "format/FormatSettings.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qev::initFormatSettings();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("qev"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
