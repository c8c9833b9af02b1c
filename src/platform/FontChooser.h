// The font dialog for the fixed-pitch fonts of the panes and the printout. It opens
// on the font it is given, style included, and OK with nothing changed hands that
// font back as it was: family, style, weight, size and effects.
#pragma once

#include <QFont>
#include <QString>
#include <optional>

class QFontDialog;
class QWidget;

namespace narvo {

// The name under which the font dialog lists Font's style (for instance "Book" or
// "Regular" for an upright face of normal weight): the font's own style name when
// it has one, else the style of its family nearest in slant and weight.
QString DialogStyleName(const QFont& Font);

// Shows the font dialog (fixed-pitch fonts only) modally on Start; the chosen font,
// nothing when cancelled.
std::optional<QFont> ChooseFixedFont(QWidget* Parent, const QFont& Start, const QString& Title = QStringLiteral("Font"));

}  // namespace narvo
