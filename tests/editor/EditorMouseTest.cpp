// The mouse in the text: clicks on tabs and past line ends, word and gutter double
// clicks, Shift+click, drag-select with its scoop events and auto-scroll, and drag
// and drop within a pane, between panes and with read-only panes, each undone in
// one step, and what a drop answers its source (a drag from elsewhere is refused).
#include "EditorTestHelpers.h"

#include "platform/KeyState.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace narvo {
namespace {

using testing::CellCenter;
using testing::EditorHost;
using testing::LinesOf;

struct ScoopRecord {
    TScoopCommand Command;
    TRect Range;
};

void WaitPastDoubleClick() { QTest::qWait(QApplication::doubleClickInterval() + 60); }

TEST(EditorMouse, AClickOnATabPutsTheCursorBeforeOrAfterIt)
{
    EditorHost H({"abc\tX", "de"});
    H.Show();
    TScrollEditor& E = *H.Editor;
    struct Case {
        int Column, Row;
        TPoint Expected;
    };
    const std::vector<Case> Cases = {
        {3, 0, {3, 0}}, {4, 0, {4, 0}}, {7, 0, {4, 0}}, {8, 0, {4, 0}}, {9, 0, {5, 0}},
        {30, 0, {5, 0}},  // past the line end: the end
        {1, 5, {1, 1}},   // below the text: the last line
    };
    for (const Case& C : Cases) {
        QTest::mouseClick(E.viewport(), Qt::LeftButton, {}, CellCenter(E, C.Column, C.Row));
        EXPECT_EQ(E.Cursor->Pos(), C.Expected) << C.Column << "," << C.Row;
        EXPECT_FALSE(E.HasMark());
        WaitPastDoubleClick();
    }
    // Alt+click past the end: a column-block cursor stands where it was clicked.
    QTest::mouseClick(E.viewport(), Qt::LeftButton, Qt::AltModifier, CellCenter(E, 12, 1));
    EXPECT_TRUE(E.Cursor->ColumnBlock);
    EXPECT_EQ(E.Cursor->Pos(), (TPoint{12, 1}));
    WaitPastDoubleClick();
    // A plain click ends column-block mode and keeps the cursor on its line.
    QTest::mouseClick(E.viewport(), Qt::LeftButton, {}, CellCenter(E, 12, 1));
    EXPECT_FALSE(E.Cursor->ColumnBlock);
    EXPECT_EQ(E.Cursor->Pos(), (TPoint{2, 1}));
}

TEST(EditorMouse, ZoomedClicksAreUnscaled)
{
    EditorHost H({"abcdefgh", "ijklmnop"});
    H.Show();
    TScrollEditor& E = *H.Editor;
    E.SetScale(2.0);
    const QPoint Cell = CellCenter(E, 5, 1);
    QTest::mouseClick(E.viewport(), Qt::LeftButton, {}, Cell * 2);
    EXPECT_EQ(E.Cursor->Pos(), (TPoint{5, 1}));
}

TEST(EditorMouse, GutterDoubleClickMarksTheLineThenTheParagraph)
{
    EditorHost H({"first a", "first bb", "  \t", "second"});
    H.Show();
    TScrollEditor& E = *H.Editor;
    const QPoint Gutter(2, CellCenter(E, 0, 1).y());
    QTest::mouseDClick(E.viewport(), Qt::LeftButton, {}, Gutter);
    EXPECT_EQ(E.HighLight->Range(), (TRect{0, 1, 8, 1}));
    WaitPastDoubleClick();
    QTest::mouseDClick(E.viewport(), Qt::LeftButton, {}, Gutter);
    EXPECT_EQ(E.HighLight->Range(), (TRect{0, 0, 8, 1}));
    WaitPastDoubleClick();
    // On a blank line the paragraph is that line alone.
    const QPoint Blank(2, CellCenter(E, 0, 2).y());
    QTest::mouseDClick(E.viewport(), Qt::LeftButton, {}, Blank);
    WaitPastDoubleClick();
    QTest::mouseDClick(E.viewport(), Qt::LeftButton, {}, Blank);
    EXPECT_EQ(E.HighLight->Range(), (TRect{0, 2, 3, 2}));
}

TEST(EditorMouse, DoubleClickMarksAWordAndHoldsItUntilRelease)
{
    EditorHost H({"say don't stop", "x"});
    H.Show();
    TScrollEditor& E = *H.Editor;
    const QPoint Word = CellCenter(E, 5, 0);
    E.MouseDown(Qt::LeftButton, Qt::NoModifier, Word.x(), Word.y(), false);
    E.MouseUp(Qt::LeftButton, Qt::NoModifier, Word.x(), Word.y());
    E.MouseDown(Qt::LeftButton, Qt::NoModifier, Word.x(), Word.y(), true);
    EXPECT_EQ(E.HighLight->Range(), (TRect{4, 0, 9, 0}));
    EXPECT_TRUE(E.WordMarked);
    // Moving with the button still down does not change the highlight.
    E.MouseMove(Qt::NoModifier, CellCenter(E, 12, 0).x(), CellCenter(E, 12, 0).y());
    EXPECT_EQ(E.HighLight->EndPos, (TPoint{9, 0}));
    E.MouseUp(Qt::LeftButton, Qt::NoModifier, Word.x(), Word.y());
    EXPECT_FALSE(E.WordMarked);
    EXPECT_FALSE(E.MouseSelecting);

    TRect R;
    E.GetWordBounds(TPoint{3, 0}, R);  // on the space after "say"
    EXPECT_EQ(R, (TRect{0, 0, 3, 0}));
}

TEST(EditorMouse, ShiftClickExtendsFromTheFirstClick)
{
    EditorHost H({"0123456789", "abcdefghij"});
    H.Show();
    TScrollEditor& E = *H.Editor;
    QTest::mouseClick(E.viewport(), Qt::LeftButton, {}, CellCenter(E, 2, 0));
    WaitPastDoubleClick();
    QTest::mouseClick(E.viewport(), Qt::LeftButton, Qt::ShiftModifier, CellCenter(E, 5, 1));
    EXPECT_EQ(E.HighLight->Range(), (TRect{2, 0, 5, 1}));
    EXPECT_EQ(E.Cursor->Pos(), (TPoint{5, 1}));
    WaitPastDoubleClick();
    // The anchor stays at the first click; a point before it orders the range.
    QTest::mouseClick(E.viewport(), Qt::LeftButton, Qt::ShiftModifier, CellCenter(E, 1, 0));
    EXPECT_EQ(E.HighLight->Range(), (TRect{1, 0, 2, 0}));
    WaitPastDoubleClick();
    // A plain click clears it.
    QTest::mouseClick(E.viewport(), Qt::LeftButton, {}, CellCenter(E, 7, 1));
    EXPECT_FALSE(E.HasMark());
}

TEST(EditorMouse, DragSelectFiresScoopEventsOnlyWhenTheCursorMoves)
{
    EditorHost H({"zero", "one", "two words"});
    H.Show();
    TScrollEditor& E = *H.Editor;
    std::vector<ScoopRecord> Scoops;
    E.OnScoopEvent = [&](TScoopCommand C, TRect R) { Scoops.push_back({C, R}); };
    QTest::mousePress(E.viewport(), Qt::LeftButton, {}, CellCenter(E, 5, 2));
    ASSERT_EQ(Scoops.size(), 1u);
    EXPECT_EQ(Scoops[0].Command, scmStop);
    EXPECT_EQ(E.Cursor->Pos(), (TPoint{5, 2}));
    Scoops.clear();
    QTest::mouseMove(E.viewport(), CellCenter(E, 0, 2));
    ASSERT_EQ(Scoops.size(), 1u);
    EXPECT_EQ(Scoops[0].Command, scmBackward);
    EXPECT_EQ(Scoops[0].Range, (TRect{5, 2, 0, 2}));
    EXPECT_EQ(E.HighLight->Range(), (TRect{0, 2, 5, 2}));
    // A move within the same cell: no cursor move, no event, no undo record.
    const auto Records = E.UndoList->Count();
    QTest::mouseMove(E.viewport(), CellCenter(E, 0, 2) + QPoint(1, 1));
    EXPECT_EQ(Scoops.size(), 1u);
    EXPECT_EQ(E.UndoList->Count(), Records);
    QTest::mouseMove(E.viewport(), CellCenter(E, 2, 1));
    ASSERT_EQ(Scoops.size(), 2u);
    EXPECT_EQ(Scoops[1].Command, scmBackward);
    EXPECT_EQ(Scoops[1].Range, (TRect{0, 2, 2, 1}));
    QTest::mouseMove(E.viewport(), CellCenter(E, 9, 2));
    EXPECT_EQ(Scoops.back().Command, scmForward);
    QTest::mouseRelease(E.viewport(), Qt::LeftButton, {}, CellCenter(E, 9, 2));
    EXPECT_EQ(E.HighLight->Range(), (TRect{5, 2, 9, 2}));
    EXPECT_EQ(E.DesiredColumn, -1);
}

TEST(EditorMouse, DragSelectBelowTheViewScrollsOnATimer)
{
    EditorHost H(testing::NumberedLines(500));
    H.SetClientRows(10);
    H.Show();
    TScrollEditor& E = *H.Editor;
    QTest::mousePress(E.viewport(), Qt::LeftButton, {}, CellCenter(E, 1, 0));
    QTest::mouseMove(E.viewport(), QPoint(20, E.viewport()->height() + 100));
    EXPECT_TRUE(E.DragSelecting());
    // Control returns to the event loop between steps.
    EXPECT_TRUE(QTest::qWaitFor([&] { return E.TopLine > 5; }, 30000));
    QTest::mouseRelease(E.viewport(), Qt::LeftButton, {}, QPoint(20, E.viewport()->height() + 100));
    EXPECT_FALSE(E.DragSelecting());
    const auto Top = E.TopLine;
    QTest::qWait(100);
    EXPECT_EQ(E.TopLine, Top);
    EXPECT_EQ(E.HighLight->StartPos, (TPoint{1, 0}));
    EXPECT_GT(E.HighLight->EndPos.Y, 5);
    // The cursor stays visible.
    EXPECT_LT(E.Cursor->Y.load() - E.TopLine, E.VisibleLines());
}

// The panes' owners show Line, Col and Highlighted from the change event: it must
// follow the highlight while the pointer is outside the text area and at the
// release there, as the scoop events must follow the cursor.
TEST(EditorMouse, DragSelectEndingOutsideTellsEveryHighlightChange)
{
    EditorHost H({"zero", "one", "two words"});
    H.Show();
    TScrollEditor& E = *H.Editor;
    TPoint SeenCursor;
    TRect SeenMark;
    int Changes = 0;
    E.OnChange = [&] {
        ++Changes;
        SeenCursor = E.Cursor->Pos();
        SeenMark = E.HighLight->Range();
    };
    std::vector<ScoopRecord> Scoops;
    E.OnScoopEvent = [&](TScoopCommand C, TRect R) { Scoops.push_back({C, R}); };
    QTest::mousePress(E.viewport(), Qt::LeftButton, {}, CellCenter(E, 1, 0));
    const int Below = E.viewport()->height() + 100;
    // Below the text: the cursor goes to the last line.
    QTest::mouseMove(E.viewport(), QPoint(CellCenter(E, 3, 0).x(), Below));
    EXPECT_TRUE(E.DragSelecting());
    EXPECT_EQ(E.Cursor->Pos(), (TPoint{3, 2}));
    EXPECT_EQ(SeenCursor, E.Cursor->Pos());
    EXPECT_EQ(SeenMark, (TRect{1, 0, 3, 2}));
    ASSERT_FALSE(Scoops.empty());
    EXPECT_EQ(Scoops.back().Range, (TRect{1, 0, 3, 2}));
    // Released further right, with no move before it.
    const int Before = Changes;
    QTest::mouseRelease(E.viewport(), Qt::LeftButton, {}, QPoint(CellCenter(E, 7, 0).x(), Below));
    EXPECT_FALSE(E.DragSelecting());
    EXPECT_EQ(E.Cursor->Pos(), (TPoint{7, 2}));
    EXPECT_EQ(E.HighLight->Range(), (TRect{1, 0, 7, 2}));
    EXPECT_GT(Changes, Before);
    EXPECT_EQ(SeenCursor, E.Cursor->Pos());
    EXPECT_EQ(SeenMark, E.HighLight->Range());
    EXPECT_EQ(Scoops.back().Command, scmForward);
    EXPECT_EQ(Scoops.back().Range, (TRect{3, 2, 7, 2}));
    // A plain click changes nothing at its release.
    WaitPastDoubleClick();
    QTest::mouseClick(E.viewport(), Qt::LeftButton, {}, CellCenter(E, 0, 0));
    EXPECT_EQ(E.Cursor->Pos(), (TPoint{0, 0}));
    EXPECT_FALSE(E.HasMark());
}

class EditorDragDrop : public ::testing::Test {
protected:
    // No key held unless a test says so: an earlier test's last input event (a
    // Ctrl+click) would otherwise still be the keyboard's state offscreen.
    void SetUp() override { InjectKeyState(Qt::NoModifier); }
    void TearDown() override { InjectKeyState(std::nullopt); }
    static QPoint At(TScrollEditor& E, int Column, int Row) { return CellCenter(E, Column, Row); }
    static void Drop(TScrollEditor& Target, TScrollEditor& Source, QPoint P) { Target.DragDrop(&Source, P.x(), P.y()); }
    static void Mark(TScrollEditor& E, TPoint A, TPoint B)
    {
        E.Cursor->SetPos(A);
        E.DragStartPos = A;
        E.HighLight->StartPos = A;
        E.HighLight->EndPos = B;
    }
};

TEST_F(EditorDragDrop, AMoveWithinAPaneIsUndoneInOneStep)
{
    struct Case {
        std::vector<std::string> Lines;
        TPoint From, To;
        QPoint DropCell;
        std::vector<std::string> After;
        TPoint MarkStart, MarkEnd;
    };
    const std::vector<Case> Cases = {
        // Behind the block on its own line.
        {{"one two three"}, {4, 0}, {8, 0}, {13, 0}, {"one threetwo "}, {9, 0}, {13, 0}},
        // Before the block.
        {{"one two three"}, {4, 0}, {8, 0}, {0, 0}, {"two one three"}, {0, 0}, {4, 0}},
        // A block over two lines dropped behind it on a later line.
        {{"aa", "bb", "cc"}, {1, 0}, {1, 1}, {2, 2}, {"ab", "cca", "b"}, {2, 1}, {1, 2}},
        // Behind its end on the block's own last line: the columns shift too.
        {{"aa", "bbxyz"}, {1, 0}, {2, 1}, {4, 1}, {"axya", "bbz"}, {3, 0}, {2, 1}},
    };
    for (const Case& C : Cases) {
        EditorHost H(C.Lines);
        H.Show();
        TScrollEditor& E = *H.Editor;
        E.UndoList->Clear();
        Mark(E, C.From, C.To);
        int Changes = 0;
        E.OnChange = [&] { ++Changes; };
        Drop(E, E, At(E, C.DropCell.x(), C.DropCell.y()));
        EXPECT_EQ(LinesOf(E), C.After) << C.Lines[0];
        EXPECT_EQ(E.HighLight->StartPos, C.MarkStart) << C.Lines[0];
        EXPECT_EQ(E.HighLight->EndPos, C.MarkEnd) << C.Lines[0];
        EXPECT_EQ(E.Cursor->Pos(), C.MarkStart);
        EXPECT_GE(Changes, 1);
        E.Undo();
        EXPECT_EQ(LinesOf(E), C.Lines) << C.Lines[0];
        EXPECT_EQ(E.Cursor->Pos(), C.From);
        E.Redo();
        EXPECT_EQ(LinesOf(E), C.After) << C.Lines[0];
    }
}

TEST_F(EditorDragDrop, CtrlCopiesAndADropOnTheBlockChangesNothing)
{
    EditorHost H({"one two three"});
    H.Show();
    TScrollEditor& E = *H.Editor;
    Mark(E, TPoint{4, 0}, TPoint{8, 0});
    Drop(E, E, At(E, 6, 0));
    EXPECT_EQ(LinesOf(E), std::vector<std::string>{"one two three"});
    EXPECT_TRUE(E.UndoList->Empty());
    InjectKeyState(Qt::ControlModifier);
    Drop(E, E, At(E, 13, 0));
    EXPECT_EQ(LinesOf(E), std::vector<std::string>{"one two threetwo "});
    E.Undo();
    EXPECT_EQ(LinesOf(E), std::vector<std::string>{"one two three"});
}

TEST_F(EditorDragDrop, APaneWithItsOwnBufferIsChangedOnItsOwn)
{
    EditorHost HT({"abc", "def"});
    EditorHost HS({"hello world"});
    HT.Show();
    TScrollEditor& Target = *HT.Editor;
    TScrollEditor& Source = *HS.Editor;
    // The target's own highlight lies before the drop point and must not shift it.
    Target.HighLight->StartPos = TPoint{0, 0};
    Target.HighLight->EndPos = TPoint{2, 1};
    Mark(Source, TPoint{0, 0}, TPoint{6, 0});
    Drop(Target, Source, At(Target, 1, 1));
    EXPECT_EQ(LinesOf(Target), (std::vector<std::string>{"abc", "dhello ef"}));
    EXPECT_EQ(Target.HighLight->Range(), (TRect{1, 1, 7, 1}));
    EXPECT_EQ(LinesOf(Source), std::vector<std::string>{"world"});
    EXPECT_FALSE(Source.HasMark());
    // Each pane undoes its own part in one step.
    Target.Undo();
    EXPECT_EQ(LinesOf(Target), (std::vector<std::string>{"abc", "def"}));
    Source.Undo();
    EXPECT_EQ(LinesOf(Source), std::vector<std::string>{"hello world"});
    EXPECT_EQ(Source.Cursor->Pos(), (TPoint{0, 0}));
}

TEST_F(EditorDragDrop, ReadOnlyPanes)
{
    EditorHost HT({"abc"});
    EditorHost HS({"xyz"});
    HT.Show();
    TScrollEditor& Target = *HT.Editor;
    TScrollEditor& Source = *HS.Editor;
    Mark(Source, TPoint{0, 0}, TPoint{2, 0});
    // A move from a read-only pane is a copy.
    Source.SetReadOnly(true);
    Drop(Target, Source, At(Target, 3, 0));
    EXPECT_EQ(LinesOf(Target), std::vector<std::string>{"abcxy"});
    EXPECT_EQ(LinesOf(Source), std::vector<std::string>{"xyz"});
    EXPECT_TRUE(Source.UndoList->Empty());
    // A read-only target takes nothing.
    Source.SetReadOnly(false);
    Target.SetReadOnly(true);
    Drop(Target, Source, At(Target, 0, 0));
    EXPECT_EQ(LinesOf(Target), std::vector<std::string>{"abcxy"});
    EXPECT_EQ(LinesOf(Source), std::vector<std::string>{"xyz"});
}

TEST_F(EditorDragDrop, ADropEventNamesItsSourceOnlyInThisProcess)
{
    EditorHost H({"one two"});
    H.Show();
    TScrollEditor& E = *H.Editor;
    Mark(E, TPoint{0, 0}, TPoint{4, 0});
    QMimeData Foreign;
    Foreign.setData(QStringLiteral("application/x-narvo-editor-drag"),
                    QByteArray::number(QCoreApplication::applicationPid() + 1) + ':' +
                        QByteArray::number(reinterpret_cast<quintptr>(&E)));
    EXPECT_EQ(TScrollEditor::EditorFromMime(&Foreign), nullptr);
    QMimeData Data;
    Data.setData(QStringLiteral("application/x-narvo-editor-drag"),
                 QByteArray::number(QCoreApplication::applicationPid()) + ':' +
                     QByteArray::number(reinterpret_cast<quintptr>(&E)));
    ASSERT_EQ(TScrollEditor::EditorFromMime(&Data), &E);
    QDragEnterEvent Enter(At(E, 7, 0), Qt::MoveAction | Qt::CopyAction, &Data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(E.viewport(), &Enter);
    // Qt delivers a drop only to a widget that accepted the drag's entry.
    EXPECT_TRUE(Enter.isAccepted());
    QDropEvent Event(QPointF(At(E, 7, 0)), Qt::MoveAction | Qt::CopyAction, &Data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(E.viewport(), &Event);
    EXPECT_EQ(LinesOf(E), std::vector<std::string>{"twoone "});
}

TEST_F(EditorDragDrop, ALinesOwnLineFeedIsDraggedAsItself)
{
    EditorHost HT({"_"});
    EditorHost HS({"x", "b\nc", "tail"});
    HT.Show();
    TScrollEditor& Target = *HT.Editor;
    TScrollEditor& Source = *HS.Editor;
    Mark(Source, TPoint{0, 0}, TPoint{3, 1});
    Drop(Target, Source, At(Target, 1, 0));
    const std::vector<std::string> Moved = {"_x", "b\nc"};
    EXPECT_EQ(LinesOf(Target), Moved);
    Target.Undo();
    Target.Redo();
    EXPECT_EQ(LinesOf(Target), Moved);
    // Within one pane: behind its own end.
    Mark(Target, TPoint{0, 0}, TPoint{2, 0});
    Drop(Target, Target, At(Target, 3, 1));
    EXPECT_EQ(LinesOf(Target), (std::vector<std::string>{"", "b\nc_x"}));
    EXPECT_EQ(LinesOf(Source), (std::vector<std::string>{"", "tail"}));
}

// What the drop answers its source: a source that hears "moved" deletes its text.
TEST_F(EditorDragDrop, OnlyADropThatWentInIsAnsweredAsAMove)
{
    EditorHost H({"one two"});
    H.Show();
    TScrollEditor& E = *H.Editor;
    auto Send = [&](const QMimeData& Data, int Column, Qt::KeyboardModifiers Keys = Qt::NoModifier) {
        QDragEnterEvent Enter(At(E, Column, 0), Qt::MoveAction | Qt::CopyAction, &Data, Qt::LeftButton, Keys);
        QApplication::sendEvent(E.viewport(), &Enter);
        QDropEvent Drop(QPointF(At(E, Column, 0)), Qt::MoveAction | Qt::CopyAction, &Data, Qt::LeftButton, Keys);
        QApplication::sendEvent(E.viewport(), &Drop);
        return std::pair{Enter.isAccepted(), Drop.isAccepted() ? Drop.dropAction() : Qt::IgnoreAction};
    };
    using TAnswer = std::pair<bool, Qt::DropAction>;
    InjectKeyState(std::nullopt);  // each drop event's own keys answer
    // Another program's word and a file from a file manager are refused.
    QMimeData Word, File;
    Word.setText(QStringLiteral("word"));
    File.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/any.txt"))});
    EXPECT_EQ(Send(Word, 3), (TAnswer{false, Qt::IgnoreAction}));
    EXPECT_EQ(Send(File, 3), (TAnswer{false, Qt::IgnoreAction}));
    EXPECT_EQ(LinesOf(E), std::vector<std::string>{"one two"});

    QMimeData Own;
    Own.setData(QStringLiteral("application/x-narvo-editor-drag"),
                QByteArray::number(QCoreApplication::applicationPid()) + ':' +
                    QByteArray::number(reinterpret_cast<quintptr>(&E)));
    Mark(E, TPoint{0, 0}, TPoint{4, 0});
    EXPECT_EQ(Send(Own, 2), (TAnswer{true, Qt::IgnoreAction}));  // onto the block itself
    E.SetReadOnly(true);
    EXPECT_EQ(Send(Own, 7), (TAnswer{true, Qt::IgnoreAction}));
    EXPECT_EQ(LinesOf(E), std::vector<std::string>{"one two"});
    E.SetReadOnly(false);
    EXPECT_EQ(Send(Own, 7, Qt::ControlModifier), (TAnswer{true, Qt::CopyAction}));
    EXPECT_EQ(LinesOf(E), std::vector<std::string>{"one twoone "});
    Mark(E, TPoint{0, 0}, TPoint{4, 0});
    EXPECT_EQ(Send(Own, 11), (TAnswer{true, Qt::MoveAction}));
    EXPECT_EQ(LinesOf(E), std::vector<std::string>{"twoone one "});
}

TEST_F(EditorDragDrop, SharedPanesMoveWithinTheirOneBuffer)
{
    EditorHost H1({"one two three"});
    EditorHost H2;
    H1.Show();
    TScrollEditor& Main = *H1.Editor;
    TScrollEditor& Second = *H2.Editor;
    Second.ShareBuffer(&Main);
    Mark(Main, TPoint{0, 0}, TPoint{4, 0});
    Drop(Second, Main, At(Second, 13, 0));
    EXPECT_EQ(LinesOf(Main), std::vector<std::string>{"two threeone "});
    Second.Undo();
    EXPECT_EQ(LinesOf(Main), std::vector<std::string>{"one two three"});
}

}  // namespace
}  // namespace narvo
