// Dialogs open showing their whole content, whatever the desktop's font: the
// character chart's 17 rows and columns, the favourites' ten rows, every Enclose
// Text caption uncut, the spelling form at the size of the page it shows, the
// external-programs dialog keeping its size through Add and Done, and the colour
// preview's six lines without scroll bars.
#include "editor/ScrollEditor.h"
#include "tools/CharacterChart.h"
#include "tools/ColorsDialog.h"
#include "tools/EncloseText.h"
#include "tools/ExternalPrograms.h"
#include "tools/Favorites.h"
#include "tools/SpellDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace narvo {
namespace {

// Whether every cell of Grid lies wholly inside its view.
bool AllCellsShown(const QTableWidget& Grid)
{
    const QRect View = Grid.viewport()->rect();
    for (int R = 0; R < Grid.rowCount(); ++R)
        for (int C = 0; C < Grid.columnCount(); ++C)
            if (!View.contains(Grid.visualRect(Grid.model()->index(R, C))))
                return false;
    return true;
}

TEST(DialogSizes, TheCharacterChartShowsAllItsCells)
{
    TAsciiDlg D([](char) {});
    // A grid font small enough for the test screen; the cells follow it.
    QFont Small = D.AsciiGrid->font();
    Small.setPointSize(5);
    D.AsciiGrid->setFont(Small);
    D.SetChartFont(D.font(), TCodePage::Ansi);
    D.resize(D.sizeHint());
    D.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&D));
    EXPECT_TRUE(AllCellsShown(*D.AsciiGrid));
    EXPECT_FALSE(D.AsciiGrid->verticalScrollBar()->isVisible());
}

TEST(DialogSizes, TheFavouritesShowTheirTenRows)
{
    TFavoritesDlg D(TFavoritesHooks{});
    D.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&D));
    ASSERT_EQ(D.FavoritesGrid->rowCount(), FavoritesGridRows(0) - 1);  // the header is the tenth
    EXPECT_TRUE(AllCellsShown(*D.FavoritesGrid));
}

TEST(DialogSizes, EncloseTextShowsEveryCaptionWhole)
{
    TEncloseDlg D(TEncloseHooks{});
    D.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&D));
    const QListWidget& L = *D.EncloseList;
    const QRect View = L.viewport()->rect();
    for (int I = 0; I < L.count(); ++I) {
        const QRect R = L.visualItemRect(L.item(I));
        EXPECT_TRUE(View.contains(R)) << L.item(I)->text().toStdString();
        EXPECT_GE(R.width(), L.sizeHintForColumn(0)) << L.item(I)->text().toStdString();
    }
    // Three columns: the fifth pair starts the second.
    EXPECT_GT(L.visualItemRect(L.item(4)).x(), L.visualItemRect(L.item(3)).x());
    EXPECT_EQ(L.visualItemRect(L.item(4)).y(), L.visualItemRect(L.item(0)).y());
}

TEST(DialogSizes, TheSpellingFormTakesTheSizeOfItsPage)
{
    TSpellingDlg D;
    D.Pages->setCurrentIndex(0);
    const int Word = D.sizeHint().height();
    D.Pages->setCurrentIndex(2);
    const int Double = D.sizeHint().height();
    EXPECT_LT(Double, Word / 2);
    D.Pages->setCurrentIndex(0);
    EXPECT_EQ(D.sizeHint().height(), Word);
}

TEST(DialogSizes, ExternalProgramsKeepTheirSizeThroughAddAndDone)
{
    TExternalDlg D;
    D.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&D));
    const QSize Start = D.size();
    for (int I = 0; I < 3; ++I) {
        D.AddBtnClick();
        QApplication::processEvents();
        EXPECT_EQ(D.size(), Start);
        D.TitleEdit->setText(QStringLiteral("Tool"));
        D.PathEdit->setText(QStringLiteral("ls"));
        D.DoneBtnClick();
        QApplication::processEvents();
        EXPECT_EQ(D.size(), Start);
    }
    EXPECT_EQ(D.ProgramCount(), 3);
    EXPECT_EQ(D.DosPathChk->text(), QStringLiteral("Use Real Path"));
}

TEST(DialogSizes, TheColourPreviewShowsItsSixLinesWithoutScrollBars)
{
    TScrollEditor Main;
    TColorHooks Hooks;
    Hooks.MainEditor = [&Main] { return &Main; };
    TColorDlg D(Hooks);
    bool Seen = false;
    QTimer::singleShot(0, &D, [&] {
        QApplication::processEvents();
        Seen = true;
        EXPECT_FALSE(D.PreviewScroll->verticalScrollBar()->isVisible());
        EXPECT_FALSE(D.PreviewScroll->horizontalScrollBar()->isVisible());
        EXPECT_GE(D.PreviewScroll->viewport()->height(), ColorItemCount * QFontMetrics(D.ChosenFont).height());
        D.reject();
    });
    EXPECT_FALSE(D.ShowColorDlg());
    EXPECT_TRUE(Seen);
}

}  // namespace
}  // namespace narvo
