// The scroll-bar window: bar settings and their range check, scroll codes, bars
// that are not shown, recreation, and thumb positions beyond 16 bits through Qt.
#include "editor/ScrollBarWindow.h"

#include <QScrollBar>
#include <gtest/gtest.h>
#include <vector>

namespace narvo {
namespace {

TEST(ScrollBarWindow, ScrollCodesMoveWithinTheRange)
{
    struct Case {
        TScrollCode Code;
        std::int64_t From, Track, Expected;
    };
    // Large change 40, small change 3, range 0..100.
    const std::vector<Case> Cases = {
        {scPageDown, 90, 0, 100}, {scPageUp, 20, 0, 0},     {scLineDown, 10, 0, 13}, {scLineUp, 2, 0, 0},
        {scTop, 50, 0, 0},        {scBottom, 50, 0, 100},   {scTrack, 5, 77, 77},    {scPosition, 5, 300, 100},
        {scEndScroll, 42, 0, 42},
    };
    for (const Case& C : Cases) {
        TScrollBarWindow W;
        W.VertScrollBar->LargeChange = 40;
        W.VertScrollBar->SmallChange = 3;
        W.VertScrollBar->SetPosition(C.From);
        std::vector<std::int64_t> Seen;
        int Changes = 0;
        W.OnVertScroll = [&](QObject* Sender, TScrollCode, std::int64_t& Pos) {
            EXPECT_EQ(Sender, W.VertScrollBar);
            Seen.push_back(Pos);
        };
        W.OnVertChange = [&](QObject*) { ++Changes; };
        W.VertScrollBar->Scroll(C.Code, C.Track);
        EXPECT_EQ(W.VertScrollBar->Position(), C.Expected) << int(C.Code);
        ASSERT_EQ(Seen.size(), 1u);
        EXPECT_EQ(Seen[0], C.Expected);
        EXPECT_EQ(Changes, 1);
    }
}

TEST(ScrollBarWindow, TheScrollHandlerMayChangeThePositionAndQtStepsFollowTheBar)
{
    TScrollBarWindow W;
    W.OnHorzScroll = [](QObject*, TScrollCode, std::int64_t& Pos) { Pos = 7; };
    W.HorzScrollBar->Scroll(scLineDown);
    EXPECT_EQ(W.HorzScrollBar->Position(), 7);
    EXPECT_EQ(W.horizontalScrollBar()->value(), 7);
    // Qt's own steps go through the bar's changes.
    W.VertScrollBar->LargeChange = 40;
    W.VertScrollBar->SetPosition(90);
    W.verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(W.VertScrollBar->Position(), 100);
    EXPECT_EQ(W.verticalScrollBar()->value(), 100);
    W.verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(W.VertScrollBar->Position(), 99);
}

TEST(ScrollBarWindow, MaxBelowMinOrPageSizeIsRefusedAndChangesNothing)
{
    TScrollBarWindow W;
    W.VertScrollBar->SetParams(5, 0, 50);
    EXPECT_THROW(W.VertScrollBar->SetParams(5, 10, 9), EInvalidOperation);
    W.VertScrollBar->SetPageSize(20);
    try {
        W.VertScrollBar->SetMax(10);
        FAIL() << "no error";
    } catch (const EInvalidOperation& E) {
        EXPECT_STREQ(E.what(), "Scrollbar property out of range");
    }
    EXPECT_EQ(W.VertScrollBar->Max(), 50);
    EXPECT_EQ(W.VertScrollBar->Position(), 5);
    // The position is clamped into the range.
    W.VertScrollBar->SetPosition(500);
    EXPECT_EQ(W.VertScrollBar->Position(), 50);
}

TEST(ScrollBarWindow, SettingsOfABarNotShownAreDropped)
{
    TScrollBarWindow W;
    W.SetScrollBars(ssNone);
    EXPECT_FALSE(W.HorzScrollBar->Created);
    W.HorzScrollBar->SetMax(500);
    EXPECT_EQ(W.HorzScrollBar->Max(), 100);
    // Showing the bar later does not bring the setting back.
    W.SetScrollBars(ssHorizontal);
    EXPECT_TRUE(W.HorzScrollBar->Created);
    EXPECT_FALSE(W.VertScrollBar->Created);
    EXPECT_EQ(W.HorzScrollBar->Max(), 100);
    EXPECT_EQ(W.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(W.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
}

TEST(ScrollBarWindow, BorderAndBevelMakeRoomAroundBarsAndClient)
{
    TScrollBarWindow W;
    W.resize(200, 100);
    W.SetBorderWidth(3);
    W.SetBevelKind(TBevelKind::bkTile);
    W.SetBevelWidth(2);
    // Border 3 plus an inner and an outer bevel of 2, on the bevelled edges only.
    W.SetBevelEdges(beLeft | beTop);
    EXPECT_EQ(W.contentsMargins(), QMargins(7, 7, 3, 3));
    W.SetBorderWidth(-4);
    EXPECT_EQ(W.BorderWidth(), 0);
    EXPECT_FALSE(W.grab().isNull());
}

}  // namespace
}  // namespace narvo
