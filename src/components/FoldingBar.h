// TFoldingBar: a row of tool buttons that never makes its window wider than the
// screen. The widgets stand left to right in the order added, with gaps and one
// stretch between them; what does not fit the row's width is hidden and offered
// instead by an overflow button at the right end, whose menu clicks the hidden
// button (or toggles the hidden check box) as a click on it would.
#pragma once

#include <QWidget>
#include <vector>

class QMenu;
class QToolButton;

namespace narvo {

class TFoldingBar : public QWidget {
    Q_OBJECT
public:
    explicit TFoldingBar(QWidget* Parent = nullptr);

    // W becomes a child of the bar, placed after what was added before.
    void AddWidget(QWidget* W);
    void AddGap(int Pixels);
    // The free space of a wide bar goes here; the widgets after it sit at the right end.
    void AddStretch();

    QToolButton* OverflowButton() const { return FOverflow; }
    // The widgets hidden for want of room, in their order.
    std::vector<QWidget*> Folded() const;
    // Fills the overflow menu with the folded widgets (done when it opens).
    void FillOverflowMenu();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* Event) override;
    bool event(QEvent* Event) override;

private:
    struct TItem {
        QWidget* W = nullptr;  // nullptr: a gap or the stretch
        int Gap = 0;
        bool Stretch = false;
        bool Folded = false;
    };
    int ItemWidth(const TItem& I) const;
    int NaturalWidth() const;
    void Relayout();

    std::vector<TItem> FItems;
    QToolButton* FOverflow = nullptr;
    QMenu* FMenu = nullptr;
    bool FInLayout = false;
};

}  // namespace narvo
