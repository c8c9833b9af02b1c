// The edit box with undo and the spin edits: snapshots and the standard shortcuts,
// limits and wrapping (also where a stepwise wrap would never end), hex mode,
// refused keys beeping, the units panel, the fall-back to the last valid value,
// and the real spin's formats and separators.
#include "components/IntSpin.h"
#include "components/RealSpin.h"
#include "platform/KeyState.h"
#include "shared/SystemData.h"

#include <QApplication>
#include <QFocusEvent>
#include <QTest>
#include <gtest/gtest.h>
#include <limits>

namespace narvo {
namespace {

class Spins : public ::testing::Test {
protected:
    void SetUp() override
    {
        Previous = SetSpinBeepHook([this] { ++Beeps; });
        SystemData.SetDecimalSeparator('.');
        SystemData.SetThousandSeparator(',');
    }
    void TearDown() override
    {
        SetSpinBeepHook(Previous);
        InjectKeyState(std::nullopt);
    }
    static void Type(QWidget& W, const char* Text)
    {
        for (const char* P = Text; *P; ++P)
            QTest::keyClick(&W, *P);
    }
    static void Leave(QWidget& W)
    {
        QFocusEvent Out(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(&W, &Out);
    }
    static std::string Text(const QLineEdit& E) { return E.text().toStdString(); }
    int Beeps = 0;
    std::function<void()> Previous;
    TSeparatorGuard Separators;
};

TEST_F(Spins, EditBoxUndoAndRedoInStandardMode)
{
    TEditEx E;
    E.ShortCutMode = smStandard;
    Type(E, "ab");
    QTest::keyClick(&E, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Text(E), "a");
    EXPECT_EQ(E.cursorPosition(), 1);
    QTest::keyClick(&E, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(Text(E), "ab");
    QTest::keyClick(&E, Qt::Key_Z, Qt::ControlModifier);
    Type(E, "c");  // a new edit empties the redo stack
    EXPECT_FALSE(E.Undoer.CanRedo());
    EXPECT_EQ(Text(E), "ac");

    TEditEx F;
    F.ShortCutMode = smStandard;
    QTest::keyClick(&F, Qt::Key_Backspace);  // nothing before the caret: no snapshot
    EXPECT_FALSE(F.Undoer.CanUndo());
    int Undos = 0;
    F.OnUndo = [&](QObject*) { ++Undos; };
    F.DoUndo();  // fires even with nothing to restore
    EXPECT_EQ(Undos, 1);
}

TEST_F(Spins, IntegerLimitsAndWrap)
{
    TIntegerSpin S;
    S.UseLimit = true;
    S.SetMaxValue(20);
    S.SetMinValue(1);
    S.SetValue(20);
    S.UpClick();
    EXPECT_EQ(S.Value(), 20);
    S.setText(QStringLiteral("25"));
    Leave(S);
    EXPECT_EQ(Text(S), "20");
    S.setText(QString());
    Leave(S);  // an empty text gets the last valid value back
    EXPECT_EQ(Text(S), "20");

    std::vector<int> Wraps;
    S.OnWrap = [&](QObject*, TWrapMode M) { Wraps.push_back(M); };
    S.Wrap = true;
    S.SetValue(19);
    S.UpClick();
    EXPECT_EQ(S.Value(), 1);
    S.DownClick();
    EXPECT_EQ(S.Value(), 19);
    EXPECT_EQ(Wraps, (std::vector<int>{wmUp, wmDown}));

    // Limits at or below zero wrap in one step (a stepwise wrap never ends there).
    TIntegerSpin N;
    N.UseLimit = N.Wrap = true;
    N.SetMinValue(-10);
    N.SetValue(-1);
    N.UpClick();
    EXPECT_EQ(N.Value(), -10);
    N.DownClick();
    EXPECT_EQ(N.Value(), -1);

    // Ctrl multiplies the step by ten; the ends of the 64-bit range hold.
    TIntegerSpin C;
    C.Increment = 3;
    InjectKeyState(Qt::ControlModifier);
    C.UpClick();
    EXPECT_EQ(C.Value(), 30);
    InjectKeyState(std::nullopt);
    C.SetValue(std::numeric_limits<std::int64_t>::max() - 1);
    C.UpClick();
    EXPECT_EQ(C.Value(), std::numeric_limits<std::int64_t>::max());
}

TEST_F(Spins, IntegerHexModeAndRefusedKeys)
{
    TIntegerSpin S;
    S.SetValue(255);
    S.SetHexMode(true);
    EXPECT_EQ(Text(S), "00FF");
    S.selectAll();
    Type(S, "1a");
    EXPECT_EQ(S.Value(), 26);
    QTest::keyClick(&S, 'G');
    EXPECT_EQ(Beeps, 1);
    EXPECT_EQ(Text(S), "1a");
    S.SetValue(-1);
    EXPECT_EQ(Text(S), "FFFFFFFFFFFFFFFF");
    EXPECT_EQ(S.Value(), -1);
    S.SetHexMode(false);
    EXPECT_EQ(Text(S), "-1");

    struct TCase {
        Qt::Key Key;
        bool Refused;
    };
    const TCase Keys[] = {{Qt::Key_X, true}, {Qt::Key_Return, true}, {Qt::Key_Space, true}, {Qt::Key_5, false},
                          {Qt::Key_Minus, false}, {Qt::Key_Left, false}};
    for (const TCase& K : Keys) {
        Beeps = 0;
        QTest::keyClick(&S, K.Key);
        EXPECT_EQ(Beeps, K.Refused ? 1 : 0) << K.Key;
    }
    S.SetEditorEnabled(false);
    Beeps = 0;
    QTest::keyClick(&S, '7');
    QTest::keyClick(&S, Qt::Key_Backspace);
    EXPECT_EQ(Beeps, 2);

    TIntegerSpin R;
    R.setReadOnly(true);
    QTest::keyClick(&R, Qt::Key_Up);
    R.Button()->DownButton->Click();
    EXPECT_EQ(Beeps, 4);
    EXPECT_EQ(R.Value(), 0);
    // Unreadable text answers the last valid value.
    TIntegerSpin U;
    U.SetValue(7);
    U.setText(QStringLiteral("1.5"));
    EXPECT_EQ(U.Value(), 7);
}

TEST_F(Spins, UnitsPanelAndMinimumHeight)
{
    TIntegerSpin S;
    S.resize(120, 40);
    S.SetUnitsString(QStringLiteral("in"));
    // The typed text never runs under the units or the buttons.
    EXPECT_TRUE(S.UnitsPanel()->isVisibleTo(&S));
    EXPECT_EQ(S.textMargins().right(), S.Button()->width() + 2 + S.UnitsPanel()->width());
    S.resize(120, 3);
    EXPECT_EQ(S.height(), S.MinHeight());
}

TEST_F(Spins, RealFormatsStepsAndSeparators)
{
    TRealSpin M;  // a print margin
    M.UseLimit = true;
    M.SetMaxValue(10);
    M.Increment = 0.1;
    M.SetDigits(2);
    M.SetNumFormat(nfFixed);
    M.SetValue(0.75);
    M.UpClick();
    EXPECT_EQ(Text(M), "0.85");
    InjectKeyState(Qt::ControlModifier);
    M.SetValue(0.75);
    M.UpClick();
    EXPECT_EQ(Text(M), "1.75");
    InjectKeyState(std::nullopt);

    TRealSpin Rate;
    Rate.UseLimit = true;
    Rate.SetMinValue(-10);
    Rate.SetMaxValue(10);
    Rate.SetValue(-10);
    Rate.DownClick();
    EXPECT_EQ(Rate.Value(), -10);

    TRealSpin T;
    T.SetNumFormat(nfThousands);
    T.SetDigits(1);
    T.setText(QStringLiteral("1,234.5"));
    EXPECT_DOUBLE_EQ(T.Value(), 1234.5);
    T.SetValue(1234567.25);
    EXPECT_EQ(Text(T), "1,234,567.2");
    T.setText(QStringLiteral("junk"));
    EXPECT_DOUBLE_EQ(T.Value(), 1234567.2);  // the last valid value
    Leave(T);
    EXPECT_EQ(Text(T), "1,234,567.2");

    EXPECT_EQ(TRealSpin::FormatReal(12.34, nfScientific, 5, ',', 0), "1,2340E+0001");
    EXPECT_EQ(TRealSpin::FormatReal(0.1 + 0.2, nfStandard, 5, '.', 0), "0.3");
    SystemData.SetDecimalSeparator(',');
    SystemData.SetThousandSeparator('.');
    M.SetValue(0.75);
    EXPECT_EQ(Text(M), "0,75");
    Beeps = 0;
    QTest::keyClick(&M, 'x');
    QTest::keyClick(&M, 'e');
    EXPECT_EQ(Beeps, 1);
}

}  // namespace
}  // namespace narvo
