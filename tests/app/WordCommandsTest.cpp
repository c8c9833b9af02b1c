// Word moves and deletes under both word rules, the two alternating markers with
// their view, the panel toggle on the main window, and `Z`.
#include "app/CommandLanguage.h"
#include "app/Documents.h"
#include "app/MainWindow.h"
#include "app/Settings.h"
#include "components/TextRuler.h"
#include "engine/FakeEditor.h"
#include "language/AppState.h"
#include "language/StatusLine.h"
#include "language/WordCommands.h"

#include <gtest/gtest.h>

#include <memory>

namespace narvo {
namespace {

TEST(WordCommands, BothWordRulesWithAndWithoutShift)
{
    // "the cat sat": word starts 0, 4, 8; word ends 3, 7, 11.
    struct Row { bool NewStyle, Shift; void (*Cmd)(TEditorEngine&, bool); std::int64_t From, To; const char* After; };
    for (const Row& R : std::initializer_list<Row>{
             {false, false, WordRightCmd, 1, 4, "the cat sat"}, {false, true, WordRightCmd, 1, 3, "the cat sat"},
             {true, false, WordRightCmd, 1, 3, "the cat sat"}, {true, true, WordRightCmd, 1, 4, "the cat sat"},
             {false, false, WordLeftCmd, 9, 8, "the cat sat"}, {false, true, WordLeftCmd, 9, 7, "the cat sat"},
             {false, false, DeleteWordRightCmd, 4, 4, "the sat"}, {true, false, DeleteWordRightCmd, 4, 4, "the  sat"},
             {false, false, DeleteWordLeftCmd, 9, 8, "the cat at"}, {false, true, DeleteWordLeftCmd, 9, 7, "the catat"}}) {
        NewWordStyle = R.NewStyle;
        test::TFakeEditor P;
        P.SetLines("the cat sat");
        P.SetCursor(R.From, 0);
        P.HighLight->EndPos = TPoint{2, 0};
        R.Cmd(P, R.Shift);
        EXPECT_TRUE(P.HighLight->Empty());
        EXPECT_EQ(P.CursorPos(), (TPoint{R.To, 0})) << R.NewStyle << R.Shift << R.From;
        EXPECT_EQ(P.Lines(), R.After) << R.NewStyle << R.Shift << R.From;
    }
    NewWordStyle = false;
}

TEST(Markers, DropsAThenBThenGoesVisitBABAndResetClearsTheView)
{
    TScrollEditor E;
    auto Drop = [&E](std::int64_t Y, std::int64_t Top) {
        E.Cursor->SetPos(TPoint{0, Y});
        E.TopLine = Top;
        DropMarker(E);
    };
    ResetMarkers();
    SetStatusMessage("", false);
    E.SetText(std::string(40, '\n'));
    GoToMarker(E);  // nothing dropped: the text start
    EXPECT_EQ(E.Cursor->Pos(), (TPoint{0, 0}));
    ResetMarkers();
    Drop(5, 3);
    Drop(30, 25);
    for (const std::int64_t Y : {30, 5, 30}) {
        GoToMarker(E);
        EXPECT_EQ(E.Cursor->Pos(), (TPoint{0, Y}));
        EXPECT_EQ(E.TopLine, Y == 30 ? 25 : 3);
    }
    EXPECT_EQ(StatusMessage(), "");
    ResetMarkers();  // a new document: the view fields go too
    E.SetText("short");
    GoToMarker(E);
    EXPECT_EQ(StatusMessage(), "");
    E.SetText(std::string(40, '\n'));
    Drop(30, 28);
    E.SetText("short");
    E.Cursor->SetPos(TPoint{2, 0});
    GoToMarker(E);  // the text shrank below the marker: the cursor stays
    EXPECT_EQ(E.Cursor->Pos(), (TPoint{2, 0}));
    EXPECT_EQ(StatusMessage(), "Range?");
    EXPECT_TRUE(StatusMessageIsError());
}

TEST(Panels, ToggleHidesAllWhenAnyIsShownElseShowsAll)
{
    auto Form = std::make_unique<TForm1>();
    QWidget* const Panels[] = {Form->TextRuler, Form->CmdControl, Form->StatusBar, Form->StatusBar2};
    Form->TextRuler->hide();
    for (const bool Shown : {false, true}) {
        TogglePanels(*Form);
        for (QWidget* W : Panels)
            EXPECT_EQ(W->isVisibleTo(Form.get()), Shown);
        EXPECT_TRUE(Form->ToolBar->isVisibleTo(Form.get()));
    }
}

TEST(DeleteBackToFormFeed, DeletesToTheFormFeedOrTheStartInOneUndoRecord)
{
    struct Row { const char* Text; TPoint From; const char* After; TPoint Cursor; };
    for (const Row& R : std::initializer_list<Row>{{"ab\fcd|ef", {1, 1}, "abf", {2, 0}},
                                                   {"ab\f", {3, 0}, "ab", {2, 0}},  // just left of the cursor
                                                   {"\fa\fb|c|d", {0, 2}, "\fad", {2, 0}},
                                                   {"abc|de", {1, 1}, "e", {0, 0}},
                                                   {"\fab", {0, 0}, "\fab", {0, 0}}}) {
        test::TFakeEditor P;
        P.SetLines(R.Text);
        P.SetCursor(R.From.X, R.From.Y);
        DeleteBackToFormFeedCmd(P);
        EXPECT_EQ(P.Lines(), R.After) << R.Text;
        EXPECT_EQ(P.CursorPos(), R.Cursor) << R.Text;
        EXPECT_EQ(P.UndoList->Count(), R.From == TPoint{} ? 0 : 1) << R.Text;
        P.Undo();
        EXPECT_EQ(P.Lines(), R.Text) << R.Text;
        EXPECT_EQ(P.CursorPos(), R.From) << R.Text;
    }
}

}  // namespace
}  // namespace narvo
