// The GUI tests run offscreen unless told otherwise, with settings in a file
// of their own and the prompts answered by the tests.

#include "testprompts.h"

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QTemporaryDir settings;
    qputenv("TESSARON_SETTINGS", settings.filePath("settings.ini").toUtf8());
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
