// Every window of the program fits the screen it opens on. Windows and dialogs ask
// for sizes in logical pixels; at twice the scale a 900 x 640 preview needs 1800 x
// 1280 device pixels, more than many screens hold, and its buttons would lie off
// the screen. A filter on the application shrinks each window, frame included, to
// the screen's available area as it is shown, and moves it onto that area; a dialog
// that grows while it is up (the print dialog showing its options) is held to the
// area again. The filter sees the toolkit's own dialogs too (print, printer
// properties, page setup, font, colour, file). A window whose layout needs more
// than the area holds gets its content in a scroll area, its button row below it.
#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>

class QWidget;

namespace narvo {

// The geometry (without frame) that Window, of geometry Geometry and frame Frame,
// takes to lie wholly on Available: its size held to the room there (not below
// Minimum), its position moved onto it. Where even Minimum does not fit, the window
// starts at Available's top left.
QRect FitGeometry(const QRect& Geometry, const QMargins& Frame, const QRect& Available, const QSize& Minimum);

// Fits and places Window (a top-level one) on its screen now.
void FitToScreen(QWidget& Window);

// Fits every top-level window of the program as it is shown (menus, pop-ups and
// tool tips aside). Installing twice installs once.
void InstallScreenFit();

}  // namespace narvo
