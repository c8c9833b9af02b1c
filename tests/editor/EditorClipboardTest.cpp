// Copy and paste through the desktop clipboard (offscreen): text from other
// programs keeps its lines, every byte survives a copy and paste inside the
// program whatever the panes' fonts, and the HTML copy reaches the clipboard.
#include "EditorTestHelpers.h"
#include "editor/EditorClipboard.h"
#include "platform/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace narvo::testing {
namespace {

TEST(EditorClipboard, ForeignTextKeepsItsLines)
{
    struct {
        const char16_t* Foreign;
        TCodePage Page;
        std::vector<std::string> Lines;
    } const Rows[] = {
        {u"a\nb\n", TCodePage::Ansi, {"a", "b", ""}},
        {u"a\r\nb", TCodePage::Ansi, {"a", "b"}},
        {u"caf\u00e9\u20ac", TCodePage::Ansi, {"caf\xe9\x80"}},
        {u"caf\u00e9", TCodePage::Oem, {"caf\x82"}},  // code page 437 for an OEM font
    };
    for (const auto& R : Rows) {
        EditorHost Host;
        Host.Editor->SetFontCharset(R.Page);
        QGuiApplication::clipboard()->setText(QString::fromUtf16(R.Foreign));
        Host.Editor->Paste();
        EXPECT_EQ(LinesOf(*Host.Editor), R.Lines);
    }
}

TEST(EditorClipboard, EveryByteCopiesAndPastesBack)
{
    // Lines hold every byte but the two that end lines; the copy adds CR LF.
    std::vector<std::string> Lines(2);
    for (int I = 0; I < 256; ++I)
        if (I != '\r' && I != '\n')
            Lines[static_cast<std::size_t>(I & 1)].push_back(static_cast<char>(I));
    EditorHost From(Lines);
    From.Editor->SelectAll();
    From.Editor->CopyMark();
    EXPECT_EQ(GetClipboardText(), Lines[0] + "\r\n" + Lines[1]);
    for (TCodePage Page : {TCodePage::Ansi, TCodePage::Oem}) {
        EditorHost To;
        To.Editor->SetFontCharset(Page);
        To.Editor->Paste();
        EXPECT_EQ(LinesOf(*To.Editor), Lines);
    }

    From.Editor->CopyMarkHtml();
    const QMimeData* Data = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(Data);
    EXPECT_TRUE(Data->hasHtml());
    EXPECT_TRUE(Data->html().contains(QStringLiteral("<p>")));
    EXPECT_EQ(GetClipboardText(), Lines[0] + "\r\n" + Lines[1]);
}

// Through the desktop clipboard: a file of CR LF lines with one lone LF, copied
// whole and pasted at its end, saves as its bytes twice.
TEST(EditorClipboard, MixedLineEndsPasteBackAsTheirBytes)
{
    EditorHost Host;
    TScrollEditor& E = *Host.Editor;
    const std::string File = "a\r\nb\nc\r\nd\r\n";
    E.Strings->SetTextStr(File);
    E.SelectAll();
    E.CopyMark();
    E.ClearMark();
    E.Cursor->SetPos(TPoint{0, E.Strings->Count() - 1});
    E.Paste();
    EXPECT_EQ(E.Strings->GetFileBytes(), File + File);
}

}  // namespace
}  // namespace narvo::testing
