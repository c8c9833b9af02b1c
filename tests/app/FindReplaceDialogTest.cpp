// Edit > Find... and Edit > Replace... driven in the program's main window: Replace
// All paints the pane once and undoes in one step, Find Next and Replace paint it
// once per press, a search that finds nothing says so on the status line and leaves
// no match looking found, and Enter in the find field is Find Next at every opening.
#include "PanesFixture.h"

#include "app/FindReplace.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace narvo {
namespace {

// Counts the paints of one widget.
class TPaintCounter : public QObject {
public:
    explicit TPaintCounter(QWidget* W) : FWidget(W) { W->installEventFilter(this); }
    ~TPaintCounter() override { FWidget->removeEventFilter(this); }
    int Paints = 0;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        Paints += Watched == FWidget && Event->type() == QEvent::Paint;
        return QObject::eventFilter(Watched, Event);
    }

private:
    QWidget* FWidget;
};

class FindReplaceDialog : public PanesFixture {
protected:
    void SetUp() override
    {
        PanesFixture::SetUp();
        Form->resize(900, 600);
        Form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
    }
    TFindReplaceDialog& Dialog() { return *Form->Menus->FindDialog(); }
    void Load(const std::string& Text)
    {
        Main().SetText(Text);
        Main().Cursor->SetPos(TPoint{0, 0});
        QCoreApplication::processEvents();
    }
    // Clicks B and answers how often the main pane painted until the window was idle.
    int PaintsOfClick(QPushButton* B)
    {
        const TPaintCounter Count(Main().viewport());
        B->click();
        QCoreApplication::processEvents();
        return Count.Paints;
    }
    std::string Status() const { return Text(Form->StatusDis); }
};

TEST_F(FindReplaceDialog, ReplaceAllPaintsTheEndOnceAndUndoesInOneStep)
{
    constexpr int Matches = 2000;
    std::string Source, Expected;
    for (int I = 0; I < Matches; ++I) {
        Source += "int std::x" + std::to_string(I) + "; std::y;\r";
        Expected += "int xx::x" + std::to_string(I) + "; xx::y;\r";
    }
    Load(Source);
    Form->Menus->ReplaceMnuClick();
    Dialog().FindEdit->setText("std::");
    Dialog().ReplaceEdit->setText("xx::");
    EXPECT_LE(PaintsOfClick(Dialog().ReplaceAllBtn), 1);
    EXPECT_EQ(Main().GetText(), Expected);
    EXPECT_EQ(Status(), " Ok");
    EXPECT_EQ(Main().Cursor->Pos(), (TPoint{19, Matches - 1}));
    Main().Undo();
    EXPECT_EQ(Main().GetText(), Source);

    // A press of Replace or Find Next paints once too, however many came before.
    Main().Cursor->SetPos(TPoint{0, 0});
    for (int I = 0; I < 5; ++I) {
        EXPECT_LE(PaintsOfClick(Dialog().ReplaceBtn), 1) << I;
        EXPECT_LE(PaintsOfClick(Dialog().FindNextBtn), 1) << I;
    }
    EXPECT_EQ(Main().GetText().substr(0, 22), "int std::x0; xx::y;\rin");
}

TEST_F(FindReplaceDialog, ASearchThatFindsNothingSaysNotFoundAndLeavesNoMatchLookingFound)
{
    Load("abc abc\r");
    Form->Menus->FindMnuClick();
    Dialog().FindEdit->setText("abc");
    Dialog().FindNextBtn->click();
    EXPECT_TRUE(Main().HighLight->Found);
    EXPECT_EQ(Status(), " Ok");
    Dialog().FindEdit->setText("zzz");
    Dialog().FindNextBtn->click();
    EXPECT_EQ(Status(), " Not Found");
    EXPECT_FALSE(Main().HasMark());
    EXPECT_EQ(Main().Cursor->Pos(), (TPoint{3, 0}));

    // Up from the first match.
    Main().Cursor->SetPos(TPoint{0, 0});
    Dialog().FindEdit->setText("abc");
    Dialog().FindNextBtn->click();
    ASSERT_EQ(Status(), " Ok");
    Dialog().UpBtn->setChecked(true);
    Dialog().FindNextBtn->click();
    EXPECT_EQ(Status(), " Not Found");
    EXPECT_FALSE(Main().HasMark());

    // Replace All with no match, and Replace with none after the one it replaced.
    Form->Menus->ReplaceMnuClick();
    Dialog().DownBtn->setChecked(true);
    Dialog().FindEdit->setText("zzz");
    Dialog().ReplaceAllBtn->click();
    EXPECT_EQ(Status(), " Not Found");
    Main().Cursor->SetPos(TPoint{0, 0});
    Dialog().FindEdit->setText("abc");
    Dialog().ReplaceEdit->setText("x");
    Dialog().FindNextBtn->click();
    Dialog().ReplaceBtn->click();
    ASSERT_EQ(Status(), " Ok");
    Dialog().ReplaceBtn->click();
    EXPECT_EQ(Main().GetText(), "x x\r");
    EXPECT_EQ(Status(), " Not Found");
}

TEST_F(FindReplaceDialog, EnterInTheFindFieldIsFindNextAtEveryOpening)
{
    Load("one two one\r");
    for (int Opening = 0; Opening < 3; ++Opening) {
        Form->Menus->FindMnuClick();
        QCoreApplication::processEvents();
        ASSERT_TRUE(Dialog().isVisible());
        Dialog().FindEdit->setText("one");
        QTest::keyClick(Dialog().FindEdit, Qt::Key_Return);
        EXPECT_TRUE(Dialog().isVisible()) << Opening;
        EXPECT_TRUE(Main().HighLight->Found) << Opening;
        Main().ClearMark();
        Main().Cursor->SetPos(TPoint{0, 0});
        // Closed by Cancel, clicked as the user clicks it (it takes the keyboard).
        QPushButton* Cancel = Dialog().findChildren<QPushButton*>().at(3);
        ASSERT_EQ(Cancel->text(), "Cancel");
        QTest::mouseClick(Cancel, Qt::LeftButton);
        ASSERT_FALSE(Dialog().isVisible());
    }
}

}  // namespace
}  // namespace narvo
