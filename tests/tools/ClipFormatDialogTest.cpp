// The clipboard formats viewer: the formats listed after a copy (ours and another
// program's), the text of each, the live refresh while visible only, and "Paste".
#include "tools/ClipFormatDialog.h"

#include "tools/TextToolHooks.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

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

// Text copied in another program reaches Qt's X11 clipboard with the selection's
// meta-targets listed as types of their own, ahead of the text.
TEST(ClipFormatDlg, TextFromAnotherProgramListsRealFormatsAndOpensOnTheText)
{
    auto* Data = new QMimeData;
    for (const char* Meta : {"TARGETS", "TIMESTAMP", "MULTIPLE", "SAVE_TARGETS"})
        Data->setData(QString::fromLatin1(Meta), QByteArray("\xFD\x01\x00\x00", 4));
    Data->setData("image/png", QByteArray("\x89PNG", 4));
    Data->setText(QString::fromUtf8("caf\u00e9 elsewhere\nline two"));
    QGuiApplication::clipboard()->setMimeData(Data);
    QCoreApplication::processEvents();

    TClipFormatDlg D;
    D.RefreshFormats();
    std::vector<std::string> Names;
    for (const TFormatInfo& F : D.ClipFormats())
        Names.push_back(F.Name);
    EXPECT_EQ(Names, (std::vector<std::string>{"image/png", "Unicode Text", "Text"}));
    // The view opens on the first text format, not on the image's bytes.
    EXPECT_EQ(D.FormatGrid->currentRow(), 1);
    EXPECT_EQ(D.ShownText(), "caf\xE9 elsewhere\nline two");
    // Text (1) holds it as a paste reads it, each line ending in CR LF.
    D.Memo1->clear();
    D.ShowFormat(2);
    EXPECT_EQ(D.ShownText(), "caf\xE9 elsewhere\nline two");
    EXPECT_EQ(GetClipboardText(CF_TEXT), "caf\xE9 elsewhere\r\nline two");

    // A registered format's five-digit number fits its column.
    const QString Kind = D.FormatGrid->item(0, 1)->text();
    EXPECT_EQ(Kind.size(), 5);
    EXPECT_GE(D.FormatGrid->columnWidth(1), D.FormatGrid->fontMetrics().horizontalAdvance(Kind) + 8);
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
