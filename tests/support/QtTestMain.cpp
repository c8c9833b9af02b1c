// Entry point of the Qt test binaries: GoogleTest under one QApplication, which the
// widget tests need (they run on the offscreen platform). The settings folder is a
// fresh temporary one, so that a main window made by a test never reads or writes
// the settings of the user running the tests; fixtures may point it elsewhere. The
// screen's scale does not come from the environment. Each test starts with no key
// and no mouse button held, whatever the test before it pressed.
#include "platform/KeyState.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// Takes the releases that clear what earlier tests left held.
class TReleaseTarget : public QWidget {
protected:
    void keyReleaseEvent(QKeyEvent* Event) override { Event->accept(); }
    void mouseReleaseEvent(QMouseEvent* Event) override { Event->accept(); }
};

// On the offscreen platform "the keyboard" is the modifiers of the last key or mouse
// event a test sent, and the held buttons those the test pressed and never released:
// a Ctrl+key or Shift+key click leaves the modifier down for every test after it,
// so that a plain cursor move there extends a mark. Each test starts with both let go.
class TReleaseHeldInput : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override
    {
        TReleaseTarget Target;
        const Qt::MouseButtons Held = QGuiApplication::mouseButtons() | QTestPrivate::qtestMouseButtons;
        for (Qt::MouseButton B : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton, Qt::BackButton, Qt::ForwardButton})
            if (Held.testFlag(B))
                QTest::mouseRelease(&Target, B, Qt::NoModifier, QPoint(1, 1));
        if (QGuiApplication::queryKeyboardModifiers() != Qt::NoModifier)
            QTest::keyRelease(&Target, Qt::Key_Shift, Qt::NoModifier);
        // Nor may a state injected or an answer kept by the test before reach this one.
        narvo::InjectKeyState(std::nullopt);
        narvo::SetKeyboardQuery({});
    }
};

}  // namespace

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
    ::testing::UnitTest::GetInstance()->listeners().Append(new TReleaseHeldInput);
    return RUN_ALL_TESTS();
}
