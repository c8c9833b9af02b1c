// Entry point of the Qt test binaries: GoogleTest under one QApplication, which the
// widget tests need (they run on the offscreen platform). The settings folder is a
// fresh temporary one, so that a main window made by a test never reads or writes
// the settings of the user running the tests; fixtures may point it elsewhere.
#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir Settings;
    if (Settings.isValid())
        qputenv("NARVO_CONFIG_DIR", Settings.path().toLocal8Bit());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
