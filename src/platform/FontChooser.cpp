// The fixed-pitch font dialog (see FontChooser.h).
#include "platform/FontChooser.h"

#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <cstdlib>
#include <limits>

namespace narvo {

namespace {

// The dialog's own choice compared with the font it started from: only what the
// dialog lets the user change.
bool SameChoice(const QFont& A, const QFont& B)
{
    return A.family() == B.family() && A.styleName() == B.styleName() && A.weight() == B.weight() &&
           A.italic() == B.italic() && A.pointSizeF() == B.pointSizeF() && A.underline() == B.underline() &&
           A.strikeOut() == B.strikeOut();
}

}  // namespace

QString DialogStyleName(const QFont& Font)
{
    if (!Font.styleName().isEmpty())
        return Font.styleName();
    const QFontInfo Matched(Font);
    const QStringList Styles = QFontDatabase::styles(Matched.family());
    // The face the font is drawn with, when the family lists it.
    if (Styles.contains(Matched.styleName()))
        return Matched.styleName();
    // Else the nearest in slant and weight. The slant is read from a font of that
    // style: QFontDatabase::italic does not count an oblique face as slanted.
    QString Best;
    int BestDistance = std::numeric_limits<int>::max();
    for (const QString& Style : Styles) {
        const QFont Face = QFontDatabase::font(Matched.family(), Style, 12);
        const int Distance = (Face.style() != QFont::StyleNormal) != Font.italic() ? 10000 : 0;
        const int Total = Distance + std::abs(static_cast<int>(Face.weight()) - static_cast<int>(Font.weight()));
        if (Total < BestDistance) {
            BestDistance = Total;
            Best = Style;
        }
    }
    return Best.isEmpty() ? Matched.styleName() : Best;
}

std::optional<QFont> ChooseFixedFont(QWidget* Parent, const QFont& Start, const QString& Title)
{
    QFontDialog Dialog(Parent);
    Dialog.setWindowTitle(Title);
    Dialog.setOptions(QFontDialog::MonospacedFonts);
    // Without a style name the dialog looks for a style called "Normal" and, not
    // finding it, selects the family's first style, which may be oblique: OK would
    // then make an upright font italic.
    QFont Shown = Start;
    Shown.setStyleName(DialogStyleName(Start));
    Dialog.setCurrentFont(Shown);
    const QFont Initial = Dialog.currentFont();
    if (Dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QFont Picked = Dialog.selectedFont();
    // Nothing changed in the dialog: the font stays as it came, including what the
    // dialog cannot show (its character set rides beside it, its hinting, ...).
    if (SameChoice(Picked, Initial))
        return Start;
    // A new choice is kept as the settings keep it: family, weight, slant, size.
    QFont Chosen = Picked;
    Chosen.setStyleName(QString());
    return Chosen;
}

}  // namespace narvo
