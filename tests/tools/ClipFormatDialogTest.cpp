// The clipboard formats viewer: the formats listed after a copy, the text of each,
// the live refresh while visible only, and "Paste".
#include "tools/ClipFormatDialog.h"

#include "tools/TextToolHooks.h"

#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <gtest/gtest.h>

#include <algorithm>

namespace narvo {
namespace {

int IndexOf(const TClipFormatDlg& D, int Format)
{
    const TFormatArray& F = D.ClipFormats();
    const auto It = std::find_if(F.begin(), F.end(), [&](const TFormatInfo& I) { return I.Format == unsigned(Format); });
    return It == F.end() ? -1 : static_cast<int>(It - F.begin());
}

TEST(ClipFormatDlg, ListsAndShowsTheFormatsAfterACopy)
{
    CopyTextToClipboard("caf\xE9\rline");
    QCoreApplication::processEvents();
    TClipFormatDlg D;
    D.RefreshFormats();
    EXPECT_EQ(D.FormatGrid->rowCount(), TClipFormatDlg::MinGridRows - 1);
    EXPECT_EQ(D.FormatGrid->item(0, 0)->text(), "1");
    for (int Format : {CF_TEXT, CF_OEMTEXT, CF_UNICODETEXT}) {
        const int I = IndexOf(D, Format);
        ASSERT_GE(I, 0) << Format;
        EXPECT_EQ(D.FormatGrid->item(I, 1)->text(), QString::number(Format));
        EXPECT_EQ(D.FormatGrid->item(I, 2)->text().toStdString(), ClipboardFormatName(Format));
    }
    D.ShowFormat(IndexOf(D, CF_TEXT));
    const std::string Text = D.ShownText();
    EXPECT_EQ(Text.substr(0, 4), "caf\xE9");
    D.ShowFormat(IndexOf(D, CF_UNICODETEXT));
    EXPECT_EQ(D.ShownText(), Text);  // the same text in 8-bit characters
    D.ShowFormat(50);                // a row past the last changes nothing
    EXPECT_EQ(D.ShownText(), Text);

    struct TPasteHost : TToolHost {
        std::string Pasted;
        void PasteText(const std::string& S) override { Pasted = S; }
    } Host;
    SetToolHost(&Host);
    D.PasteBtnClick();
    SetToolHost(nullptr);
    EXPECT_EQ(Host.Pasted, Text);
}

TEST(ClipFormatDlg, ReadingStopsAtAZeroByte)
{
    CopyTextToClipboard(std::string("ab\0cd", 5));
    EXPECT_EQ(GetClipboardText(CF_TEXT), "ab");
}

TEST(ClipFormatDlg, RefreshesOnlyWhileVisible)
{
    CopyTextToClipboard("one");
    TClipFormatDlg D;
    D.RefreshFormats();
    D.show();
    CopyHtmlToClipboard("<b>x</b>", "");
    QCoreApplication::processEvents();
    EXPECT_EQ(IndexOf(D, CF_TEXT), -1);
    EXPECT_GE(IndexOf(D, RegisterClipboardFormat(HtmlFormatName)), 0);
    EXPECT_EQ(D.FormatGrid->currentRow(), 0);
    D.hide();
    CopyTextToClipboard("two");
    QCoreApplication::processEvents();
    EXPECT_EQ(IndexOf(D, CF_TEXT), -1);  // hidden: the change is ignored
}

}  // namespace
}  // namespace narvo
