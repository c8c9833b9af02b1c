// Entry point of the Qt test binaries: GoogleTest under one QApplication, which the
// widget tests need (they run on the offscreen platform). The settings folder is a
// fresh temporary one, so that a main window made by a test never reads or writes
// the settings of the user running the tests; fixtures may point it elsewhere. The
// screen's scale does not come from the environment.
#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The window tests measure sizes, icons and menu places on the offscreen
    // screen of 800 x 600 at the scale 1; a scale taken from the desktop's
    // environment (QT_SCALE_FACTOR=2 leaves that screen 400 x 300) would change
    // what they see. A run given a screen of its own (a configfile, as the
    // screen-fitting test gives its children) keeps the scale it was given.
    if (!qgetenv("QT_QPA_PLATFORM").contains("configfile="))
        for (const char* Name :
             {"QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_AUTO_SCREEN_SCALE_FACTOR", "QT_ENABLE_HIGHDPI_SCALING",
              "QT_SCALE_FACTOR_ROUNDING_POLICY", "QT_FONT_DPI"})
            qunsetenv(Name);
    QApplication app(argc, argv);
    QTemporaryDir Settings;
    if (Settings.isValid())
        qputenv("NARVO_CONFIG_DIR", Settings.path().toLocal8Bit());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
