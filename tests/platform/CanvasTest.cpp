// Colours, aligned text positions, filled bitmaps and centring, and the small Qt
// services: resource font, key state, locale separators, program folder.
#include "platform/Canvas.h"
#include "platform/KeyState.h"
#include "platform/Locale.h"
#include "platform/ProgramFolder.h"
#include "platform/ResourceFont.h"
#include "shared/SystemData.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QScreen>
#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <QWidget>
#include <gtest/gtest.h>

namespace narvo {
namespace {

TEST(Canvas, ColoursConvertBothWays)
{
    EXPECT_EQ(FromQColor(ToQColor(RGBColor(1, 2, 3))), RGBColor(1, 2, 3));
    InstallSystemColorResolver();
    EXPECT_EQ(ToQColor(clWindow), QGuiApplication::palette().color(QPalette::Base).toRgb());
    EXPECT_EQ(ColorToRGB(clHighlight), FromQColor(QGuiApplication::palette().color(QPalette::Highlight)));
    SetSystemColorResolver(nullptr);
}

TEST(Canvas, AlignedTextOrigins)
{
    const TRect R{10, 20, 110, 70};  // 100 x 50
    struct {
        int H, V;
        TPoint Expected;
    } const Cases[] = {
        {1, 1, {10 + 40, 20 + 20}},   // free 80 x 40
        {2, 2, {110 - 23, 70 - 13}},
        {7, -1, {13, 23}},            // unknown codes act as near
    };
    for (const auto& C : Cases)
        EXPECT_EQ(AlignedTextOrigin(R, 20, 10, C.H, C.V), C.Expected) << C.H << "," << C.V;
    // Halves round to even: a free width of 5 gives 2, of 7 gives 4.
    EXPECT_EQ(AlignedTextOrigin(TRect{0, 0, 25, 17}, 20, 10, 1, 1), (TPoint{2, 4}));

    // The text stays inside its rectangle and the brush fills it.
    QImage Image(60, 30, QImage::Format_RGB32);
    Image.fill(Qt::white);
    {
        QPainter P(&Image);
        P.setBrush(QColor(0, 0, 255));
        TextRectAligned(P, "WWWWWWWWWWWWWWWWWWWW", TRect{10, 5, 40, 25}, 0, 0);
    }
    EXPECT_EQ(Image.pixelColor(5, 15), QColor(Qt::white));
    EXPECT_EQ(Image.pixelColor(45, 15), QColor(Qt::white));
    EXPECT_NE(Image.pixelColor(39, 6), QColor(Qt::white));
}

TEST(Canvas, FillBitmapAndCentre)
{
    QImage Image(8, 6, QImage::Format_RGB32);
    FillBitmap(Image, RGBColor(255, 0, 0));
    FillBitmapRect(Image, TRect{2, 2, 4, 4}, RGBColor(0, 255, 0));
    // The rectangle's right and bottom edges are outside it.
    EXPECT_EQ(Image.pixelColor(3, 3), QColor(0, 255, 0));
    EXPECT_EQ(Image.pixelColor(4, 4), QColor(255, 0, 0));

    EXPECT_EQ(CenteredOrigin(QRect(0, 30, 1000, 700), QSize(401, 300)), (TPoint{300, 230}));  // 599/2 = 299.5 -> 300
    EXPECT_EQ(CenteredOrigin(QRect(0, 0, 1000, 700), QSize(403, 301)), (TPoint{298, 200}));   // 298.5 -> 298
    QWidget Form;
    Form.resize(200, 100);
    CenterFormInWorkArea(&Form);
    const QRect Area = QGuiApplication::primaryScreen()->availableGeometry();
    const TPoint Expected = CenteredOrigin(Area, Form.frameGeometry().size());
    EXPECT_EQ(Form.pos(), QPoint(static_cast<int>(Expected.X), static_cast<int>(Expected.Y)));
}

TEST(ResourceFont, LoadsTheBuiltInFont)
{
    const auto Font = LoadResourceFont("FIXEDSYS-TTF", "Fixedsys", true);
    ASSERT_TRUE(Font.has_value());
    EXPECT_TRUE(Font->family().contains(QStringLiteral("DejaVu Sans Mono"))) << Font->family().toStdString();
    EXPECT_TRUE(QFontInfo(*Font).fixedPitch());
    // Installed once: a second load gives the same family.
    EXPECT_EQ(LoadResourceFont("fixedsys-ttf", "", false)->family(), Font->family());
    try {
        LoadResourceFont("NOPE", "x", true);
        ADD_FAILURE();
    } catch (const std::runtime_error& E) {
        EXPECT_STREQ(E.what(), "Resource NOPE not found");
    }
    EXPECT_EQ(ResolveFaceName("Courier"), "Courier");
    // "FixedSys" is the shipped font on every machine, never the desktop's monospace.
    EXPECT_EQ(ResolveFaceName("FIXEDSYS"), Font->family());
    EXPECT_EQ(FixedSysFont().family(), Font->family());
    EXPECT_TRUE(QFontInfo(FixedSysFont()).fixedPitch());
    // The program's folder holds the font it ships.
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(ProgramFolder() + "/fonts/DejaVuSansMono.ttf")))
        << ProgramFolder();
}

TEST(KeyState, InjectedThenEventThenQueried)
{
    InjectKeyState(std::nullopt);
    {
        TKeyStateScope Event(Qt::ShiftModifier | Qt::AltModifier);
        EXPECT_TRUE(ShiftDown());
        EXPECT_FALSE(CtrlDown());
        EXPECT_TRUE(AltDown());
        {
            TKeyStateScope Inner(Qt::ControlModifier);
            EXPECT_TRUE(CtrlDown());
            EXPECT_FALSE(ShiftDown());
        }
        EXPECT_TRUE(ShiftDown());
        {
            // A run started by this event reads the keyboard, and the events it
            // handles meanwhile their own modifiers.
            TKeyboardStateScope Run;
            EXPECT_EQ(LiveModifiers(), QGuiApplication::queryKeyboardModifiers());
            {
                TKeyStateScope Typed(Qt::ControlModifier);
                EXPECT_TRUE(CtrlDown());
            }
            EXPECT_EQ(LiveModifiers(), QGuiApplication::queryKeyboardModifiers());
        }
        EXPECT_TRUE(ShiftDown());
        InjectKeyState(Qt::ControlModifier);
        EXPECT_TRUE(CtrlDown());
        EXPECT_FALSE(ShiftDown());
        InjectKeyState(std::nullopt);
    }
    EXPECT_EQ(LiveModifiers(), QGuiApplication::queryKeyboardModifiers());
}

TEST(Locale, SeparatorsFromTheSystemLocale)
{
    TSeparatorGuard Restore;
    SetLocaleSeparators(false);
    EXPECT_EQ(SystemData.DecimalSeparator(), '.');
    EXPECT_EQ(SystemData.ThousandSeparator(), '\0');
    SetLocaleSeparators(true);
    EXPECT_NE(SystemData.DecimalSeparator(), '\0');
    EXPECT_NE(SystemData.ThousandSeparator(), '\0');
}

}  // namespace
}  // namespace narvo
