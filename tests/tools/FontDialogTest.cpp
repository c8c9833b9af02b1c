// The real font dialog, opened by "Set Font" of the colour dialog and by the print
// preview's "Font" and accepted as it opens: OK with nothing changed leaves the
// font as it was, upright, bold or italic alike.
#include "editor/ScrollEditor.h"
#include "platform/FontChooser.h"
#include "platform/ResourceFont.h"
#include "tools/ColorsDialog.h"
#include "tools/PPMain.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QTimer>
#include <gtest/gtest.h>

#include <vector>

namespace narvo {
namespace {

// Accepts every font dialog as soon as it is up, keeping the font it showed then.
class TFontDialogAccepter {
public:
    TFontDialogAccepter()
    {
        FTimer.setInterval(10);
        QObject::connect(&FTimer, &QTimer::timeout, [this] {
            if (auto* D = qobject_cast<QFontDialog*>(QApplication::activeModalWidget())) {
                Shown.push_back(D->currentFont());
                D->accept();
            }
        });
        FTimer.start();
    }
    std::vector<QFont> Shown;

private:
    QTimer FTimer;
};

// The fonts a pane may have: the shipped face upright, bold and italic.
std::vector<QFont> StartFonts()
{
    QFont Upright = FixedSysFont();
    Upright.setPointSize(11);
    QFont Bold = Upright;
    Bold.setBold(true);
    QFont Italic = Upright;
    Italic.setItalic(true);
    Italic.setPointSize(14);
    return {Upright, Bold, Italic};
}

void ExpectSameFont(const QFont& After, const QFont& Before)
{
    EXPECT_EQ(After.family(), Before.family());
    EXPECT_EQ(After.italic(), Before.italic());
    EXPECT_EQ(After.weight(), Before.weight());
    EXPECT_EQ(After.pointSizeF(), Before.pointSizeF());
    EXPECT_EQ(After.toString(), Before.toString());
}

TEST(FontDialog, OkWithoutChangeKeepsThePanesFontAndCharacterSet)
{
    for (const QFont& Start : StartFonts()) {
        SCOPED_TRACE(Start.toString().toStdString());
        TScrollEditor Main, Second, Cmd;
        Main.setFont(Start);
        Main.SetFontCharset(TCodePage::Oem);
        TColorHooks H;
        H.MainEditor = [&] { return &Main; };
        H.Editor2 = [&] { return &Second; };
        H.CmdEditor = [&] { return &Cmd; };
        TColorDlg D(H);
        D.LoadColorsFromEditor();
        D.FontSizeChk->setChecked(true);  // the command line takes the size too
        TFontDialogAccepter Accept;
        D.FontBtnClick();
        ASSERT_EQ(Accept.Shown.size(), 1u);
        // The dialog opened on the pane's own style, not on another of the family.
        EXPECT_EQ(Accept.Shown[0].italic(), Start.italic());
        EXPECT_EQ(QFontInfo(Accept.Shown[0]).italic(), QFontInfo(Start).italic());
        D.ApplyChoices();
        ExpectSameFont(Main.font(), Start);
        ExpectSameFont(Second.font(), Start);
        ExpectSameFont(Cmd.font(), Start);
        EXPECT_EQ(Second.FontCharset(), TCodePage::Oem);
    }
}

TEST(FontDialog, OkWithoutChangeKeepsThePrintFont)
{
    TPreForm Form;
    Form.Prepare(QFont(), "text", TPrintMarginValues{});
    for (const QFont& Start : StartFonts()) {
        SCOPED_TRACE(Start.toString().toStdString());
        Form.PrintFont = Start;
        TFontDialogAccepter Accept;
        Form.FontBtnClick();
        ASSERT_EQ(Accept.Shown.size(), 1u);
        EXPECT_EQ(Accept.Shown[0].italic(), Start.italic());
        ExpectSameFont(Form.PrintFont, Start);
        EXPECT_EQ(Form.TextParser->Font.italic(), Start.italic());
    }
}

TEST(FontDialog, TheDialogNamesThePanesStyle)
{
    const QFont Upright = StartFonts()[0];
    const QString Family = QFontInfo(Upright).family();
    const QString Style = DialogStyleName(Upright);
    ASSERT_FALSE(Style.isEmpty());
    EXPECT_EQ(QFontDatabase::font(Family, Style, 12).style(), QFont::StyleNormal);
    QFont Named = Upright;
    Named.setStyleName("Condensed Fancy");
    EXPECT_EQ(DialogStyleName(Named), "Condensed Fancy");  // a style name of its own stands
}

}  // namespace
}  // namespace narvo
