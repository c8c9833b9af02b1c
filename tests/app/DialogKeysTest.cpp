// Tab and Enter in the program's dialogs: Tab leaves a grid or a memo for the next
// control (it walked cell by cell through grids of up to 289 cells, and went into
// the memos' text as a character), and Enter in the help window does not jump to
// its contents.
#include "AppWindowFixture.h"

#include "app/MacroDialog.h"
#include "components/ChmHelper.h"
#include "tools/CharacterChart.h"
#include "tools/ClipFormatDialog.h"
#include "tools/Favorites.h"
#include "tools/FileDetails.h"
#include "tools/MarginPresetsDialog.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

namespace narvo {
namespace {

class DialogKeys : public AppWindowFixture {
protected:
    // Shows D with the keyboard in W, presses Tab there and answers where the
    // keyboard went.
    static QWidget* TabFrom(QDialog& D, QWidget* W)
    {
        D.show();
        D.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&D));
        W->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(W, Qt::Key_Tab);
        return QApplication::focusWidget();
    }
};

TEST_F(DialogKeys, TabLeavesAGridOrAMemoForTheNextControl)
{
    TAsciiDlg Chart({});
    TClipFormatDlg Formats;
    TFavoritesDlg Favorites({});
    TMacroDlg Macros;
    TMarginsDlg Margins({});
    const std::pair<QDialog*, QTableWidget*> Grids[] = {{&Chart, Chart.AsciiGrid},
                                                        {&Formats, Formats.FormatGrid},
                                                        {&Favorites, Favorites.FavoritesGrid},
                                                        {&Macros, Macros.MacroGrid},
                                                        {&Margins, Margins.MarginGrid}};
    for (const auto& [D, Grid] : Grids) {
        Grid->setCurrentCell(1, 1);
        QWidget* Next = TabFrom(*D, Grid);
        EXPECT_NE(Next, Grid) << D->windowTitle().toStdString();
        EXPECT_EQ(Grid->currentRow(), 1);
        EXPECT_EQ(Grid->currentColumn(), 1);
        D->hide();
    }

    TDetailsDlg Details;
    for (int Page = 0; Page < Details.PageControl->count(); ++Page) {
        Details.PageControl->setCurrentIndex(Page);
        for (QPlainTextEdit* Memo : {Details.ParamMemo, Details.CountReport}) {
            if (!Memo->isVisibleTo(&Details))
                continue;
            Memo->setPlainText("keep");
            EXPECT_NE(TabFrom(Details, Memo), Memo) << Page;
            EXPECT_EQ(Memo->toPlainText().toStdString(), "keep") << Page;
        }
    }
}

TEST_F(DialogKeys, EnterInTheHelpWindowStaysOnThePage)
{
    THelpWindow Help(nullptr);
    int Pressed = 0;
    for (QPushButton* B : Help.findChildren<QPushButton*>())
        QObject::connect(B, &QPushButton::clicked, [&Pressed] { ++Pressed; });
    Help.ShowHtml("<p>A page of help.</p>");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Help));
    QTest::keyClick(Help.Browser, Qt::Key_Return);
    EXPECT_EQ(Pressed, 0);
    EXPECT_TRUE(Help.isVisible());
}

}  // namespace
}  // namespace narvo
