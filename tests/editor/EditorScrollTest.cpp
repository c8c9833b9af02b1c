// Scrolling and zoom: the arithmetic of lines, pages and bars, the wheel with and
// without Ctrl (also in fractions of a notch), the zoom in exact tenths, and the
// view keeping the cursor visible at any zoom.
#include "EditorTestHelpers.h"

#include <QScrollBar>
#include <QWheelEvent>
#include <limits>

namespace narvo {
namespace {

using testing::EditorHost;

void Wheel(TScrollEditor& E, int Delta, Qt::KeyboardModifiers Mods = Qt::NoModifier)
{
    const QPointF At(10, 10);
    QWheelEvent Event(At, E.viewport()->mapToGlobal(At), QPoint(), QPoint(0, Delta), Qt::NoButton, Mods,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(E.viewport(), &Event);
}

TEST(EditorScroll, HorizontalPagesStopAtTheEnds)
{
    EditorHost H({"short"});
    TScrollEditor& E = *H.Editor;
    ASSERT_TRUE(E.SetTopLeft(TPoint{240, 0}));
    E.UpdateDisplay(false, false);
    EXPECT_EQ(E.HorzScrollBar->Max(), 255);  // never below 255 columns
    E.HorzScrollBar->Scroll(scPageDown);
    EXPECT_EQ(E.LeftColumn, 255);
    EXPECT_EQ(E.HorzScrollBar->Position(), 255);

    ASSERT_TRUE(E.SetTopLeft(TPoint{20, 0}));
    E.UpdateDisplay(false, false);
    E.HorzScrollBar->Scroll(scPageUp);
    EXPECT_EQ(E.LeftColumn, 0);
}

TEST(EditorScroll, ScrollToLineAndSetTopLeftKeepTheTopLineInTheText)
{
    EditorHost H(testing::NumberedLines(10));
    TScrollEditor& E = *H.Editor;
    int Changes = 0;
    E.OnChange = [&] { ++Changes; };
    E.ScrollToLine(1000);
    EXPECT_EQ(E.TopLine, 9);
    E.ScrollToLine(-5);
    EXPECT_EQ(E.TopLine, 0);
    EXPECT_EQ(Changes, 2);
    // A top line set from outside is clamped on the next paint.
    E.TopLine = 500;
    E.UpdateDisplay(false, false);
    EXPECT_EQ(E.TopLine, 9);
    // Scrolling never moves the cursor.
    EXPECT_EQ(E.Cursor->Pos(), (TPoint{0, 0}));
    // A position set directly must lie in the text.
    E.ScrollToLine(0);
    EXPECT_FALSE(E.SetTopLeft(TPoint{0, 10}));
    EXPECT_FALSE(E.SetTopLeft(TPoint{-1, 3}));
    EXPECT_FALSE(E.SetTopLeft(TPoint{0, -1}));
    EXPECT_EQ(E.TopLine, 0);
    EXPECT_TRUE(E.SetTopLeft(TPoint{4, 9}));
    EXPECT_EQ(E.TopLine, 9);
    EXPECT_EQ(E.LeftColumn, 4);
    // A first column past any line a text can hold is refused; one far past this
    // text's lines is taken and painted (an empty view).
    EXPECT_FALSE(E.SetTopLeft(TPoint{INT64_MAX, 0}));
    EXPECT_EQ(E.LeftColumn, 4);
    EXPECT_TRUE(E.SetTopLeft(TPoint{std::int64_t{1} << 40, 0}));
    E.grab();
}

TEST(EditorScroll, LinesAndPages)
{
    EditorHost H(testing::NumberedLines(100));
    H.SetClientRows(10);
    TScrollEditor& E = *H.Editor;
    EXPECT_EQ(E.VisibleLines(), 10);
    std::int64_t Pos = 0;
    E.ScrollVert(scPageDown, Pos);
    EXPECT_EQ(Pos, 10);
    E.ScrollVert(scPageUp, Pos);
    E.ScrollVert(scPageUp, Pos);
    EXPECT_EQ(Pos, 0);
    Pos = 95;
    E.ScrollVert(scTrack, Pos);
    E.ScrollVert(scPageDown, Pos);
    EXPECT_EQ(Pos, 99);
    E.ScrollVert(scLineDown, Pos);
    EXPECT_EQ(Pos, 99);
}

TEST(EditorScroll, ThumbDragReachesLine99999Of100000Exactly)
{
    EditorHost H(testing::NumberedLines(100000));
    TScrollEditor& E = *H.Editor;
    EXPECT_EQ(E.VertScrollBar->Max(), 100000);
    E.verticalScrollBar()->setSliderPosition(99999);
    EXPECT_EQ(E.TopLine, 99999);
    EXPECT_EQ(E.VertScrollBar->Position(), 99999);
    E.verticalScrollBar()->setSliderPosition(70000);
    EXPECT_EQ(E.TopLine, 70000);
}

TEST(EditorScroll, WheelScrollsOneLinePerNotchAndAddsUpFractions)
{
    EditorHost H(testing::NumberedLines(100));
    TScrollEditor& E = *H.Editor;
    Wheel(E, -120);
    EXPECT_EQ(E.TopLine, 1);
    Wheel(E, -240);
    EXPECT_EQ(E.TopLine, 3);
    Wheel(E, 120);
    EXPECT_EQ(E.TopLine, 2);
    // A touchpad: three fractions of 40 make one notch down.
    Wheel(E, -40);
    Wheel(E, -40);
    EXPECT_EQ(E.TopLine, 2);
    Wheel(E, -40);
    EXPECT_EQ(E.TopLine, 3);
    int Ups = 0;
    E.OnMouseWheelUp = [&](QObject*, Qt::KeyboardModifiers, QPoint, bool&) { ++Ups; };
    Wheel(E, 360);
    EXPECT_EQ(Ups, 3);
    EXPECT_EQ(E.TopLine, 0);
}

TEST(EditorScroll, CtrlWheelZoomsInExactTenthsNeverBelowOne)
{
    EditorHost H({"abc"});
    TScrollEditor& E = *H.Editor;
    std::vector<double> Scales;
    E.OnScaleChange = [&](double S) { Scales.push_back(S); };
    Wheel(E, -120, Qt::ControlModifier);
    EXPECT_EQ(E.Scale(), 1.0);
    EXPECT_TRUE(Scales.empty());
    Wheel(E, 120, Qt::ControlModifier);
    Wheel(E, 120, Qt::ControlModifier);
    EXPECT_EQ(E.Scale(), 1.2);  // exactly, not 1.2000000000000002
    for (int I = 0; I < 30; ++I)
        Wheel(E, 120, Qt::ControlModifier);
    for (int I = 0; I < 30; ++I)
        Wheel(E, -120, Qt::ControlModifier);
    EXPECT_EQ(E.Scale(), 1.2);
    EXPECT_EQ(E.TopLine, 0);
    ASSERT_GE(Scales.size(), 2u);
    EXPECT_EQ(Scales[1], 1.2);

    // A scale set below one, or no number at all, gives one, reported once.
    E.SetScale(1.5);
    Scales.clear();
    E.SetScale(0.5);
    EXPECT_EQ(E.Scale(), 1.0);
    EXPECT_EQ(Scales, std::vector<double>{1.0});
    E.SetScale(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(E.Scale(), 1.0);
    E.SetScale(1.0);
    EXPECT_EQ(Scales.size(), 1u);
}

TEST(EditorScroll, ZoomedViewCountsZoomedCellsAndKeepsTheCursorVisible)
{
    EditorHost H(testing::NumberedLines(300));
    H.SetClientRows(20);
    TScrollEditor& E = *H.Editor;
    E.Relayout();
    const auto Lines1 = E.VisibleLines();
    const auto Columns1 = E.VisibleColumns();
    E.SetScale(2.0);
    E.Relayout();
    EXPECT_EQ(E.VisibleLines(), Lines1 / 2);
    EXPECT_NEAR(static_cast<double>(E.VisibleColumns()), static_cast<double>(Columns1) / 2, 3);
    // The cursor far down and to the right stays inside the zoomed client area.
    std::vector<std::string> Lines = testing::NumberedLines(300);
    Lines[250] = std::string(400, 'y');
    E.SetStrings(Lines);
    E.Cursor->SetPos(TPoint{390, 250});
    E.RefreshView(true);
    const QRect Caret = E.CaretRect();
    EXPECT_TRUE(E.viewport()->rect().contains(Caret.topLeft())) << Caret.x() << "," << Caret.y();
    EXPECT_TRUE(E.viewport()->rect().contains(Caret.bottomRight())) << Caret.right() << "," << Caret.bottom();
}

TEST(EditorScroll, LinearHorizontalScrollFollowsTheCursor)
{
    EditorHost H({std::string(1000, 'a')});
    TScrollEditor& E = *H.Editor;
    E.Relayout();
    const auto V = E.VisibleColumns();
    E.Cursor->SetPos(TPoint{V + 10, 0});
    E.RefreshView(true);
    const auto Jumped = E.LeftColumn;
    EXPECT_GT(Jumped, 0);
    E.SetLinearHScroll(true);
    E.Cursor->SetPos(TPoint{V - 4 + 20, 0});
    E.RefreshView(true);
    EXPECT_EQ(E.LeftColumn, 20);
    E.Cursor->SetPos(TPoint{5, 0});
    E.RefreshView(true);
    EXPECT_EQ(E.LeftColumn, 0);
}

TEST(EditorScroll, JoiningLinesFromColumnZeroKeepsTheCursorOnItsRow)
{
    EditorHost H(testing::NumberedLines(300));
    H.SetClientRows(25);
    TScrollEditor& E = *H.Editor;
    // Line 200 (index 199) on row 11; ^W, then Backspace or ^X at column 0.
    auto Start = [&E] {
        E.TopLine = 189;
        E.Cursor->SetPos(TPoint{4, 199});
        E.RefreshView(true);
        E.LineStart();
        ASSERT_EQ(E.Cursor->Pos(), (TPoint{0, 199}));
        ASSERT_EQ(E.TopLine, 189);
    };
    Start();
    E.Backspace();
    EXPECT_EQ(E.Cursor->Pos(), (TPoint{8, 198}));
    EXPECT_EQ(E.Cursor->Pos().Y - E.TopLine, 10);
    Start();
    E.DeleteToLineStart();  // the line above goes
    EXPECT_EQ(E.Cursor->Pos(), (TPoint{0, 198}));
    EXPECT_EQ((*E.Strings)[198], "line 200");
    EXPECT_EQ(E.Cursor->Pos().Y - E.TopLine, 10);
    // Within a line nothing scrolls; at the top the view cannot follow.
    E.Cursor->SetPos(TPoint{3, 198});
    E.Backspace();
    EXPECT_EQ(E.TopLine, 188);
    E.TopLine = 0;
    E.Cursor->SetPos(TPoint{0, 3});
    E.RefreshView(true);
    E.Backspace();
    EXPECT_EQ(E.TopLine, 0);
    EXPECT_EQ(E.Cursor->Pos().Y, 2);
}

}  // namespace
}  // namespace narvo
