// The status line's model without a window: the sticky error flag, the messages of
// the status codes, the number formats and the fields computed from a pane.
#include "engine/EditorEngine.h"
#include "language/AppState.h"
#include "language/StatusLine.h"
#include "shared/SystemData.h"

#include <gtest/gtest.h>

namespace narvo {
namespace {

class StatusModel : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A plain message always replaces whatever an earlier test left.
        SetStatusMessage("", false);
        SystemData.SetDecimalSeparator('.');
        SystemData.SetThousandSeparator(',');
    }
    TSeparatorGuard Separators;
};

TEST_F(StatusModel, TheFirstErrorStaysUntilAPlainMessage)
{
    struct Step {
        const char* Text;
        bool Error;
        const char* Shown;
        bool ErrorAfter;
    };
    const Step Steps[] = {
        {"Working", false, "Working", false}, {"Not Found", true, "Not Found", true},
        {"End", true, "Not Found", true},     {"Ok", false, "Ok", false},
        {"Start", true, "Start", true},       {"Undo Empty", false, "Undo Empty", false},
    };
    for (const Step& S : Steps) {
        SetStatusMessage(S.Text, S.Error);
        EXPECT_EQ(StatusMessage(), S.Shown) << "after " << S.Text;
        EXPECT_EQ(StatusMessageIsError(), S.ErrorAfter) << "after " << S.Text;
    }
}

TEST_F(StatusModel, EachStatusCodeGivesItsMessageAndResetsTheCode)
{
    struct Row {
        TEditStatus Code;
        const char* Text;
        bool Error;
    };
    const Row Rows[] = {
        {edDone, "Ok", false},           {edNotFound, "Not Found", true},   {edAtStart, "Start", true},
        {edAtEnd, "End", true},          {edNothingToUndo, "Undo Empty", false},
        {edNothingToRedo, "Redo Empty", false}, {edBadPosition, "Bad Position", true},
    };
    for (const Row& R : Rows) {
        SetStatusMessage("before", false);
        TEditStatus Code = R.Code;
        ShowEditorStatus(Code);
        EXPECT_EQ(StatusMessage(), R.Text);
        EXPECT_EQ(StatusMessageIsError(), R.Error) << R.Text;
        EXPECT_EQ(Code, edDone);
    }
    // "Nothing changed" and an unknown code leave the message (and its error flag).
    for (auto Code : {edNothingChanged, static_cast<TEditStatus>(200)}) {
        SetStatusMessage("", false);
        SetStatusMessage("Not Found", true);
        ShowEditorStatus(Code);
        EXPECT_EQ(StatusMessage(), "Not Found");
        EXPECT_TRUE(StatusMessageIsError());
        EXPECT_EQ(Code, edDone);
    }
}

TEST_F(StatusModel, NumbersCarryTheLocaleSeparators)
{
    EXPECT_EQ(FormatWhole(0), "0");
    EXPECT_EQ(FormatWhole(999), "999");
    EXPECT_EQ(FormatWhole(12345), "12,345");
    EXPECT_EQ(FormatWhole(-1234567), "-1,234,567");
    EXPECT_EQ(FormatWhole(INT64_MIN), "-9,223,372,036,854,775,808");
    EXPECT_EQ(FormatTwoDecimals(1.0), "1.00");
    EXPECT_EQ(FormatTwoDecimals(1234.5), "1,234.50");
    SystemData.SetThousandSeparator('\0');
    SystemData.SetDecimalSeparator(',');
    EXPECT_EQ(FormatWhole(12345), "12345");
    EXPECT_EQ(FormatTwoDecimals(1.5), "1,50");
}

TEST_F(StatusModel, CursorCharacterIsTheOneLeftOfTheCursor)
{
    TEditorEngine E;
    E.SetText(std::string("AB\nx") + '\0' + "y");
    struct Row {
        TPoint At;
        const char* Shown;
    };
    const Row Rows[] = {{{0, 0}, "-"}, {{1, 0}, "$41"}, {{0, 1}, "$0D"}, {{2, 1}, "-"}, {{3, 1}, "$79"}};
    for (const Row& R : Rows) {
        E.Cursor->SetPos(R.At);
        EXPECT_EQ(CursorCharText(E), R.Shown) << R.At.X << "," << R.At.Y;
    }
}

TEST_F(StatusModel, FieldsFollowTheActivePaneAndTheSwitches)
{
    TEditorEngine Main, Active;
    std::string Text;
    for (int I = 0; I < 12400; ++I)
        Text += "abc\n";
    Active.SetText(Text);
    Active.Cursor->SetPos({2, 12344});
    Active.HighLight->StartPos = {0, 12344};
    Active.HighLight->EndPos = {2, 12344};
    Active.SetModified(true);
    Active.Overwrite = true;
    Main.SetText(std::string("\xFF\xFE" "a\0", 4));
    Main.SetModified(true);
    IgnoreCaseFlag = true;
    SetStatusMessage("Ok", false);

    const TStatusFields F = ComputeStatusFields(Active, 1.5, Main, 7, "+");
    EXPECT_EQ(F.StatusDis, " Ok");
    EXPECT_EQ(F.CmdNumberDis, "7");
    EXPECT_EQ(F.LineNumDis, "12,345");
    EXPECT_EQ(F.ColumnDis, "2");
    EXPECT_EQ(F.HighlightDis, "2");
    EXPECT_EQ(F.ZoomDis, "1.50");
    EXPECT_EQ(F.ModifiedDis, "Mod");
    EXPECT_TRUE(F.SaveEnabled);
    EXPECT_TRUE(F.OverWrite);
    EXPECT_TRUE(F.FileType);
    EXPECT_TRUE(F.SrchCase);
    EXPECT_EQ(F.BoxCharDis, "+");
    EXPECT_EQ(F.CharHexDis, "$62");
    IgnoreCaseFlag = false;

    Main.SetText("plain");
    Main.SetModified(false);
    const TStatusFields G = ComputeStatusFields(Main, 1.0, Main, 0, " ");
    EXPECT_FALSE(G.FileType);
    EXPECT_EQ(G.ModifiedDis, "");
    EXPECT_FALSE(G.SaveEnabled);
    // "Mod" and Save follow the text the active pane shows: a pane with a text of its
    // own shows its own flag, a pane sharing the main text the main one.
    const TStatusFields H = ComputeStatusFields(Active, 1.0, Main, 0, " ");
    EXPECT_EQ(H.ModifiedDis, "Mod");
    EXPECT_TRUE(H.SaveEnabled);
    TEditorEngine Split;
    Split.ShareBuffer(Main);
    Main.SetModified(true);
    EXPECT_EQ(ComputeStatusFields(Split, 1.0, Main, 0, " ").ModifiedDis, "Mod");
    EXPECT_TRUE(ComputeStatusFields(Split, 1.0, Main, 0, " ").SaveEnabled);
    Main.SetModified(false);
    Split.Modified = true;  // a shared pane's own flag is not the text's
    EXPECT_EQ(ComputeStatusFields(Split, 1.0, Main, 0, " ").ModifiedDis, "");
    EXPECT_FALSE(ComputeStatusFields(Split, 1.0, Main, 0, " ").SaveEnabled);
}

// A message wider than its field: the middle of a path gives way first, keeping the
// file name and the message's end; without a path the end is cut. Each byte is 7
// units wide here, the dots 3, so the result is the widest that fits.
TEST(StatusFit, APathGivesWayInItsMiddleBeforeTheMessageEnds)
{
    const auto Width = [](const std::string& T) {
        int W = 0;
        for (char C : T)
            W += C == '.' ? 3 : 7;
        return W;
    };
    const std::string Saved = "Not auto-saved: Cannot save \"/home/someone/projects/narrow/report.txt\": disk full";
    EXPECT_EQ(FitStatusText(Saved, Width(Saved), Width), Saved);

    // The path keeps its start and its file name; "/narrow" gives way.
    const std::string Cut = "Not auto-saved: Cannot save \"/home/someone/projects.../report.txt\": disk full";
    EXPECT_EQ(FitStatusText(Saved, Width(Cut), Width), Cut);
    EXPECT_EQ(FitStatusText(Saved, Width(Cut) + 6, Width), Cut);
    // Narrower: the file name is the last of the path to go, the message's end stays.
    for (const std::string Shown : {"Not auto-saved: Cannot save \"/.../report.txt\": disk full",
                                    "Not auto-saved: Cannot save \"...t.txt\": disk full"})
        EXPECT_EQ(FitStatusText(Saved, Width(Shown), Width), Shown);
    // Not even the path's dots leave room: the path keeps its file name, and the
    // message is cut at its end.
    const std::string Unchanged = "Not auto-saved: Cannot save \"/home/someone/projects/narrow/report.txt\" unchanged: "
                                  "some of its line ends differ from its usual one";
    const std::string NameKept = "Not auto-saved: Cannot save \".../report.txt\" unchanged: some...";
    EXPECT_EQ(FitStatusText(Unchanged, Width(NameKept), Width), NameKept);
    EXPECT_EQ(FitStatusText(Saved, 100, Width), "Not auto-save...");

    // No path: the end gives way.
    const std::string Drafts = "1 draft kept at exit (File > Advanced File Ops > Auto-backup Files)";
    EXPECT_EQ(FitStatusText(Drafts, Width("1 draft kept at exit (File...") + 6, Width), "1 draft kept at exit (File...");
    // The longer of two paths goes first, and an unquoted path counts as one.
    const std::string Two = "Cannot rename /tmp/a.txt to /var/tmp/somewhere/deeper/b.txt";
    EXPECT_EQ(FitStatusText(Two, Width(Two) - 35, Width), "Cannot rename /tmp/a.txt to /var/tmp/somewhere.../b.txt");
    // A room smaller than the dots leaves just them.
    EXPECT_EQ(FitStatusText(Drafts, 0, Width), "...");
}

}  // namespace
}  // namespace narvo

