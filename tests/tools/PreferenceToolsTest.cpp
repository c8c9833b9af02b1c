// The pure parts of the preference dialogs: the colour preview table, the margin
// cells, the auto-save interval in minutes; and the colour dialog's pickers on
// panes of its own.
#include "editor/ScrollEditor.h"
#include "components/IntSpin.h"
#include "platform/MessageBoxes.h"
#include "tools/ColorsDialog.h"
#include "tools/MarginPresetsDialog.h"
#include "tools/OptionsDialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFontMetrics>
#include <QListWidget>
#include <memory>

namespace narvo {
namespace {

TEST(PreferenceTools, PreviewTextContrastsWithItsBackground)
{
    std::array<TColorInfo, ColorItemCount> Items{};
    Items[ciText].Color = 0x123456;
    Items[ciScreen].Color = 0xFFFFFF;
    Items[ciHighlight].Color = 0x800000;  // dark: white text
    Items[ciControl].Color = 0x00FFFF;    // light: black text
    Items[ciShadow].Color = 0xC0C0C0;
    Items[ciSearch].Color = 0x808080;     // luminance just above 0.5: black
    const auto L = BuildPreviewLines(Items);
    EXPECT_EQ(L[0].TextColor, 0x123456u);
    EXPECT_EQ(L[0].Background, 0xFFFFFFu);
    EXPECT_EQ(L[1].TextColor, clWhite);
    EXPECT_EQ(L[2].TextColor, clBlack);
    EXPECT_EQ(L[3].Background, 0xFF0000u);
    EXPECT_EQ(L[3].TextColor, clBlack);
    EXPECT_EQ(L[4].Background, 0xC0C0C0u);
    EXPECT_EQ(L[4].TextColor, 0x123456u);
    EXPECT_EQ(L[5].TextColor, ContrastColor(0x808080));
}

TEST(PreferenceTools, MarginCellsReadAsNumbersOrTheirDefault)
{
    struct {
        const char* Text;
        std::int32_t Fallback, Min, Max, Read;
    } const Cases[] = {
        {"12", 0, 0, 32767, 12},   {" 7 ", 0, 0, 32767, 7},   {"abc", 72, 1, 32767, 72}, {"", 0, 0, 32767, 0},
        {"-3", 0, -32767, 32767, -3}, {"-3", 0, 0, 32767, 0}, {"40000", 72, 1, 32767, 72}, {"$10", 0, 0, 32767, 0},
        {"99999999999999999999", 0, 0, 32767, 0},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(ReadMarginCell(C.Text, C.Fallback, C.Min, C.Max), C.Read) << C.Text;
}

TEST(PreferenceTools, AutoSaveIntervalInMinutes)
{
    EXPECT_EQ(MinutesToInterval(0.1), 6000);
    EXPECT_EQ(MinutesToInterval(10), 600000);
    EXPECT_EQ(MinutesToInterval(1440), 86400000);
    EXPECT_EQ(MinutesToInterval(0), 6000);         // held at the limits
    EXPECT_EQ(MinutesToInterval(1e9), 86400000);
    EXPECT_EQ(MinutesToInterval(0.0333333), 6000);
    EXPECT_DOUBLE_EQ(IntervalToMinutes(600000), 10.0);
}

TEST(PreferenceTools, ColorDialogPickersAndCommandLineHeight)
{
    TScrollEditor Main, Second, Cmd;
    Main.SetControlColor(0x0000FF);
    int PanelHeight = 0;
    std::optional<TColor> NextColor = 0x00FF00;
    TColorHooks H;
    H.MainEditor = [&] { return &Main; };
    H.Editor2 = [&] { return &Second; };
    H.CmdEditor = [&] { return &Cmd; };
    H.SetCmdPanelHeight = [&](int Height) { PanelHeight = Height; };
    H.PickColor = [&](TColor) { return NextColor; };
    QFont Picked = Main.font();
    Picked.setPointSize(20);
    H.PickFont = [&](const QFont&) { return std::optional<QFont>(Picked); };
    TColorDlg D(H);
    D.LoadColorsFromEditor();
    D.ColorList->setCurrentRow(ciControl);
    D.ColorBtnClick();
    EXPECT_EQ(D.ColorItems[ciControl].Color, 0x00FF00u);
    EXPECT_EQ(D.PreviewLines[2].Background, 0x00FF00u);
    NextColor.reset();  // cancelled: nothing changes
    D.ColorBtnClick();
    EXPECT_EQ(D.ColorItems[ciControl].Color, 0x00FF00u);
    // A font chosen, then the text colour edited: both apply.
    D.FontBtnClick();
    D.ColorList->setCurrentRow(ciText);
    NextColor = 0x0000AA;
    D.ColorBtnClick();
    D.FontSizeChk->setChecked(true);
    D.ApplyChoices();
    EXPECT_EQ(Main.ControlColor(), 0x00FF00u);
    EXPECT_EQ(Second.FontColor(), 0x0000AAu);
    EXPECT_EQ(Second.font().pointSize(), 20);
    EXPECT_EQ(Cmd.font().pointSize(), 20);
    EXPECT_EQ(PanelHeight, QFontMetrics(Picked).height() + 6);
}

// A font size the settings file could not give back is refused when chosen, with a
// message, instead of reading back as 9 at the next start.
TEST(PreferenceTools, AFontSizeTheSettingsCannotKeepIsRefused)
{
    TScriptedMessageBoxes Boxes;
    TScrollEditor Main;
    QFont Picked = Main.font();
    TColorHooks H;
    H.MainEditor = [&] { return &Main; };
    H.PickFont = [&](const QFont&) { return std::optional<QFont>(Picked); };
    TColorDlg D(H);
    D.LoadColorsFromEditor();
    const QFont Before = D.ChosenFont;
    for (const double Points : {250.0, 10.5}) {
        Picked.setPointSizeF(Points);
        D.FontBtnClick();
        EXPECT_EQ(D.ChosenFont, Before) << Points;
    }
    ASSERT_EQ(Boxes.Asked.size(), 2u);
    EXPECT_NE(Boxes.Asked[0].Text.find("from 1 to 200"), std::string::npos);
    Picked.setPointSize(200);
    D.FontBtnClick();
    EXPECT_EQ(D.ChosenFont.pointSize(), 200);
    EXPECT_EQ(Boxes.Asked.size(), 2u);
}

}  // namespace
}  // namespace narvo
