// Colour and canvas routines on QPainter and QImage: TColor (0x00BBGGRR, the
// settings files' numbers) to and from QColor, aligned text in a rectangle, clip
// rectangles, filled bitmaps, centring a window in the work area, and the resolver
// that gives system colours their values from the application's palette.
#pragma once

#include "shared/Colour.h"
#include "shared/Geometry.h"

#include <QColor>
#include <QRect>
#include <string_view>

class QImage;
class QPainter;
class QWidget;

namespace narvo {

// System colours are resolved first.
QColor ToQColor(TColor Color);
TColor FromQColor(const QColor& Color);

// Rect's Right and Bottom are exclusive, as everywhere in the design.
QRect ToQRect(const TRect& Rect);
TRect FromQRect(const QRect& Rect);

// Alignment codes: 0 near (left or top), 1 centre, 2 far (right or bottom); any
// other code acts as 0. The text (Windows-1252 bytes) is drawn clipped to Rect, 3
// pixels from a near or far edge; unless the painter's brush is NoBrush, Rect is
// filled with it first.
void TextRectAligned(QPainter& Painter, std::string_view Text, const TRect& Rect, int HAlign, int VAlign);
// The top-left corner TextRectAligned draws the text's box at.
TPoint AlignedTextOrigin(const TRect& Rect, std::int64_t TextWidth, std::int64_t TextHeight, int HAlign, int VAlign);

void SetClipRect(QPainter& Painter, const TRect& Rect);
void ClearClipRect(QPainter& Painter);

// The whole rectangle, edge included, becomes Color.
void FillBitmapRect(QImage& Bitmap, const TRect& Rect, TColor Color);
void FillBitmap(QImage& Bitmap, TColor Color);

// Moves Form so that it is centred in the available area of its screen (the screen
// less panels and docks); halves round to even.
void CenterFormInWorkArea(QWidget* Form);
// The top-left corner that centres a Size in WorkArea.
TPoint CenteredOrigin(const QRect& WorkArea, const QSize& Size);
// The size of the available area of Form's screen (the primary screen's while Form
// has none), so that a window sized to its content still fits the screen.
QSize WorkAreaSize(const QWidget* Form);

// The value of system colour Index from the application's palette; indexes without
// a palette role answer from shared's fixed table.
TColor PaletteSystemColor(int Index);
// Makes ColorToRGB and friends ask the palette (done by the application object).
void InstallSystemColorResolver();

}  // namespace narvo
