// The status bars at the window's opening size show every value whole, up to the
// largest the program handles: the information field's 32-bit values in decimal
// and hexadecimal, and line, column, offset, size and highlight counts of texts of
// billions of characters with the thousands separators. The window is drawn in the
// shipped font, and a value counts as whole when the field's width holds the width
// its text needs in the field's own font, so the result does not depend on the
// fonts installed.
#include "AppWindowFixture.h"

#include "app/CommandLanguage.h"
#include "app/MessageField.h"
#include "language/CommandLines.h"
#include "platform/ResourceFont.h"
#include "shared/SystemData.h"

#include <QApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QTest>
#include <QToolTip>

#include <chrono>
#include <optional>

namespace narvo {
namespace {

class StatusBarWidths : public AppWindowFixture {
protected:
    void SetUp() override
    {
        Separators.emplace();
        SystemData.SetThousandSeparator(',');
        SystemData.SetDecimalSeparator('.');
        PreviousFont = QApplication::font();
        const std::optional<QFont> Shipped = LoadResourceFont("FIXEDSYS-TTF", "", false);
        ASSERT_TRUE(Shipped.has_value());
        QFont F = *Shipped;
        F.setPixelSize(12);
        QApplication::setFont(F);
        AppWindowFixture::SetUp();
        CommandLines() = TCommandLineStore();
        // The first activation sizes the window as a first start does.
        Form->show();
        const auto End = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (Form->FirstActivation() && std::chrono::steady_clock::now() < End)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        OpeningWidth = Form->width();
    }
    void TearDown() override
    {
        AppWindowFixture::TearDown();
        QApplication::setFont(PreviousFont);
        Separators.reset();
    }
    void RunLine(const std::string& Line)
    {
        Form->CmdEditor->SetText(Line);
        RunCurrentCommandLine(false);
    }
    // The text of L, after the layouts have taken in the last change, fits the field.
    void ExpectWhole(QLabel* L, const std::string& Text)
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        EXPECT_EQ(L->text().toStdString(), Text);
        // The label's own measure of what it needs for its text: frame, indent and
        // the text's advance in its font.
        EXPECT_GE(L->width(), L->sizeHint().width()) << L->toolTip().toStdString() << " " << Text;
        EXPECT_GE(L->contentsRect().width(), L->fontMetrics().horizontalAdvance(L->text()))
            << L->toolTip().toStdString() << " " << Text;
        EXPECT_EQ(Form->width(), OpeningWidth) << "the window grew for " << Text;
    }

    std::optional<TSeparatorGuard> Separators;
    QFont PreviousFont;
    int OpeningWidth = 0;
};

TEST_F(StatusBarWidths, EveryFieldShowsItsLargestValueWhole)
{
    RunLine("($FFFFFFFF)BS");
    ExpectWhole(Form->InfoDis, "FFFFFFFF");
    RunLine("(-2147483647-1)BN");
    ExpectWhole(Form->InfoDis, "-2147483648");
    RunLine("(123456)BN");
    ExpectWhole(Form->InfoDis, "123456");

    // A line of ten million characters over a million empty lines.
    Main().SetText(std::string(10'000'000, 'x') + std::string(1'000'000, '\n'));
    Main().Cursor->SetPos(TPoint{10'000'000, 0});
    Form->UpdateStatus();
    ExpectWhole(Form->ColumnDis, "10,000,000");
    Main().SelectAll();
    Form->UpdateStatus();
    ExpectWhole(Form->HighlightDis, "12,000,000");  // line ends count as two
    Main().ClearMark();
    Main().Cursor->SetPos(TPoint{0, 1'000'000});
    Form->UpdateStatus();
    ExpectWhole(Form->LineNumDis, "1,000,001");
    Main().Clear();

    // What the status thread reports: a 100 MB file, and texts far past 2 GiB.
    Form->ShowTextSize(102'755'280);
    ExpectWhole(Form->SizeDis, "102,755,280");
    Form->ShowTextSize(9'999'999'999);
    ExpectWhole(Form->SizeDis, "9,999,999,999");
    Form->ShowLocation(8'888'888'888);
    ExpectWhole(Form->LocationDis, "8,888,888,888");
    Form->MainEditor->SetScale(100.0);
    Form->UpdateStatus();
    ExpectWhole(Form->ZoomDis, "100.00");

    // Every field at its widest at once, as the layout gives it room.
    for (QLabel* L : {Form->LineNumDis, Form->ColumnDis, Form->HighlightDis, Form->LocationDis, Form->SizeDis})
        L->setText(QStringLiteral("8,888,888,888"));
    Form->LineNumDis->setText(QStringLiteral("888,888,888"));
    Form->InfoDis->setText(QStringLiteral("-8888888888"));
    Form->ScoopDis->setText(QStringLiteral("100,000"));
    for (QLabel* L : {Form->LineNumDis, Form->ColumnDis, Form->HighlightDis, Form->LocationDis, Form->SizeDis,
                      Form->InfoDis, Form->ScoopDis, Form->ZoomDis})
        ExpectWhole(L, L->text().toStdString());
}

// A message longer than the message field: the field shows what fits in its own
// font, giving up the middle of the path before the message's end, and its tooltip
// holds the whole message.
TEST_F(StatusBarWidths, ALongMessageCanBeReadWhole)
{
    auto* Field = dynamic_cast<TMessageField*>(Form->StatusDis);
    ASSERT_NE(Field, nullptr);
    const auto ToolTip = [&] {
        QHelpEvent Hover(QEvent::ToolTip, QPoint(2, 2), Field->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(Field, &Hover);
        const QString Text = QToolTip::text();
        QToolTip::hideText();
        return Text.toStdString();
    };
    const std::string Path = "/home/someone/projects/a-folder-with-a-long-name/another-one/report.txt";
    const std::string Saved = "Not auto-saved: Cannot save \"" + Path + "\": No space left on device";
    const std::string Drafts = "1 draft kept at exit (File > Advanced File Ops > Auto-backup Files)";
    for (const std::string& Message : {Saved, Drafts}) {
        ShowStatusMessage(Message, true);
        SetStatusMessage("", false);  // the next message replaces this error
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        EXPECT_EQ(Field->text().toStdString(), " " + Message);
        const QString Shown = Field->ShownText();
        ASSERT_NE(Shown, Field->text()) << "the window is wide enough for " << Message;
        EXPECT_LE(Field->fontMetrics().horizontalAdvance(Shown), Field->TextRect().width());
        EXPECT_EQ(ToolTip(), Message);
    }
    // With room for all but part of the path, the path gives way in its middle: its
    // start, its file name and the message's end show.
    ShowStatusMessage(Saved, true);
    const QFontMetrics M = Field->fontMetrics();
    const int Room = M.horizontalAdvance(Field->text()) - M.horizontalAdvance("a-folder-with-a-long-name");
    Field->setFixedWidth(Field->width() - Field->TextRect().width() + Room);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    ASSERT_EQ(Field->TextRect().width(), Room);
    const std::string Shown = Field->ShownText().toStdString();
    EXPECT_LE(M.horizontalAdvance(Field->ShownText()), Room);
    EXPECT_EQ(Shown.rfind(" Not auto-saved: Cannot save \"/home/", 0), 0u) << Shown;
    EXPECT_NE(Shown.find("...", 30), std::string::npos) << Shown;
    const std::string End = "/report.txt\": No space left on device";
    EXPECT_EQ(Shown.substr(Shown.size() - End.size()), End) << Shown;
    // A message that fits is shown as it is, the tooltip naming the field.
    ShowStatusMessage("Ok", false);
    EXPECT_EQ(Field->ShownText(), QStringLiteral(" Ok"));
    EXPECT_EQ(ToolTip(), "Status");
}

}  // namespace
}  // namespace narvo
