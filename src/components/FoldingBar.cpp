// The tool-button row that folds what does not fit (see FoldingBar.h).
#include "components/FoldingBar.h"

#include "components/AutoButton.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QEvent>
#include <QMenu>
#include <QToolButton>
#include <algorithm>

namespace narvo {

namespace {

constexpr int Margin = 2;
constexpr int Spacing = 2;

}  // namespace

TFoldingBar::TFoldingBar(QWidget* Parent) : QWidget(Parent)
{
    FOverflow = new QToolButton(this);
    FOverflow->setObjectName(QStringLiteral("OverflowBtn"));
    FOverflow->setText(QStringLiteral("\u00BB"));
    FOverflow->setToolTip(QStringLiteral("More Buttons"));
    FOverflow->setAutoRaise(true);
    FOverflow->setFocusPolicy(Qt::NoFocus);
    FOverflow->setPopupMode(QToolButton::InstantPopup);
    FMenu = new QMenu(FOverflow);
    FOverflow->setMenu(FMenu);
    connect(FMenu, &QMenu::aboutToShow, this, [this] { FillOverflowMenu(); });
    FOverflow->hide();
}

void TFoldingBar::AddWidget(QWidget* W)
{
    W->setParent(this);
    FItems.push_back(TItem{W, 0, false, false});
    Relayout();
    updateGeometry();
}

void TFoldingBar::AddGap(int Pixels) { FItems.push_back(TItem{nullptr, Pixels, false, false}); }

void TFoldingBar::AddStretch() { FItems.push_back(TItem{nullptr, 0, true, false}); }

std::vector<QWidget*> TFoldingBar::Folded() const
{
    std::vector<QWidget*> R;
    for (const TItem& I : FItems)
        if (I.W && I.Folded)
            R.push_back(I.W);
    return R;
}

void TFoldingBar::FillOverflowMenu()
{
    FMenu->clear();
    for (QWidget* W : Folded()) {
        auto* Button = qobject_cast<QAbstractButton*>(W);
        if (!Button)
            continue;
        // The hint names the button's action better than its short caption.
        const QString Caption = Button->toolTip().isEmpty() ? Button->text() : Button->toolTip();
        QAction* A = FMenu->addAction(Button->icon(), Caption);
        A->setEnabled(Button->isEnabled());
        if (auto* Check = qobject_cast<QCheckBox*>(Button)) {
            A->setCheckable(true);
            A->setChecked(Check->isChecked());
            connect(A, &QAction::triggered, Check, [Check] { Check->click(); });
        } else if (auto* Auto = qobject_cast<TAutoButton*>(Button)) {
            connect(A, &QAction::triggered, Auto, [Auto] { Auto->Click(); });
        } else {
            connect(A, &QAction::triggered, Button, [Button] { Button->click(); });
        }
    }
}

int TFoldingBar::ItemWidth(const TItem& I) const
{
    if (!I.W)
        return I.Gap;
    const int Hint = I.W->sizeHint().width();
    return std::clamp(Hint, I.W->minimumWidth(), std::max(I.W->minimumWidth(), I.W->maximumWidth()));
}

int TFoldingBar::NaturalWidth() const
{
    int Sum = 0, Widgets = 0;
    for (const TItem& I : FItems) {
        Sum += ItemWidth(I);
        Widgets += I.W ? 1 : 0;
    }
    return Sum + Spacing * std::max(Widgets - 1, 0) + 2 * Margin;
}

QSize TFoldingBar::sizeHint() const
{
    int H = FOverflow->sizeHint().height();
    for (const TItem& I : FItems)
        if (I.W)
            H = std::max(H, I.W->sizeHint().height());
    return QSize(NaturalWidth(), H + 2 * Margin);
}

QSize TFoldingBar::minimumSizeHint() const
{
    return QSize(FOverflow->sizeHint().width() + 2 * Margin, sizeHint().height());
}

void TFoldingBar::resizeEvent(QResizeEvent* Event)
{
    QWidget::resizeEvent(Event);
    Relayout();
}

bool TFoldingBar::event(QEvent* Event)
{
    // A child whose size hint changed (a new glyph, a longer caption) asks here.
    if (Event->type() == QEvent::LayoutRequest) {
        Relayout();
        updateGeometry();
    }
    return QWidget::event(Event);
}

void TFoldingBar::Relayout()
{
    if (FInLayout)
        return;
    FInLayout = true;
    const QRect R = rect().adjusted(Margin, Margin, -Margin, -Margin);
    const bool Fold = NaturalWidth() > width();
    const int Room = Fold ? R.width() - FOverflow->sizeHint().width() - Spacing : R.width();

    // Which widgets fit, in order: after the first that does not, all are folded,
    // so the buttons keep their order across the bar and the menu.
    int Used = 0;
    bool Full = false;
    for (TItem& I : FItems) {
        const int W = ItemWidth(I);
        if (!I.W) {
            if (!Full)
                Used += W;
            continue;
        }
        const int Need = Used + W;
        Full = Full || Need > Room;
        I.Folded = Full;
        if (!Full)
            Used = Need + Spacing;
    }
    const int Extra = Fold ? 0 : std::max(R.width() - (NaturalWidth() - 2 * Margin), 0);

    int X = R.left();
    for (TItem& I : FItems) {
        if (I.Stretch) {
            X += Extra;
            continue;
        }
        if (!I.W) {
            X += I.Gap;
            continue;
        }
        if (I.Folded) {
            I.W->hide();
            continue;
        }
        const int W = ItemWidth(I);
        const int H = std::min(I.W->sizeHint().height(), R.height());
        I.W->setGeometry(X, R.top() + (R.height() - H) / 2, W, H);
        I.W->show();
        X += W + Spacing;
    }
    if (Fold) {
        const QSize S = FOverflow->sizeHint();
        const int H = std::min(S.height(), R.height());
        FOverflow->setGeometry(R.right() + 1 - S.width(), R.top() + (R.height() - H) / 2, S.width(), H);
        FOverflow->show();
        FOverflow->raise();
    } else {
        FOverflow->hide();
    }
    FInLayout = false;
}

}  // namespace narvo
