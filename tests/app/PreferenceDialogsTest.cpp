// The options, colours, go-to-line and margin-preset dialogs on the real main
// window: refilled from the live values, applied on OK only, to the main and second
// panes but never the third, and wired to the menus and the document hook.
#include "app/Documents.h"
#include "AppWindowFixture.h"

#include "app/MainWindowMenus.h"
#include "app/PreferenceDialogs.h"
#include "components/CheckBoxExt.h"
#include "components/IntSpin.h"
#include "components/RealSpin.h"
#include "components/TextRuler.h"
#include "tools/ColorsDialog.h"
#include "tools/GoToLineDialog.h"
#include "tools/MarginPresetsDialog.h"
#include "platform/posix/IniFile.h"
#include "tools/OptionsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QTableWidget>
#include <QTimer>
#include <sys/stat.h>

namespace narvo {
namespace {

class PreferenceDialogsTest : public AppWindowFixture {
protected:
    void SetUp() override
    {
        AppWindowFixture::SetUp();
        CreatePreferenceDialogs();
    }
    void TearDown() override
    {
        AppWindowFixture::TearDown();
    }
    // Triggers the menu entry Name with Script acting on the shown modal dialog.
    void WhileShown(const char* Name, std::function<void()> Script)
    {
        QTimer::singleShot(0, std::move(Script));
        Trigger(Name);
    }
};

TEST_F(PreferenceDialogsTest, OptionsRefillAtEveryShowingAndCancelChangesNothing)
{
    TOptionsDlg& D = *OptionsDlg();
    Main().SetCursorWidth(5);
    Main().SetScrollBars(ssVertical);
    Form->Editor2->SetSpacesPerTab(4);
    NewWordStyle = true;
    MinimumSpace = 2;
    AutoSaveInterval = 6000;
    bool Seen = false;
    WhileShown("OptionsMnu", [&] {
        Seen = true;
        EXPECT_EQ(D.CursorSpin->Value(), 5);
        EXPECT_FALSE(D.HorizScrllChk->isChecked());
        EXPECT_TRUE(D.VertScrllChk->isChecked());
        EXPECT_EQ(D.TabSpacesSpin->Value(), 4);
        EXPECT_TRUE(D.NewWordStyleRadio->isChecked());
        EXPECT_EQ(D.MinSpacesSpin->Value(), 2);
        EXPECT_DOUBLE_EQ(D.AutoSaveSpin->Value(), 0.1);
        D.CursorSpin->SetValue(20);
        D.VertScrllChk->setChecked(false);
        D.MinSpacesSpin->SetValue(3);
        D.ToolChk->setChecked(false);
        D.reject();
    });
    ASSERT_TRUE(Seen);
    EXPECT_EQ(Main().CursorWidth(), 5);
    EXPECT_EQ(Main().ScrollBars(), ssVertical);
    EXPECT_EQ(MinimumSpace, 2);
    EXPECT_FALSE(Form->ToolBar->isHidden());

    // A change made elsewhere shows at the next showing.
    Main().SetCursorWidth(7);
    WhileShown("OptionsMnu", [&] {
        EXPECT_EQ(D.CursorSpin->Value(), 7);
        D.reject();
    });
}

TEST_F(PreferenceDialogsTest, OptionsOkAppliesToMainAndSecondPaneOnly)
{
    TOptionsDlg& D = *OptionsDlg();
    Form->Editor3->SetCursorWidth(3);
    Form->Editor3->SetScrollBars(ssBoth);
    WhileShown("OptionsMnu", [&] {
        D.HorizScrllChk->setChecked(false);
        D.VertScrllChk->setChecked(false);
        D.CursorSpin->SetValue(12);
        D.TabSpacesSpin->SetValue(3);
        D.AppendEOFChk->setChecked(true);
        D.OldWordStyleRadio->setChecked(true);
        D.AutoSaveChk->SetChecked(false);
        D.AutoSaveSpin->SetValue(2.5);
        D.RulerChk->setChecked(false);
        D.MacDirEdit->setText(QStringLiteral("/tmp/macros"));
        D.accept();
    });
    for (TScrollEditor* P : {Form->MainEditor, Form->Editor2}) {
        EXPECT_EQ(P->ScrollBars(), ssNone);
        EXPECT_EQ(P->CursorWidth(), 12);
        EXPECT_EQ(P->SpacesPerTab(), 3);
        EXPECT_TRUE(P->CtrlZMode);
    }
    EXPECT_EQ(Form->Editor3->ScrollBars(), ssBoth);
    EXPECT_EQ(Form->Editor3->CursorWidth(), 3);
    EXPECT_FALSE(NewWordStyle);
    EXPECT_FALSE(AutoSaveEnabled);
    EXPECT_EQ(AutoSaveInterval, 150000);
    EXPECT_TRUE(Form->TextRuler->isHidden());
    EXPECT_EQ(MacroFolder, "/tmp/macros");
    // Nothing was written to the settings file.
    EXPECT_FALSE(Exists("Narvo.ini"));
}

// A folder whose name is not UTF-8 keeps its bytes through OK and Save User
// Settings while the user leaves its text as shown.
TEST_F(PreferenceDialogsTest, AFolderNameThatIsNotUtf8KeepsItsBytes)
{
    TOptionsDlg& D = *OptionsDlg();
    const std::string Latin = Path("caf\xE9");
    ASSERT_EQ(mkdir(Latin.c_str(), 0700), 0);
    MacroFolder = Latin;
    DefaultFolder = Latin;
    D.FillControls();
    D.ApplyControls();
    EXPECT_EQ(MacroFolder, Latin);
    EXPECT_EQ(DefaultFolder, Latin);
    SaveSettings();
    EXPECT_EQ(TIniFile("Narvo.ini").ReadString("Directories", "MacroFolder", ""), Latin);
    // A text the user edited is taken as typed.
    D.FillControls();
    D.MacDirEdit->setText(QStringLiteral("/tmp/typed"));
    D.ApplyControls();
    EXPECT_EQ(MacroFolder, "/tmp/typed");
    EXPECT_EQ(DefaultFolder, Latin);
}

TEST_F(PreferenceDialogsTest, OptionsSpinsKeepValuesInTheirRanges)
{
    TOptionsDlg& D = *OptionsDlg();
    struct {
        TIntegerSpin* Spin;
        const char* Typed;
        std::int64_t Read;
    } const Cases[] = {{D.CursorSpin, "99", 30},  {D.CursorSpin, "0", 1},    {D.ReopenSpin, "31", 30},
                       {D.TabSpacesSpin, "-4", 1}, {D.MinSpacesSpin, "7", 3}, {D.MinSpacesSpin, "2", 2}};
    for (const auto& C : Cases) {
        C.Spin->setText(QString::fromLatin1(C.Typed));
        EXPECT_EQ(C.Spin->Value(), C.Read) << C.Typed;
    }
    int Beeps = 0;
    auto Previous = SetSpinBeepHook([&] { ++Beeps; });
    char Key = 'x';
    D.CursorSpin->KeyPress(Key);
    SetSpinBeepHook(Previous);
    EXPECT_EQ(Key, 0);
    EXPECT_EQ(Beeps, 1);
    // An interval typed past the limits is held at them when applied.
    D.AutoSaveSpin->setText(QStringLiteral("5000"));
    D.ApplyControls();
    EXPECT_EQ(AutoSaveInterval, 86400000);
}

TEST_F(PreferenceDialogsTest, ColorsApplyToMainAndSecondPaneNotThird)
{
    TColorDlg& D = *ColorDlg();
    Main().SetHighlightColor(0x112233);
    Form->Editor3->SetColor(0xFFFFFF);
    // Cancel applies nothing.
    WhileShown("FontsMnu", [&] {
        EXPECT_EQ(D.ColorItems[ciHighlight].Color, 0x112233u);
        D.ColorItems[ciScreen].Color = 0x000080;
        D.reject();
    });
    EXPECT_EQ(Main().Color(), 0xFFFFFFu);

    QFont Big = Main().font();
    Big.setPointSize(14);
    WhileShown("FontsMnu", [&] {
        D.ColorItems[ciScreen].Color = 0x000080;
        D.ColorItems[ciText].Color = 0x00FFFF;
        D.ChosenFont = Big;
        D.CharsetBox->setCurrentIndex(1);
        D.FontSizeChk->setChecked(false);
        D.accept();
    });
    for (TScrollEditor* P : {Form->MainEditor, Form->Editor2}) {
        EXPECT_EQ(P->Color(), 0x000080u);
        EXPECT_EQ(P->FontColor(), 0x00FFFFu);
        EXPECT_EQ(P->HighlightColor(), 0x112233u);
        EXPECT_EQ(P->font().pointSize(), 14);
        EXPECT_EQ(P->FontCharset(), TCodePage::Oem);
    }
    EXPECT_EQ(Form->Editor3->Color(), 0xFFFFFFu);
    EXPECT_EQ(Form->Editor3->FontCharset(), TCodePage::Ansi);
    // "Use Screen Font" with "Use Screen Font Size" off: the face, at 9 points.
    EXPECT_EQ(Form->CmdEditor->font().family(), Big.family());
    EXPECT_EQ(Form->CmdEditor->font().pointSize(), 9);
}

TEST_F(PreferenceDialogsTest, GoToLineMovesAndReportsALinePastTheEnd)
{
    std::vector<std::string> Lines;
    for (int I = 0; I < 10; ++I)
        Lines.push_back("line " + std::to_string(I));
    Main().SetStrings(Lines);
    Trigger("GoToLineNumber1");
    TLineNumDlg& D = *LineNumDlg();
    EXPECT_TRUE(D.isVisible());
    EXPECT_FALSE(D.isModal());
    EXPECT_EQ(D.LineNumberSpin->MaxValue(), 10);
    D.LineNumberSpin->SetValue(6);
    EXPECT_TRUE(D.GoToLineNumber());
    EXPECT_EQ(Main().Cursor->Pos().Y, 5);
    EXPECT_EQ(Main().Cursor->Pos().X, 0);
    EXPECT_EQ(Main().TopLine, 5);

    // Hot tracking follows every change of the number.
    D.HotTrackChk->setChecked(true);
    D.LineNumberSpin->SetValue(2);
    EXPECT_EQ(Main().Cursor->Pos().Y, 1);
    D.HotTrackChk->setChecked(false);

    // The text shrank after the dialog was shown: the maximum is still 10.
    D.LineNumberSpin->SetValue(9);
    Main().SetStrings({"a", "b", "c"});
    const TPoint Before = Main().Cursor->Pos();
    const std::int64_t Top = Main().TopLine;
    EXPECT_FALSE(D.GoToLineNumber());
    EXPECT_TRUE(StatusMessageIsError());
    // Neither the cursor's line nor the view's first line is there: both are said.
    EXPECT_EQ(StatusMessage(), "Range? Scroll?");
    EXPECT_EQ(Form->StatusDis->text().toStdString(), " Range? Scroll?");
    EXPECT_EQ(Main().Cursor->Pos().Y, Before.Y);
    EXPECT_EQ(Main().TopLine, Top);

    // A new document: the number goes back to 1.
    Main().SetModified(false);
    Write("next.txt", "x\n");
    ASSERT_TRUE(OpenTextFile(Path("next.txt")));
    EXPECT_EQ(D.LineNumberSpin->Value(), 1);
}

TEST_F(PreferenceDialogsTest, MarginPresetsApplyReadAndRefuse)
{
    TMarginsDlg& D = *MarginsDlg();
    D.FillMarginGrid();
    D.MarginGrid->setCurrentCell(2, 1);
    D.ApplyBtnClick();
    EXPECT_EQ(LeftMargin, 5);
    EXPECT_EQ(RightMargin, 68);
    EXPECT_EQ(ParaIndent, 0);

    // Letters read as the column's default; the current margins go into a row.
    D.MarginGrid->item(3, 1)->setText(QStringLiteral("ab"));
    D.MarginGrid->item(3, 2)->setText(QStringLiteral("xy"));
    D.MarginGrid->item(3, 3)->setText(QStringLiteral("-2"));
    LeftMargin = 7;
    RightMargin = 60;
    ParaIndent = 3;
    D.MarginGrid->setCurrentCell(4, 2);
    D.InsertBtnClick();
    EXPECT_EQ(MarginPresets[3].Left, 5);  // not read yet
    ASSERT_TRUE(D.ReadMarginGrid());
    EXPECT_EQ(MarginPresets[2].Left, 0);
    EXPECT_EQ(MarginPresets[2].Right, 72);
    EXPECT_EQ(MarginPresets[2].Indent, -2);
    EXPECT_EQ(MarginPresets[3].Left, 7);
    EXPECT_EQ(MarginPresets[3].Right, 60);
    EXPECT_EQ(MarginPresets[3].Indent, 3);

    // A right margin left of the left one is refused and nothing is read.
    const auto Before = MarginPresets;
    D.MarginGrid->item(1, 1)->setText(QStringLiteral("80"));
    Boxes.Answers.push_back(mrOk);
    EXPECT_FALSE(D.ReadMarginGrid());
    EXPECT_NE(LastAsked().find("preset 1"), std::string::npos);
    EXPECT_EQ(MarginPresets[0].Left, Before[0].Left);
    EXPECT_EQ(D.MarginGrid->currentRow(), 1);

    // OK reads the grid; Cancel keeps the presets.
    WhileShown("MarginsMnu", [&] {
        D.MarginGrid->item(1, 3)->setText(QStringLiteral("4"));
        D.reject();
    });
    EXPECT_EQ(MarginPresets[0].Indent, Before[0].Indent);
    WhileShown("MarginsMnu", [&] {
        D.MarginGrid->item(1, 3)->setText(QStringLiteral("4"));
        D.accept();
    });
    EXPECT_EQ(MarginPresets[0].Indent, 4);
}

}  // namespace
}  // namespace narvo
