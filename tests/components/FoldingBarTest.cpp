// The folding tool-button row: what fits stays in order, the rest folds behind
// the overflow button, whose menu clicks the folded buttons and toggles a folded
// check box; a wide bar puts the widgets after the stretch at its right end.
#include "components/FoldingBar.h"

#include "components/AutoButton.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QToolButton>
#include <gtest/gtest.h>

namespace narvo {
namespace {

struct FoldingBarFixture : ::testing::Test {
    FoldingBarFixture()
    {
        for (int I = 0; I < 4; ++I) {
            auto* B = new TAutoButton;
            B->setToolTip(QStringLiteral("Button %1").arg(I));
            B->setFixedSize(50, 20);
            B->OnClick = [this, I](QObject*) { Clicked.push_back(I); };
            Buttons.push_back(B);
            Bar.AddWidget(B);
            if (I == 1)
                Bar.AddGap(10);
        }
        Bar.AddStretch();
        Check = new QCheckBox;
        Check->setToolTip(QStringLiteral("Check"));
        Check->setFixedSize(60, 20);
        Bar.AddWidget(Check);
        Bar.setFixedHeight(30);
        Bar.show();
    }
    std::vector<QWidget*> FoldedOf(int Width)
    {
        Bar.resize(Width, 30);
        return Bar.Folded();
    }
    TFoldingBar Bar;
    std::vector<TAutoButton*> Buttons;
    QCheckBox* Check = nullptr;
    std::vector<int> Clicked;
};

TEST_F(FoldingBarFixture, WhatDoesNotFitFoldsInOrder)
{
    // Natural width: 2 margins of 2, four buttons of 50, a gap of 10, the check box
    // of 60 and 4 spacings of 2 between the 5 widgets.
    const int Natural = 4 + 200 + 10 + 60 + 8;
    EXPECT_EQ(Bar.sizeHint().width(), Natural);
    EXPECT_LT(Bar.minimumSizeHint().width(), 50);

    EXPECT_TRUE(FoldedOf(Natural).empty());
    EXPECT_FALSE(Bar.OverflowButton()->isVisibleTo(&Bar));
    // Wider: the check box stands at the right end.
    FoldedOf(Natural + 100);
    EXPECT_EQ(Check->geometry().right(), Bar.width() - 3);
    EXPECT_EQ(Buttons[2]->x(), 2 + 50 + 2 + 50 + 2 + 10);

    // One pixel short: the check box folds first, then the buttons from the right.
    EXPECT_EQ(FoldedOf(Natural - 1), (std::vector<QWidget*>{Check}));
    EXPECT_TRUE(Bar.OverflowButton()->isVisibleTo(&Bar));
    EXPECT_FALSE(Check->isVisibleTo(&Bar));
    const std::vector<QWidget*> Narrow = FoldedOf(140);
    ASSERT_FALSE(Narrow.empty());
    EXPECT_EQ(Narrow.back(), Check);
    EXPECT_EQ(Narrow.front(), Buttons[4 - (Narrow.size() - 1)]);
    for (TAutoButton* B : Buttons)
        if (B->isVisibleTo(&Bar))
            EXPECT_LT(B->geometry().right(), Bar.OverflowButton()->x()) << B->toolTip().toStdString();

    // Wide again: everything is back and the overflow button goes.
    EXPECT_TRUE(FoldedOf(Natural + 10).empty());
    EXPECT_TRUE(Check->isVisibleTo(&Bar));
    EXPECT_FALSE(Bar.OverflowButton()->isVisibleTo(&Bar));
}

TEST_F(FoldingBarFixture, TheOverflowMenuActsForTheFoldedWidgets)
{
    FoldedOf(4 + 50 + 2 + Bar.OverflowButton()->sizeHint().width() + 5);  // only the first button stays
    Bar.FillOverflowMenu();
    const QList<QAction*> Actions = Bar.OverflowButton()->menu()->actions();
    ASSERT_EQ(Actions.size(), 4);
    EXPECT_EQ(Actions[0]->text(), QStringLiteral("Button 1"));
    EXPECT_EQ(Actions[3]->text(), QStringLiteral("Check"));
    EXPECT_TRUE(Actions[3]->isCheckable());
    EXPECT_FALSE(Actions[3]->isChecked());

    Buttons[2]->setEnabled(false);
    Bar.FillOverflowMenu();
    const QList<QAction*> Again = Bar.OverflowButton()->menu()->actions();
    EXPECT_FALSE(Again[1]->isEnabled());
    Again[0]->trigger();
    EXPECT_EQ(Clicked, (std::vector<int>{1}));
    Again[3]->trigger();
    EXPECT_TRUE(Check->isChecked());
}

}  // namespace
}  // namespace narvo
