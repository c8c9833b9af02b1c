// The program's icon: one drawing (resources/icons/narvo.svg, built into the
// program) rendered at each size asked for, so the window, the task bar and the
// about box show it sharp at any scale.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace narvo {

// The icon with renderings at the usual window-manager sizes; any other size is
// rendered from the drawing when asked for.
QIcon ProgramIcon();
// The drawing rendered at Size x Size logical pixels for a device pixel ratio of
// Ratio (sharp on a scaled screen). Null when the drawing cannot be read.
QPixmap ProgramIconPixmap(int Size, qreal Ratio = 1.0);

}  // namespace narvo
