// Colour and canvas routines (see Canvas.h).
#include "platform/Canvas.h"

#include "platform/TextConvert.h"

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QScreen>
#include <QWidget>

namespace narvo {

QColor ToQColor(TColor Color)
{
    const TColor C = ColorToRGB(Color);
    return QColor(static_cast<int>(C & 0xFF), static_cast<int>((C >> 8) & 0xFF), static_cast<int>((C >> 16) & 0xFF));
}

TColor FromQColor(const QColor& Color)
{
    const QColor Rgb = Color.toRgb();
    return RGBColor(static_cast<std::uint8_t>(Rgb.red()), static_cast<std::uint8_t>(Rgb.green()),
                    static_cast<std::uint8_t>(Rgb.blue()));
}

QRect ToQRect(const TRect& Rect)
{
    return QRect(static_cast<int>(Rect.Left), static_cast<int>(Rect.Top), static_cast<int>(Rect.Right - Rect.Left),
                 static_cast<int>(Rect.Bottom - Rect.Top));
}

TRect FromQRect(const QRect& Rect)
{
    return TRect{Rect.left(), Rect.top(), static_cast<std::int64_t>(Rect.left()) + Rect.width(),
                 static_cast<std::int64_t>(Rect.top()) + Rect.height()};
}

TPoint AlignedTextOrigin(const TRect& Rect, std::int64_t TextWidth, std::int64_t TextHeight, int HAlign, int VAlign)
{
    const TPoint Half = PointDivReal(Point((Rect.Right - Rect.Left) - TextWidth, (Rect.Bottom - Rect.Top) - TextHeight), 2.0);
    TPoint P;
    switch (HAlign) {
    case 1: P.X = Rect.Left + Half.X; break;
    case 2: P.X = Rect.Right - (TextWidth + 3); break;
    default: P.X = Rect.Left + 3; break;
    }
    switch (VAlign) {
    case 1: P.Y = Rect.Top + Half.Y; break;
    case 2: P.Y = Rect.Bottom - (TextHeight + 3); break;
    default: P.Y = Rect.Top + 3; break;
    }
    return P;
}

void TextRectAligned(QPainter& Painter, std::string_view Text, const TRect& Rect, int HAlign, int VAlign)
{
    const QString S = AnsiToQString(Text);
    const QFontMetrics Metrics = Painter.fontMetrics();
    const TPoint At = AlignedTextOrigin(Rect, Metrics.horizontalAdvance(S), Metrics.height(), HAlign, VAlign);
    const QRect Box = ToQRect(Rect);
    Painter.save();
    Painter.setClipRect(Box, Painter.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    if (Painter.brush().style() != Qt::NoBrush)
        Painter.fillRect(Box, Painter.brush());
    Painter.drawText(QPoint(static_cast<int>(At.X), static_cast<int>(At.Y) + Metrics.ascent()), S);
    Painter.restore();
}

void SetClipRect(QPainter& Painter, const TRect& Rect) { Painter.setClipRect(ToQRect(Rect), Qt::ReplaceClip); }

void ClearClipRect(QPainter& Painter) { Painter.setClipping(false); }

void FillBitmapRect(QImage& Bitmap, const TRect& Rect, TColor Color)
{
    QPainter Painter(&Bitmap);
    Painter.setCompositionMode(QPainter::CompositionMode_Source);
    Painter.fillRect(ToQRect(Rect), ToQColor(Color));
}

void FillBitmap(QImage& Bitmap, TColor Color) { FillBitmapRect(Bitmap, TRect{0, 0, Bitmap.width(), Bitmap.height()}, Color); }

TPoint CenteredOrigin(const QRect& WorkArea, const QSize& Size)
{
    const TPoint Half = PointDivReal(Point(WorkArea.width() - Size.width(), WorkArea.height() - Size.height()), 2.0);
    return Point(WorkArea.left() + Half.X, WorkArea.top() + Half.Y);
}

void CenterFormInWorkArea(QWidget* Form)
{
    if (!Form)
        return;
    QScreen* Screen = Form->screen() ? Form->screen() : QGuiApplication::primaryScreen();
    if (!Screen)
        return;
    const TPoint At = CenteredOrigin(Screen->availableGeometry(), Form->frameGeometry().size());
    Form->move(static_cast<int>(At.X), static_cast<int>(At.Y));
}

QSize WorkAreaSize(const QWidget* Form)
{
    QScreen* Screen = Form && Form->screen() ? Form->screen() : QGuiApplication::primaryScreen();
    return Screen ? Screen->availableGeometry().size() : QSize(640, 480);
}

TColor PaletteSystemColor(int Index)
{
    if (!qApp)
        return DefaultSystemColor(Index);
    const QPalette Palette = QApplication::palette();
    auto Role = [&](QPalette::ColorRole R, QPalette::ColorGroup G = QPalette::Active) {
        return FromQColor(Palette.color(G, R));
    };
    switch (Index) {
    case 0: return Role(QPalette::Button);             // scroll bar
    case 4: return Role(QPalette::Window);             // menu
    case 5: return Role(QPalette::Base);               // window (edit background)
    case 7: return Role(QPalette::WindowText);         // menu text
    case 8: return Role(QPalette::Text);               // window text
    case 12: return Role(QPalette::Dark);              // application work space
    case 13: return Role(QPalette::Highlight);
    case 14: return Role(QPalette::HighlightedText);
    case 15: return Role(QPalette::Button);            // button face
    case 16: return Role(QPalette::Mid);               // button shadow
    case 17: return Role(QPalette::Text, QPalette::Disabled);  // grey text
    case 18: return Role(QPalette::ButtonText);
    case 20: return Role(QPalette::Light);             // button highlight
    case 21: return Role(QPalette::Shadow);            // dark 3-D shadow
    case 22: return Role(QPalette::Midlight);          // 3-D light
    case 23: return Role(QPalette::ToolTipText);       // info text
    case 24: return Role(QPalette::ToolTipBase);       // info background
    case 26: return Role(QPalette::Link);              // hot light
    default: return DefaultSystemColor(Index);
    }
}

void InstallSystemColorResolver() { SetSystemColorResolver(&PaletteSystemColor); }

}  // namespace narvo
